#!/usr/bin/env bash
# Times the table engine and TDbf (through the Pascal oracle) on the same work in one run and
# prints the medians side by side with the ratio TDbf / ours.
#   scripts/bench-dbf.sh [records] [peer-runs]      (defaults: 1000000 records, 3 runs)
# Builds only the two programs it runs, in build-bench/ (the packages of scripts/setup.sh must
# be installed); the build/ tree is left alone.
set -euo pipefail
cd "$(dirname "$0")/.."
RECORDS=${1:-1000000}
RUNS=${2:-3}
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench --target bench_core_dbf dbforacle >/dev/null
out=$(mktemp -d /tmp/velmora-bench-XXXXXX)
trap 'rm -rf "$out"' EXIT
echo "ours: build-bench/bench/bench_core_dbf ($RECORDS records)" >&2
VELMORA_BENCH_RECORDS=$RECORDS build-bench/bench/bench_core_dbf \
    --benchmark_out="$out/ours.json" --benchmark_out_format=json >/dev/null
for i in $(seq "$RUNS"); do
    echo "TDbf: run $i of $RUNS" >&2
    mkdir "$out/peer"
    build-bench/tests/dbf/dbforacle bench "$out/peer" "$RECORDS" >"$out/peer$i.txt"
    rm -rf "$out/peer"
done
python3 - "$out" "$RUNS" "$RECORDS" <<'PY'
import json, statistics, sys
out, runs, records = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
ours = {}
rss = file = None
for b in json.load(open(f"{out}/ours.json"))["benchmarks"]:
    if b.get("aggregate_name") != "median":
        continue
    name = b["run_name"].split("/")[0]
    if name == "BM_WalkTag":
        name += " " + b.get("label", "")
    ours[name] = b["real_time"]
    if name == "BM_OpenWithAllTags":
        rss, file = b.get("rss_MiB"), b.get("file_MiB")
peer = {}
for i in range(1, runs + 1):
    for line in open(f"{out}/peer{i}.txt"):
        what, ms = line.rstrip("\n").split("\t")
        peer.setdefault(what, []).append(float(ms))
pairs = [(f"append {records:,} posted records", "BM_AppendSamples", "append"),
         ("open + build all four tags", "BM_OpenWithAllTags", "open+regenerate"),
         ("walk DESMID", "BM_WalkTag DESMID", "walk DESMID"),
         ("walk ID", "BM_WalkTag ID", "walk ID"),
         ("walk KXY", "BM_WalkTag KXY", "walk KXY"),
         ("walk UXY", "BM_WalkTag UXY", "walk UXY"),
         ("10,000 locates by ID", "BM_LocateById", "locate x10000"),
         ("pack", "BM_Pack", "pack")]
print(f"{'work':34} {'ours ms':>10} {'TDbf ms':>10} {'ratio':>8}")
for label, o, p in pairs:
    mine = ours.get(o)
    theirs = statistics.median(peer[p]) if p in peer else None
    ratio = f"{theirs / mine:7.1f}x" if mine and theirs else "-"
    print(f"{label:34} {mine or 0:10.1f} {theirs or 0:10.1f} {ratio:>8}")
if rss and file:
    print(f"resident while open: {rss:.0f} MiB for a {file:.0f} MiB table ({rss / file:.2f}x)")
PY
