#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each on its corpus for the given number
# of seconds (default 300), two at a time, then prints what each run did. New inputs a run finds stay in
# build-fuzz/fuzz-runs/<target>/; the kept corpus in fuzz/corpus/ is only read. A crash or broken property
# leaves its input there as crash-*; copy it to fuzz/regressions/<target>/ once the fault is fixed.
# Exit status: 1 when any run found something.
set -euo pipefail
seconds="${1:-300}"
jobs="${FUZZ_JOBS:-2}"
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-fuzz"
targets=(fuzz_language fuzz_probe_parse fuzz_progress_report fuzz_version_reply fuzz_command_line
         fuzz_bridge_arguments fuzz_avs_reader fuzz_mp4_index)

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DREELPOCKET_FUZZ=ON \
    -DREELPOCKET_BUILD_TESTS=OFF -DREELPOCKET_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

run_one() {
    local target=$1 dir="$build/fuzz-runs/$1"
    rm -rf "$dir/artifacts"
    mkdir -p "$dir/new" "$dir/artifacts"
    local start end
    start=$(date +%s)
    # Leaks inside Qt's static data at exit are not ours; the targets free what they allocate.
    "$build/fuzz/$target" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$dir/artifacts/" "$dir/new" "$root/fuzz/corpus/$target" >"$dir/log.txt" 2>&1 || true
    end=$(date +%s)
    echo "$((end - start))" >"$dir/seconds"
}

running=0
for target in "${targets[@]}"; do
    run_one "$target" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n
        running=$((running - 1))
    fi
done
wait

status=0
printf '%-24s %12s %8s %9s\n' target runs seconds findings
for target in "${targets[@]}"; do
    dir="$build/fuzz-runs/$target"
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$dir/log.txt" | tail -1 | grep -o '[0-9]*$' || true)
    if [ -z "$runs" ]; then
        runs=$(grep -o '^#[0-9]*' "$dir/log.txt" | tail -1 | tr -d '#' || true)
    fi
    findings=$(find "$dir/artifacts" -type f | wc -l)
    [ "$findings" -eq 0 ] || status=1
    printf '%-24s %12s %8s %9s\n' "$target" "${runs:-?}" "$(cat "$dir/seconds")" "$findings"
done
for target in "${targets[@]}"; do
    for finding in "$build/fuzz-runs/$target/artifacts/"*; do
        [ -e "$finding" ] && echo "finding: $finding (log: $build/fuzz-runs/$target/log.txt)"
    done
done
exit "$status"
