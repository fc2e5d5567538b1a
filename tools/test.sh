#!/usr/bin/env bash
# Installs the build's dependencies, then configures, builds and runs every
# test in each preset: release, the sanitizer build, then the Windows DLLs
# (32-bit, then 64-bit) with their tests under Wine.
#
# The native presets run whenever their packages install, even when the
# Windows or 32-bit Wine packages do not: a failed required group still
# fails the run at the end, naming the packages; the optional 32-bit Wine
# only skips the tests that need it, with a NOTE.
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

status_file=build/bootstrap-status
DRV_BOOTSTRAP_STATUS=$status_file tools/bootstrap.sh native windows i386 || true
group_state() { sed -n "s/^$1=\([a-z]*\).*/\1/p" "$status_file"; }
if [[ $(group_state native) != ok ]]; then
    echo "test.sh: the native build's packages are missing: $(sed -n 's/^native=failed: //p' "$status_file")" >&2
    exit 1
fi

run_preset() {
    echo "=== preset $1" >&2
    # The steps one by one rather than as `cmake --workflow`: that one
    # reports success when its CTest is killed by a signal.
    cmake --preset "$1"
    cmake --build --preset "$1"
    ctest --preset "$1"
}

notes=()
for preset in release asan; do
    run_preset "$preset"
done

if [[ $(group_state windows) == ok ]]; then
    for preset in win32 win64; do
        run_preset "$preset"
    done
else
    notes+=("the Windows presets did not run: $(sed -n 's/^windows=failed: //p' "$status_file") could not be installed")
fi

if [[ $(group_state i386) != ok ]]; then
    notes+=("32-bit Wine is not installed ($(sed -n 's/^i386=skipped: //p' "$status_file")), so the win32 test programs were skipped; their DLL checks ran")
elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    notes+=("32-bit Wine is installed but does not start, so the win32 test programs were skipped; their DLL checks ran")
fi

for note in "${notes[@]}"; do
    echo "NOTE: $note" >&2
done
if [[ $(group_state windows) != ok ]]; then
    exit 1
fi
