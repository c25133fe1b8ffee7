# The two commands of the README: `make run` and `make test`.
.PHONY: run test deps build build-asan test-unit test-asan clean

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

clean:
	rm -rf build build-asan build-release
