# The two everyday commands: `make run` and `make test`.
# Both install what is missing first (Debian packages only).

JOBS        ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR    := build/test
FUZZ_DIR    := build/fuzz
BENCH_DIR   := build/bench
FUZZ_SECONDS ?= 20

.PHONY: all deps run build test unit fuzz bench install package clean

all: build

deps:
	@./scripts/install-deps.sh

build: deps
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF
	cmake --build $(RELEASE_DIR) -j $(JOBS)

run: build
	./$(RELEASE_DIR)/bin/vantrel

# Tests run under AddressSanitizer and UndefinedBehaviorSanitizer, headless.
test: deps unit fuzz

unit:
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTREL_SANITIZE=ON \
	      -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g"
	cmake --build $(TEST_DIR) -j $(JOBS)
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The differential fuzzer compares the fast decoder with the reference one.
fuzz:
	CXX=clang++ cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DVANTREL_GUI=OFF -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF -DVANTREL_FUZZ=ON
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	cd $(FUZZ_DIR) && ctest --output-on-failure

bench: deps
	cmake -S . -B $(BENCH_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF
	cmake --build $(BENCH_DIR) -j $(JOBS)
	./scripts/run-benchmarks.sh $(BENCH_DIR)

install: build
	cmake --install $(RELEASE_DIR)

# The Debian package of the Release build, as $(RELEASE_DIR)/vantrel_<version>_<arch>.deb.
package: build
	cmake --build $(RELEASE_DIR) --target package

clean:
	rm -rf build
