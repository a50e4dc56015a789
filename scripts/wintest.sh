#!/usr/bin/env bash
# The Windows side of the platform layer: built with mingw-w64 for 64 and 32 bits (the Qt-using
# sources compiled against Debian's Qt headers, the Qt-free Win32 pieces linked), and the 64-bit
# test programs run under wine, with the uninstaller's batch run by wine's cmd.
# Argument: the Linux build folder that holds the batch text tool (default build).
set -euo pipefail
cd "$(dirname "$0")/.."
packages=(g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine wine64)
missing=()
for p in "${packages[@]}"; do dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$(pwd)/build-win-prefix}
wineboot -i >/dev/null 2>&1 || true
/usr/lib/wine/wineserver -p >/dev/null 2>&1 || true
# The batch test takes the batch text from the Linux build, when there is one.
batchtext=$(pwd)/${1:-build}/tests/uninstall/vx_batchtext
[ -x "$batchtext" ] || batchtext=""
for arch in x86_64 i686; do
  cmake -S win -B "build-win-$arch" -DCMAKE_TOOLCHAIN_FILE="$(pwd)/win/mingw-$arch.cmake" \
    -DVX_BATCHTEXT="$batchtext" >/dev/null
  cmake --build "build-win-$arch" -j"$(nproc)"
done
(cd build-win-x86_64 && ctest --output-on-failure)
/usr/lib/wine/wineserver -k >/dev/null 2>&1 || true
