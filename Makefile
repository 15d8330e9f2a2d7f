# Strataview: the two set-up commands are `make run` and `make test` (see README.md).
SHELL := /bin/bash
FILE ?= samples/sample.bmp
JOBS ?= $(shell nproc)

.PHONY: run test build-native build-win64 build-win32 build-fuzz package screenshots bench clean

run:
	@scripts/deps.sh run
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j$(JOBS) --target strataview-cli plugins >/dev/null
	@build/native/bin/strataview-cli "$(FILE)"

test:
	@scripts/deps.sh test
	@scripts/test-all

build-native build-win64 build-win32 build-fuzz: build-%:
	cmake --preset $*
	cmake --build --preset $* -j$(JOBS)

package: build-win64 build-win32
	packaging/make-package.sh
	packaging/check-package.sh --all-plugins

screenshots: build-win64
	host/ui/scripts/screenshots build/win64 build/screenshots

bench: build-native
	scripts/bench-all

clean:
	rm -rf build
