# Two commands for a newcomer: `make run` and `make test`.
JOBS ?= $(shell nproc)
GEN := -G Ninja

.PHONY: run build test fuzz bench lint lint-tree setup clean

setup:
	@bash scripts/setup

build: setup
	cmake -S . -B build/run $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_TESTS=OFF
	cmake --build build/run -j $(JOBS)

run: build
	./build/run/korvanta

# The test tree: AddressSanitizer and UndefinedBehaviorSanitizer, every test, then the lint.
TEST_CONFIGURE = cmake -S . -B build/test $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKORVANTA_SANITIZE=ON \
	      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DCMAKE_C_FLAGS_DEBUG="-O1 -g"

test: setup
	$(TEST_CONFIGURE)
	cmake --build build/test -j $(JOBS)
	cd build/test && ctest -j $(JOBS) --output-on-failure --timeout 600
	@$(MAKE) --no-print-directory lint-tree

# libFuzzer targets, built with clang in their own tree: build/fuzz/fuzz/fuzz_<name>.
fuzz: setup
	CC=clang CXX=clang++ cmake -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANTA_FUZZ=ON
	cmake --build build/fuzz -j $(JOBS)

bench: setup
	cmake -S . -B build/bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DKORVANTA_TESTS=OFF -DKORVANTA_BENCH=ON
	cmake --build build/bench -j $(JOBS)
	bash bench/run-all

# clang-tidy's bugprone checks (.clang-tidy) over our own sources, with the test tree's
# compile commands; any finding fails.
# `make test` runs it over its own built tree (lint-tree).
lint: setup
	$(TEST_CONFIGURE)
	cmake --build build/test -j $(JOBS) --target autogen_all 2>/dev/null || cmake --build build/test -j $(JOBS)
	@$(MAKE) --no-print-directory lint-tree

lint-tree:
	run-clang-tidy -p build/test -quiet -j $(JOBS) '$(CURDIR)/(platform|shell|controls|imaging|output|player|editing)/.*\.cpp$$' \
	    > build/lint.log 2>&1; status=$$?; grep -E "(warning|error):" build/lint.log; \
	    if [ $$status -ne 0 ] || grep -qE "(warning|error):" build/lint.log; then echo "lint: findings above"; exit 1; fi

clean:
	rm -rf build
