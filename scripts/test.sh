#!/bin/sh
# Installs what is needed, builds Audexa with its tests (warnings are errors) and runs them all.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-packages.sh
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DAUDEXA_BUILD_TESTS=ON
cmake --build build-tests
ctest --test-dir build-tests --output-on-failure
