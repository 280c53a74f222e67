# Wraps CMake. `make run` and `make test` each do everything, set-up included, on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-release
DIST       ?= dist/Brisvane
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build program dist run test test-layers test-unit test-e2e test-orca asan-build test-asan fuzz test-fuzz bench clean

all: build

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON

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

# Everything, in two lanes side by side (scripts/run-tests): the program with the checks of its layout and the
# end-to-end tests, and the sanitizer build of every target with the unit tests and the fuzzers.
test: deps
	MAKE="$(MAKE)" bash scripts/run-tests

test-layers:
	bash scripts/check-layers

test-desktop-entry: program
	bash scripts/check-desktop-entry $(BUILD)

test-unit: build
	bash scripts/ctest-unit $(BUILD)

# The end-to-end tests start the program alone.
test-e2e: program
	bash tests/e2e/run-all $(BUILD)

# What the Orca screen reader speaks through a keyboard session (installs Orca when missing); see the README.
test-orca: build
	bash scripts/orca-check $(BUILD)

# Every target built once with clang, ASan and UBSan. Debug keeps the assertions; -O1 makes the sanitized tests and
# fuzzers several times faster than -O0, and line tables are all that the sanitizers' reports need to name file and
# line. lld links the many test programs quicker.
asan-build: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld \
	    -DBRISVANE_SANITIZE=ON -DBRISVANE_FUZZ=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

# The unit and widget tests under the sanitizers.
test-asan: asan-build
	ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 bash scripts/ctest-unit $(ASAN_BUILD)

# Every fuzzer for FUZZ_SECONDS.
fuzz: asan-build
	bash fuzz/run-all $(ASAN_BUILD) $(FUZZ_SECONDS)

# Both, side by side: the tests often wait on the disk and on the programs they start, and the fuzzers take up
# what the tests leave of the cores.
test-fuzz: deps
	$(MAKE) --no-print-directory -j2 test-asan fuzz

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_UNITY_BUILD=ON -DBRISVANE_BENCH=ON -DBUILD_TESTING=OFF
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	bash bench/run-all $(BENCH_BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD)
