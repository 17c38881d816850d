# The two commands of the README: `make run` and `make test`.
BUILD_DIR ?= build
JOBS ?= $(shell nproc)

.PHONY: run test setup build format check-format bench clean

setup:
	./scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	./$(BUILD_DIR)/vesk

check-format:
	./scripts/check-format.sh

test: build check-format
	./scripts/run-tests.sh $(BUILD_DIR)

bench: build
	./$(BUILD_DIR)/vesk_bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD_DIR)
