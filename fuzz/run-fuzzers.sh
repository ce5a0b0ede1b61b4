# Shared by scripts/fuzz-short and scripts/fuzz-long: builds the fuzz targets with
# clang in build-fuzz/ and runs each one for a given time on its seed corpus.
# shellcheck shell=bash

KX_FUZZ_TARGETS=(fuzz_report_descriptor fuzz_settings_report fuzz_input_report fuzz_number_text
                 fuzz_settings_file)

kx_fuzz_build() {
    local dir=$1
    CXX=clang++ cmake -S "$KX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_COMPILER=clang++ -DKX_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
    cmake --build "$dir" -j2 --target "${KX_FUZZ_TARGETS[@]}" >"$dir/build.log" 2>&1 ||
        { tail -60 "$dir/build.log"; return 1; }
}

# kx_fuzz_run DIR SECONDS: every target for SECONDS, one after the other. New inputs
# go to a scratch corpus under DIR, never into the seeds in the repository; a crash
# leaves its input in DIR/artifacts. Prints executions and crashes per target and
# returns non-zero when any target failed.
kx_fuzz_run() {
    local dir=$1 seconds=$2 target status=0 total=0
    mkdir -p "$dir/artifacts"
    printf '%-26s %14s %10s %8s\n' target executions "exec/s" crashes
    for target in "${KX_FUZZ_TARGETS[@]}"; do
        local scratch="$dir/corpus/$target" log="$dir/$target.log" rc=0
        mkdir -p "$scratch"
        "$dir/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
            -artifact_prefix="$dir/artifacts/$target-" "$scratch" "$KX_ROOT/fuzz/corpus/$target" \
            >"$log" 2>&1 || rc=$?
        local runs speed crashes=0
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
        speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
        if [ "$rc" -ne 0 ]; then
            crashes=1
            status=1
        fi
        printf '%-26s %14s %10s %8s\n' "$target" "${runs:-?}" "${speed:-?}" "$crashes"
        if [ "$rc" -ne 0 ]; then
            echo "--- $target failed (exit $rc); the end of its log ($log):"
            tail -40 "$log"
        fi
        total=$((total + ${runs:-0}))
    done
    echo "fuzz executions in total: $total"
    return $status
}
