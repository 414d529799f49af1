# The two commands of the README: `make run` and `make test`. Both install what is
# missing first (Debian 12 packages, through scripts/setup.sh), then build.
BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
FUZZ_DIR ?= build-fuzz
# How long `make fuzz` runs each harness, and which (all when empty).
FUZZ_SECONDS ?= 30
FUZZERS ?=
JOBS ?= 2
# The sanitizer and fuzzing builds compile everything again; ccache speeds that up where
# it is installed, and nothing needs it.
CCACHE := $(shell command -v ccache 2>/dev/null)
LAUNCHER := $(if $(CCACHE),-DCMAKE_CXX_COMPILER_LAUNCHER=$(CCACHE))

.PHONY: all setup configure build run test test-sanitize fuzz bench clean

all: build

setup:
	./scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/bin/qingyou-js

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

# The whole suite again, built with AddressSanitizer and UBSan; leaks are reported too,
# but for the third-party libraries named in tests/sanitizer-suppressions.txt.
test-sanitize: setup
	cmake -S . -B $(SANITIZE_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQY_SANITIZE=ON $(LAUNCHER)
	cmake --build $(SANITIZE_DIR) -j$(JOBS)
	cd $(SANITIZE_DIR) && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer-suppressions.txt:print_suppressions=0 \
		UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
		ctest --output-on-failure -j$(JOBS)

# The libFuzzer harnesses of tests/fuzz, built with clang (only they and the libraries they
# use), each run for FUZZ_SECONDS on its seed corpus; an input that breaks one is kept in
# $(FUZZ_DIR)/fuzz-faults.
fuzz: setup
	cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQY_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++ $(LAUNCHER)
	cmake --build $(FUZZ_DIR) -j$(JOBS) --target qy_fuzzers
	./tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS) $(FUZZERS)

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $$b; done

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
