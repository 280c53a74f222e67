# Wraps CMake. `make run` and `make test` each do everything, set-up included, on a fresh Debian 12 machine.
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD?= build-release
DIST       ?= dist/Brisvane
JOBS       ?= $(shell nproc)
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build program dist run test test-layers test-format format test-unit reliability-build \
        test-reliability test-e2e test-orca asan-configure asan-build test-asan fuzz test-fuzz test-one bench clean

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

# Everything, each test built once, in two lanes side by side (scripts/run-tests): the program with the checks of
# the tree, the end-to-end tests and the reliability tests; and the sanitizer build with the other unit tests and
# the fuzzers. MAY_SKIP=1 lets a run pass where some tests cannot run (no root, no strace).
test: deps
	MAKE="$(MAKE)" bash scripts/run-tests

test-layers:
	bash scripts/check-layers

# The C++ files follow .clang-format (clang-format 14, as Debian 12 has it); `make format` rewrites those that do not.
FORMATTED = $(shell find src tests fuzz bench tools -name '*.cpp' -o -name '*.h' | sort)
test-format: deps
	@differ=$$(clang-format --dry-run $(FORMATTED) 2>&1 | sed -n 's/^\([^ :]*\):[0-9]*:[0-9]*: .*/\1/p' | sort -u); \
	if [ -n "$$differ" ]; then echo "Not as .clang-format lays them out (make format fixes):" $$differ; exit 1; fi; \
	echo "format: $(words $(FORMATTED)) files as .clang-format lays them out"

format: deps
	clang-format -i $(FORMATTED)

test-desktop-entry: program
	bash scripts/check-desktop-entry $(BUILD)

test-unit: build
	bash scripts/ctest-unit $(BUILD) unit

# The reliability tests (tests/reliability) in the build users run, with the helper programs they start.
reliability-build: deps configure
	cmake --build $(BUILD) -j $(JOBS) --target reliability_tests

test-reliability: reliability-build
	bash scripts/ctest-unit $(BUILD) reliability

# The end-to-end tests start the program alone.
test-e2e: program
	bash tests/e2e/run-all $(BUILD)

# What the Orca screen reader speaks through a keyboard session (installs Orca when missing); see the README.
test-orca: build
	bash scripts/orca-check $(BUILD)

# The sanitizer build: clang, ASan and UBSan. Debug keeps the assertions; -O1 makes the program's code, which the
# sanitized tests and fuzzers run, several times faster than -O0 (the tests' own code is built at -O0, which
# compiles in half the time); line tables are all that the sanitizers' reports need to name file and line.
# lld links the many test programs quicker, and the libraries are built in batches of files as in the ordinary
# build (the tests are not). It builds the unit and widget tests and the fuzzers; the reliability tests run in the
# build users run (test-reliability).
SANITIZED = ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1
FUZZERS = $(basename $(notdir $(wildcard fuzz/*_fuzzer.cpp)))
asan-configure: deps
	CC=clang CXX=clang++ cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_UNITY_BUILD=ON \
	    -DCMAKE_CXX_FLAGS_DEBUG="-O1 -gline-tables-only" -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld \
	    -DBRISVANE_SANITIZE=ON -DBRISVANE_FUZZ=ON

asan-build: asan-configure
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target sanitized_tests $(FUZZERS)

# The unit and widget tests under the sanitizers, all but the reliability tests.
test-asan: asan-build
	$(SANITIZED) bash scripts/ctest-unit $(ASAN_BUILD) unit -LE '^reliability$$'

# One unit test in the sanitizer build, which `make test` leaves ready, so only what changed is compiled again:
# `make test-one T=tst_EntryCommands` (QtTest's arguments in ARGS, such as a test function's name). Or one
# end-to-end test against the program: `make test-one E=test_goTo`.
test-one:
	@[ -n "$(T)$(E)" ] || { echo "usage: make test-one T=tst_Name [ARGS=...] | E=test_name" >&2; exit 2; }
ifneq ($(T),)
	@$(MAKE) --no-print-directory asan-configure >/dev/null
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target $(T)
	cd $(ASAN_BUILD)/tests && QT_QPA_PLATFORM=offscreen $(SANITIZED) ./$(T) $(ARGS)
endif
ifneq ($(E),)
	@$(MAKE) --no-print-directory program
	bash tests/e2e/run-all $(BUILD) $(E)
endif

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
