#!/usr/bin/env bash
# A short libFuzzer campaign over every fuzzer of a DRV_FUZZ build:
#
#   tools/fuzz-campaign.sh BUILD_DIR [SECONDS_PER_TARGET]   (default 10)
#
# Each fuzz_<name> starts from its checked-in corpus (fuzz/corpus/<name>/,
# left unchanged) and collects what it finds in BUILD_DIR/corpus/<name>/. A
# crash stops the run with the fuzzer's report; the input is saved as
# BUILD_DIR/crash-<name>-*. fuzz/README.md says how to go on from there.
# The mutations start from a fixed seed, so that a run that passed here
# passes on another machine of the same speed; FUZZ_SEED=0 picks a new seed
# each run, for exploring.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
seconds=${2:-10}
seed=${FUZZ_SEED:-1}

fuzzers=()
for program in "$build"/bin/fuzz_*; do
    [[ -x $program && $program != *_replay ]] && fuzzers+=("$program")
done
if ((${#fuzzers[@]} == 0)); then
    echo "fuzz-campaign: no fuzzers in $build/bin (configure with -DDRV_FUZZ=ON)" >&2
    exit 1
fi

for program in "${fuzzers[@]}"; do
    name=${program##*/fuzz_}
    found=$build/corpus/$name
    mkdir -p "$found"
    echo "fuzz-campaign: $name for $seconds s" >&2
    log=$(mktemp)
    if ! "$program" -max_total_time="$seconds" -seed="$seed" -print_final_stats=1 \
        -artifact_prefix="$build/crash-$name-" "$found" "fuzz/corpus/$name" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        rm -f "$log"
        echo "fuzz-campaign: $name failed; the input is in $build/crash-$name-*" >&2
        exit 1
    fi
    grep -E "^stat::number_of_executed_units|^Done " "$log" | sed "s/^/  $name: /" >&2 || true
    rm -f "$log"
done
echo "fuzz-campaign: ${#fuzzers[@]} fuzzers ran $seconds s each without a failure" >&2
