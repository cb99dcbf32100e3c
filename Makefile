# The interface is two commands: make demo and make test (see README.md).
# Everything real lives in scripts/.

DEMO := build/native/apps/demo/rillmark_demo
DEMO_ARGS ?=
BENCH_ARGS ?=
FUZZ_SECONDS ?=
FUZZ_RUNS ?=
FUZZ_JOBS ?=
FUZZ_TARGETS ?=
SOAK_SECONDS ?= 600
SOAK_SEED ?= 1
PREFIX ?= /usr/local
MAKEFLAGS += --no-print-directory

.PHONY: test demo bench fuzz soak package install setup clean

test:
	scripts/setup.sh
	scripts/test.sh

demo:
	scripts/setup.sh native
	cmake --build build/native -j $$(nproc) --target rillmark_demo
	$(DEMO) $(DEMO_ARGS)

fuzz:
	scripts/setup.sh fuzz
	cmake --build build/fuzz -j $$(nproc) --target rillmark_fuzzers
	FUZZ_SECONDS="$(FUZZ_SECONDS)" FUZZ_RUNS="$(FUZZ_RUNS)" FUZZ_JOBS="$(FUZZ_JOBS)" scripts/fuzz.sh $(FUZZ_TARGETS)

soak:
	scripts/setup.sh win32
	scripts/soak.sh $(SOAK_SECONDS) $(SOAK_SEED)

package:
	scripts/setup.sh win32 release
	cmake --build build/win32 -j $$(nproc) --target rillmark_package
	scripts/release.sh package
	@echo "Plug-in package: $$(ls build/win32/Rillmark-*.zip)"
	@echo "Debian package:  $$(ls build/release/rillmark-bake_*.deb)"
	@echo "Blender add-on:  $$(scripts/blender-package.sh)"

# The optimised rillmark-bake and its manual page under $(PREFIX).
install:
	scripts/setup.sh release
	scripts/release.sh install "$(PREFIX)"

bench:
	scripts/setup.sh
	scripts/bench.sh $(BENCH_ARGS)

setup:
	scripts/setup.sh

clean:
	rm -rf build
