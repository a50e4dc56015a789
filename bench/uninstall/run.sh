#!/usr/bin/env bash
# Unattended uninstall of an installation of many small files against `rm -rf` of an equal tree.
# Paired rounds (order alternating), median of the per-round time ratio, peak memory of both.
#
#   bench/uninstall/run.sh [--quick] [--build DIR] [--files N] [--rounds N]
#
# Target: median ratio <= 1.5 (aim 1.1). The uninstaller's time is its own run, start-up
# included; the self-removal batch it leaves behind runs after it and is awaited untimed.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=build
files=20000
rounds=7
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) files=2000; rounds=3 ;;
    --build) build=$2; shift ;;
    --files) files=$2; shift ;;
    --rounds) rounds=$2; shift ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

uninstaller=$build/bin/uninstall
fixture=$build/bench/vx_bench_uninstall_fixture
for f in "$uninstaller" "$fixture"; do
  [ -x "$f" ] || { echo "missing $f: build first (cmake --build $build)" >&2; exit 2; }
done
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/vx-bench-uninstall.XXXXXX")
trap 'rm -rf "$work"' EXIT

now() { date +%s%N; }
peak_kb() { sed -n 's/^\s*Maximum resident set size (kbytes): //p' "$1"; }
# User plus system time in ms: steadier than wall time on a machine whose disk others share.
cpu_ms() { awk -F': ' '/User time|System time/ { t += $2 } END { printf "%d", t * 1000 }' "$1"; }

# One timed command: prints "<nanoseconds> <peak kB>".
timed() {
  local out=$1; shift
  local t0 t1
  t0=$(now)
  /usr/bin/time -v -o "$out" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; cat "$out" >&2; exit 1; }
  t1=$(now)
  echo "$((t1 - t0)) $(peak_kb "$out") $(cpu_ms "$out")"
}

echo "files per tree: $files, rounds: $rounds"
printf '%-6s %12s %12s %8s %12s %12s %10s %10s %9s\n' round uninstall_ms rm_ms ratio uninst_kB rm_kB \
  un_cpu_ms rm_cpu_ms cpu_ratio
ratios=()
cpu_ratios=()
for ((r = 1; r <= rounds; r++)); do
  root=$work/root$r
  plain=$work/plain$r
  version=$(VX_SYSROOT=$root "$fixture" "$uninstaller" "$plain" "$files" "$r")
  product=$(dirname "$version")
  sync
  run_uninstall() {
    VX_SYSROOT=$root QT_QPA_PLATFORM=offscreen timed "$work/u.txt" "$version/uninstall.exe" --silent
  }
  run_rm() { timed "$work/r.txt" rm -rf "$plain"; }
  if ((r % 2)); then u=$(run_uninstall); m=$(run_rm); else m=$(run_rm); u=$(run_uninstall); fi
  # The batch finishes the product folder shortly after the uninstaller has ended.
  for _ in $(seq 100); do [ -e "$product" ] || [ -e "$root/ClearZMT.bat" ] || break; sleep 0.1; done
  if [ -e "$product" ] || [ -e "$root/ClearZMT.bat" ]; then
    echo "round $r: the product folder or the batch is still there" >&2; find "$root" -maxdepth 6 | head -30 >&2; cat "$work/u.txt" >&2; exit 1
  fi
  read -r un ukb ucpu <<<"$u"
  read -r rn rkb rcpu <<<"$m"
  ratio=$(awk -v a="$un" -v b="$rn" 'BEGIN { printf "%.3f", a / b }')
  cpu_ratio=$(awk -v a="$ucpu" -v b="$rcpu" 'BEGIN { printf "%.3f", a / (b > 0 ? b : 1) }')
  ratios+=("$ratio")
  cpu_ratios+=("$cpu_ratio")
  printf '%-6s %12.1f %12.1f %8s %12s %12s %10s %10s %9s\n' "$r" "$(awk -v n="$un" 'BEGIN{print n/1e6}')" \
    "$(awk -v n="$rn" 'BEGIN{print n/1e6}')" "$ratio" "$ukb" "$rkb" "$ucpu" "$rcpu" "$cpu_ratio"
  rm -rf "$root"
done

median_of() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
median=$(median_of "${ratios[@]}")
echo "median CPU-time ratio uninstall / rm -rf: $(median_of "${cpu_ratios[@]}")"
echo "median ratio uninstall / rm -rf: $median (target <= 1.5, aim 1.1)"
awk -v m="$median" 'BEGIN { exit !(m <= 1.5) }' && echo "within target" || echo "MISSES the target"
