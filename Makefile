# One entry point for building, running and testing on a fresh Debian machine.
BUILD ?= build
DATA ?= $(CURDIR)/data
JOBS ?= $(shell nproc)

.PHONY: deps build run test clean

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

clean:
	rm -rf $(BUILD)
