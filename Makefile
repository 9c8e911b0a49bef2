# ledsign: the two commands a new machine needs are `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= 2
CMAKE_FLAGS ?=

PREFIX ?= /usr/local

.PHONY: all setup configure build test run demo install package test-asan fuzz bench clean

all: build

setup:
	@bash scripts/setup

configure: setup
	@cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 ctest --output-on-failure -j $(JOBS)

# With a display: the editor on the sample card, with a virtual card connected
# to it on 127.0.0.1. Without one: the same sample card sent to a virtual card
# from the command line, which writes what the card shows as PNG files.
run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/bin/ledsign --demo; \
	else \
	  echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): running the demo on the command line."; \
	  $(BUILD_DIR)/bin/ledsign-cli demo; \
	fi

demo: build
	@$(BUILD_DIR)/bin/ledsign-cli demo

# The programs to $(PREFIX)/bin; the desktop entry, icon, manual pages, metainfo and
# bash completion to $(PREFIX)/share.
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# The Debian package of the three programs: $(BUILD_DIR)/package/ledsign_<version>_<arch>.deb.
package: build
	@cd $(BUILD_DIR) && cpack -G DEB >/dev/null && ls -1 "$$PWD"/package/*.deb

# The test suite under AddressSanitizer and UndefinedBehaviorSanitizer in build-asan/ (Debug).
# ASAN_TESTS="protocol transport" builds and runs only those test programs (and ledsign-card),
# for a quick pass over the code that reads outside bytes. A sanitizer report fails the test.
ASAN_DIR ?= build-asan
ASAN_TESTS ?=
ASAN_ENV = QT_QPA_PLATFORM=offscreen QT_FONT_DPI=96 \
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp
test-asan: setup
	@cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DLEDSIGN_SANITIZE=ON \
	  -DLEDSIGN_BUILD_BENCH=OFF $(CMAKE_FLAGS) >/dev/null
ifeq ($(strip $(ASAN_TESTS)),)
	@cmake --build $(ASAN_DIR) -j $(JOBS)
	@cd $(ASAN_DIR) && $(ASAN_ENV) ctest --output-on-failure -j $(JOBS)
else
	@cmake --build $(ASAN_DIR) -j $(JOBS) --target ledsign-card $(addprefix test_,$(ASAN_TESTS))
	@cd $(ASAN_DIR) && fail=0; for t in $(ASAN_TESTS); do \
	  echo "== test_$$t"; $(ASAN_ENV) ./tests/test_$$t --gtest_brief=1 || fail=1; \
	done; exit $$fail
endif

# libFuzzer targets in build-fuzz/, each run FUZZ_SECONDS on its corpus (seeds from fuzz/corpus/,
# new inputs in build-fuzz/corpus/), or until FUZZ_RUNS executions. A crash stops the run and leaves the input in build-fuzz/.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 20
FUZZ_RUNS ?= -1
FUZZ_TARGETS ?= tcp_splitter serial_splitter rs485_packet card_report card_replies udp_search \
	udp_detail playbill ini table_file text_run short_run text_program markup_split lenient_date \
	text_program_file xls_layout
fuzz: setup
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE= \
	  -DLEDSIGN_BUILD_FUZZ=ON -DLEDSIGN_SANITIZE=ON -DLEDSIGN_BUILD_TESTS=OFF -DLEDSIGN_BUILD_BENCH=OFF \
	  -DCMAKE_CXX_FLAGS="-O1 -gline-tables-only -fsanitize=fuzzer-no-link" >/dev/null
	@cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_all fuzz_make_seeds
	@cd $(FUZZ_DIR); for t in $(FUZZ_TARGETS); do \
	  mkdir -p corpus/$$t; \
	  echo "== fuzz_$$t ($(FUZZ_SECONDS) s)"; \
	  QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp \
	    ./fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -runs=$(FUZZ_RUNS) -timeout=10 -rss_limit_mb=2048 \
	      -artifact_prefix=$$t- -print_final_stats=1 \
	      corpus/$$t $(CURDIR)/fuzz/corpus/$$t >fuzz_$$t.log 2>&1; rc=$$?; \
	  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::average_exec_per_sec)' fuzz_$$t.log; \
	  if [ $$rc -ne 0 ]; then tail -n 60 fuzz_$$t.log; echo "fuzz_$$t failed (log: $(FUZZ_DIR)/fuzz_$$t.log)"; exit 1; fi; \
	done

bench: build
	@for b in $(BUILD_DIR)/bench/bench_*; do [ -x "$$b" ] && "$$b"; done; true

clean:
	@rm -rf $(BUILD_DIR) build-asan
