#!/usr/bin/env bash
# The front ends' threaded runs under ThreadSanitizer: the launcher's storage
# runs and the Qt front end's storage workers (the storage worker reports its
# host calls and shows its boxes from its own thread), and the web console
# playing the storage script (the whole demo takes too long under the
# checker; the normal tree plays it all).  Built in the ThreadSanitizer tree of the test
# command, with the front ends on.
#
# Qt itself is not instrumented: the checker cannot see its locks, and its
# own thread pool (image work while painting) would be reported against the
# GUI thread.  ignore_noninstrumented_modules leaves out what happens inside
# Qt's libraries; every access our code makes is checked.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/steps.sh
export MIRELLE_REGISTRY="$root/build-tsan/test-registry.db"
export QT_QPA_PLATFORM=offscreen
BUILD_TARGETS="test_gui test_web mirelle-run" bash scripts/build.sh build-tsan -DMIRELLE_TSAN=ON -DMIRELLE_GUI=ON \
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" -DMIRELLE_BENCH=OFF
STEP_LOG="$root/build-tsan/test-frontends.log" step "test: build-tsan front ends" \
  env TSAN_OPTIONS=halt_on_error=1:ignore_noninstrumented_modules=1 MIRELLE_DEMO_SCRIPTS=storage \
  ctest --test-dir build-tsan --timeout "${MIRELLE_TEST_TIMEOUT:-600}" --output-on-failure --no-tests=error -j "$(nproc)" \
  -R '^(LauncherRun\.StorageRuns|Operator\.StorageWorkers|ConsoleTest\.EveryDemoScript)'
grep -E 'tests passed' build-tsan/test-frontends.log | tail -n 1 | sed 's/^/  /' || true
