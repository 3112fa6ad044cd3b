# The two everyday commands: `make run` and `make test`.
# Both install what is missing first (Debian packages only); on a machine
# without make, scripts/install-deps.sh installs it too (see README).

JOBS        ?= $(shell nproc)
RELEASE_DIR := build/release
TEST_DIR    := build/test
FUZZ_DIR    := build/fuzz
BENCH_DIR   := build/bench
FUZZ_SECONDS ?= 20
VERSION     := $(shell sed -n 's/^project.Vantrel VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)

.PHONY: all deps run build test unit fuzz bench install package dist clean

all: build

deps:
	@./scripts/install-deps.sh

# With the flags a Debian package is built with, all hardening on: fortify,
# stack protector, read-only relocations bound at start, PIE.
build: deps
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	      -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CPPFLAGS) $$(dpkg-buildflags --get CXXFLAGS)" \
	      -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
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

# The Debian packages of the Release build, $(RELEASE_DIR)/vantrel_<version>_<arch>.deb
# and vantrel-decode_<version>_<arch>.deb, and what lintian finds in them.
package: build
	cmake --build $(RELEASE_DIR) --target package
	lintian --fail-on error,warning $(RELEASE_DIR)/vantrel_$(VERSION)_*.deb $(RELEASE_DIR)/vantrel-decode_$(VERSION)_*.deb

# The source release: the committed tree, without anything built from it.
dist:
	@git rev-parse --is-inside-work-tree >/dev/null 2>&1 || \
	  { echo "make dist needs the git repository: it packs the committed tree"; exit 1; }
	mkdir -p build
	git archive --format=tar.gz --prefix=vantrel-$(VERSION)/ -o build/vantrel-$(VERSION).tar.gz HEAD
	@echo "build/vantrel-$(VERSION).tar.gz"

clean:
	rm -rf build
