# make run   - install what is missing, build, start Salvino (APP=glimmet: Glimmet) on a bundled sample
# make test  - install what is missing, build, run every test
# make asan  - a second build with AddressSanitizer and UBSan, and every test on it
BUILD    ?= build
ASAN     ?= build-asan
JOBS     ?= $(shell nproc)
APP      ?= salvino
CMAKE_FLAGS ?= -DWARNINGS_AS_ERRORS=$(if $(CI),ON,OFF)
export QT_QPA_PLATFORM ?= offscreen

.PHONY: deps build test run asan fuzz bench clean

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

run: build
	scripts/run-sample $(BUILD) $(APP)

asan: deps
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_FUZZERS=ON \
	  -DCMAKE_CXX_COMPILER=clang++ $(CMAKE_FLAGS)
	cmake --build $(ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/bench_index
	$(BUILD)/bench/bench_walker
	$(BUILD)/bench/bench_check
	$(BUILD)/bench/bench_repair
	$(BUILD)/bench/bench_graphics
	$(BUILD)/bench/bench_describe
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/bench_sheet

clean:
	rm -rf $(BUILD) $(ASAN)
