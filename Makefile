# Quick start: `make run` builds and starts Tinyra, `make test` builds and runs the suite.
BUILD ?= build
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=
# With the compiler cache, paths under the checkout count as relative, so clones share it.
export CCACHE_BASEDIR := $(CURDIR)
LAUNCHER := $(shell command -v ccache >/dev/null 2>&1 && echo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

.PHONY: deps configure build run test test-threads bench format format-check clean

deps:
	@scripts/deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(LAUNCHER) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/tinyra

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS) $(CTEST_FLAGS)

# The tests of the work done on worker threads (CTest label "threads") alone, with only their
# programs built: the ThreadSanitizer pass of .ci/run. A label that names no test fails.
test-threads: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tinyra_threads_tests
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest -L threads --no-tests=error --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/tinyra_bench

# Every C++ source and header, laid out by .clang-format.
FORMAT_FILES = $(shell find src tests bench -name '*.h' -o -name '*.cpp' | sort)

format: deps
	@clang-format -i --style=file $(FORMAT_FILES)

# Names every place that differs from the layout, and fails; silent when all is in order.
format-check: deps
	@clang-format --dry-run --Werror --style=file $(FORMAT_FILES)

clean:
	rm -rf $(BUILD)
