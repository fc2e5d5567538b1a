#!/usr/bin/env bash
# Installs what building and testing the suite needs on a Debian machine.
#
#   tools/bootstrap.sh [GROUP ...]     (no group: native)
#
#   native    the Linux builds, their tests, benchmarks, the demo, the
#             Debian packages (dpkg-dev, lintian) and the clang fuzzers
#   linux32   the 32-bit x86 Linux build (g++-multilib; no i386 index needed)
#   windows   the MinGW-w64 cross compilers and 64-bit Wine
#   i386      32-bit Wine; optional: when it cannot be had the run goes on
#             and only the tests that need it are skipped
#
# A package mirror that is half-way through a sync must not stop a build
# that does not need the broken part: the package lists are fetched with a
# few retries, whatever still fails to download is ignored (apt keeps the
# lists that did come), and the run fails only when a package of a required
# group cannot be installed; the message names it. Groups are installed
# separately, so a Windows or i386 problem never blocks the native build.
#
# 32-bit Wine: wine32:i386 is installed the Debian way when apt can
# resolve it. It pulls in the i386 twins of many libraries, each of which
# must be at the exact version of its installed amd64 twin; when the
# security archive's i386 index is missing (a mirror mid-sync), the twins of
# security-updated libraries cannot be found and apt refuses the lot. Wine's
# 32-bit loader needs none of them to run console programs, only the C
# library (libc6-i386, the one every 32-bit program here uses), so the two
# Wine packages, at the version of the installed wine64, are then unpacked
# into $DRV_WINE32_ROOT (default build/wine32-root) instead, from the
# signed main index; the system's packages are left as they are. The build
# finds the loader there (cmake/toolchains/wine-tests.cmake).
#
# Exit status: 0 when every required group is installed, 1 otherwise. The
# outcome of each group is written to $DRV_BOOTSTRAP_STATUS (default
# build/bootstrap-status), one "group=ok|failed|skipped: details" line each,
# for tools/test.sh to act on.
#
# Idempotent: packages already present are not touched, and apt is not
# called at all when nothing is missing.
#
# For tests of this script: DRV_BOOTSTRAP_SIMULATE=1 passes --simulate to
# apt-get install (and only lists what the private Wine would download),
# takes every package as missing and changes nothing on the machine;
# DRV_BOOTSTRAP_EXTRA="group:package ..." adds packages to groups;
# DRV_APT_RETRY_PAUSE sets the pause between update attempts (seconds).
# APT_CONFIG, as apt reads it, lets a test point apt at private lists and
# sources.
set -uo pipefail
cd "$(dirname "$0")/.."

group_packages() {
    local packages
    case $1 in
        native)
            packages="cmake ninja-build g++ binutils pkg-config
                cups-daemon cups-client libcups2-dev poppler-utils
                libgtest-dev libgmock-dev googletest libbenchmark-dev
                libcli11-dev libpng-dev zlib1g-dev libpugixml-dev libdxflib-dev libtiff-dev
                libevdev-dev nlohmann-json3-dev libcairo2-dev hp2xx
                dpkg-dev file lintian clang libclang-rt-dev"
            ;;
        linux32) packages="g++-multilib" ;;
        # MinGW-w64 with the posix thread model (GoogleTest needs std::mutex).
        windows) packages="g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64" ;;
        i386) packages="wine32:i386" ;;
        *) return 1 ;;
    esac
    local extra
    for extra in ${DRV_BOOTSTRAP_EXTRA:-}; do
        [[ ${extra%%:*} == "$1" ]] && packages+=" ${extra#*:}"
    done
    echo $packages
}

group_optional() { [[ $1 == i386 ]]; }

