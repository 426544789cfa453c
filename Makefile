# Thin wrapper around CMake: `make run` plays, `make test` builds and runs every test.
BUILD ?= build
RUN_DIR ?= run

.PHONY: all build test run sanitize clean

all: build

build:
	cmake -S . -B $(BUILD)
	cmake --build $(BUILD) -j 2

test: build
	ctest --test-dir $(BUILD) --output-on-failure

# The game runs in a git-ignored folder whose data is refreshed from the repository on each
# start; the players' files (saves and registry) are copied only when missing.
run: build
	mkdir -p $(RUN_DIR)/fichiers/personnages
	for d in presentation niveaux parchemins; do \
		rm -rf $(RUN_DIR)/fichiers/$$d && cp -R fichiers/$$d $(RUN_DIR)/fichiers/$$d; \
	done
	cp -R -n fichiers/personnages/. $(RUN_DIR)/fichiers/personnages/
	cd $(RUN_DIR) && $(abspath $(BUILD))/korva

sanitize:
	cmake -S . -B $(BUILD)-sanitize -DKORVA_SANITIZE=ON
	cmake --build $(BUILD)-sanitize -j 2
	ctest --test-dir $(BUILD)-sanitize --output-on-failure

clean:
	rm -rf $(BUILD) $(BUILD)-sanitize
