# The two commands a newcomer needs: `make run` and `make test`.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
# Seconds each fuzz target runs: `make fuzz`, and `make test` for a short pass.
FUZZ_SECONDS ?= 300
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo "-G Ninja")
# Tests that need a display get a virtual one.
XVFB       := $(shell command -v xvfb-run >/dev/null 2>&1 && echo 'xvfb-run -a -s "-screen 0 1280x1024x24"')

.PHONY: all deps build run test test-fast test-asan mutants fuzz bench clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Starts the game on the demo data (the data folder lands beside the binary).
run: build
	$(BUILD)/kovan

# Every test, in the normal build and under the sanitizers, then a short
# pass of every fuzz target.
test: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)
	$(MAKE) test-asan
	$(MAKE) fuzz FUZZ_SECONDS=20

test-fast: build
	cd $(BUILD) && $(XVFB) ctest --output-on-failure -j $(JOBS)

$(ASAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKOVAN_SANITIZE=ON -DKOVAN_BENCH=OFF

test-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp $(XVFB) ctest --output-on-failure -j $(JOBS)

$(FUZZ_BUILD)/CMakeCache.txt:
	CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOVAN_FUZZ=ON -DKOVAN_BENCH=OFF

# Each fuzz target for FUZZ_SECONDS from its committed seed corpus; what
# it finds stays in $(FUZZ_BUILD)/corpus, crashes in $(FUZZ_BUILD)/crashes.
fuzz: deps $(FUZZ_BUILD)/CMakeCache.txt
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	./scripts/fuzz.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Deliberate faults, each built in a copy of the sources under
# build-mutants/: every one must make a test fail (see tests/mutants/).
mutants: deps
	$(XVFB) ./tests/mutants/run --jobs $(JOBS)

bench: build
	$(BUILD)/kovan_bench
	./bench/startup.sh $(BUILD)
	./bench/idle_cpu.sh $(BUILD)
	./bench/transitions.sh $(BUILD)
	./bench/full_screen.sh $(BUILD)
	./bench/music.sh $(BUILD)
	./bench/real_window.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-mutants
