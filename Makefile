# ledsign: the two commands a new machine needs are `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: all setup configure build test run test-asan fuzz bench clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 ctest --output-on-failure -j $(JOBS)

# With a display: the editor on the demo data. Without one: the same demo in the terminal.
run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/bin/ledsign --demo; \
	else \
	  $(BUILD_DIR)/bin/ledsign --demo --no-window; \
	fi

test-asan:
	@$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS="-DLEDSIGN_SANITIZE=ON -DLEDSIGN_BUILD_BENCH=OFF"

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	@rm -rf $(BUILD_DIR) build-asan
