# The two commands of the README: `make run` and `make test`. Both install what is
# missing first (Debian 12 packages, through scripts/setup.sh), then build.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all setup configure build run test bench clean

all: build

setup:
	./scripts/setup.sh

configure: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

run: build
	./$(BUILD_DIR)/src/app/qingyou-js

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	for b in $(BUILD_DIR)/bench/*_bench; do $$b; done

clean:
	rm -rf $(BUILD_DIR)
