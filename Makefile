# Two entry points, both of which install whatever Debian packages are missing:
#   make demo   Release build, then the sample gallery
#   make test   AddressSanitizer + UndefinedBehaviorSanitizer build, then every test
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: demo test deps build build-test clean

deps:
	@./tools/install-deps.sh

# The demo needs only the command and the server library it loads.
build: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS) --target plotvane

demo: build
	./build/plotvane demo --out gallery

build-test: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

test: build-test
	ctest --preset asan -j $(JOBS)

clean:
	rm -rf build build-asan build-tsan gallery
