#!/usr/bin/env bash
# The main job: builds the component and runs setups on the bundled simulated
# unit.  With a display (or under xvfb-run) and Qt 6 it opens the demo
# launcher; otherwise it runs a headless tour with mirelle-run.  Every run
# starts from the bundled unit: build/demo-unit.json is overwritten with a
# fresh copy of apps/units/default.json and holds the last run's result.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/setup.sh
bash scripts/build.sh build
unit="$root/build/demo-unit.json"
cp apps/units/default.json "$unit"
export MIRELLE_REGISTRY="$root/build/demo-registry.db"
if [ -x build/apps/mirelle-demo ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== Qt demo launcher on $unit (one button per setup; results in its log) =="
  exec build/apps/mirelle-demo --unit "$unit" "$@"
fi
echo "== headless tour on $unit (run under a display or xvfb-run for the Qt demo) =="
for script in apps/demo/*.script; do
  op=$(head -1 "$script" | sed -n 's/^# operation: *//p')
  [ -n "$op" ] || continue
  echo "-- $op ($(basename "$script"))"
  build/apps/mirelle-run --unit "$unit" --script "$script" "$op"
done
