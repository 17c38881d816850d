# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)
CONFIGURE = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

.PHONY: run test bench format check-format clean

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

check-format:
	./scripts/check-format.sh

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
