#!/bin/sh
# Runs one Windows test program under Wine: the emulator CTest puts in
# front of every test program of the Windows builds.
#
#   wine-run.sh <loader> <winearch> <prefix> <program> [arguments...]
#   wine-run.sh <loader> <winearch> <prefix> --stop
#
# <loader> is Wine's loader for the program's word size (Debian:
# /usr/lib/wine/wine from wine32:i386, or the same file unpacked into
# build/wine32-root by tools/bootstrap.sh i386; /usr/lib/wine/wine64 from
# wine64). The wineserver beside it serves the prefix.
# Before the program, Wine's server and helper processes are started (and
# <prefix> created) detached, standard streams closed: started by a test
# program instead, they would outlive it holding CTest's output pipe, and
# CTest would wait on that pipe for good. --stop ends them.
#
# Exit status: the program's; 1 when Wine is missing or cannot set up the
# prefix; 77 (CTest's skip code here) when a 32-bit program cannot run here
# for a reason outside the project: 32-bit Wine (wine32:i386) is not
# installed, as when the i386 package lists cannot be had, or the kernel
# refuses to execute the 32-bit loader at all, as kernels built or booted
# without IA-32 emulation do.
set -eu

loader=$1
arch=$2
prefix=$3
shift 3

export WINEPREFIX="$prefix" WINEARCH="$arch" WINEDEBUG=-all
# No .NET or HTML engine: the prefix is set up offline and quickly.
export WINEDLLOVERRIDES="mscoree,mshtml="

server=$(dirname "$loader")/wineserver
[ -x "$server" ] || server=wineserver

if [ "${1-}" = --stop ]; then
    if [ -d "$prefix" ]; then
        "$server" -k >/dev/null 2>&1 || true
    fi
    exit 0
fi

if [ ! -f "$loader" ] && [ "$arch" = win32 ]; then
    echo "wine-run: SKIPPED: 32-bit Wine is not installed (no $loader):" \
        "tools/bootstrap.sh i386 installs wine32:i386 or unpacks it there," \
        "and says in build/bootstrap-status why it could not" >&2
    exit 77
elif [ ! -f "$loader" ]; then
    echo "wine-run: no Wine loader at $loader (Debian: install wine64" \
        "for 64-bit programs; tools/bootstrap.sh windows does)" >&2
    exit 1
fi
status=0
"$loader" --version >/dev/null 2>&1 || status=$?
if [ "$status" -eq 126 ] && [ "$arch" = win32 ]; then
    echo "wine-run: SKIPPED: this machine cannot execute the 32-bit program" \
        "$loader (its kernel runs no 32-bit code), so no 32-bit Windows" \
        "program can run here" >&2
    exit 77
elif [ "$status" -ne 0 ]; then
    echo "wine-run: $loader --version failed with status $status" >&2
    exit 1
fi

mkdir -p "$prefix"
# One set-up at a time; what it starts must not inherit the lock (9>&-).
# wineboot runs every time: after a fresh server start it is the session's
# first program, the one that brings up Wine's helper processes, and so it
# is what they inherit their standard streams from. On a running session it
# costs about 0.4 s.
(
    flock 9
    # A server already serving this prefix makes this start a no-op.
    "$server" -p </dev/null >/dev/null 2>&1 9>&- || true
    if ! "$loader" wineboot --init </dev/null >"$prefix.log" 2>&1 9>&-; then
        echo "wine-run: setting up $prefix failed; log in $prefix.log" >&2
        exit 1
    fi
) 9>"$prefix.lock"

exec "$loader" "$@"
