#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the normal build, the library and virtual
# tester tests under AddressSanitizer and UndefinedBehaviorSanitizer, and the command fuzzer.
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")"
source ./install/packages.sh
tavrin_install_packages
tavrin_check_packages

jobs=$(nproc)

cmake -S . -B build -G Ninja
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

cmake -S . -B build-asan -G Ninja -DTAVRIN_SANITIZE=ON -DTAVRIN_BUILD_APP=OFF -DTAVRIN_BUILD_BENCH=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

if [ -f tests/fuzz/CMakeLists.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTAVRIN_FUZZ=ON \
        -DTAVRIN_BUILD_APP=OFF -DTAVRIN_BUILD_BENCH=OFF
    cmake --build build-fuzz -j "$jobs"
    ctest --test-dir build-fuzz --output-on-failure --timeout 300
fi
echo "All tests passed."
