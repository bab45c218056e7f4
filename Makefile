# Kelvarin: `make` builds build/win32/Kelvarin.exe, `make x64` build/win64/Kelvarin.exe,
# `make run` runs it under Wine, `make test` runs every test tier, `make bench` the
# benchmarks, `make dist` the release package. Each installs what is missing first
# (scripts/setup.sh, idempotent). The Wine tiers run on every build the host can run
# (scripts/arches.sh); ARCH=x86 or ARCH=x64 forces one.
BUILD   := build
WIN32   := $(BUILD)/win32
WIN64   := $(BUILD)/win64
NATIVE  := $(BUILD)/native
ARCH    ?=
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_Q := -Wno-dev --log-level=WARNING

.PHONY: all setup exe x64 win32 win64 native test run bench soak dist format clean

all: exe

setup:
	@sh scripts/setup.sh

$(WIN32)/CMakeCache.txt: | setup
	cmake -S . -B $(WIN32) $(CMAKE_Q) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

$(WIN64)/CMakeCache.txt: | setup
	cmake -S . -B $(WIN64) $(CMAKE_Q) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-x86_64.cmake -DCMAKE_BUILD_TYPE=Release

$(NATIVE)/CMakeCache.txt: | setup
	cmake -S . -B $(NATIVE) $(CMAKE_Q) -DCMAKE_BUILD_TYPE=Debug

exe: setup $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS) --target Kelvarin

win32: setup $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

x64: setup $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS) --target Kelvarin

win64: setup $(WIN64)/CMakeCache.txt
	cmake --build $(WIN64) -j $(JOBS)

native: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

# The 32-bit product is always built: the audits read it even where it cannot run.
test: setup
	@arches=$$(sh scripts/arches.sh list $(ARCH)) && \
	builds=$$(for a in $$arches; do [ $$a = x86 ] && echo win32 || echo win64; done) && \
	$(MAKE) --no-print-directory exe $$builds $(NATIVE)/CMakeCache.txt && \
	cmake -S . -B $(NATIVE) $(CMAKE_Q) "-DKELVARIN_WINE_ARCHES=$$(echo $$arches | tr ' ' ';')" >/dev/null && \
	cmake --build $(NATIVE) -j $(JOBS) && \
	cd $(NATIVE) && ctest --output-on-failure

run: setup
	@a=$$(sh scripts/arches.sh primary $(ARCH)) && \
	$(MAKE) --no-print-directory $$([ $$a = x86 ] && echo exe || echo x64) && \
	KELVARIN_ARCH=$$a sh scripts/run.sh

bench: setup
	@a=$$(sh scripts/arches.sh primary $(ARCH)) && \
	$(MAKE) --no-print-directory $$([ $$a = x86 ] && echo win32 || echo win64) native && \
	KELVARIN_ARCH=$$a sh scripts/bench.sh

soak: setup
	@a=$$(sh scripts/arches.sh primary $(ARCH)) && \
	$(MAKE) --no-print-directory $$([ $$a = x86 ] && echo win32 || echo win64) && \
	KELVARIN_ARCH=$$a sh scripts/soak.sh

dist: exe
	sh scripts/dist.sh

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) dist
