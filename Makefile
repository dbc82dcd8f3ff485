# Thin wrapper over CMake and CTest. `make run` and `make test` work on a fresh
# Debian 12 machine: they install what is missing first.
# A bare `make` builds everything: the program, trapezola-cli, the Python
# module, the tests and the benchmarks.
.DEFAULT_GOAL := build
BUILD ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS ?= $(shell nproc)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)
# fonts-liberation2: the windows' captions are set in Liberation Sans and no other face.
# qt6-svg-dev: the SVG generator of exported figures.
PACKAGES := g++ make cmake libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev qt6-svg-dev \
	qt6-image-formats-plugins libgl-dev fonts-liberation2
# parallel: GNU parallel, which runs the atlas's shards (and a test of them); rsync:
# what parallel's --return uses to bring shards back from other hosts.
PACKAGES += parallel rsync
# The end-to-end tests drive the program under a private X server (Xvfb) with
# xdotool, and read the windows back over the accessibility bus and screenshots.
E2E_PACKAGES := xvfb xdotool dbus-daemon at-spi2-core python3 python3-dbus python3-xlib
PACKAGES += $(E2E_PACKAGES)
# The Python module (pybind11, Debian's python3 and NumPy), its tests (pytest)
# and the example's plots (Matplotlib).
PACKAGES += pybind11-dev python3-dev python3-numpy python3-pytest python3-matplotlib
# pip's route into a venv (a test installs the package offline with Debian's
# setuptools), the notebook executed by nbconvert on an IPython kernel, and the
# atlas on a Dask cluster.
PACKAGES += python3-venv python3-pip python3-setuptools python3-wheel \
	jupyter-nbconvert python3-nbconvert python3-ipykernel python3-dask python3-distributed

FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := conversions_fuzzer stored_portrait_name_fuzzer cli_fuzzer lgtr_data_file_fuzzer \
	portrait_history_fuzzer
FUZZ_PACKAGES := clang libclang-rt-14-dev make cmake

.PHONY: deps configure build run test python test-fresh test-e2e test-sanitize test-tsan bench install clean fuzz-deps fuzz-build fuzz fuzz-one fuzz-run

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/app/trapezola

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# `make test` on a fresh Debian 12 system, in a chroot with a clean clone of the
# committed HEAD (uncommitted changes are left out); needs root. See tools/test-fresh
# for TEST_FRESH_CMD, TEST_FRESH_KEEP and TEST_FRESH_CACHE.
test-fresh:
	tools/test-fresh

# Only the end-to-end tests (label e2e): the real program under Xvfb.
test-e2e: build
	cd $(BUILD) && ctest -L e2e --output-on-failure -j $(JOBS)

# The whole suite once more under AddressSanitizer and UndefinedBehaviorSanitizer;
# any report fails the run. Unoptimised: the golden digests hold in every build.
test-sanitize: deps
	cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTRAPEZOLA_SANITIZE=ON -DTRAPEZOLA_BUILD_BENCH=OFF
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ctest --output-on-failure -j $(JOBS)

# The tests that run many orbits on one shared table from several threads,
# under ThreadSanitizer, in a build without the windows; any report fails.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAPEZOLA_TSAN=ON \
	  -DTRAPEZOLA_BUILD_UI=OFF -DTRAPEZOLA_BUILD_BENCH=OFF
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target golden_values_tests multi_orbit_portrait_tests core_atlas_tests core_jobs_tests \
	  background_run_tests
	cd $(TSAN_BUILD) && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --output-on-failure -j $(JOBS) \
	    -R 'GoldenValues\.OrbitsOnSharedTablesFromSeveralThreads|MultiOrbitPortraitThreads\.|ChaosAtlasThreads\.|ParallelForThreads\.|BackgroundRunTest\.' \
	    --no-tests=error

bench: build
	./$(BUILD)/bench/trapezola_bench

# libFuzzer targets (fuzz/), built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of their own. `make fuzz` runs each for
# FUZZ_SECONDS seconds, `make fuzz-one TARGET=cli_fuzzer` one of them; both work
# on a copy of the seed corpus in fuzz/corpus and fail on any finding, which is
# kept as $(FUZZ_BUILD)/findings/<target>-crash-... to replay with
# `./$(FUZZ_BUILD)/fuzz/<target> <file>`.
fuzz-deps:
	@missing=$$(for p in $(FUZZ_PACKAGES); do dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q 'ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  echo "installing:" $$missing; \
	  $(SUDO) apt-get update -qq && DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq $$missing; \
	fi

fuzz-build: fuzz-deps
	cmake -S . -B $(FUZZ_BUILD) -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DTRAPEZOLA_FUZZ=ON -DTRAPEZOLA_BUILD_UI=OFF -DTRAPEZOLA_BUILD_BENCH=OFF
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	@for t in $(FUZZ_TARGETS); do $(MAKE) --no-print-directory fuzz-run TARGET=$$t || exit 1; done

fuzz-one: fuzz-build
	@$(MAKE) --no-print-directory fuzz-run TARGET=$(TARGET)

fuzz-run:
	@test -n "$(TARGET)" -a -d fuzz/corpus/$(TARGET) || { echo "TARGET is one of: $(FUZZ_TARGETS)"; exit 2; }
	rm -rf $(FUZZ_BUILD)/corpus/$(TARGET)
	mkdir -p $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/findings
	cp -r fuzz/corpus/$(TARGET) $(FUZZ_BUILD)/corpus/
	./$(FUZZ_BUILD)/fuzz/$(TARGET) $(FUZZ_BUILD)/corpus/$(TARGET) \
	  $(addprefix -dict=,$(wildcard fuzz/$(TARGET:_fuzzer=).dict)) \
	  -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_BUILD)/findings/$(TARGET)-

install: build
	cmake --install $(BUILD)

# The Python package for another interpreter: `make python PYTHON=/path/to/python3`
# builds it in $(PYTHON_BUILD) (without the windows and the tests); then
# PYTHONPATH=$(PYTHON_BUILD)/python imports it. That Python needs NumPy.
PYTHON ?= /usr/bin/python3
PYTHON_BUILD ?= build-python
python:
	@$(PYTHON) -c 'import sys; assert sys.version_info >= (3, 9), "Python 3.9 or later"'
	cmake -S . -B $(PYTHON_BUILD) -DCMAKE_BUILD_TYPE=Release -DPython_EXECUTABLE=$$($(PYTHON) -c 'import sys; print(sys.executable)') \
	  -DTRAPEZOLA_BUILD_UI=OFF -DTRAPEZOLA_BUILD_BENCH=OFF -DTRAPEZOLA_BUILD_TESTS=OFF
	cmake --build $(PYTHON_BUILD) -j $(JOBS) --target trapezola_python trapezola_python_files
	@echo "PYTHONPATH=$(PYTHON_BUILD)/python $(PYTHON) -c 'import trapezola'"

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD) $(PYTHON_BUILD)
