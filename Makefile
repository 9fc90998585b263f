# Korva: `make run` builds and starts the application, `make test` builds and runs every test.
JOBS ?= $(shell nproc)
# One compiler cache for every build here and for CI (.ci/run keeps what it finds set).
CCACHE_DIR ?= $(HOME)/.cache/korva-ccache
export CCACHE_DIR
GEN := -G Ninja

.PHONY: deps run test build-release build-test bench fuzz fuzz-check memory-check clean

deps:
	@bash scripts/deps.sh

build-release: deps
	@cmake -S . -B build/release $(GEN) -DCMAKE_BUILD_TYPE=Release -DKORVA_TESTS=OFF >/dev/null
	@cmake --build build/release -j $(JOBS) --target korva

run: build-release
	@./build/release/main/korva $(ARGS)

# The test build compiles each target's files in batches, as CI does, so that CI and this command
# share build/test and the compiler cache: a cold build in well under half the processor time.
# UNITY=OFF compiles file by file (an edit recompiles one file, not its batch) in a folder of its
# own beside it, so that neither undoes the other.
UNITY ?= ON
TEST_BUILD := build/test$(if $(filter OFF off 0,$(UNITY)),-single)
build-test: deps
	@cmake -S . -B $(TEST_BUILD) $(GEN) -DCMAKE_BUILD_TYPE=Debug -DKORVA_SANITIZE=ON -DKORVA_UNITY=$(UNITY) >/dev/null
	@cmake --build $(TEST_BUILD) -j $(JOBS)

# Each test binary runs in a few processes, not one per case; TESTS=REGEX picks cases by name.
test: build-test
	@python3 scripts/run_tests.py $(TEST_BUILD) -j $(JOBS) --timeout 300 $(if $(TESTS),-R '$(TESTS)')

bench: deps
	@bash scripts/deps.sh bench/packages.txt
	@cmake -S . -B build/bench $(GEN) -DCMAKE_BUILD_TYPE=Release -DKORVA_TESTS=OFF -DKORVA_BENCH=ON >/dev/null
	@cmake --build build/bench -j $(JOBS)
	@bash bench/run.sh build/bench

# Fuzz targets (clang and libFuzzer), each run FUZZ_SECONDS from the seeds; see README.md.
FUZZ_SECONDS ?= 20
fuzz: deps
	@bash scripts/deps.sh fuzz/packages.txt
	@CC=clang CXX=clang++ cmake -S . -B build/fuzz $(GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVA_TESTS=OFF -DKORVA_FUZZ=ON >/dev/null
	@cmake --build build/fuzz -j $(JOBS) --target korva_fuzz
	@bash fuzz/run.sh build/fuzz $(FUZZ_SECONDS)

# The fuzz targets' sources compile with clang (syntax and warnings only; cheap enough for CI).
fuzz-check: deps
	@bash scripts/deps.sh fuzz/packages.txt
	@JOBS=$(JOBS) bash scripts/fuzz-check.sh build/fuzz-check

# A photo's pictures freed on a worker go back to the system with the program's own start (a plain
# build of main and a check; CI runs it).
memory-check:
	@bash scripts/memory-check.sh

clean:
	rm -rf build
