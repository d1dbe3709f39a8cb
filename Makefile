# Two entry points: `make run` starts the designer, `make test` runs every test.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: all deps configure build run run-print test stress-test clean asan-check fuzz bench bench-x11

all: build

deps:
	@scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja $(CMAKE_FLAGS); \
	fi

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@$(BUILD_DIR)/bin/tabrel

run-print: build
	@$(BUILD_DIR)/bin/tabrel-print

# The sanitized sign-reader check runs first, so that ctest's summary closes
# the output.
test: build
	@$(MAKE) --no-print-directory asan-check
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen TABREL_PX_PER_MM=4 \
	  ctest --output-on-failure -j $(JOBS)

# The tests under load: three ctest runs at twice the cores beside one busy
# process per core, then each test program as one process, shuffled.
stress-test: build
	@BUILD_DIR=$(BUILD_DIR) scripts/stress-test

clean:
	rm -rf $(BUILD_DIR)

# The sign reader under AddressSanitizer: a few thousand damaged signs; then
# the branding file, the user table and the profile, 150 damaged copies each;
# then the macro scripts and the data-path map.
asan-check: deps
	@if [ ! -f build-asan/build.ninja ]; then \
	  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTABREL_SANITIZE=ON; \
	fi
	@cmake --build build-asan -j $(JOBS) --target sign_reader_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-asan/tests/fuzz/sign_reader_tests
	@cmake --build build-asan -j $(JOBS) --target side_file_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-asan/tests/fuzz/side_file_mutation_tests
	@cmake --build build-asan -j $(JOBS) --target profile_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 TABREL_PX_PER_MM=4 \
	  TABREL_MUTATION_INPUTS=150 build-asan/tests/shell/profile_mutation_tests
	@cmake --build build-asan -j $(JOBS) --target paper_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 TABREL_MUTATION_INPUTS=500 \
	  build-asan/tests/printing/paper_mutation_tests
	@cmake --build build-asan -j $(JOBS) --target macro_script_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-asan/tests/variables/macro_script_tests
	@cmake --build build-asan -j $(JOBS) --target data_source_map_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 build-asan/tests/database/data_source_map_tests

# A longer run of the libFuzzer target (clang): FUZZ_SECONDS, default 300.
# Then the profile mutation test: PROFILE_MUTATIONS damaged copies of each file.
FUZZ_SECONDS ?= 300
# Then the stock readers' mutation test: FUZZ_MUTATION_INPUTS copies of each kind.
FUZZ_MUTATION_INPUTS ?= 20000
PROFILE_MUTATIONS ?= 10000
fuzz: deps
	@if [ ! -f build-fuzz/build.ninja ]; then \
	  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTABREL_FUZZ=ON; \
	fi
	@cmake --build build-fuzz -j $(JOBS) --target sign_reader_fuzz make_sign_seeds
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  build-fuzz/tests/fuzz/make_sign_seeds build-fuzz/corpus
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  build-fuzz/tests/fuzz/sign_reader_fuzz -max_total_time=$(FUZZ_SECONDS) \
	  -rss_limit_mb=4096 build-fuzz/corpus
	@cmake --build build-fuzz -j $(JOBS) --target paper_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 TABREL_MUTATION_INPUTS=$(FUZZ_MUTATION_INPUTS) \
	  build-fuzz/tests/printing/paper_mutation_tests
	@cmake --build build-fuzz -j $(JOBS) --target side_file_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 TABREL_MUTATION_INPUTS=20000 \
	  build-fuzz/tests/fuzz/side_file_mutation_tests
	@cmake --build build-fuzz -j $(JOBS) --target profile_mutation_tests
	@LSAN_OPTIONS=suppressions=$(CURDIR)/tests/fuzz/lsan.supp QT_QPA_PLATFORM=offscreen \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 TABREL_PX_PER_MM=4 \
	  TABREL_MUTATION_INPUTS=$(PROFILE_MUTATIONS) build-fuzz/tests/shell/profile_mutation_tests

# Benchmarks of printing and of saving and loading signs.
bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/tabrel_bench

# The print roads (the designer's Print All command, the data-entry pane's
# Print All button, the print front end) on a virtual X display with a window
# manager, maximised at 1920 x 1200, beside the engine.
bench-x11: build
	@bench/on-x11.sh $(BUILD_DIR)/bench/tabrel_bench --benchmark_filter=PrintRoad
