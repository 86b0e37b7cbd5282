#!/bin/sh
# The table engine's fuzz target alone (tables and .mdx index files); see scripts/fuzz.sh.
#
#   scripts/fuzz-dbf.sh [seconds]      default 120
exec "$(dirname "$0")/fuzz.sh" "${1:-120}" dbf
