# Vellix: top-level entry. `make test` installs what is missing (Debian 12, as root), builds
# the native and the Windows trees and runs every test natively, under Wine and the fuzzer.

BUILD        ?= build
NATIVE       := $(BUILD)/native
WINDOWS      := $(BUILD)/windows
FUZZ         := $(BUILD)/fuzz
BENCH        := $(BUILD)/bench
THIRD_PARTY  := $(BUILD)/third_party
TINYXML      := $(abspath $(THIRD_PARTY))/tinyxml
YAML_CPP     := $(abspath $(THIRD_PARTY))/yaml-cpp
JOBS         ?= $(shell nproc)
FUZZ_SECONDS ?= 120

.PHONY: all deps tinyxml native windows fuzz bench test test-native test-windows test-fuzz demo run clean

all: native windows

deps:
	@scripts/install-deps.sh

tinyxml: deps
	@scripts/fetch-tinyxml.sh $(THIRD_PARTY)
	@scripts/fetch-debian-source.sh $(THIRD_PARTY) yaml-cpp yaml-cpp src/parser.cpp

native: deps
	cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Debug -DVELLIX_SANITIZE=ON -DVELLIX_BENCH=OFF
	cmake --build $(NATIVE) -j $(JOBS)

windows: tinyxml
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DTINYXML_SOURCE_DIR=$(TINYXML) -DYAML_CPP_SOURCE_DIR=$(YAML_CPP)
	cmake --build $(WINDOWS) -j $(JOBS)

fuzz: tinyxml
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DVELLIX_FUZZ=ON -DTINYXML_SOURCE_DIR=$(TINYXML) -DYAML_CPP_SOURCE_DIR=$(YAML_CPP)
	cmake --build $(FUZZ) -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCH) -DCMAKE_BUILD_TYPE=Release -DVELLIX_BENCH=ON
	cmake --build $(BENCH) -j $(JOBS)

test: native windows fuzz
	@scripts/run-tests.sh $(BUILD) $(FUZZ_SECONDS)

test-native: native
	ctest --test-dir $(NATIVE) --output-on-failure --no-tests=error

test-windows: windows
	scripts/with-display.sh ctest --test-dir $(WINDOWS) --output-on-failure --no-tests=error

test-fuzz: fuzz
	@scripts/run-fuzzers.sh $(FUZZ) $(FUZZ_SECONDS)

demo: windows
	@scripts/demo.sh $(BUILD)

# Vellix under Wine on your own display, in the program folder build/run.
run: windows
	@scripts/run.sh $(BUILD)

clean:
	rm -rf $(BUILD)
