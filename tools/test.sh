#!/usr/bin/env bash
# Installs the build's dependencies, then configures, builds and runs every
# test in each preset: release, the sanitizer build, then the Windows DLLs
# (32-bit, then 64-bit) with their tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

# Wine's server normally stops at the end of each Windows test run; this
# also stops it when a run is cut short.
stop_wine() {
    for preset in win32 win64; do
        if [[ -d build/${preset}/wine ]]; then
            WINEPREFIX="${PWD}/build/${preset}/wine" wineserver -k >/dev/null 2>&1 || true
        fi
    done
}
trap stop_wine EXIT

tools/bootstrap.sh windows
# The steps one by one rather than as `cmake --workflow`: that one reports
# success when its CTest is killed by a signal.
for preset in release asan win32 win64; do
    echo "=== preset ${preset}" >&2
    cmake --preset "${preset}"
    cmake --build --preset "${preset}"
    ctest --preset "${preset}"
done

if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "NOTE: this machine cannot execute 32-bit code, so the win32 test programs" \
        "were skipped (its DLL checks ran); win64 ran them as 64-bit Windows programs." >&2
fi
