# Build entry points. `make test` (sanitizer build, every test), `make demo`, `make bench`,
# `make fuzz`. CI runs `make test` with warnings as errors (the dev preset sets them).
JOBS ?= 2

.PHONY: all dev release test demo bench fuzz format clean

all: dev

dev:
	cmake --preset dev >/dev/null
	cmake --build --preset dev -j $(JOBS)

release:
	cmake --preset release >/dev/null
	cmake --build --preset release -j $(JOBS)

test: dev
	ctest --preset dev -j $(JOBS)

demo: release
	bash examples/demo.sh build/release/apps/zelcad/zelcad

bench: release
	bash bench/run.sh build/release

fuzz:
	cmake --preset fuzz >/dev/null
	cmake --build --preset fuzz -j $(JOBS)
	bash tests/fuzz/run.sh build/fuzz

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
