# Kelvarin: `make` builds build/win32/Kelvarin.exe, `make run` runs it under Wine,
# `make test` runs every test tier, `make bench` the benchmarks, `make dist` the release
# package. Each installs what is missing first (scripts/setup.sh, idempotent).
BUILD   := build
WIN32   := $(BUILD)/win32
NATIVE  := $(BUILD)/native
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_Q := -Wno-dev --log-level=WARNING

.PHONY: all setup exe win32 native test run bench soak dist format clean

all: exe

setup:
	@sh scripts/setup.sh

$(WIN32)/CMakeCache.txt: | setup
	cmake -S . -B $(WIN32) $(CMAKE_Q) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release

$(NATIVE)/CMakeCache.txt: | setup
	cmake -S . -B $(NATIVE) $(CMAKE_Q) -DCMAKE_BUILD_TYPE=Debug

exe: setup $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS) --target Kelvarin

win32: setup $(WIN32)/CMakeCache.txt
	cmake --build $(WIN32) -j $(JOBS)

native: setup $(NATIVE)/CMakeCache.txt
	cmake --build $(NATIVE) -j $(JOBS)

test: win32 native
	cd $(NATIVE) && ctest --output-on-failure

run: exe
	sh scripts/run.sh

bench: win32 native
	sh scripts/bench.sh

soak: win32
	sh scripts/soak.sh

dist: exe
	sh scripts/dist.sh

format:
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) dist
