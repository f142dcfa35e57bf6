# Tarnwick: the commands a developer and a new user run.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run test test-sanitize fuzz bench format install package clean

all: build

deps:
	./scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD)/CMakeCache.txt ]; then cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS); fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/tarnwick

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own build.
SANITIZE_BUILD ?= build-sanitize
test-sanitize: deps
	@if [ ! -f $(SANITIZE_BUILD)/CMakeCache.txt ]; then cmake -S . -B $(SANITIZE_BUILD) -G Ninja \
	  -DCMAKE_BUILD_TYPE=Debug -DTARNWICK_SANITIZE=ON -DTARNWICK_BENCH=OFF; fi
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	cd $(SANITIZE_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# The libFuzzer harnesses of tests/fuzz, each run for FUZZ_SECONDS, in a clang build of their own.
# Inputs found worth keeping go to $(FUZZ_BUILD)/corpus/<name>, crashes to $(FUZZ_BUILD)/crashes.
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZERS := layout netlist tokenizer paint sexpr check
fuzz: deps
	@if [ ! -f $(FUZZ_BUILD)/CMakeCache.txt ]; then cmake -S . -B $(FUZZ_BUILD) -G Ninja \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNWICK_FUZZ=ON \
	  -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=OFF; fi
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target $(addsuffix _fuzz,$(FUZZERS))
	./scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS) $(FUZZERS)

bench: build
	./$(BUILD)/bench/tarnwick_bench
	./$(BUILD)/bench/tarnwick_layout_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

install: build
	cmake --install $(BUILD)

# The Debian package tarnwick_<version>_<arch>.deb, built by CPack and copied here:
# `sudo apt install ./tarnwick_<version>_<arch>.deb` installs it.
package: build
	rm -f $(BUILD)/tarnwick_*.deb
	cd $(BUILD) && cpack -G DEB
	cp $(BUILD)/tarnwick_*.deb .

clean:
	rm -rf $(BUILD)
