# make demo | make test | make bench
# Each target installs the Debian packages that are missing, configures and builds
# into build/ (build-bench/ for the optimised benchmarks), then runs.

BUILD      ?= build
BENCHBUILD ?= build-bench
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
MAKEFLAGS  += --no-print-directory
PACKAGES   := cmake make g++ libgtest-dev libgmock-dev libbenchmark-dev libboost-dev libfcl-dev libcgal-dev

.PHONY: all deps build demo test bench clean

all: build

deps:
	@missing=""; \
	for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" -ne 0 ]; then \
	    echo "Missing Debian packages:$$missing"; \
	    echo "Install them as root: apt-get install$$missing"; exit 1; \
	  fi; \
	  echo "Installing:$$missing"; \
	  apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing || \
	    { echo "Could not install:$$missing"; exit 1; }; \
	fi

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	$(BUILD)/hostsim --module $(BUILD)/kvAnalyse.so --demo

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B $(BENCHBUILD) -DCMAKE_BUILD_TYPE=Release -DKV_BENCH=ON
	cmake --build $(BENCHBUILD) -j $(JOBS)
	@set -e; for b in $(BENCHBUILD)/bench_*; do \
	  [ -x "$$b" ] || continue; echo "== $$b"; "$$b"; \
	done

clean:
	rm -rf $(BUILD) $(BENCHBUILD) build-asan
