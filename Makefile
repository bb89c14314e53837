# Quick start: `make run` and `make test`. Both install what is missing first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
WERROR     ?= $(if $(CI),ON,OFF)
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test bench asan fuzz clean install package

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANTINE_WERROR=$(WERROR) $(CMAKE_ARGS)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@bash tools/run-demo.sh $(BUILD)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD)/bench/corvantine-bench
	$(BUILD)/bench/corvantine-content-bench
	$(BUILD)/bench/corvantine-sculpt-bench
	bash bench/document_throughput.sh $(BUILD)
	bash bench/edit_throughput.sh $(BUILD)
	bash bench/output_throughput.sh $(BUILD)
	bash bench/merge_throughput.sh $(BUILD)
	bash bench/dxf_import.sh $(BUILD)
	bash bench/video_throughput.sh $(BUILD)
	bash bench/net_throughput.sh $(BUILD)
	bash bench/fseq_throughput.sh $(BUILD)
	xvfb-run -a -s "-screen 0 1600x1000x24" $(BUILD)/bench/corvantine-playback 5
	xvfb-run -a -s "-screen 0 1600x1000x24" $(BUILD)/bench/corvantine-preview-bench

asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANTINE_SANITIZE=ON \
	  -DCORVANTINE_BUILD_BENCH=OFF -DCORVANTINE_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp \
	  ctest --output-on-failure -j $(JOBS)

# Long reader fuzzing in the sanitizer build: the full truncation and field sweeps, then
# FUZZ_RUNS random mutants per reader (FUZZ_SEED: another run). A crash is recorded and the
# run goes on; crashing inputs are saved in $(ASAN_BUILD)/fuzz-findings. See tests/fuzz/README.md.
FUZZ_RUNS ?= 20000
FUZZ_SEED ?=
fuzz: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCORVANTINE_SANITIZE=ON \
	  -DCORVANTINE_BUILD_BENCH=OFF -DCORVANTINE_WERROR=$(WERROR) $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS) --target fuzz_tests
	mkdir -p $(ASAN_BUILD)/fuzz-findings
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 QT_QPA_PLATFORM=offscreen LC_ALL=C.UTF-8 \
	  CORV_FUZZ_RUNS=$(FUZZ_RUNS) CORV_FUZZ_SEED=$(FUZZ_SEED) CORV_FUZZ_FORK=1 \
	  CORV_FUZZ_CRASH_DIR=$(abspath $(ASAN_BUILD))/fuzz-findings $(ASAN_BUILD)/tests/fuzz_tests

# make install [PREFIX=/usr/local] [DESTDIR=staging]; uninstall: xargs -d '\n' rm -f < $(BUILD)/install_manifest.txt
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# make package: build/package/corvantine_VERSION_ARCH.deb; install it with
# apt install ./build/package/corvantine_*.deb
package: build
	cd $(BUILD) && cpack -G DEB -B $(abspath $(BUILD))/package
	@ls $(BUILD)/package/*.deb

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
