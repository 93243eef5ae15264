#!/usr/bin/env bash
# The main job: installs what is missing, builds, and runs a demo import end
# to end under Wine: a simulated data collector on COM1, a simulated Veltra II
# window, and Brenvik.exe whose "Importuj" button is clicked by a driver.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing_packages
build_all >/dev/null
windows_build=$(runnable_windows_build)
BRENVIK_WINE_ARCH=$(wine_arch) "$root/scripts/wine-session.sh" "$build_root/demo-session" \
  "$root/scripts/demo-import.sh" "$build_root/native" "$windows_build/bin" "${1:-$root/sim/scenarios/demo.txt}"
