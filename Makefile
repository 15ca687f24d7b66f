# Thin wrapper over the two CMake presets. `make test` and `make demo` set
# the machine up first (cmake/setup.sh installs only what is missing).
.PHONY: all setup build test demo install clean

all: build

setup:
	@sh cmake/setup.sh

build: setup
	cmake --preset host
	cmake --build --preset host
	cmake --preset win32
	cmake --build --preset win32

# One CTest run over both builds, so the summary at the end covers all.
test: build
	@printf 'subdirs("host" "win32")\n' > build/CTestTestfile.cmake
	cd build && ctest --output-on-failure

demo: build
	LUMA_WINEPREFIX=$(CURDIR)/build/win32/wineprefix cmake/wine-run.sh build/win32/lumastat.exe query --flags 0x1E

install: build
	cmake --install build/win32 --prefix dist/win32

clean:
	rm -rf build dist
