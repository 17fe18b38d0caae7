# The two set-up commands of the README. Both install what is missing first.
.PHONY: run test deps build build-asan test-tsan fuzz-smoke clean format

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
	@./tools/run-studio.sh build/default

test: build build-asan
	ctest --preset default
	ctest --preset asan

# The threaded parts (serial port, upload, device network) under ThreadSanitizer.
test-tsan: deps
	cmake --preset tsan >/dev/null
	cmake --build --preset tsan -j $(JOBS) --target util_test serial_test upload_test devnet_test
	ctest --preset tsan -L 'util|serial|upload|devnet'

# Every fuzz target for a short while on its seed corpus (FUZZ_SECONDS each).
FUZZ_SECONDS ?= 20
fuzz-smoke: deps
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	./tools/fuzz-smoke.sh build/fuzz $(FUZZ_SECONDS)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
