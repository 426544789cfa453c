# Thin wrapper around CMake: `make run` plays, `make test` builds and runs every test.
BUILD ?= build
RUN_DIR ?= run

PREFIX ?= /usr/local

# The Debian packages the game needs to build, and those its tests add; each command installs
# what is missing (as root or through sudo) or says how.
PAQUETS_JEU = cmake g++ make libncurses-dev libsodium-dev
PAQUETS_TESTS = libgtest-dev libvterm-dev libbenchmark-dev chromium openssl
# korva-web's: Boost.Beast and Boost.Asio, OpenSSL for TLS; npm brings its terminal widget.
PAQUETS_WEB = libboost-dev libssl-dev

.PHONY: all build paquet test run install uninstall sanitize fuzz clean mutants balance bench \
	bench-serveur bench-connexions bench-web bench-charge figures-tests

all: build

# The programs a player or an operator installs (the game, the lobby, korva-web and its page's
# widget): not the tests, the benchmarks nor the balance tool, which `make test` builds.
build:
	sh tools/dependances.sh $(PAQUETS_JEU) $(PAQUETS_WEB)
	command -v npm >/dev/null || sh tools/dependances.sh npm
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) --target korva_a_installer -j 2

# The Debian package of what `make build` built.
paquet: build
	sh tools/dependances.sh dpkg-dev file
	cd $(BUILD) && cpack -G DEB

test:
	sh tools/dependances.sh $(PAQUETS_JEU) $(PAQUETS_WEB) $(PAQUETS_TESTS)
	command -v npm >/dev/null || sh tools/dependances.sh npm
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2
	ctest --test-dir $(BUILD) --output-on-failure --no-tests=error

# The game runs in a git-ignored folder whose data is refreshed from the repository on each
# start; the players' files (saves and registry) are copied only when missing.
run: build
	mkdir -p $(RUN_DIR)/fichiers/personnages
	for d in presentation niveaux parchemins; do \
		rm -rf $(RUN_DIR)/fichiers/$$d && cp -R fichiers/$$d $(RUN_DIR)/fichiers/$$d; \
	done
	cp -R -n fichiers/personnages/. $(RUN_DIR)/fichiers/personnages/
	cd $(RUN_DIR) && $(abspath $(BUILD))/korva

# Installs the game under PREFIX, to be started as PREFIX/bin/korva from any folder; `make
# uninstall` with the same PREFIX removes it. The players' saves stay in their own folders. A
# build of its own, without the tests: a player needs no GoogleTest. korva-web goes along where
# Boost and npm are found (`make build` brings them).
install:
	sh tools/dependances.sh $(PAQUETS_JEU)
	cmake -S . -B $(BUILD)-install -DKORVA_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
	cmake --build $(BUILD)-install --target korva_a_installer -j 2
	cmake --install $(BUILD)-install --prefix "$(PREFIX)" --strip

uninstall:
	cmake -S . -B $(BUILD)-install -DKORVA_TESTS=OFF -DCMAKE_BUILD_TYPE=Release
	cmake -D PREFIX="$(PREFIX)" -P $(BUILD)-install/paquet/desinstaller.cmake

# The balance tool's table for the shipped dungeon (20,000 heroes per class and policy), written
# into doc/figures.md as the measured figures are.
balance:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_equilibre
	python3 tools/figures.py balance $(BUILD)/korva_equilibre

# What the terminal is sent per step (Google Benchmark), and the tests' size, into
# doc/figures.md.
bench:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_bench
	$(BUILD)/korva_bench --benchmark_out=$(BUILD)/bench.json --benchmark_out_format=json
	python3 tools/figures.py bench $(BUILD)/bench.json

# The server's load: 200 games at once on pseudo-terminals and 200 watchers of one, their memory,
# their CPU at rest and the time from a key to its screen, into doc/figures.md (a few minutes).
bench-serveur:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_bench_serveur
	python3 tools/figures.py serveur $(BUILD)/korva_bench_serveur

# Logins timed alone, then while 100 connections guess one account's password, each lobby on a
# pseudo-terminal, into doc/figures.md (a minute or two).
bench-connexions:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_bench_connexions
	python3 tools/figures.py connexions $(BUILD)/korva_bench_connexions

# korva-web under 200 players at once on 127.0.0.1, into doc/figures.md.
bench-web:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_bench_web
	python3 tools/figures.py web $(BUILD)/korva_bench_web

# A thousand players at once, as they play, through the lobby on pseudo-terminals, the real sshd
# on 127.0.0.1, korva-web, and the web terminal bridge wetty (npm, pinned in bench/pont) beside
# it, into doc/figures.md (half an hour at most; as root for sshd's part).
bench-charge:
	sh tools/dependances.sh openssh-server openssh-client
	command -v npm >/dev/null || sh tools/dependances.sh npm
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2 --target korva_bench_charge
	sh bench/pont/installer.sh $(BUILD)/npm/pont
	python3 tools/figures.py charge $(BUILD)/korva_bench_charge $(BUILD)/npm/pont

figures-tests:
	python3 tools/figures.py tests

sanitize:
	cmake -S . -B $(BUILD)-sanitize -DKORVA_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j 2
	ctest --test-dir $(BUILD)-sanitize --output-on-failure --no-tests=error

# Fuzzes the file readers, each for FUZZ_TIME seconds (0: no limit, e.g. with
# FUZZ_FLAGS=-runs=1000000). New inputs go to a corpus in the build folder, seeded from
# tests/fuzz/corpus; an input that fails is kept in the build folder too.
FUZZ_TIME ?= 20
FUZZ_FLAGS ?=
FUZZ_CIBLES ?= niveau sauvegarde registre enregistrement journal

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
	rm -rf $(BUILD) $(BUILD)-sanitize $(BUILD)-fuzz $(BUILD)-install $(BUILD)-mutants

# Breaks the game one line at a time (tools/mutants/cassures.txt) and counts what the tests
# catch; takes a while, so neither `make test` nor CI runs it.
mutants:
	python3 tools/figures.py mutants python3 tools/mutants/mutants.py
