#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer
# into build-fuzz/ and runs each for SECONDS (default 20) from its seeds in fuzz/corpus/, as many
# at once as there are cores.
#   bash scripts/fuzz.sh [SECONDS [TARGET...]]     targets: user_line users_file course_text
#                                                  editor_text import_file version_file
#                                                  figures_file settings_file lesson_text
#                                                  class_report
# FUZZ_SEED=N fixes the fuzzer's random seed, so a run from the same corpus tries the same
# inputs in the same order (the test script uses it: a check must not pass or fail by chance).
# Fails on any crash, leak, hang (one input over 10 s), memory blow-up (over 2 GB), sanitizer
# report or broken check of a target; the input that did it is kept in build-fuzz/fuzz-artifacts/, the log of each run in
# build-fuzz/fuzz-logs/. Inputs found to reach new code gather in build-fuzz/fuzz-corpus/, so a
# later run goes on from there.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] ||
    targets=(user_line users_file course_text editor_text import_file version_file figures_file
        settings_file lesson_text class_report)

build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTIPENZO_WERROR=ON -DTIPENZO_FUZZ=ON -DTIPENZO_TESTS=OFF -DTIPENZO_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target fuzz_all

mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"
export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
run_target() {
    local target=$1
    local options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$build/fuzz-artifacts/$target-")
    [ -n "${FUZZ_SEED:-}" ] && options+=(-seed="$FUZZ_SEED")
    # The editor reads a file 8 KiB at a time and stops past 40000 characters: its inputs
    # must be able to pass both.
    [ "$target" = editor_text ] && options+=(-max_len=100000)
    mkdir -p "$build/fuzz-corpus/$target"
    "$build/fuzz/fuzz_$target" "${options[@]}" "$build/fuzz-corpus/$target" \
        "fuzz/corpus/$target" >"$build/fuzz-logs/$target.log" 2>&1
}

# As many targets at once as there are cores.
jobs=$(nproc)
declare -A pids
for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    run_target "$target" &
    pids[$target]=$!
done
failed=()
for target in "${targets[@]}"; do
    log="$build/fuzz-logs/$target.log"
    if wait "${pids[$target]}"; then
        # The last progress line holds the runs, coverage and speed reached.
        echo "fuzz $target: $(grep -E '^#[0-9]+' "$log" | tail -n 1)"
    else
        echo "fuzz $target: FAILED (log $log)"
        tail -n 40 "$log"
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "fuzz targets failed: ${failed[*]}"
    exit 1
fi
echo "fuzz targets passed: ${targets[*]}"
