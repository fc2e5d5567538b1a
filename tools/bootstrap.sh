#!/usr/bin/env bash
# Installs what building and testing the suite needs on a Debian machine.
#   tools/bootstrap.sh            the native builds
#   tools/bootstrap.sh windows    also the Windows cross builds and Wine
# Idempotent: packages already present are not touched, and apt is not
# called at all when nothing is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ binutils pkg-config
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libcli11-dev libpng-dev zlib1g-dev
)
if [[ ${1-} == windows ]]; then
    # MinGW-w64 with the posix thread model (GoogleTest needs std::mutex),
    # and Wine for each word size: the 32-bit loader is an i386 package.
    packages+=(
        g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
        wine wine64 wine32:i386
    )
fi

missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if ((${#missing[@]} == 0)); then
    exit 0
fi

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
echo "bootstrap: installing ${missing[*]}" >&2
if [[ " ${missing[*]} " == *:i386\ * ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
# The package lists must be current before i386 packages come in: they
# pull matching versions of shared amd64 libraries.
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
