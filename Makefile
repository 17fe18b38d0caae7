# The two set-up commands of the README. Both install what is missing first.
.PHONY: run test deps build build-asan clean format

JOBS ?= $(shell nproc)

deps:
	@./tools/install-deps.sh

build: deps
	cmake --preset default >/dev/null
	cmake --build --preset default -j $(JOBS)

build-asan: deps
	cmake --preset asan >/dev/null
	cmake --build --preset asan -j $(JOBS)

run: build
	@./tools/run-main.sh build/default

test: build build-asan
	ctest --preset default
	ctest --preset asan

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
