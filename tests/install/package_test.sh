#!/usr/bin/env bash
# The Debian packages as a user gets them, one step per CTest test:
#
#   package_test.sh build   BUILD_DIR WORK   cpack the build into WORK/debs
#   package_test.sh lintian WORK             lintian, no error allowed
#   package_test.sh unpack  WORK             dpkg-deb -x both into WORK/root
#   package_test.sh demo    WORK             the unpacked drvhost runs its demo
#   package_test.sh pkg-config WORK SOURCE   a C host built with pkg-config
#   package_test.sh cmake   WORK SOURCE      a C host built with find_package
#
# The hosts drive the drivers they load from the folder the package names,
# WORK/root standing for the machine's root. Exit 77 (skipped) when a Debian
# tool the step needs is missing.
set -euo pipefail
step=$1
shift

need() {
    local tool
    for tool in "$@"; do
        if ! command -v "$tool" >/dev/null; then
            echo "SKIPPED: $tool is not installed (Debian: tools/bootstrap.sh installs it)"
            exit 77
        fi
    done
}

debs() { # the two packages, or a clear failure
    local work=$1 name
    for name in drvsuite drvsuite-dev; do
        local found=("$work"/debs/${name}_*.deb)
        if [[ ! -f ${found[0]} ]]; then
            echo "no ${name}_*.deb in $work/debs" >&2
            exit 1
        fi
        echo "${found[0]}"
    done
}

case $step in
    build)
        need cpack dpkg-deb dpkg-shlibdeps
        build=$1 work=$2
        rm -rf "$work"
        mkdir -p "$work/debs"
        cpack --config "$build/CPackConfig.cmake" -B "$work/debs"
        for deb in $(debs "$work"); do
            echo "== $deb"
            dpkg-deb --info "$deb"
            dpkg-deb --contents "$deb"
        done
        ;;
    lintian)
        need lintian
        work=$1
        # Errors fail the step; warnings are printed for the reader.
        lintian --fail-on error --tag-display-limit 0 $(debs "$work")
        ;;
    unpack)
        need dpkg-deb
        work=$1
        rm -rf "$work/root"
        for deb in $(debs "$work"); do
            dpkg-deb -x "$deb" "$work/root"
        done
        ;;
    demo)
        work=$1
        out=$work/demo
        rm -rf "$out"
        # No DRV_PATH: drvhost must find the drivers where the package put them.
        env -u DRV_PATH "$work/root/usr/bin/drvhost" list
        env -u DRV_PATH "$work/root/usr/bin/drvhost" demo --out "$out"
        ;;
    pkg-config)
        need pkg-config cc
        work=$1 source=$2
        export PKG_CONFIG_PATH=$work/root/usr/share/pkgconfig PKG_CONFIG_LIBDIR=$work/root/usr/share/pkgconfig
        pkg-config --modversion drvsuite
        cflags=$(pkg-config --cflags drvsuite)
        dir=$(pkg-config --variable=driverdir drvsuite)
        echo "cflags: $cflags; drivers: $dir"
        # shellcheck disable=SC2086 # the flags are words
        cc -std=c11 -Wall -Wextra -Werror $cflags -o "$work/pkg-config-host" "$source/c_host.c" -ldl
        "$work/pkg-config-host" "$dir"
        ;;
    cmake)
        need cmake cc
        work=$1 source=$2
        rm -rf "$work/cmake-host"
        cmake -S "$source/cmake_host" -B "$work/cmake-host" \
            -DCMAKE_PREFIX_PATH="$work/root/usr" -DCMAKE_C_FLAGS="-Wall -Wextra -Werror"
        cmake --build "$work/cmake-host"
        "$work/cmake-host/c_host"
        ;;
    *)
        echo "package_test.sh: unknown step $step" >&2
        exit 2
        ;;
esac
