# Fairholm: the two everyday commands are `make play` and `make test`.
PRESET ?= default
JOBS   ?= $(shell nproc)
BUILD  := build/$(PRESET)
BIN    := $(BUILD)/bin

.PHONY: all deps configure build play test bench format asan tsan clean

all: build

deps:
	@scripts/deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

play: build
	@if [ -x $(BIN)/fairholm ]; then cd $(BIN) && ./fairholm; \
	else echo "The game is not there yet: the engine and its tests are built, the game executable is not."; fi

test: build
	@ctest --preset $(PRESET) -j $(JOBS)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@for b in build/release/bin/*Bench; do echo "== $$b"; $$b --benchmark_min_time=0.2; done

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
