#!/usr/bin/env bash
# The main job: build the suite, pack the sample product, publish a second version, serve it with
# nginx on loopback beside a stand-in for the channel and survey services, then install, update
# and uninstall on the machine root (VX_SYSROOT, default ~/.local/share/vantrix/sysroot), showing
# what each step changed. Unattended without a display; with one, the windows are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
scripts/deps.sh
scripts/build.sh build >/dev/null
bin=$repo/build/bin

root=${VX_SYSROOT:-$HOME/.local/share/vantrix/sysroot}
export VX_SYSROOT=$root
work=$(mktemp -d)
chmod 755 "$work"
services_pid=""
cleanup() {
  [ -f "$work/updates/run/nginx.pid" ] && nginx -p "$work/updates" -c "$work/updates/nginx.conf" -s stop 2>/dev/null || true
  [ -n "$services_pid" ] && kill "$services_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -n "${DISPLAY:-}" ]; then mode=(); echo "A display is available: the programs show their windows."
else mode=(--silent); export QT_QPA_PLATFORM=offscreen; echo "No display: the programs run unattended."; fi

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'; }

# Two builds of the sample client: 3.0.1 is installed, 3.0.2 changes one file and adds one.
. sample/edition.sh
for v in 3.0.1 3.0.2; do
  mkdir -p "$work/client-$v"
  cp -r sample/client-files/. "$work/client-$v/"
  cp build/sample/client/VantrixZMT.exe "$work/client-$v/"
done
printf 'render core 3.0.2\n' > "$work/client-3.0.2/libs/render.dll"
printf 'new in 3.0.2\n' > "$work/client-3.0.2/data/whatsnew.txt"

"$bin/vx-services" > "$work/services.log" &
services_pid=$!
for _ in $(seq 50); do [ -s "$work/services.log" ] && break; sleep 0.1; done
service=$(head -n1 "$work/services.log")
nginx_port=$(free_port)

"$bin/vx-pack" --client "$work/client-3.0.1" --out "$work/installer" --version 3.0.1 \
  --name "$SAMPLE_NAME" --name-en "$SAMPLE_NAME_EN" --mark "$SAMPLE_MARK" --lang "$SAMPLE_LANG" \
  --service "$service" --update "http://127.0.0.1:$nginx_port" --stall-timeout 10
"$bin/vx-publish" --client "$work/client-3.0.2" --version 3.0.2 --out "$work/updates" --port "$nginx_port" \
  --note "3.0.2: faster scene upload"
nginx -p "$work/updates" -c "$work/updates/nginx.conf"
echo "update server: http://127.0.0.1:$nginx_port, services: $service"

snapshot() {
  [ -d "$root/registry" ] || { : > "$1"; return; }
  (cd "$root" && { find . -path ./registry -prune -o -type f -print0 | xargs -0 -r sha1sum | sed -E 's/^([0-9a-f]{10})[0-9a-f]*  (.*)$/\2  (sha1 \1)/'
                   find . -path ./registry -prune -o -type l -printf '%p -> %l\n'; } | sort | sed 's|^\./||'
   for hive in registry/*.ini; do sed "s|^|$hive: |" "$hive"; done) > "$1"
}
changes() {
  echo "---- $1: what changed on the machine root ($root)"
  diff "$work/before" "$work/after" | sed -n 's/^< /  removed: /p; s/^> /  added:   /p' || true
}
step() {
  local title=$1; shift
  snapshot "$work/before"
  echo "==== $title"
  set +e; "$@"; local code=$?; set -e
  echo "exit code $code"
  [ "$code" -eq 0 ] || { echo "$title failed" >&2; exit 1; }
}

step "install 3.0.1" bash -c "cd '$work/installer' && ./install ${mode[*]}"
snapshot "$work/after"; changes "install"
install_dir=$(ls -d "$root/Program Files/Vantrix/VantrixZMT/"3.0.1.* | head -n1)
echo "installation folder: $install_dir"; ls -R "$install_dir" | sed 's/^/  /'

step "update to 3.0.2" "$install_dir/update.exe" 3.0.2 "${mode[@]}"
snapshot "$work/after"; changes "update"

step "uninstall" "$install_dir/uninstall.exe" "${mode[@]}"
for _ in $(seq 100); do [ -e "$root/Program Files/Vantrix/VantrixZMT" ] || [ -e "$root/ClearZMT.bat" ] || break; sleep 0.1; done
snapshot "$work/after"; changes "uninstall"
[ ! -e "$root/Program Files/Vantrix/VantrixZMT" ] || { echo "the product folder is still there" >&2; exit 1; }
echo "---- requests the services received"; sed -n 's/^service received: /  /p' "$work/services.log"
echo "demo finished"
