#!/usr/bin/env bash
# Installs what building and testing the suite needs on a Debian machine.
#
#   tools/bootstrap.sh [GROUP ...]     (no group: native)
#
#   native    the Linux builds, their tests, benchmarks and the demo
#   windows   the MinGW-w64 cross compilers and 64-bit Wine
#   i386      32-bit Wine, an i386 package; optional: when it cannot be
#             installed the run goes on and only its tests are skipped
#
# A package mirror that is half-way through a sync must not stop a build
# that does not need the broken part: the package lists are fetched with a
# few retries, whatever still fails to download is ignored (apt keeps the
# lists that did come), and the run fails only when a package of a required
# group cannot be installed; the message names it. Groups are installed
# separately, so a Windows or i386 problem never blocks the native build.
#
# Exit status: 0 when every required group is installed, 1 otherwise. The
# outcome of each group is written to $DRV_BOOTSTRAP_STATUS (default
# build/bootstrap-status), one "group=ok|failed|skipped: packages" line each,
# for tools/test.sh to act on.
#
# Idempotent: packages already present are not touched, and apt is not
# called at all when nothing is missing.
#
# For tests of this script: DRV_BOOTSTRAP_SIMULATE=1 passes --simulate to
# apt-get install and takes every package as missing; DRV_APT_RETRY_PAUSE
# sets the pause between update attempts (seconds). APT_CONFIG, as apt reads
# it, lets a test point apt at private lists and sources.
set -uo pipefail
cd "$(dirname "$0")/.."

group_packages() {
    case $1 in
        native)
            echo cmake ninja-build g++ binutils pkg-config \
                cups-daemon cups-client libcups2-dev poppler-utils \
                libgtest-dev libgmock-dev googletest libbenchmark-dev \
                libcli11-dev libpng-dev zlib1g-dev libpugixml-dev libdxflib-dev libtiff-dev \
                libevdev-dev nlohmann-json3-dev
            ;;
        # MinGW-w64 with the posix thread model (GoogleTest needs std::mutex).
        windows) echo g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 ;;
        i386) echo wine32:i386 ;;
        *) return 1 ;;
    esac
}

group_optional() { [[ $1 == i386 ]]; }

groups=("$@")
((${#groups[@]})) || groups=(native)
for group in "${groups[@]}"; do
    if ! group_packages "$group" >/dev/null; then
        echo "bootstrap: unknown group '$group' (known: native windows i386)" >&2
        exit 2
    fi
done

simulate=${DRV_BOOTSTRAP_SIMULATE:-0}
pause=${DRV_APT_RETRY_PAUSE:-5}
status_file=${DRV_BOOTSTRAP_STATUS:-build/bootstrap-status}
mkdir -p "$(dirname "$status_file")"
: >"$status_file"

sudo=()
if [[ $(id -u) -ne 0 && $simulate != 1 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

installed() {
    [[ $simulate == 1 ]] && return 1
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

# Package lists, fetched once per run and only when something is missing.
# apt-get update exits 100 when any one index fails; the lists that did
# download are still used, so its status only decides whether to retry.
lists_fetched=0
fetch_lists() {
    ((lists_fetched)) && return 0
    lists_fetched=1
    local attempt
    for attempt in 1 2 3; do
        if "${sudo[@]}" apt-get update -q; then
            return 0
        fi
        if ((attempt < 3)); then
            echo "bootstrap: some package lists did not download (attempt $attempt of 3); retrying in ${pause} s" >&2
            sleep "$pause"
        fi
    done
    echo "bootstrap: some package lists still fail to download; going on with the lists that came" >&2
}

apt_install() {
    local flags=(-y -q --no-install-recommends)
    [[ $simulate == 1 ]] && flags+=(--simulate)
    "${sudo[@]}" apt-get install "${flags[@]}" "$@"
}

required_failed=()
for group in "${groups[@]}"; do
    read -r -a wanted <<<"$(group_packages "$group")"
    missing=()
    for pkg in "${wanted[@]}"; do
        installed "$pkg" || missing+=("$pkg")
    done
    if ((${#missing[@]} == 0)); then
        echo "${group}=ok: ${wanted[*]}" >>"$status_file"
        continue
    fi

    echo "bootstrap: installing ${missing[*]}" >&2
    if [[ " ${missing[*]} " == *:i386\ * && $simulate != 1 ]] &&
        ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
        lists_fetched=0 # the i386 lists are new
    fi
    fetch_lists

    if ! apt_install "${missing[@]}"; then
        # One at a time, to name exactly what cannot be installed.
        failed=()
        for pkg in "${missing[@]}"; do
            apt_install "$pkg" || failed+=("$pkg")
        done
        if ((${#failed[@]})); then
            if group_optional "$group"; then
                echo "skipped: ${failed[*]} could not be installed (see apt's message above)" |
                    sed "s/^/${group}=/" >>"$status_file"
                echo "NOTE: bootstrap could not install the optional ${failed[*]}; the tests that need it will be skipped" >&2
            else
                echo "${group}=failed: ${failed[*]}" >>"$status_file"
                echo "bootstrap: could not install ${failed[*]} (needed by the ${group} build)" >&2
                required_failed+=("${failed[@]}")
            fi
            continue
        fi
    fi
    echo "${group}=ok: ${wanted[*]}" >>"$status_file"
done

if ((${#required_failed[@]})); then
    # The native group is what everything else builds on.
    exit 1
fi
exit 0
