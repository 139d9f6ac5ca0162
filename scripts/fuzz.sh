#!/usr/bin/env bash
# Builds the libFuzzer targets in build-fuzz/ (clang, ASan+UBSan) and runs each
# for a bounded time from its seed corpus in fuzz/corpus/<target>/.  Fails on
# any crash, sanitizer report or time-out; the crashing input is left in
# build-fuzz/artifacts/.  FUZZ_SECONDS sets the time per target (default 12).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
seconds=${FUZZ_SECONDS:-12}
targets=(fuzz_xml_document fuzz_xml_call_sequence fuzz_ptz_trigger_list fuzz_camera_control fuzz_run_script
         fuzz_text_stream_record fuzz_ip_source_config fuzz_definitions_text fuzz_unit_file fuzz_run_script_fail
         fuzz_message_reader)

cc=$(command -v clang-14 || command -v clang)
cxx=$(command -v clang++-14 || command -v clang++)
mkdir -p "$build"
STEP_LOG="$build/build.log"
source "$root/scripts/steps.sh"
step "fuzz: configuring $build" cmake -S "$root/fuzz" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx"
step "fuzz: compiling $build" cmake --build "$build" -j "$(nproc)"

mkdir -p "$build/artifacts"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for t in "${targets[@]}"; do
  work="$build/corpus/$t"
  mkdir -p "$work"
  echo "fuzz: $t for ${seconds}s"
  # New inputs go to the work corpus; the seeds in the tree stay as they are.
  if ! "$build/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
       -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" "$work" "$root/fuzz/corpus/$t" \
       >"$build/$t.log" 2>&1; then
    tail -n 60 "$build/$t.log"
    echo "fuzz: $t FAILED (log $build/$t.log)"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units' "$build/$t.log" | sed "s/^/fuzz: $t /" || true
done
echo "fuzz: all targets ran without a crash"
