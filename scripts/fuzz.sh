#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers (clang, AddressSanitizer, UBSan) in
# build-fuzz/ and runs each for a bounded time; prints the CPU time, runs and crashes per
# target at the end. Exits 1 when a target crashed.
#
#   scripts/fuzz.sh [seconds-per-target] [target...]      default 60 s, every target
#
# Targets: dbf (tables and .mdx index files), ini (settings files), lng (language files),
# text (text files and the field-name table), sheet (.xlsx and the minimal spreadsheet
# file), import (data files and column layouts), taxalist (annotated taxa lists to import),
# map (map pictures and the calibration in their names), dots (dot settings files),
# filterfile (the record filter files of the dot-map window);
# "fuzz_dbf" and "dbf" mean the same.
#
# build-fuzz/corpus/<target>/   the working corpus: the seeds of fuzz/seeds/<target>/ plus
#                               what the fuzzer found; kept between runs
# build-fuzz/crashes/<target>/  inputs that crashed, hung (timeout-*) or ran out of memory
# build-fuzz/logs/<target>.log  the fuzzer's output
#
# FUZZ_NICE=1 runs the fuzzers with nice -n 19. The build waits for /tmp/velmora-build.lock,
# so it never runs beside another build that takes the same lock. Nothing is installed,
# except clang when clang++ is missing (apt-get).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
all_targets=(dbf ini lng text sheet import taxalist map dots filterfile)

seconds=${1:-60}
if ! [[ "$seconds" =~ ^[0-9]+$ ]] || [ "$seconds" -lt 1 ]; then
    echo "usage: $0 [seconds-per-target] [target...]   targets: ${all_targets[*]}" >&2
    exit 2
fi
shift $(($# > 0 ? 1 : 0))
targets=()
for t in "${@:-${all_targets[@]}}"; do
    t=${t#fuzz_}
    if [[ " ${all_targets[*]} " != *" $t "* ]]; then
        echo "unknown target '$t' (targets: ${all_targets[*]})" >&2
        exit 2
    fi
    targets+=("$t")
done

# Longest input per target: room for the largest seed several times over.
max_len() {
    case $1 in
    dbf | lng | sheet | map) echo 65536 ;;
    *) echo 16384 ;;
    esac
}

if ! command -v clang++ >/dev/null; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get install -y clang
fi

lock() {
    if command -v flock >/dev/null; then
        flock /tmp/velmora-build.lock "$@"
    else
        "$@"
    fi
}

lock cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_TESTS=OFF \
    -DVELMORA_BENCHMARKS=OFF >/dev/null
lock cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

# The readers that take a path write their input into a scratch folder: in memory when
# /dev/shm exists.
scratch_base=/dev/shm
[ -d "$scratch_base" ] && [ -w "$scratch_base" ] || scratch_base="$build"
scratch=$(mktemp -d "$scratch_base/velmora-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
export VELMORA_FUZZ_TMP="$scratch"

nice_cmd=()
[ "${FUZZ_NICE:-0}" = 1 ] && nice_cmd=(nice -n 19)

declare -A cpu runs crashes
failed=0
for t in "${targets[@]}"; do
    corpus="$build/corpus/$t"
    artifacts="$build/crashes/$t"
    log="$build/logs/$t.log"
    mkdir -p "$corpus" "$artifacts" "$build/logs"
    cp -n "$root/fuzz/seeds/$t/"* "$corpus/" 2>/dev/null || true
    dict=()
    [ -f "$root/fuzz/dicts/$t.dict" ] && dict=(-dict="$root/fuzz/dicts/$t.dict")
    : >"$log"

    # A crash ends a libFuzzer run; the target is started again for the time that is left,
    # up to ten crashes.
    used_ms=0
    executed=0
    found=0
    deadline=$(($(date +%s) + seconds))
    while :; do
        left=$((deadline - $(date +%s)))
        [ "$left" -ge 1 ] || break
        before=$(find "$artifacts" -type f | wc -l)
        # CPU time of the fuzzer process (user + system, from the shell's getrusage of its
        # children), in milliseconds.
        status=0
        TIMEFORMAT='%3U %3S'
        { time "${nice_cmd[@]}" "$build/fuzz/fuzz_$t" "$corpus" "${dict[@]}" \
            -max_total_time="$left" -rss_limit_mb=2048 -timeout=10 -max_len="$(max_len "$t")" \
            -print_final_stats=1 -artifact_prefix="$artifacts/" >"$scratch/run.log" 2>&1 ||
            status=$?; } 2>"$scratch/time"
        read -r user sys <"$scratch/time"
        used_ms=$((used_ms + 10#${user/./} + 10#${sys/./}))
        n=$(sed -n 's/^stat::number_of_executed_units: *\([0-9]*\).*/\1/p' "$scratch/run.log")
        executed=$((executed + ${n:-0}))
        cat "$scratch/run.log" >>"$log"
        after=$(find "$artifacts" -type f | wc -l)
        found=$((found + after - before))
        if [ "$status" -eq 0 ]; then
            break
        fi
        if [ "$after" -eq "$before" ]; then
            echo "fuzz_$t failed without leaving an input (exit $status); see $log" >&2
            found=$((found + 1))
            break
        fi
        [ "$found" -lt 10 ] || break
    done
    cpu[$t]=$(awk -v ms="$used_ms" 'BEGIN { printf "%.2f", ms / 60000 }')
    runs[$t]=$executed
    crashes[$t]=$found
    [ "$found" -eq 0 ] || failed=1
done

echo
printf '%-12s %12s %14s %8s\n' target "CPU minutes" runs crashes
for t in "${targets[@]}"; do
    printf '%-12s %12s %14s %8s\n' "fuzz_$t" "${cpu[$t]}" "${runs[$t]}" "${crashes[$t]}"
done
if [ "$failed" -ne 0 ]; then
    echo
    echo "Crashing inputs are in $build/crashes/<target>/; the fuzzer's output in $build/logs/."
    echo "Reproduce: $build/fuzz/fuzz_<target> <input>   (VELMORA_FUZZ_VERBOSE=1 says more)"
fi
exit "$failed"
