# Two entry points, both of which install whatever Debian packages are missing:
#   make demo                 Release build of the product, then the sample gallery
#   make test                 AddressSanitizer + UndefinedBehaviorSanitizer build, then every test
# and, after make demo:
#   make install [PREFIX=DIR] the product under DIR (~/.local when not given)
JOBS ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX ?= $(HOME)/.local

.PHONY: demo test deps build build-test install clean

deps:
	@./tools/install-deps.sh

# The product: the command, the server, the runtime, the header and the
# Python module, all that `cmake --install` installs; no tests, no benchmarks.
build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target plotvane_product

demo: build
	./build/plotvane demo --out gallery

install: build
	cmake --install build --prefix "$(PREFIX)"

build-test: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

test: build-test
	ctest --preset asan -j $(JOBS)

clean:
	rm -rf build build-asan build-tsan gallery
