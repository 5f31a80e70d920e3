# Kelpwise: a registry cleaner for Windows, built with MinGW-w64 for 32-bit
# and 64-bit Windows and run under Wine. Every target installs what it needs
# first (scripts/setup.sh).
SHELL := /bin/bash
MAKEFLAGS += --no-print-directory

.PHONY: all setup native windows test run screenshots clean

all: native windows

setup:
	bash scripts/setup.sh

# Window-free code and unit tests, with sanitizers (build/native).
native: setup
	bash scripts/build.sh native

# Kelpwise.exe, its program folder and the Wine test programs, for 32-bit
# (build/win) and 64-bit Windows (build/win64).
windows: setup
	bash scripts/build.sh windows

# Everything: unit tests natively, then the test programs under Wine.
test:
	bash scripts/test.sh

# The libFuzzer targets of tests/fuzz (clang, build/fuzz), each for
# FUZZ_SECONDS on its corpus copy; prints the executions of each.
FUZZ_SECONDS ?= 60
.PHONY: fuzz
fuzz: setup
	bash scripts/fuzz.sh run $(FUZZ_SECONDS)

# Starts Kelpwise in a private demo prefix (build/demo-prefix, or
# build/demo-prefix-win64 where 32-bit programs cannot run).
run:
	bash scripts/run.sh

# Pictures of every window state (build/screenshots).
screenshots: windows
	bash scripts/screenshots.sh build/screenshots

clean:
	rm -rf build

# Times a search and a deletion on a large generated registry against the
# bare registry cost (bench/bench.sh; throwaway prefix and display).
.PHONY: bench
bench: windows
	cmake --build build/win --target kwbench -j2
	cmake --build build/win64 --target kwbench -j2
	bash bench/bench.sh
