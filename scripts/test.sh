#!/usr/bin/env bash
# The whole test run, from a fresh machine: dependencies, a build with
# warnings as errors, and every test under CTest.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build -DMARROWLARK_WERROR=ON
cmake --build build -j "$(nproc)"
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 300
