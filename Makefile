# Aliases of the scripts in scripts/, which need only bash (a fresh machine has no make):
# make run          installs what is missing, builds and starts the editor (scripts/run.sh)
# make test         installs what is missing, builds, runs every test, checks the Debian package,
#                   then the core tests under AddressSanitizer and UBSan (scripts/test.sh)
# make deb          builds the Debian packages zarnoft-sync_<version>_<arch>.deb and
#                   zarnoft_<version>_<arch>.deb in $(DEB_BUILD) with the distribution's flags
# make screenshots  renders the editor's windows under Xvfb into $(BUILD)/screenshots/
BUILD      ?= build
ASAN_BUILD ?= build-asan
DEB_BUILD  ?= build-deb
JOBS       ?= $(shell nproc)
export BUILD ASAN_BUILD DEB_BUILD JOBS

.PHONY: deps build run test test-plain test-package test-asan deb screenshots format clean

deps:
	@bash scripts/install-deps.sh

build: deps
	@bash scripts/build.sh $(BUILD)

run:
	@bash scripts/run.sh

test:
	@bash scripts/test.sh

test-plain:
	@bash scripts/test.sh tests

test-package:
	@bash scripts/test.sh paket

test-asan:
	@bash scripts/test.sh asan

deb: deps
	@bash scripts/build-deb.sh $(DEB_BUILD)

screenshots: build
	scripts/screenshots.sh $(BUILD)

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(DEB_BUILD)
