#!/usr/bin/env bash
# The long run of the crash harness: a child edits a database and is killed with SIGKILL at
# random moments, KILLS times (default 1000); after each kill the database must open with every
# reported record, and TDbf must read exactly the same records. The test suite runs a short
# version of the same test.
#
#   scripts/crash-harness.sh [kills]
set -euo pipefail
cd "$(dirname "$0")/.."
kills=${1:-1000}
[ -d build ] || scripts/setup.sh build
cmake --build build --target test_recording dbforacle
VELMORA_CRASH_KILLS=$kills QT_QPA_PLATFORM=offscreen \
    build/tests/test_recording --gtest_filter='CrashHarness.*'
