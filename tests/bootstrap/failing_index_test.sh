#!/usr/bin/env bash
# tools/bootstrap.sh on a machine whose package mirror is half broken: one
# apt source cannot be reached at all. The native build's packages must
# still install, a required package that only the broken source could have
# fails the run and is named, and an optional one only gives a NOTE.
#
#   failing_index_test.sh <source root>
#
# Hermetic: apt runs on a private configuration (its own lists and cache,
# the machine's sources plus a source on a closed loopback port) and
# bootstrap.sh only simulates its installs, so nothing on the machine
# changes. Exit 77 (skipped) when apt is not there or none of the machine's
# sources answers.
set -uo pipefail
root=$1

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "SKIPPED: apt-get is not available on this machine"
    exit 77
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$tmp/lists/partial" "$tmp/cache/archives/partial" "$tmp/sources.list.d"
if [[ -f /etc/apt/sources.list ]]; then
    cp /etc/apt/sources.list "$tmp/sources.list"
else
    : >"$tmp/sources.list"
fi
for source in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [[ -f $source ]] && cp "$source" "$tmp/sources.list.d/"
done
# Port 9 on the loopback: refused at once, never anyone's mirror.
echo "deb [trusted=yes] http://127.0.0.1:9/debian unreachable main" \
    >"$tmp/sources.list.d/unreachable.list"
cat >"$tmp/apt.conf" <<CONF
Dir::State::Lists "$tmp/lists";
Dir::Cache "$tmp/cache";
Dir::Etc::SourceList "$tmp/sources.list";
Dir::Etc::SourceParts "$tmp/sources.list.d";
Debug::NoLocking "true";
APT::Sandbox::User "root";
Acquire::Retries "0";
CONF

failures=0
check() { # check <description> <command...>
    local what=$1
    shift
    if ! "$@"; then
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}

# bootstrap <name> <extra packages> <groups...>: runs it, keeping its exit
# status in $rc, its standard error in $tmp/<name>.err and its status file
# in $tmp/<name>.status.
bootstrap() {
    local name=$1 extra=$2
    shift 2
    APT_CONFIG=$tmp/apt.conf DRV_BOOTSTRAP_SIMULATE=1 DRV_APT_RETRY_PAUSE=0 \
        DRV_BOOTSTRAP_EXTRA=$extra DRV_BOOTSTRAP_STATUS=$tmp/$name.status \
        DRV_WINE32_ROOT=$tmp/wine32-root \
        "$root/tools/bootstrap.sh" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err"
    rc=$?
    echo "--- bootstrap.sh $* (extra: ${extra:-none}): exit $rc"
    cat "$tmp/$name.status"
}

# 1. The native group and an optional package nobody has.
bootstrap optional "i386:drv-optional-nowhere" native i386
if ! compgen -G "$tmp/lists/*_Packages*" >/dev/null; then
    echo "SKIPPED: none of the machine's package sources answered"
    exit 77
fi
check "the unreachable source made apt-get update fail and be retried" \
    grep -q "going on with the lists that came" "$tmp/optional.err"
check "exit 0 with an optional package missing" test "$rc" -eq 0
check "native installs" grep -q "^native=ok: " "$tmp/optional.status"
check "the optional package is reported skipped, named" \
    grep -q "^i386=skipped: .*drv-optional-nowhere" "$tmp/optional.status"
check "a NOTE names the optional package" \
    grep -q "^NOTE: .*drv-optional-nowhere" "$tmp/optional.err"

# 2. A required package that only the unreachable source could have (in
# the small linux32 group: every group goes the same way).
bootstrap required "linux32:drv-required-nowhere" linux32
check "exit 1 with a required package missing" test "$rc" -eq 1
check "the status names only the missing package" \
    grep -qx "linux32=failed: drv-required-nowhere" "$tmp/required.status"
check "the message names the missing package" \
    grep -q "could not install drv-required-nowhere (needed by the linux32 build)" \
    "$tmp/required.err"

if ((failures)); then
    echo "=== standard error of the runs"
    cat "$tmp"/*.err
    echo "$failures check(s) failed"
    exit 1
fi
echo "bootstrap with an unreachable source: all checks passed"
