#!/bin/sh
# The uninstaller's self-removal batch, as the product writes it, run by wine's cmd against a
# product folder in the wine prefix: afterwards the folder and the batch are gone, a neighbour stays.
set -eu
batchtext=$1
drive=${WINEPREFIX:?}/drive_c
rm -rf "$drive/vxbatch"
mkdir -p "$drive/vxbatch/VantrixZMT/3.0.1.12345/libs"
echo client > "$drive/vxbatch/VantrixZMT/3.0.1.12345/VantrixZMT.exe"
echo lib > "$drive/vxbatch/VantrixZMT/3.0.1.12345/libs/render.dll"
echo keep > "$drive/vxbatch/neighbour.txt"
"$batchtext" 'C:\vxbatch\VantrixZMT' > "$drive/ClearZMT.bat"
grep -q 'rd "C:\\vxbatch\\VantrixZMT" /s /q' "$drive/ClearZMT.bat"
/usr/lib/wine/wine64 cmd /c 'C:\ClearZMT.bat' >/dev/null 2>&1 || true
i=0
while [ $i -lt 100 ] && { [ -e "$drive/vxbatch/VantrixZMT" ] || [ -e "$drive/ClearZMT.bat" ]; }; do
  sleep 0.1; i=$((i + 1))
done
fail=0
[ ! -e "$drive/vxbatch/VantrixZMT" ] || { echo "FAIL: the product folder is still there"; fail=1; }
[ ! -e "$drive/ClearZMT.bat" ] || { echo "FAIL: the batch is still there"; fail=1; }
[ -e "$drive/vxbatch/neighbour.txt" ] || { echo "FAIL: the neighbour was removed"; fail=1; }
rm -rf "$drive/vxbatch"
[ $fail -eq 0 ] && echo "PASS: the batch removed the product folder and itself"
exit $fail
