# Pelmira: `make run` builds and starts the controller, `make test` builds both
# architectures and runs every test under Wine. Both install what is missing first.

JOBS      ?= $(shell nproc)
BUILD     ?= build
X64       := $(BUILD)/x86_64
X86       := $(BUILD)/i686
CMAKE_GEN := -G "Unix Makefiles"

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

test: build
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
