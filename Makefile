# Thin wrapper over the CMake presets: the two builds and the fuzz targets.
# `make test` and `make demo` set the machine up first (cmake/setup.sh
# installs only what is missing).
.PHONY: all setup build test demo install clean fuzz bench

# Seconds each fuzz target runs in `make fuzz`.
FUZZ_SECONDS ?= 60

all: build

setup:
	@sh cmake/setup.sh

build: setup
	cmake --preset host
	cmake --build --preset host
	cmake --preset win32
	cmake --build --preset win32
	cmake --preset fuzz
	cmake --build --preset fuzz

# One CTest run over both builds and the fuzz corpus replays, so the summary
# at the end covers all.
test: build
	@printf 'subdirs("host" "win32" "fuzz/fuzz")\n' > build/CTestTestfile.cmake
	cd build && ctest --output-on-failure

# Every fuzz target for FUZZ_SECONDS, from its seed corpus on.
fuzz: setup
	cmake --preset fuzz
	cmake --build --preset fuzz
	sh fuzz/run.sh $(FUZZ_SECONDS)

# Benchmarks print their figures; they are not tests.
bench: setup
	cmake --preset host
	cmake --build --preset host --target luma_bench_scanner luma_bench_intake
	build/host/luma_bench_scanner
	build/host/luma_bench_intake

demo: build
	LUMA_WINEPREFIX=$(CURDIR)/build/win32/wineprefix cmake/wine-run.sh build/win32/lumastat.exe query --flags 0x1E

install: build
	cmake --install build/win32 --prefix dist/win32

clean:
	rm -rf build dist
