# Thin wrapper around CMake: `make run` plays, `make test` builds and runs every test.
BUILD ?= build
RUN_DIR ?= run

.PHONY: all build test paquets run sanitize fuzz clean

all: build

build:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2

test: paquets build
	ctest --test-dir $(BUILD) --output-on-failure

# The terminal tests read the game's screen through libvterm: installed when missing, if this
# may install packages (root on Debian), or else named.
paquets:
	@if command -v dpkg >/dev/null && ! dpkg -s libvterm-dev >/dev/null 2>&1; then \
		if [ "$$(id -u)" -ne 0 ]; then \
			echo "The terminal tests need libvterm: sudo apt-get install libvterm-dev" >&2; \
			exit 1; \
		fi; \
		apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y libvterm-dev; \
	fi

# The game runs in a git-ignored folder whose data is refreshed from the repository on each
# start; the players' files (saves and registry) are copied only when missing.
run: build
	mkdir -p $(RUN_DIR)/fichiers/personnages
	for d in presentation niveaux parchemins; do \
		rm -rf $(RUN_DIR)/fichiers/$$d && cp -R fichiers/$$d $(RUN_DIR)/fichiers/$$d; \
	done
	cp -R -n fichiers/personnages/. $(RUN_DIR)/fichiers/personnages/
	cd $(RUN_DIR) && $(abspath $(BUILD))/korva

sanitize: paquets
	cmake -S . -B $(BUILD)-sanitize -DKORVA_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j 2
	ctest --test-dir $(BUILD)-sanitize --output-on-failure

# Fuzzes the file readers, each for FUZZ_TIME seconds (0: no limit, e.g. with
# FUZZ_FLAGS=-runs=1000000). New inputs go to a corpus in the build folder, seeded from
# tests/fuzz/corpus; an input that fails is kept in the build folder too.
FUZZ_TIME ?= 20
FUZZ_FLAGS ?=
FUZZ_CIBLES ?= niveau sauvegarde registre

fuzz:
	cmake -S . -B $(BUILD)-fuzz -DKORVA_FUZZ=ON -DKORVA_TESTS=OFF -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(BUILD)-fuzz -j 2
	for cible in $(FUZZ_CIBLES); do \
		mkdir -p $(BUILD)-fuzz/corpus/$$cible || exit 1; \
		echo "== fuzz_$$cible"; \
		$(BUILD)-fuzz/fuzz_$$cible $(BUILD)-fuzz/corpus/$$cible tests/fuzz/corpus/$$cible \
			-max_total_time=$(FUZZ_TIME) -print_final_stats=1 \
			-artifact_prefix=$(BUILD)-fuzz/echec-$$cible- $(FUZZ_FLAGS) || exit 1; \
	done

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-fuzz
