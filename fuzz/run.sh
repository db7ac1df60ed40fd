#!/usr/bin/env bash
# Runs each reader fuzzer for a bounded time on its seed corpus and fails on
# any crash, hang, leak or sanitizer report.
#   fuzz/run.sh BUILD_DIR [SECONDS_EACH] [FUZZER...]
# New inputs go to a private temporary folder; the seeds in fuzz/corpus are
# only read. A failing input is kept in fuzz-artifacts/ under BUILD_DIR.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:?usage: fuzz/run.sh BUILD_DIR [SECONDS_EACH] [FUZZER...]}
seconds=${2:-30}
shift $(( $# >= 2 ? 2 : 1 ))
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(dxf_pairs_fuzzer dxf_reader_fuzzer aama_reader_fuzzer ptn_reader_fuzzer ptn_archive_fuzzer ptn_preview_fuzzer zip_reader_fuzzer gerber_records_fuzzer gerber_export_fuzzer)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LC_ALL=C

passed=0
failed=0
for fuzzer in "${fuzzers[@]}"; do
  name=${fuzzer%_fuzzer}
  exe="$build/fuzz/$fuzzer"
  mkdir -p "$work/$name/corpus" "$work/$name/tmp"
  # A reader of binary files has a dictionary of its own; the text readers
  # share the DXF one.
  dict="$here/dxf.dict"
  [ -f "$here/$name.dict" ] && dict="$here/$name.dict"
  echo "== $fuzzer: ${seconds}s"
  # -timeout: an input still running after 60 s hangs. Far-flung coordinates
  # (a huge number, or the largest scale) make the curve smoothing sample its
  # bounded maximum, which takes seconds under the sanitizers: the limit stays
  # well above that. -rss_limit_mb and -malloc_limit_mb: a reader must not
  # grow without bound. Any finding ends the fuzzer with a non-zero status.
  if TMPDIR="$work/$name/tmp" "$exe" "$work/$name/corpus" "$here/corpus/$name" \
      -dict="$dict" -max_total_time="$seconds" -timeout=60 -rss_limit_mb=2048 \
      -malloc_limit_mb=1024 -max_len=16384 -detect_leaks=1 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" >"$artifacts/$name.log" 2>&1; then
    tail -n 12 "$artifacts/$name.log" | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' || true
    passed=$((passed + 1))
  else
    tail -n 60 "$artifacts/$name.log"
    echo "== $fuzzer FAILED; input kept in $artifacts"
    failed=$((failed + 1))
  fi
done
echo "fuzzers: $passed ran clean, $failed found a fault"
[ "$failed" -eq 0 ]
