# Fairholm: the two everyday commands are `make play` and `make test`.
PRESET ?= default
JOBS   ?= $(shell nproc)
BUILD  := build/$(PRESET)
BIN    := $(BUILD)/bin
# Windows programs: cross-built with mingw-w64 into WINDOWS (the launcher, setup.ini).
WINDOWS       := build/windows
WINDOWS_BUILD := build/setuplaunch

.PHONY: all deps configure build windows play test bench format asan tsan clean contact-sheet screenshots

all: build

deps:
	@scripts/deps.sh

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

windows: deps
	@cmake -S setuplaunch -B $(WINDOWS_BUILD) -G Ninja \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchains/i686-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DFAIRHOLM_WINDOWS_DIR=$(CURDIR)/$(WINDOWS) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)

play: build
	@if [ -x $(BIN)/fairholm ]; then cd $(BIN) && ./fairholm; \
	else echo "The game is not there yet: the engine and its tests are built, the game executable is not."; fi

# The Windows launcher's wine tests are part of ctest (setuplaunch_wine).
test: build windows
	@ctest --preset $(PRESET) -j $(JOBS)

bench:
	@$(MAKE) --no-print-directory build PRESET=release
	@for b in build/release/bin/*Bench; do echo "== $$b"; $$b --benchmark_min_time=0.2; done

asan:
	@$(MAKE) --no-print-directory test PRESET=asan

tsan:
	@$(MAKE) --no-print-directory test PRESET=tsan

# A contact sheet of every picture of the image pack, into docs/art/.
contact-sheet: configure
	@cmake --build --preset $(PRESET) -j $(JOBS) --target contact_sheet

# In-game screenshots of the pictures at work, into docs/art/ (scripts docs/art/screenshots*.txt).
screenshots: build
	@cd docs/art && $(CURDIR)/$(BIN)/fairholm-headless --script screenshots.txt --quiet
	@cd docs/art && $(CURDIR)/$(BIN)/fairholm-headless --script screenshots-landscape.txt --size 320x240 --quiet

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
