# The two commands of the README. Each installs what is missing first.
.PHONY: test demo dist test-native test-asan test-tsan test-win32 test-fuzz test-dist \
        deps-test deps-demo deps-win32 deps-dist

test: deps-test test-native test-asan test-tsan test-fuzz test-dist test-win32

# The Windows programs run under Wine inside a VM on machines that cannot run
# 32-bit programs; its image is built (once per machine) before anything else,
# so a machine that cannot build it fails at once.
deps-test:
	scripts/install-deps native win32 winvm fuzz dist
	scripts/run-windows-programs --prepare

deps-demo:
	scripts/install-deps native

deps-win32:
	scripts/install-deps win32 winvm
	scripts/run-windows-programs --prepare

deps-dist:
	scripts/install-deps native win32 dist

test-native:
	cmake --preset debug
	cmake --build --preset debug
	ctest --preset debug

test-asan:
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

# ThreadSanitizer's runtime needs its shadow memory where the kernel's address
# randomisation may put other mappings ("unexpected memory mapping" with a high
# vm.mmap_rnd_bits), so the build (whose test discovery runs the program) and the
# tests run with randomisation off for the process, where the system allows it.
NO_ASLR := $(shell setarch $$(uname -m) -R true 2>/dev/null && echo setarch $$(uname -m) -R)

# The concurrency tests and the library they load, built with ThreadSanitizer.
test-tsan:
	cmake --preset tsan
	$(NO_ASLR) cmake --build --preset tsan
	$(NO_ASLR) ctest --preset tsan

# Short smoke runs of the fuzz targets over their seed corpora (clang, libFuzzer).
test-fuzz:
	cmake --preset fuzz
	cmake --build --preset fuzz
	ctest --preset fuzz

# The release packages: dist/Tolvex29-<version>-win32.zip, the Linux tarball and
# SHA256SUMS, the same bytes for the same commit (scripts/make-dist).
dist: deps-dist
	cmake --preset release
	cmake --build --preset release
	cmake --preset win32
	cmake --build --preset win32 --target Tolvex29 tolvex-host
	scripts/make-dist

# The packages as a host developer meets them (the Windows package's programs
# also run under Wine, in test-win32).
test-dist: dist
	scripts/check-dist

# The Windows build, its export-table checks, and every Windows test program
# (with those of the Windows package from dist/) run under Wine in one batch,
# under the C and the Russian locale.
test-win32: deps-win32
	cmake --preset win32
	cmake --build --preset win32
	ctest --preset win32
	@cat build/win32/windows-results/summary.txt

demo: deps-demo
	cmake --preset release
	cmake --build --preset release
	build/release/bin/tolvex-host demo
