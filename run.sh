#!/usr/bin/env bash
# Builds Tavrin and starts it on the virtual tester (simulation mode). Extra arguments go to
# the program, e.g. ./run.sh --dut sim/profiles/noncompliant-pp.ini
# Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")"
source ./install/packages.sh
tavrin_install_packages

cmake -S . -B build -G Ninja
cmake --build build -j "$(nproc)" --target tavrin
exec ./build/app/tavrin /SIMULATE "$@"
