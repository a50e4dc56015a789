#!/usr/bin/env bash
# Updater benchmarks against the tools a user would compare it with, on loopback nginx:
#   current  every file already current (~2,000 files, 400 MB)   vs sha1sum over the same files
#   big      one changed 1 GiB file                                vs curl -o + sha1sum
#   many     2,000 changed small files                             vs one curl --config process
# Rounds are paired (A B A B ...); the result is the median of the per-round ratios A/B. Peak
# memory of the updater comes from /usr/bin/time -v.
#
#   bench/update/run.sh [--quick] [--rounds N] [--only current|big|many] [build-dir]
#
# --quick uses tiny payloads to check that the harness works.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
build="$source_dir/build"
quick=0
rounds=""
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --quick) quick=1 ;;
    --rounds) rounds=$2; shift ;;
    --only) only=$2; shift ;;
    *) build=$(cd "$1" && pwd) ;;
  esac
  shift
done

updater="$build/bin/update"
nginx=/usr/sbin/nginx
for tool in "$updater" "$nginx" /usr/bin/time curl sha1sum; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

if [ "$quick" = 1 ]; then
  current_files=200; current_size=$((20 * 1024))
  big_size=$((16 * 1024 * 1024))
  many_files=100
  rounds=${rounds:-2}
else
  current_files=2000; current_size=$((200 * 1024))   # 2,000 × 200 KiB ≈ 400 MB
  big_size=$((1024 * 1024 * 1024))
  many_files=2000
  rounds=${rounds:-5}
fi
many_size=2048

work=$(mktemp -d "${TMPDIR:-/tmp}/vx-bench-update.XXXXXX")
nginx_pid=""
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null && wait "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])' 2>/dev/null \
       || echo $((20000 + RANDOM % 20000)))
base="http://127.0.0.1:$port"
served="$work/served"
mkdir -p "$served/manifests" "$work/nginx/tmp"

cat > "$work/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log;
events { worker_connections 256; }
http {
  access_log off;
  sendfile on;
  keepalive_requests 100000;
  client_body_temp_path $work/nginx/tmp; proxy_temp_path $work/nginx/tmp; fastcgi_temp_path $work/nginx/tmp;
  uwsgi_temp_path $work/nginx/tmp; scgi_temp_path $work/nginx/tmp;
  server {
    listen 127.0.0.1:$port;
    root $served;
    location = /getVersionFile.htm { default_type application/xml; try_files /manifests/\$arg_version.xml =404; }
    location = /getVersionStream.htm { default_type application/octet-stream; try_files /files/\$arg_version/\$arg_path =404; }
  }
}
CONF
"$nginx" -p "$work/nginx" -c "$work/nginx/nginx.conf" &
nginx_pid=$!
for _ in $(seq 100); do curl -s -o /dev/null "$base/" && break; sleep 0.05; done

now() { date +%s%N; }
secs() { awk -v n="$1" 'BEGIN { printf "%.3f", n / 1e9 }'; }
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# An installation of the standard edition in its own machine root, with the updater beside it.
# $1 = scenario name; sets root and inst.
make_installation() {
  root="$work/$1/root"
  inst="$root/Program Files/Vantrix/VantrixZMT/5.2.0.07415"
  mkdir -p "$inst" "$root/registry"
  cp "$updater" "$inst/update"
  printf '[update]\nprimary=%s\nalternate=%s\nstallTimeout=30\n' "$base" "$base" > "$inst/service.ini"
  cat > "$root/registry/HKEY_LOCAL_MACHINE.ini" <<INI
[Software]
Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantrixZMT\\installDir=$inst
Microsoft\\Windows\\CurrentVersion\\Uninstall\\VantrixZMT\\DisplayVersion=5.2.0
INI
  cat > "$root/registry/HKEY_CURRENT_USER.ini" <<INI
[Software]
Norvale\\VantrixZMT\\Settings\\info="{\\"exe\\":\\"VantrixZMT.exe\\",\\"lang\\":\\"en_us\\",\\"mark\\":\\"vx\\",\\"name\\":\\"Render Client\\",\\"nameEN\\":\\"Render Client\\",\\"third\\":\\"\\"}"
Norvale\\VantrixZMT\\Settings\\InstallDir=$inst
INI
}

# Publishes every file below $inst/$2 (relative names) as version $1, path "root/<subdir>".
publish() {
  local version=$1 sub=$2
  local manifest="$served/manifests/$version.xml"
  mkdir -p "$served/files/$version/files/root"
  rm -rf "$served/files/$version/files/root/$sub"
  cp -r "$inst/$sub" "$served/files/$version/files/root/$sub"
  {
    printf '<?xml version="1.0" encoding="UTF-8"?>\n<update version="%s">\n<prefix>%s/</prefix>\n<files>\n' "$version" "$base"
    (cd "$inst" && find "$sub" -type f -print0 | xargs -0 sha1sum) |
      while read -r hash file; do
        printf '<file name="%s" path="root/%s" hashCode="%s"/>\n' "${file##*/}" "$(dirname "$file")" "$hash"
      done
    printf '</files>\n</update>\n'
  } > "$manifest"
}

