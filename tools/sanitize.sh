#!/usr/bin/env bash
# The core and paipan-cli built by clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, without Qt, in $PAIPAN_SANITIZE_DIR (default
# build-sanitize/). Any sanitizer report stops the program it is in.
#   tools/sanitize.sh test            builds the core and command-line tests
#                                     and runs them (ctest labels core, cli)
#   tools/sanitize.sh fuzz [SECONDS]  fuzzes paipan-cli's input path with
#                                     libFuzzer for SECONDS (default 60)
# A fuzz run exits non-zero on a crash, a leak, undefined behaviour, a hang
# or an internal error of paipan-cli; the input that did it is saved in that
# folder as crash-*, leak-* or timeout-*. Set CMAKE_CXX_COMPILER_LAUNCHER=ccache
# to reuse objects between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${PAIPAN_SANITIZE_DIR:-$root/build-sanitize}
mode=${1:-test}
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# -fsanitize=fuzzer-no-link: coverage for the fuzzer, harmless to the tests.
cmake -S "$root" -B "$dir" -DCMAKE_CXX_COMPILER="${CXX_SANITIZE:-clang++-14}" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link" \
    -DPAIPAN_BUILD_APP=OFF -DPAIPAN_BUILD_TESTS=ON -DPAIPAN_BUILD_FUZZERS=ON -DPAIPAN_WERROR=ON \
    -DPAIPAN_USE_TCMALLOC=OFF >/dev/null

case $mode in
test)
    targets=(paipan-cli paipan_core_tests paipan_core_data_tests paipan_birth_tests paipan_birth_clock_tests
             chart_shensha_test chart_text_test chart_request_test chart_unknown_hour_test chart_cli_test
             pillar_search_test find_pillars_cli_test chart_output_file_test)
    cmake --build "$dir" -j"$(nproc)" "${targets[@]/#/--target=}"
    ctest --test-dir "$dir" -L 'core|cli' -E InstalledProgram --output-on-failure -j"$(nproc)"
    ;;
fuzz)
    seconds=${2:-60}
    cmake --build "$dir" -j"$(nproc)" --target fuzz-cli
    fuzz=$root/tests/chart/fuzz
    mkdir -p "$dir/fuzz-cli-corpus"
    echo "fuzzing paipan-cli's input path for ${seconds} s in $dir" >&2
    "$dir/tests/chart/fuzz-cli" -max_total_time="$seconds" -max_len=4096 -timeout=20 -rss_limit_mb=2048 \
        -close_fd_mask=2 -dict="$fuzz/cli.dict" -artifact_prefix="$dir/" -print_final_stats=1 \
        "$dir/fuzz-cli-corpus" "$fuzz/seeds"
    ;;
*)
    echo "usage: tools/sanitize.sh test | fuzz [SECONDS]" >&2
    exit 2
    ;;
esac
