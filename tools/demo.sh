#!/usr/bin/env bash
# The main job: installs what the build needs, builds drvhost and the driver
# libraries in the release preset, and runs the demo into build/demo.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/bootstrap.sh
log=$(mktemp)
trap 'rm -f "$log"' EXIT
echo "demo: building drvhost and the 28 driver libraries (release preset)..." >&2
if ! { cmake --preset release && cmake --build --preset release --target drvhost_demo; } >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "demo: the build failed" >&2
    exit 1
fi
exec build/release/bin/drvhost demo --out build/demo
