# The two commands a newcomer needs: `make run` and `make test`.
BUILD := build/release
JOBS := $(shell nproc)

.PHONY: all setup build run test asan tsan bench clean

all: build

setup:
	@scripts/setup --no-build

build:
	@scripts/setup

# make run [FILE=path]: build and start Orbelin, optionally opening a file.
run: build
	@$(BUILD)/src/app/orbelin $(FILE)

# make test: build, then every test with ctest's summary at the end.
test: build
	@cd $(BUILD) && ctest -j$(JOBS) --output-on-failure

# make asan: the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
asan: setup
	@test -f build/asan/CMakeCache.txt || cmake --preset asan >/dev/null
	@cmake --build build/asan -j$(JOBS)
	@cd build/asan && ctest -j$(JOBS) --output-on-failure

# make tsan: the whole suite under ThreadSanitizer (Qt's own threads are suppressed, see tests/tsan.supp).
tsan: setup
	@test -f build/tsan/CMakeCache.txt || cmake --preset tsan >/dev/null
	@cmake --build build/tsan -j$(JOBS)
	@ctest --preset tsan -j$(JOBS)

# make bench: build and run every benchmark program (never part of the tests).
bench: build
	@for program in $(BUILD)/bench/*_bench; do echo "== $$program"; $$program || exit 1; done

clean:
	rm -rf build
