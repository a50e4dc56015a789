#!/usr/bin/env bash
# Everything a fresh Debian machine needs, then the whole test suite: the Windows side of the
# platform layer (mingw-w64, wine), a normal build and an AddressSanitizer +
# UndefinedBehaviorSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
scripts/build.sh build -DVX_WERROR=ON
scripts/wintest.sh build
(cd build && ctest --output-on-failure -j2)
scripts/build.sh build-asan -DVX_SANITIZE=ON -DVX_WERROR=ON
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j2)
