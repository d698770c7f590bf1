# Pelmira: `make run` builds and starts the controller, `make test` builds the x86_64 tree and
# the release packages of both architectures and runs every test under Wine (the package test
# runs the packages). Both install what is missing first. `make build` builds both test trees.

JOBS      ?= $(shell nproc)
BUILD     ?= build
X64       := $(BUILD)/x86_64
X86       := $(BUILD)/i686
CMAKE_GEN := -G "Unix Makefiles"

# ccache, when the machine has it, for every tree configured from here (dist.sh's too); a
# launcher already chosen in the environment wins. Without ccache the compilers run directly.
ifneq ($(shell command -v ccache 2>/dev/null),)
export CMAKE_C_COMPILER_LAUNCHER ?= ccache
export CMAKE_CXX_COMPILER_LAUNCHER ?= ccache
endif

.PHONY: all deps build build-x64 build-i686 test run bench dist fuzz clean

all: build

deps:
	@bash scripts/install-deps.sh

$(X64)/Makefile: | deps
	cmake -S . -B $(X64) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64.cmake >/dev/null

$(X86)/Makefile: | deps
	cmake -S . -B $(X86) $(CMAKE_GEN) -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake >/dev/null

build-x64: deps $(X64)/Makefile
	@cmake --build $(X64) -j $(JOBS) -- --no-print-directory -s

build-i686: deps $(X86)/Makefile
	@cmake --build $(X86) -j $(JOBS) -- --no-print-directory -s

build: build-x64 build-i686

# The i686 programs cannot run here; the i686 package build compiles them, so the i686 test tree
# (which would double the build time of a fresh clone) is left to `make build`.
test: build-x64 dist
	@bash scripts/run-tests.sh $(X64)

run: build-x64
	@bash scripts/run.sh $(X64)

bench: build-x64
	@bash scripts/run-bench.sh $(X64)

# Release packages for Windows in dist/ (Release trees of their own under $(BUILD)).
dist: deps
	@JOBS=$(JOBS) bash scripts/dist.sh $(BUILD) dist

# Native libFuzzer runs of every palette reader (clang, ASan + UBSan); kept out of `make test`.
fuzz:
	@bash scripts/run-fuzz.sh

clean:
	rm -rf $(BUILD) dist
