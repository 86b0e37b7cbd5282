#!/bin/sh
# Builds the libFuzzer target of the table engine's readers (tables and .mdx index files)
# with AddressSanitizer and UBSan and runs it for a bounded time. Not part of the build.
#
#   scripts/fuzz-dbf.sh [seconds]      default 120
#
# Work files go to build-fuzz-dbf/ in the repository; crashes are written there too.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-120}
out="$root/build-fuzz-dbf"
mkdir -p "$out/corpus"
cxx=${CXX_FUZZ:-/usr/bin/clang++}
sources=$(ls "$root"/core/dbf/*.cpp)
flags="-std=c++20 -g -O1 -I$root -fno-omit-frame-pointer"
# shellcheck disable=SC2086
$cxx $flags -o "$out/dbf_seeds" "$root/fuzz/dbf_seeds.cpp" $sources
"$out/dbf_seeds" "$out/corpus"
# shellcheck disable=SC2086
$cxx $flags -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -o "$out/dbf_fuzz" "$root/fuzz/dbf_fuzz.cpp" $sources
cd "$out"
start=$(date +%s)
./dbf_fuzz -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 corpus
echo "fuzzed clean for $(( $(date +%s) - start )) s"
