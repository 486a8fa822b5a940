#!/usr/bin/env bash
# Fuzzes the RTF reader and writer (the Qt-free core) with libFuzzer under
# AddressSanitizer and UndefinedBehaviorSanitizer.
#   tools/fuzz-rtf.sh [SECONDS]      run for SECONDS (default 60)
# The build and the corpus it grows go to $PAIPAN_FUZZ_DIR (default
# build-fuzz-rtf/); the committed samples are the seeds. Exits non-zero when
# the fuzzer finds a crash, a leak, undefined behaviour, a hang or a broken
# invariant; the input that did it is saved in that folder as crash-*,
# leak-* or timeout-*.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
out=${PAIPAN_FUZZ_DIR:-$root/build-fuzz-rtf}
cxx=${CXX_FUZZ:-clang++-14}
mkdir -p "$out/corpus"

"$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -Wall -Wextra -I"$root" \
    "$root/rtf/rtf_model.cpp" "$root/rtf/rtf_reader.cpp" \
    "$root/rtf/rtf_text.cpp" "$root/rtf/rtf_writer.cpp" \
    "$root/tests/rtf/fuzz/fuzz_rtf.cpp" \
    -o "$out/fuzz-rtf"

echo "fuzzing the RTF reader for ${seconds} s in $out" >&2
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
ASAN_OPTIONS=detect_leaks=1 \
"$out/fuzz-rtf" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -dict="$root/tests/rtf/fuzz/rtf.dict" -artifact_prefix="$out/" -print_final_stats=1 \
    "$out/corpus" "$root/tests/rtf/samples"
