# The two set-up commands are `make run` and `make test`; both install what is missing first.
FUZZ_SECONDS ?= 60

.PHONY: deps build run test bench soak interop fuzz deb format clean

deps:
	scripts/install-deps

build: deps
	cmake --preset dev
	cmake --build --preset dev

run: build
	build/dev/bin/korva

test: deps
	cmake --workflow --preset dev
	cmake --preset asan
	cmake --build --preset asan
	ctest --preset asan

bench: deps
	cmake --preset release
	cmake --build --preset release
	scripts/run-benchmarks build/release/bin

# Hostile servers, odd output paths, signals and broken projects, on 127.0.0.1; a few minutes.
soak: deps
	cmake --preset release
	cmake --build --preset release
	scripts/soak build/release/bin

# hhc.exe as the help compiler of Doxygen and Sphinx; not part of test: it installs both.
interop: build
	scripts/install-deps doxygen python3-sphinx python3-sphinxcontrib.htmlhelp
	scripts/interop build/dev/bin/hhc.exe

fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz
	scripts/run-fuzzers build/fuzz/bin $(FUZZ_SECONDS)

# The Debian package, build/korva_<version>_amd64.deb, from the optimised build; lintian must
# find no errors in it (the warnings kept are explained in docs/packaging.md).
deb: deps
	scripts/install-deps lintian
	cmake --preset release
	cmake --build --preset release
	rm -f build/korva_*_amd64.deb
	cpack --preset deb
	lintian --fail-on error --info build/korva_*_amd64.deb

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format-14 -i

clean:
	rm -rf build