run_updater() { # $1 version; writes the peak RSS in KiB to $work/rss
  /usr/bin/time -v -o "$work/time.txt" env VX_SYSROOT="$root" QT_QPA_PLATFORM=offscreen \
    "$inst/update" "$1" --silent > /dev/null 2> "$work/err.txt" || { cat "$work/err.txt" >&2; return 1; }
  awk -F': ' '/Maximum resident set size/ { print $2 }' "$work/time.txt" > "$work/rss"
}

report() { # name, file of "a b" lines, target text
  local name=$1 data=$2 target=$3
  local ratio a b rss
  ratio=$(awk '{ print $1 / $2 }' "$data" | median)
  a=$(awk '{ print $1 }' "$data" | median)
  b=$(awk '{ print $2 }' "$data" | median)
  rss=$(sort -g "$work/rss.$name" | tail -1)
  echo "$name rounds (ns updater, ns baseline): $(tr '\n' ';' < "$data")  peak RSS KiB: $(tr '\n' ' ' < "$work/rss.$name")"
  printf '%-8s updater %6ss  baseline %6ss  ratio %.2f (%s)  peak RSS %d MiB\n' \
    "$name" "$(secs "$a")" "$(secs "$b")" "$ratio" "$target" $((rss / 1024))
}

bench_current() {
  make_installation current
  mkdir -p "$inst/data"
  for i in $(seq -w 1 "$current_files"); do
    mkdir -p "$inst/data/d${i:0:2}"
    head -c "$current_size" /dev/urandom > "$inst/data/d${i:0:2}/f$i.bin"
  done
  publish 5.3.0 data
  : > "$work/pairs.current"; : > "$work/rss.current"
  run_updater 5.3.0   # warms the page cache like any second look at the same files
  for _ in $(seq "$rounds"); do
    local t0 t1 t2
    t0=$(now); run_updater 5.3.0; t1=$(now)
    cat "$work/rss" >> "$work/rss.current"
    (cd "$inst" && find data -type f -print0 | xargs -0 sha1sum > /dev/null); t2=$(now)
    echo "$((t1 - t0)) $((t2 - t1))" >> "$work/pairs.current"
  done
  report current "$work/pairs.current" "target <= 0.8, aim 0.4"
}

bench_big() {
  make_installation big
  mkdir -p "$inst/big" "$work/big/old"
  head -c "$big_size" /dev/urandom > "$inst/big/huge.bin"
  publish 5.3.0 big
  head -c "$big_size" /dev/urandom > "$work/big/old/huge.bin"
  : > "$work/pairs.big"; : > "$work/rss.big"
  for _ in $(seq "$rounds"); do
    cp "$work/big/old/huge.bin" "$inst/big/huge.bin"
    sync
    local t0 t1 t2
    t0=$(now); run_updater 5.3.0; t1=$(now)
    cat "$work/rss" >> "$work/rss.big"
    # curl replaces an old copy too, which costs freeing its blocks like the updater's swap.
    cp "$work/big/old/huge.bin" "$work/big/curl.bin"
    sync
    t1=$(now)
    curl -s -o "$work/big/curl.bin" "$base/getVersionStream.htm?path=files/root/big/huge.bin&version=5.3.0"
    sha1sum "$work/big/curl.bin" > /dev/null; t2=$(now)
    rm -f "$work/big/curl.bin"
    echo "$((t1 - t0)) $((t2 - t1))" >> "$work/pairs.big"
  done
  report big "$work/pairs.big" "target <= 1.2, peak < 100 MiB"
}

bench_many() {
  make_installation many
  mkdir -p "$inst/small" "$work/many/curl"
  for i in $(seq -w 1 "$many_files"); do head -c "$many_size" /dev/urandom > "$inst/small/s$i.dat"; done
  publish 5.3.0 small
  for f in "$inst"/small/*; do head -c "$many_size" /dev/urandom > "$f"; done
  cp -r "$inst/small" "$work/many/old"
  local config="$work/many/curl.cfg"
  for f in "$inst"/small/*; do
    printf 'url = "%s/getVersionStream.htm?path=files/root/small/%s&version=5.3.0"\noutput = "%s/many/curl/%s"\n' \
      "$base" "${f##*/}" "$work" "${f##*/}"
  done > "$config"
  : > "$work/pairs.many"; : > "$work/rss.many"
  for _ in $(seq "$rounds"); do
    rm -rf "$inst/small"; cp -r "$work/many/old" "$inst/small"
    local t0 t1 t2
    t0=$(now); run_updater 5.3.0; t1=$(now)
    cat "$work/rss" >> "$work/rss.many"
    # Fresh files for curl as for the updater, whose downloads are new files too.
    rm -rf "$work/many/curl"; mkdir -p "$work/many/curl"
    t1=$(now)
    curl -s --config "$config"; t2=$(now)
    echo "$((t1 - t0)) $((t2 - t1))" >> "$work/pairs.many"
  done
  report many "$work/pairs.many" "target <= 3"
}

echo "rounds: $rounds$([ "$quick" = 1 ] && echo ', quick payloads')"
for scenario in current big many; do
  if [ -z "$only" ] || [ "$only" = "$scenario" ]; then
    "bench_$scenario"
    rm -rf "${work:?}/$scenario"
  fi
done
