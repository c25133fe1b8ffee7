# The two commands of the README: `make run` and `make test`.
.PHONY: run test deps build bench clean

JOBS ?= $(shell nproc)

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

run: build
	./build/qvanto

# The whole suite, the tests that drive the real program under Xvfb included.
test: build
	scripts/with-desktop.sh ctest --preset dev -j $(JOBS) --no-tests=error

# Benchmarks of an optimised build; figures only, never part of `make test`.
bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	python3 bench/run.py build-release

clean:
	rm -rf build build-asan build-release
