# Wraps CMake. `make run` and `make test` each do everything, set-up included, on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-release
DIST       ?= dist/Brisvane
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build program dist run test test-layers test-unit test-e2e test-orca test-asan test-fuzz bench clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

# Everything: the program, the tests and their helper programs.
build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The program alone, without a single test.
program: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target Brisvane

# The program keeps its vault beside the executable, so it runs from a folder that no clean or rebuild deletes.
dist: program
	bash scripts/lay-out $(BUILD) $(DIST)

run: dist
	cd $(DIST) && ./Brisvane

# The launcher entry that `make dist` writes, into the current user's menu; it starts the program in $(DIST).
.PHONY: install-desktop-entry test-desktop-entry
install-desktop-entry: dist
	install -D -m 0644 "$(DIST)/brisvane.desktop" "$${XDG_DATA_HOME:-$$HOME/.local/share}/applications/brisvane.desktop"
	@echo "Brisvane is in your desktop's menu now; it starts $(abspath $(DIST))/Brisvane"

# Everything, in two lanes side by side (scripts/run-tests): the release build with its tests, and the sanitizer
# build with its tests and the fuzzers.
test: deps
	MAKE="$(MAKE)" bash scripts/run-tests

test-layers:
	bash scripts/check-layers

test-desktop-entry: build
	bash scripts/check-desktop-entry $(BUILD)

test-unit: build
	bash scripts/ctest-unit $(BUILD)

test-e2e: build
	bash tests/e2e/run-all $(BUILD)

# What the Orca screen reader speaks through a keyboard session (installs Orca when missing); see the README.
test-orca: build
	bash scripts/orca-check $(BUILD)

test-asan: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DBRISVANE_SANITIZE=ON -DBRISVANE_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 bash scripts/ctest-unit $(ASAN_BUILD)

test-fuzz: test-asan
	bash fuzz/run-all $(ASAN_BUILD) $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRISVANE_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bash bench/run-all $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
