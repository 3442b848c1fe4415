# The two commands of the README. Both do all set-up on a fresh Debian 12 machine.
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: all deps build test run release tsan fuzz format clean windows windows-test

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake --preset debug >/dev/null
	@cmake --build --preset debug -j $(JOBS)

# The firmware library's download worker also runs under ThreadSanitizer on every test run;
# only the library and its tests are built for that.
FWDL_TSAN_TARGETS := fwdl_internal_tests fwdl_api_tests fwdl_load_tests fwdl_static_load_probe \
  fault_matrix_tests

test: build
	@ctest --preset debug -j $(JOBS)
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS) --target $(FWDL_TSAN_TARGETS)
	@ctest --preset tsan -j $(JOBS) -R '^fwdl[._]' -E '_fuzz_seeds$$'
	@if command -v wine >/dev/null 2>&1; then $(MAKE) --no-print-directory windows-test; \
	 else echo "wine not installed: the Windows tests are left out"; fi

# The Windows build (mingw-w64, in build/windows): dun_fwdl.dll with its import library,
# VelmoraProUpdater.exe, velmoractl.exe and kwf.exe, in build/windows/bin.
WINDOWS_TARGETS := dun_fwdl VelmoraProUpdater velmoractl kwf

# The Windows build also makes VelmoraControl.exe and the setup program, over a static wxMSW
# that scripts/build-wxmsw builds once per machine into ~/.cache/velmora (some 15 to 25 minutes
# at -j2 the first time; see README, Windows).
windows: deps
	@prefix=$$(WXMSW_JOBS=$(JOBS) nice -n 10 scripts/build-wxmsw) && \
	 cmake --preset windows -DVELMORA_WXMSW="$$prefix" >/dev/null && \
	 cmake --build --preset windows -j $(JOBS) --target $(WINDOWS_TARGETS) VelmoraControl VelmoraProSetup

# The Windows programs' tests under Wine, on the in-process bus (make test runs them).
windows-test: windows
	@cmake --build --preset windows -j $(JOBS) --target windows_tests
	@ctest --preset windows -j $(JOBS)

# The control panel on the simulated bus (the bus with one Velmora PRO Studio started when
# none runs).
run: build
	@scripts/run build/debug/bin

release: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release -j $(JOBS)

# The window tests are left out: GTK and wx are not built with ThreadSanitizer, and their own
# thread pools show up as races; the threads of ours behind the windows are tested without them.
tsan: deps
	@cmake --preset tsan >/dev/null
	@cmake --build --preset tsan -j $(JOBS)
	@ctest --preset tsan -j $(JOBS) -LE gui

# `make fuzz` builds the libFuzzer targets; `make fuzz FUZZ_SECONDS=60` also runs each of them
# that long over its seed corpus and fails when one of them finds a crash.
FUZZ_SECONDS ?= 0

fuzz: deps
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)
	@if [ "$(FUZZ_SECONDS)" -gt 0 ]; then scripts/run-fuzzers build/fuzz/bin $(FUZZ_SECONDS); \
	 else echo "fuzz targets built in build/fuzz/bin; make fuzz FUZZ_SECONDS=60 runs each for 60 s"; fi

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf build
