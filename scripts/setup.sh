#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need.  The
# package manager's output goes to build/setup.log.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
STEP_LOG="$root/build/setup.log"
source "$root/scripts/steps.sh"
PKGS=(cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
      nlohmann-json3-dev libspdlog-dev libsqlite3-dev libexpat1-dev libpugixml-dev libcli11-dev qt6-base-dev xvfb xauth
      qt6-httpserver-dev qt6-websockets-dev libssl-dev libsodium-dev pkg-config dpkg-dev lintian
      chromium nodejs)
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  step "setup: updating the package lists" $SUDO apt-get update -qq
  step "setup: installing ${missing[*]}" env DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
else
  echo "setup: all ${#PKGS[@]} packages installed"
fi
