# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

.PHONY: run test bench fuzz install uninstall deb format check-format clean

# Builds only the program it starts.
run:
	./scripts/setup.sh run
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vesk
	./$(BUILD_DIR)/vesk

test:
	./scripts/setup.sh test
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vesk tests
	./scripts/check-format.sh
	./scripts/run-tests.sh $(BUILD_DIR)

# The benchmarks of the core run anywhere; those of the real window need a display.
bench:
	./scripts/setup.sh bench
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target benchmarks
	./$(BUILD_DIR)/vesk_bench

# The fuzz targets, built by clang with AddressSanitizer and UBSan in a folder of
# their own; each runs FUZZ_SECONDS, and any crash or failed check fails the run.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz:
	./scripts/setup.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
		-DVESK_FUZZ=ON >/dev/null
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS) --target fuzzers
	./fuzz/run-fuzzers.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS)

# Installs the program and its desktop entry under PREFIX, so that the desktop
# can offer Vesk as the web browser: `sudo make install`, or `make install
# PREFIX=$HOME/.local` for one user. DESTDIR, if set, is put in front of it.
PREFIX ?= /usr/local
install:
	./scripts/setup.sh run
	$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target vesk
	cmake --install $(BUILD_DIR) --prefix "$(PREFIX)"

uninstall:
	rm -f "$(DESTDIR)$(PREFIX)/bin/vesk" \
		"$(DESTDIR)$(PREFIX)/share/applications/org.vesk.Browser.desktop" \
		"$(DESTDIR)$(PREFIX)/share/icons/hicolor/scalable/apps/org.vesk.Browser.svg" \
		"$(DESTDIR)$(PREFIX)/share/icons/hicolor/symbolic/apps/org.vesk.Browser-symbolic.svg" \
		"$(DESTDIR)$(PREFIX)/share/metainfo/org.vesk.Browser.metainfo.xml" \
		"$(DESTDIR)$(PREFIX)/share/man/man1/vesk.1"

# A binary Debian package, built from a copy of the sources in DEB_DIR and
# checked by lintian: `make deb`, then `sudo apt install ./build-deb/vesk_*.deb`.
DEB_DIR ?= build-deb
deb:
	./scripts/setup.sh deb
	./scripts/build-deb.sh $(DEB_DIR)

check-format:
	./scripts/check-format.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR) $(DEB_DIR)
