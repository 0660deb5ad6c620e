# Fairholm: the two everyday commands are `make play` and `make test`.
PRESET ?= default
JOBS   ?= $(shell nproc)
BUILD  := build/$(PRESET)
BIN    := $(BUILD)/bin
# Windows programs: cross-built with mingw-w64 into WINDOWS (the game, the launcher,
# setup.ini and the game's data files from the native build's program directory).
WINDOWS       := build/windows
WINDOWS_BUILD := build/setuplaunch
WIN32_BUILD   := build/fairholm-win32
# The engine, the game and the headless shell for 64-bit ARM Linux: cross-built into
# build/arm64 (preset arm64) against ARM64_SYSROOT, a sysroot of Debian's arm64 packages,
# with the native build's data files.
ARM64_SYSROOT := build/arm64-sysroot
GAME_DATA     := $(shell grep -v '^\#' assets/data-files.txt)

.PHONY: all deps configure build windows arm64 arm64-build play test bench fuzz format asan tsan clean contact-sheet screenshots course-guide web play-web release deb

all: build

# The Debian packages of scripts/debian-packages.txt: every group, or those in DEPS_GROUPS
# (make play asks only for what building and playing needs).
DEPS_GROUPS ?=
deps:
	@scripts/deps.sh $(DEPS_GROUPS)

configure: deps
	@cmake --preset $(PRESET) >/dev/null

build: configure
	@cmake --build --preset $(PRESET) -j $(JOBS)

windows: deps
	@cmake -S setuplaunch -B $(WINDOWS_BUILD) -G Ninja \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchains/i686-w64-mingw32.cmake \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DFAIRHOLM_WINDOWS_DIR=$(CURDIR)/$(WINDOWS) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j $(JOBS)
	@cmake -S platform/win32 -B $(WIN32_BUILD) -G Ninja \
		-DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchains/i686-w64-mingw32-posix.cmake \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DFAIRHOLM_WINDOWS_DIR=$(CURDIR)/$(WINDOWS) >/dev/null
	@cmake --build $(WIN32_BUILD) -j $(JOBS)
	@for name in $(GAME_DATA); do \
		if [ -f $(BIN)/$$name ]; then cp $(BIN)/$$name $(WINDOWS)/; fi; \
	done

# make arm64 builds it and runs the engine's tests and two golden runs under qemu-aarch64;
# make test builds it and runs them as the ctest arm64_qemu, beside the others.
arm64-build: build
	@scripts/arm64-sysroot.sh $(ARM64_SYSROOT)
	@cmake --preset arm64 -DFAIRHOLM_ARM64_SYSROOT=$(CURDIR)/$(ARM64_SYSROOT) \
		-DFAIRHOLM_DATA_FROM=$(CURDIR)/$(BIN) >/dev/null
	@cmake --build --preset arm64 -j $(JOBS)

arm64: arm64-build
	@ctest --preset arm64 -j $(JOBS)

# The game in a web browser: build/web/ (index.html, fairholm.js, .wasm, .data) for any
# static host, built with emscripten from the native build's data files.
web: build
	@scripts/build-web.sh $(BIN) build/web build/web-build

play-web: web
	@node scripts/serve-web.mjs build/web 8000

play: DEPS_GROUPS = play
play: build
	@if [ -x $(BIN)/fairholm ]; then cd $(BIN) && ./fairholm; \
	else echo "The game is not there yet: the engine and its tests are built, the game executable is not."; fi

# The wine tests of the Windows game and launcher are part of ctest (fairholm_wine,
# setuplaunch_wine), and so are the arm64 build's tests under qemu (arm64_qemu).
test: build windows release arm64-build
	@ctest --preset $(PRESET) -j $(JOBS)

# The Debian package of the release build: build/release/fairholm_<version>_<arch>.deb.
deb: release
	@cd build/release && cpack >/dev/null && ls -l fairholm_*.deb

# The release build (-O3), compiled with every test run so that its warnings are seen.
release: configure
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

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

# The course guide docs/courses/README.md with its pictures (scripts/course-guide.sh).
course-guide: build
	@BIN=$(BIN) scripts/course-guide.sh

# In-game screenshots of the pictures at work, into docs/art/ (scripts docs/art/screenshots*.txt),
# and of desktop play into docs/play/ (docs/play/screenshots.sh).
screenshots: build
	@cd docs/art && $(CURDIR)/$(BIN)/fairholm-headless --script screenshots.txt --quiet
	@cd docs/art && $(CURDIR)/$(BIN)/fairholm-headless --script screenshots-landscape.txt --size 320x240 --quiet
	@docs/play/screenshots.sh $(BIN)

# libFuzzer targets with clang, ASan and UBSan, FUZZ_SECONDS each (default 120).
fuzz: deps
	@scripts/fuzz.sh

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
