#!/usr/bin/env bash
# Sets up, builds and starts the program in its program folder (build/program).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
exec build/program/velmora
