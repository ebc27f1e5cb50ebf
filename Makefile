# SPDX-License-Identifier: GPL-3.0-or-later
# One entry point for building, running and testing on a fresh Debian machine.
BUILD ?= build
DATA ?= $(CURDIR)/data
JOBS ?= $(shell nproc)

.PHONY: deps build run test test-asan fuzz fuzz-build fuzz-smoke bench clean package lintian screenshot

deps:
	@scripts/install-deps.sh

build: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVERA_WERROR=ON >/dev/null
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p "$(DATA)"
	cd "$(DATA)" && "$(abspath $(BUILD))/lumivera"

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVERA_SANITIZE=ON >/dev/null
	@cmake --build build-asan -j $(JOBS)
	cd build-asan && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

# libFuzzer, FUZZ_SECONDS seconds per target: the record reader and the three table loaders
# against Qt's own decoding, and sequences of changes to a real store against a plain model.
# fuzz-smoke runs each for 20 seconds; a crash, a sanitizer finding or a divergence fails it.
# A long run may trade AddressSanitizer for speed and use every core, for example
#   make fuzz FUZZ_SECONDS=3600 FUZZ_SANITIZERS=undefined FUZZ_JOBS=2
FUZZ_SECONDS ?= 60
FUZZ_SANITIZERS ?= address,undefined
FUZZ_JOBS ?= 1
comma := ,
FUZZ_BUILD = build-fuzz$(if $(filter address$(comma)undefined,$(FUZZ_SANITIZERS)),,-$(subst $(comma),-,$(FUZZ_SANITIZERS)))
FUZZ_FLAGS = -print_final_stats=1 -artifact_prefix=$(CURDIR)/$(FUZZ_BUILD)/ \
  $(if $(filter-out 1,$(FUZZ_JOBS)),-fork=$(FUZZ_JOBS))
define fuzz_run
	@mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/changes_corpus
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(FUZZ_BUILD)/fuzz/fuzz_record_files \
	  $(FUZZ_BUILD)/corpus fuzz/corpus -max_total_time=$(1) -max_len=4096 $(FUZZ_FLAGS)
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 $(FUZZ_BUILD)/fuzz/fuzz_changes \
	  $(FUZZ_BUILD)/changes_corpus fuzz/changes_corpus -max_total_time=$(1) -max_len=128 $(FUZZ_FLAGS)
endef

fuzz-build:
	@scripts/install-deps.sh clang libclang-rt-dev
	@CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMIVERA_FUZZ=ON \
	  -DLUMIVERA_FUZZ_SANITIZERS=$(FUZZ_SANITIZERS) >/dev/null
	@cmake --build $(FUZZ_BUILD) --target fuzz_record_files fuzz_changes

fuzz: fuzz-build
	$(call fuzz_run,$(FUZZ_SECONDS))

fuzz-smoke: fuzz-build
	$(call fuzz_run,20)

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-fuzz-* build-bench build-package dist

# The Debian package dist/lumivera_<version>_<arch>.deb, built by dpkg-buildpackage from debian/
# in a copy of the checkout (build-package/), with the source package beside it in dist/; its
# Depends come from dpkg-shlibdeps, its compiler flags from dpkg-buildflags. The tests run in
# the package build too unless DEB_BUILD_OPTIONS=nocheck. Fails unless the package holds the
# program, its desktop entry and its icon, or unless debian/changelog names the project's version.
package:
	@scripts/install-deps.sh debhelper dpkg-dev
	@DEB_BUILD_OPTIONS="$(strip parallel=$(JOBS) $(DEB_BUILD_OPTIONS))" scripts/build-package.sh

# lintian over the binary and the source package: any error or warning fails it; the pedantic
# and informational tags are shown as well.
lintian: package
	@scripts/install-deps.sh lintian
	lintian --fail-on error,warning --display-info --pedantic dist/lumivera_*.changes dist/lumivera_*.dsc

# The pictures of the window in docs/, made by the program's own window on the offscreen platform
# with the seeded sample data.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/lumivera_screenshot docs
	QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=1.5 $(BUILD)/tests/lumivera_screenshot docs

# Benchmarks: a Release build of the harness, run on Qt's offscreen platform; prints the table of
# figures, floors and targets (the exit code is 0 whatever the verdicts).
BENCH_BUILD ?= build-bench
bench: deps
	@cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DLUMIVERA_BENCH=ON -DLUMIVERA_WERROR=ON >/dev/null
	@cmake --build $(BENCH_BUILD) --target lumivera_bench -j $(JOBS)
	@QT_QPA_PLATFORM=offscreen $(BENCH_BUILD)/bench/lumivera_bench
