#!/usr/bin/env bash
# Installs the build's dependencies, then configures, builds and runs every
# test in each preset: release first, then the sanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
for preset in release asan; do
    echo "=== preset ${preset}" >&2
    cmake --workflow --preset "${preset}"
done
