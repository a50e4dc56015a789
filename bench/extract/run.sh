#!/bin/sh
# Times the installer's extraction against bsdtar and unzip on one generated payload.
#
#   bench/extract/run.sh [--quick] [--rounds N] [--dest DIR] [--build DIR]
#
# The payload is generated deterministically (a few large files, about 2,000 small ones, 3-4
# folders deep, compressing about 2:1) and zipped with `zip`, all in a temporary folder that is
# removed at the end. Rounds are paired: every round runs each tool once, and the order flips from
# round to round so that no tool always runs after the same one. Caches are hot for every run: the
# archive is read once beforehand and stays in the page cache. Before each run the previous output
# is removed and `sync` flushes the dirty pages, so every tool starts from the same state and no run
# pays for the writeback of the one before. --dest puts the outputs elsewhere (e.g. /dev/shm to
# leave the disk out).
#
# --quick uses a tiny payload and finishes in seconds (a smoke test of the harness, not a measure).
set -eu

quick=0
rounds=3
dest=
here=$(cd "$(dirname "$0")" && pwd)
build=$here/../../build
while [ $# -gt 0 ]; do
    case $1 in
        --quick) quick=1 ;;
        --rounds) rounds=$2; shift ;;
        --dest) dest=$2; shift ;;
        --build) build=$2; shift ;;
        *) echo "unknown argument: $1" >&2; exit 2 ;;
    esac
    shift
done

ours=$build/bin/vx_bench_extract
[ -x "$ours" ] || { echo "build vx_bench_extract first (missing $ours)" >&2; exit 2; }
for tool in bsdtar unzip zip python3 /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "missing tool: $tool" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vx-bench-extract.XXXXXX")
[ -n "$dest" ] || dest=$work
dest=$(mktemp -d "$dest/out.XXXXXX")
trap 'rm -rf "$work" "$dest"' EXIT INT TERM

if [ $quick = 1 ]; then
    python3 "$here/genpayload.py" "$work/payload" 2,3 60 5 50
    [ "$rounds" -ge 3 ] || rounds=3
else
    python3 "$here/genpayload.py" "$work/payload" 20,40,60,80 2000 5 500
fi
(cd "$work/payload" && zip -q -r -X "$work/files.zip" .)
echo "archive: $(du -m "$work/files.zip" | cut -f1) MB, $(unzip -Z1 "$work/files.zip" | wc -l) entries"
cat "$work/files.zip" >/dev/null

# The result must be right before its speed means anything.
"$ours" "$work/files.zip" "$dest/check" >/dev/null
diff -r "$work/payload" "$dest/check" >/dev/null || { echo "extracted tree differs from the payload" >&2; exit 1; }
[ -x "$dest/check/bin/VantrixZMT" ] || { echo "client executable lost its mode" >&2; exit 1; }
rm -rf "$dest/check"

# run NAME: one timed run into a fresh, empty folder; appends "name seconds maxrss_kb" to results.
run() {
    rm -rf "$dest/x"
    mkdir "$dest/x"
    sync
    case $1 in
        ours) set -- ours "$ours" "$work/files.zip" "$dest/x" ;;
        bsdtar) set -- bsdtar bsdtar -xf "$work/files.zip" -C "$dest/x" ;;
        unzip) set -- unzip unzip -q -o "$work/files.zip" -d "$dest/x" ;;
    esac
    name=$1
    shift
    t0=$(date +%s%N)
    /usr/bin/time -v -o "$work/time.txt" "$@" >/dev/null
    t1=$(date +%s%N)
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$work/time.txt")
    secs=$(echo "$t0 $t1" | awk '{ printf "%.3f", ($2 - $1) / 1e9 }')
    echo "$name $secs $rss" >>"$work/results"
    printf '  %-7s %7s s  %7s KiB\n' "$name" "$secs" "$rss"
}

: >"$work/results"
r=1
while [ $r -le "$rounds" ]; do
    echo "round $r"
    if [ $((r % 2)) = 1 ]; then order="ours bsdtar unzip"; else order="unzip bsdtar ours"; fi
    for tool in $order; do
        run "$tool"
    done
    r=$((r + 1))
done
rm -rf "$dest/x"

python3 - "$work/results" "$rounds" <<'EOF'
import statistics
import sys

rows = [line.split() for line in open(sys.argv[1])]
rounds = int(sys.argv[2])
times = {}
rss = {}
for name, secs, kb in rows:
    times.setdefault(name, []).append(float(secs))
    rss[name] = max(rss.get(name, 0), int(kb))
print("median  " + "  ".join("%s %.3f s" % (n, statistics.median(times[n])) for n in ("ours", "bsdtar", "unzip")))
for other in ("bsdtar", "unzip"):
    ratios = [a / b for a, b in zip(times["ours"], times[other])]
    print("ours / %-6s per round %s  median %.2f" % (other, " ".join("%.2f" % x for x in ratios),
                                                   statistics.median(ratios)))
print("peak memory  " + "  ".join("%s %.1f MiB" % (n, rss[n] / 1024) for n in ("ours", "bsdtar", "unzip")))
EOF
