# make run   - install dependencies, build, start the window program
# make test  - install dependencies, build, run every test (T=regex: only the tests it names)
# make bench - build and run the benchmarks (ratios against find, sed -i and memcpy)
# make fuzz  - build the libFuzzer targets with clang and run each for a bounded time
# make install [PREFIX=/usr/local] [DESTDIR=...] - build and install the programs and their files
# make package - build the programs (not the tests) and the Debian package (CPack) into
#                BUILD/package
# make check-format - fail when a C++ file differs from what clang-format makes of it
# make tidy - clang-tidy over the core (engine/, site/) with the repo's .clang-tidy
# WERROR=ON turns warnings into errors for the build (CI)
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_SECONDS ?= 15
PREFIX     ?= /usr/local
# Passed on only when given, so a later make without it keeps what the build folder has.
WERROR     ?=

.PHONY: deps configure build installed run test test-asan bench fuzz screenshots icons install package \
  check-package check-format tidy clean

deps:
	@scripts/install-deps

# The packages are checked once per build folder (again when the list of them changes), and
# the build folder is configured when it is new or WERROR asks for another setting; cmake
# --build configures again by itself when a CMakeLists.txt changed.
DEPS_STAMP := $(BUILD)/.deps-installed
$(DEPS_STAMP): scripts/install-deps
	@scripts/install-deps
	@mkdir -p $(BUILD) && touch $@

configure: $(DEPS_STAMP)
	@if [ ! -f $(BUILD)/CMakeCache.txt ] || \
	    { [ -n "$(WERROR)" ] && ! grep -q '^TERVANDO_WERROR:BOOL=$(WERROR)$$' $(BUILD)/CMakeCache.txt; }; then \
	  cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
	    $(if $(WERROR),-DTERVANDO_WERROR=$(WERROR)) >/dev/null; fi

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run-app $(BUILD)/bin/tervando

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS) $(if $(T),-R '$(T)')

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTERVANDO_GUI=OFF \
	  -DTERVANDO_BENCH=OFF -DTERVANDO_SANITIZE=ON >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

bench: configure
	@cmake -S . -B $(BUILD) -DTERVANDO_BENCH=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)
	@scripts/run-benchmarks $(BUILD)

fuzz: deps
	@CXX=clang++ CC=clang cmake -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTERVANDO_GUI=OFF -DTERVANDO_BENCH=OFF -DTERVANDO_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzzers
	@scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

screenshots: build
	@scripts/screenshots $(BUILD)

icons: build
	@cmake --build $(BUILD) --target icons-generate

# What is installed and packaged is built without the tests.
installed: configure
	@cmake --build $(BUILD) -j $(JOBS) --target tervando_installed

install: installed
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: installed
	@cd $(BUILD) && cpack --config CPackConfig.cmake

# Installs the package with apt-get, starts both programs from PATH, removes it (root).
check-package: package
	@scripts/check-package $(BUILD)

check-format: deps
	@scripts/check-format

# Needs BUILD/compile_commands.json, which configure writes.
tidy: configure
	@scripts/check-tidy $(BUILD) $(JOBS)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD)
