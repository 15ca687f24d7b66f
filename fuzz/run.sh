#!/bin/sh
# Runs every fuzz target of build/fuzz for a bounded time: run.sh SECONDS.
# Each target starts from its seed corpus (fuzz/corpus/NAME) and the inputs
# earlier runs found (build/fuzz/corpus/NAME), and adds new finds to the
# latter. Findings land in build/fuzz/artifacts/.
#
# Under the i386 emulator libFuzzer cannot list directories (32-bit readdir
# fails on ext4's 64-bit offsets), so the corpora go in as -seed_inputs.
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
mkdir -p "$build/artifacts"
for fuzzer in "$build"/luma_fuzz_*; do
    name=${fuzzer##*/luma_fuzz_}
    work=$build/corpus/$name
    mkdir -p "$work"
    seeds=$(find "$root/fuzz/corpus/$name" "$work" -type f | paste -sd, -)
    dict=""
    if [ -f "$root/fuzz/$name.dict" ]; then dict="-dict=$root/fuzz/$name.dict"; fi
    echo "fuzz: $name for $seconds s"
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 $dict \
        -artifact_prefix="$build/artifacts/$name-" -seed_inputs="$seeds" "$work"
done
