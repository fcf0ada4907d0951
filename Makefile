# The two commands of the README:
#   make run    install what is missing, build kelvado.exe and run it under Wine
#   make test   install what is missing, build every configuration and run every test
# and what is handed out (the version is project(kelvado VERSION ...) of CMakeLists.txt):
#   make install PREFIX=DIR   kelvado-card and kelvado-script with their man pages, into DIR
#   make deb                  dist/kelvado-card_VERSION_ARCH.deb, the Debian package of those
#   make release              dist/kelvado-VERSION-win32.zip: the audited i686 kelvado.exe and
#                             the Japanese readme.txt
#
# Build directories:
#   build/win32    MinGW-w64 i686: kelvado.exe and the card emulator WNASPI32.DLL (the product)
#   build/win64    MinGW-w64 x86_64: their 64-bit twins, a test vehicle for machines that cannot
#                  start 32-bit programs
#   build/asan     native, AddressSanitizer + UndefinedBehaviorSanitizer
#   build/tsan     native, ThreadSanitizer: the tests that run more than one thread
#   build/fuzz     native with clang: libFuzzer targets
#   build/native   native: libraries, tests, tools; its CTest runs the tests of all five

JOBS ?= $(shell nproc)
BUILD ?= build
CMAKE_BUILD = cmake --build
FUZZ_SECONDS ?= 20
# Which Win32 build the e2e tests and `make run` run under Wine: i686 (the product, 32-bit Wine),
# x86_64 (the twin, wine64) or auto (i686 where this machine starts 32-bit programs, else x86_64).
E2E_ARCH ?= auto

.PHONY: all deps win32 win64 asan tsan fuzz native test run clean golden install deb release

all: win32 win64 native

deps:
	@tools/install-deps

win32: deps
	cmake -S . -B $(BUILD)/win32 --toolchain cmake/mingw-w64-i686.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(CMAKE_BUILD) $(BUILD)/win32 -j $(JOBS)

win64: deps
	cmake -S . -B $(BUILD)/win64 --toolchain cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
	$(CMAKE_BUILD) $(BUILD)/win64 -j $(JOBS)

asan: deps
	cmake -S . -B $(BUILD)/asan -DKELVADO_SANITIZE=address,undefined >/dev/null
	$(CMAKE_BUILD) $(BUILD)/asan -j $(JOBS)

tsan: deps
	cmake -S . -B $(BUILD)/tsan -DKELVADO_SANITIZE=thread >/dev/null
	$(CMAKE_BUILD) $(BUILD)/tsan -j $(JOBS)

fuzz: deps
	cmake -S . -B $(BUILD)/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DKELVADO_FUZZ=ON >/dev/null
	$(CMAKE_BUILD) $(BUILD)/fuzz -j $(JOBS)

# The native build's CTest runs the tests of those other builds that have been configured; a
# configured build whose programs are missing fails its tests.
configured = $(if $(wildcard $(BUILD)/$(1)/CMakeCache.txt),$(abspath $(BUILD)/$(1)))

native: deps
	cmake -S . -B $(BUILD)/native >/dev/null \
	  -DKELVADO_ASAN_DIR=$(call configured,asan) \
	  -DKELVADO_TSAN_DIR=$(call configured,tsan) \
	  -DKELVADO_WIN32_DIR=$(call configured,win32) \
	  -DKELVADO_WIN64_DIR=$(call configured,win64) \
	  -DKELVADO_E2E_ARCH=$(E2E_ARCH) \
	  -DKELVADO_FUZZ_DIR=$(call configured,fuzz) \
	  -DKELVADO_FUZZ_SECONDS=$(FUZZ_SECONDS)
	$(CMAKE_BUILD) $(BUILD)/native -j $(JOBS)

# The release zip is made first, for its tests. Audits that refuse it leave no zip: the run goes
# on, and win32.release fails beside the audit that says why.
test: win32 win64 asan tsan fuzz native
	-$(CMAKE_BUILD) $(BUILD)/win32 --target release
	cd $(BUILD)/native && ctest --output-on-failure -j $(JOBS)

PREFIX ?= /usr/local
DIST ?= dist

install: native
	cmake --install $(BUILD)/native --prefix $(PREFIX)

# CPack of the native build (cmake/Packaging.cmake), into $(BUILD)/native/package, then DIST.
deb: native
	rm -rf $(BUILD)/native/package
	cd $(BUILD)/native && cpack -G DEB
	mkdir -p $(DIST) && cp $(BUILD)/native/package/*.deb $(DIST)/

# The i686 build's target `release` (the audits, then the zip), into $(BUILD)/win32/dist, then DIST.
release: win32
	$(CMAKE_BUILD) $(BUILD)/win32 --target release
	mkdir -p $(DIST) && cp $(BUILD)/win32/dist/*.zip $(DIST)/

# The card: a blank image of CARD_MIB MiB in $(BUILD)/card (auto: one that holds the made C:, its
# used size and a quarter, rounded up to 64 MiB), served by the emulator WNASPI32.DLL that lies
# next to kelvado.exe. E2E_ARCH chooses the build as for the e2e tests.
CARD_MIB ?= auto

run: win32 win64
	tools/wine/wine-run $(BUILD)/win32/bin/kelvado.exe --twin $(BUILD)/win64/bin/kelvado.exe \
	  --arch $(E2E_ARCH) --out $(BUILD)/run \
	  --card $(BUILD)/card --card-mib $(CARD_MIB)

clean:
	rm -rf $(BUILD)

# Rewrites the golden sector dumps of tests/engine/golden from what the engine writes now; for a
# change of the boot code or the formats made on purpose. Review the diff before committing it.
golden: native
	python3 tests/engine/golden_test.py $(BUILD)/native/bin/kelvado-card --regenerate

# The card engine's benchmark (figures and ratios of one run, not a test).
.PHONY: bench
bench: native
	$(CMAKE_BUILD) $(BUILD)/native --target bench
