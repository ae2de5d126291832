# Two commands for a newcomer: `make run` and `make test`.
JOBS ?= $(shell nproc)
GEN := -G Ninja

.PHONY: run build test fuzz bench setup clean

setup:
	@bash scripts/setup

build: setup
	cmake -S . -B build/run $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_TESTS=OFF
	cmake --build build/run -j $(JOBS)

run: build
	./build/run/korvanta

test: setup
	cmake -S . -B build/test $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKORVANTA_SANITIZE=ON \
	      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g"
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest -j $(JOBS) --output-on-failure --timeout 600

# libFuzzer targets, built with clang in their own tree: build/fuzz/fuzz/fuzz_<name>.
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

bench: setup
	cmake -S . -B build/bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DKORVANTA_TESTS=OFF -DKORVANTA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	bash bench/run-all

clean:
	rm -rf build
