#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite; ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
cd build
ctest --output-on-failure -j "$(nproc)" --timeout 600
