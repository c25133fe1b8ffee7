# The two commands of the README: `make run` and `make test`.
.PHONY: run test deps build build-asan format format-check bench clean

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

# The window only: the program and the modules it loads on first use, not the
# tests (`make test` builds everything), so a first run opens in minutes.
run: deps
	@echo "make run: configuring the debug build in build/"
	@cmake --preset dev >/dev/null
	@echo "make run: building the program and its modules (tests are left for make test)"
	cmake --build --preset dev -j $(JOBS) --target qvanto qvanto_modules
	@echo "make run: opening the window (./build/qvanto)"
	./build/qvanto

# The committed .clang-format, applied or checked.
format:
	scripts/format.sh

format-check: deps
	scripts/format.sh --check

# The same sources with AddressSanitizer and UndefinedBehaviorSanitizer.
build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

# The whole suite, the tests that drive the real program under Xvfb included;
# the unit tests once more in a time zone with summer time, whose clocks skip
# and repeat an hour; then the whole suite again on the sanitizer build (the
# fuzz test is a sanitizer build of its own, and the package is built once:
# both run once).
test: format-check build build-asan
	scripts/with-desktop.sh ctest --preset dev -j $(JOBS) --no-tests=error
	TZ=Europe/Berlin ctest --preset dev -j $(JOBS) --no-tests=error -L unit
	scripts/with-desktop.sh ctest --preset asan -j $(JOBS) --no-tests=error -LE "fuzz|packaging"

# The Debian package of an optimised build configured for /usr, written to
# build/qvanto_<version>_<arch>.deb; cmake/build-deb.sh says how.
.PHONY: package
package: deps
	cmake/build-deb.sh build-package build $(JOBS)

# Benchmarks of an optimised build; figures only, never part of `make test`.
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	python3 bench/run.py build-release

clean:
	rm -rf build build-asan build-release