groups=("$@")
((${#groups[@]})) || groups=(native)
for group in "${groups[@]}"; do
    if ! group_packages "$group" >/dev/null; then
        echo "bootstrap: unknown group '$group' (known: native linux32 windows i386)" >&2
        exit 2
    fi
done

simulate=${DRV_BOOTSTRAP_SIMULATE:-0}
pause=${DRV_APT_RETRY_PAUSE:-5}
status_file=${DRV_BOOTSTRAP_STATUS:-build/bootstrap-status}
wine32_root=${DRV_WINE32_ROOT:-build/wine32-root}
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
# $lists_failed keeps the indexes that failed in the last attempt, to
# explain a package that then cannot be installed.
lists_fetched=0
lists_failed=
fetch_lists() {
    ((lists_fetched)) && return 0
    lists_fetched=1
    local attempt log rc
    log=$(mktemp)
    for attempt in 1 2 3; do
        "${sudo[@]}" apt-get update -q 2>&1 | tee "$log" >&2
        rc=${PIPESTATUS[0]}
        lists_failed=$(sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | tr '\n' ' ')
        if ((rc == 0)); then
            rm -f "$log"
            return 0
        fi
        if ((attempt < 3)); then
            echo "bootstrap: some package lists did not download (attempt $attempt of 3); retrying in ${pause} s" >&2
            sleep "$pause"
        fi
    done
    rm -f "$log"
    echo "bootstrap: some package lists still fail to download; going on with the lists that came" >&2
}

# apt-get install; apt's own messages still reach the terminal, and its
# first error line is kept in $apt_error for the status file.
apt_error=
apt_install() {
    local flags=(-y -q --no-install-recommends)
    [[ $simulate == 1 ]] && flags+=(--simulate)
    local log rc
    log=$(mktemp)
    "${sudo[@]}" apt-get install "${flags[@]}" "$@" 2>&1 | tee "$log" >&2
    rc=${PIPESTATUS[0]}
    apt_error=$(grep -m1 -E '^(E: |.* : Depends: )' "$log" | sed 's/^ *//')
    rm -f "$log"
    return "$rc"
}

package_version() { # installed version of $1, else apt's candidate
    local version
    version=$(dpkg-query -W -f='${Version}' "$1" 2>/dev/null)
    [[ -n $version && $simulate != 1 ]] ||
        version=$(apt-cache policy "$1" 2>/dev/null | sed -n 's/^ *Candidate: //p')
    [[ -n $version && $version != "(none)" ]] && echo "$version"
}

# The private 32-bit Wine described at the top; prints where its loader is.
unpack_private_wine32() {
    local version
    version=$(package_version wine64) || {
        echo "bootstrap: no wine64 to match the 32-bit Wine to" >&2
        return 1
    }
    local loader=$wine32_root/usr/lib/wine/wine
    if [[ $simulate != 1 && -x $loader && $(cat "$wine32_root/version" 2>/dev/null) == "$version" ]]; then
        echo "$loader"
        return 0
    fi
    echo "bootstrap: unpacking wine32 and libwine (i386, $version) into $wine32_root" >&2
    # libc6-i386: the 32-bit C library and loader; libz-mingw-w64: a DLL
    # Wine's user32 needs, which libwine's postinst would otherwise copy.
    apt_install libc6-i386 libz-mingw-w64 || return 1
    local download=(apt-get download -q -o APT::Sandbox::User=root
        "wine32:i386=$version" "libwine:i386=$version")
    if [[ $simulate == 1 ]]; then
        "${download[@]}" --print-uris >/dev/null || return 1
        echo "$loader"
        return 0
    fi
    local work
    work=$(mktemp -d)
    if ! (cd "$work" && "${download[@]}" >&2); then
        rm -rf "$work"
        return 1
    fi
    rm -rf "$wine32_root"
    mkdir -p "$wine32_root"
    local deb
    for deb in "$work"/*.deb; do
        dpkg-deb -x "$deb" "$wine32_root" || { rm -rf "$work"; return 1; }
    done
    rm -rf "$work"
    # libwine's postinst step: Wine loads a DLL as its own only when the
    # header carries its "Wine builtin DLL" stamp at offset 64.
    local zlib=/usr/i686-w64-mingw32/lib/zlib1.dll
    {
        head -c 64 "$zlib"
        printf 'Wine builtin DLL'
        head -c 16 /dev/zero
        tail -c +97 "$zlib"
    } >"$wine32_root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll" || return 1
    if ! "$loader" --version >&2; then
        echo "bootstrap: the unpacked 32-bit Wine loader does not start" >&2
        return 1
    fi
    echo "$version" >"$wine32_root/version"
    echo "$loader"
}

# Those of the named packages that some package list offers (that have an
# install candidate).
offered_packages() {
    apt-cache policy "$@" 2>/dev/null |
        awk '/^[^ ]/ { name = substr($0, 1, length($0) - 1) }
             /^  Candidate:/ && $2 != "(none)" { print name }'
}

private_wine32_ready() {
    [[ $simulate != 1 && -x $wine32_root/usr/lib/wine/wine ]] &&
        [[ $(cat "$wine32_root/version" 2>/dev/null) == "$(package_version wine64)" ]]
}

required_failed=()
for group in "${groups[@]}"; do
    read -r -a wanted <<<"$(group_packages "$group")"
    missing=()
    for pkg in "${wanted[@]}"; do
        installed "$pkg" || missing+=("$pkg")
    done
    details="${wanted[*]}"
    if [[ $group == i386 && " ${missing[*]} " == *" wine32:i386 "* ]] && private_wine32_ready; then
        missing=("${missing[@]/wine32:i386/}")
        read -r -a missing <<<"${missing[*]}"
        details="wine32:i386 unpacked privately, loader $wine32_root/usr/lib/wine/wine"
    fi
    if ((${#missing[@]} == 0)); then
        echo "${group}=ok: ${details}" >>"$status_file"
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
        # Name exactly what cannot be installed and why: first what no
        # package list offers at all, then, one at a time, what still fails.
        failed=()
        why=
        offered=" $(offered_packages "${missing[@]}" | tr "\n" " ") "
        rest=()
        for pkg in "${missing[@]}"; do
            if [[ $offered == *" $pkg "* ]]; then
                rest+=("$pkg")
            else
                failed+=("$pkg")
                why+="${why:+; }no package list offers $pkg"
                [[ -n $lists_failed ]] && why+=" (not downloaded: ${lists_failed% })"
            fi
        done
        if ((${#rest[@]})) && ((${#failed[@]})) && apt_install "${rest[@]}"; then
            rest=()
        fi
        for pkg in "${rest[@]}"; do
            apt_install "$pkg" && continue
            reason="apt: ${apt_error:-it failed}"
            [[ -n $lists_failed ]] && reason+=", with these package lists not downloaded: ${lists_failed% }"
            if [[ $pkg == wine32:i386 ]] && loader=$(unpack_private_wine32); then
                details="wine32:i386 unpacked privately, as apt could not install it ($reason); loader $loader"
                continue
            fi
            failed+=("$pkg")
            why+="${why:+; }$reason"
        done
        if ((${#failed[@]})); then
            if group_optional "$group"; then
                echo "${group}=skipped: ${failed[*]} could not be installed ($why)" >>"$status_file"
                echo "NOTE: bootstrap could not install the optional ${failed[*]}; the tests that need it will be skipped" >&2
            else
                echo "${group}=failed: ${failed[*]}" >>"$status_file"
                echo "bootstrap: could not install ${failed[*]} (needed by the ${group} build): $why" >&2
                required_failed+=("${failed[@]}")
            fi
            continue
        fi
    fi
    echo "${group}=ok: ${details}" >>"$status_file"
done

if ((${#required_failed[@]})); then
    exit 1
fi
exit 0
