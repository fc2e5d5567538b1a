#!/usr/bin/env bash
# Installs the build's dependencies, then configures, builds and runs every
# test in each preset: release (with the Debian packages and the installed-
# tree tests), the sanitizer build, 32-bit Linux, the libFuzzer build with
# clang (built, its replays run, a short campaign per target), then the
# Windows DLLs (32-bit, then 64-bit) with their tests under Wine.
#
# The native presets run whenever their packages install, even when the
# Windows or 32-bit Wine packages do not: a failed required group still
# fails the run at the end, naming the packages; the optional 32-bit Wine
# only skips the tests that need it. Every skipped test's reason is
# repeated as a NOTE at the end.
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
DRV_BOOTSTRAP_STATUS=$status_file tools/bootstrap.sh native linux32 windows i386 || true
group_state() { sed -n "s/^$1=\([a-z]*\).*/\1/p" "$status_file"; }
group_details() { sed -n "s/^$1=[a-z]*: //p" "$status_file"; }
if [[ $(group_state native) != ok ]]; then
    echo "test.sh: the native build's packages are missing: $(group_details native)" >&2
    exit 1
fi

notes=()
failed_groups=()
timings=()

# The reasons of the tests CTest skipped in build folder $1.
note_skips() {
    local log=$1/Testing/Temporary/LastTest.log line
    [[ -f $log ]] || return 0
    while IFS= read -r line; do
        notes+=("$(basename "$1"): ${line#*SKIPPED: }")
    done < <(grep -ho "SKIPPED: .*" "$log" | sort -u)
}

run_preset() {
    echo "=== preset $1" >&2
    local start=$SECONDS
    # The steps one by one rather than as `cmake --workflow`: that one
    # reports success when its CTest is killed by a signal.
    cmake --preset "$1"
    cmake --build --preset "$1"
    ctest --preset "$1"
    note_skips "build/$1"
    timings+=("$1 $((SECONDS - start)) s")
}

run_preset release
run_preset asan

if [[ $(group_state linux32) == ok ]]; then
    run_preset linux32
else
    failed_groups+=(linux32)
    notes+=("the linux32 preset did not run: $(group_details linux32) could not be installed")
fi

# The libFuzzer build, by the commands fuzz/README.md gives.
if command -v clang++ >/dev/null; then
    echo "=== libFuzzer build (clang)" >&2
    start=$SECONDS
    CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDRV_FUZZ=ON -DDRV_SANITIZE=ON \
        -DDRV_BUILD_BENCH=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    cmake --build build/fuzz
    ctest --test-dir build/fuzz -L fuzz --output-on-failure
    tools/fuzz-campaign.sh build/fuzz 10
    timings+=("fuzz $((SECONDS - start)) s")
else
    notes+=("clang is not installed, so the libFuzzer build was not tried")
fi

if [[ $(group_state windows) == ok ]]; then
    for preset in win32 win64; do
        run_preset "$preset"
    done
else
    failed_groups+=(windows)
    notes+=("the Windows presets did not run: $(group_details windows) could not be installed")
fi

case $(group_state i386) in
    ok) notes+=("32-bit Wine: $(group_details i386)") ;;
    *) notes+=("32-bit Wine could not be had: $(group_details i386); the win32 test programs were skipped, their DLL checks ran, and linux32 ran the driver tests as 32-bit code") ;;
esac

echo "=== times: ${timings[*]/%/,}" >&2
for note in "${notes[@]}"; do
    echo "NOTE: $note" >&2
done
if ((${#failed_groups[@]})); then
    echo "test.sh: failed: the ${failed_groups[*]} packages could not be installed (see the NOTEs)" >&2
    exit 1
fi
