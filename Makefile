# Two commands to set up: `make run` and `make test`. Both install what is missing,
# configure and build in build/ (build-asan/ with SANITIZE=1).

SANITIZE ?= 0
JOBS ?= $(shell nproc)
BUILD_TYPE ?= RelWithDebInfo
FUZZ_SECONDS ?= 60

ifeq ($(SANITIZE),1)
BUILD_DIR ?= build-asan
CMAKE_FLAGS += -DQUILLARY_SANITIZE=ON -DQUILLARY_BUILD_BENCH=OFF
else
BUILD_DIR ?= build
endif

GENERATOR := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")

.PHONY: all deps configure build run test test-core bench fuzz clean

# The tests of the UI-free layers: what CI also runs under the sanitizers.
CORE_TESTS := platform_tests imaging_tests tilelib_tests engine_tests render_tests output_tests packages_tests fuzz_replay_tests
CORE_TESTS_RE := ^($(shell echo $(CORE_TESTS) | tr ' ' '|'))$$

all: build

deps:
	@scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD_DIR)/CMakeCache.txt ]; then \
	  cmake -S . -B $(BUILD_DIR) $(GENERATOR) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS); \
	fi

build: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	@scripts/run-app $(BUILD_DIR)

test: build
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-core: configure
	@cmake --build $(BUILD_DIR) -j $(JOBS) --target $(CORE_TESTS)
	@cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) -R '$(CORE_TESTS_RE)'

bench: build
	@scripts/run-benchmarks $(BUILD_DIR)

fuzz:
	@scripts/install-deps --fuzz
	@scripts/run-fuzzers $(FUZZ_SECONDS)

clean:
	rm -rf build build-asan build-fuzz
