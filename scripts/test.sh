#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the normal build, then the
# ASan+UBSan build, then the ThreadSanitizer build of the threaded tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/steps.sh
# No single test takes more than a few seconds (a sanitizer build some ten
# times that): one that hangs fails by name instead of holding up the run.
TIMEOUT=${MIRELLE_TEST_TIMEOUT:-300}
# The ctest summary line of a run's log.
summary() { grep -E 'tests passed' "$1" | tail -n 1 | sed 's/^/  /' || true; }
bash scripts/setup.sh
export MIRELLE_REGISTRY="$root/build/test-registry.db"
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

bash scripts/build.sh build
STEP_LOG="$root/build/test.log" step "test: build" ctest --test-dir build --timeout "$TIMEOUT" --output-on-failure -j "$(nproc)"
summary build/test.log

# The sanitizer builds: -O1 (quicker to build, reports still exact), no
# front end and no benchmarks.
sanitized=("-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" -DMIRELLE_GUI=OFF -DMIRELLE_BENCH=OFF)
bash scripts/build.sh build-asan -DMIRELLE_SANITIZE=ON "${sanitized[@]}"
STEP_LOG="$root/build-asan/test.log" step "test: build-asan" env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --timeout "$TIMEOUT" --output-on-failure -j "$(nproc)"
summary build-asan/test.log

if [ -f tests/tsan.txt ]; then
  # Only the test binaries that hold the threaded tests.
  BUILD_TARGETS="test_platform test_component test_storage test_audio test_network test_module test_quality test_apps" \
    bash scripts/build.sh build-tsan -DMIRELLE_TSAN=ON "${sanitized[@]}"
  STEP_LOG="$root/build-tsan/test.log" step "test: build-tsan" env TSAN_OPTIONS=halt_on_error=1 \
    ctest --test-dir build-tsan --timeout "$TIMEOUT" --output-on-failure --no-tests=error -j "$(nproc)" -R "$(paste -sd'|' "$root/tests/tsan.txt")"
  summary build-tsan/test.log
fi
if [ -x scripts/fuzz.sh ]; then bash scripts/fuzz.sh; fi
echo "all test runs passed"
