#!/usr/bin/env bash
# Takes PNG screenshots of the crash-report dialogs under Wine and Xvfb, in a
# Wine virtual desktop: the compact view, each page of the details view, the
# request dialog and the progress dialog.
#
#   sim/dialogdriver/take_screenshots.sh OUT_DIR [BUILD_BIN_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../scripts/common.sh"
out=$(realpath -m "$1")
bin=$(realpath "${2:-$(runnable_windows_build)/bin}")
mkdir -p "$out"

if [[ -z "${WINEPREFIX:-}" ]]; then  # start a session of our own and come back inside it
  exec env BRENVIK_WINE_ARCH="${BRENVIK_WINE_ARCH:-$(wine_arch)}" \
    "$root/scripts/wine-session.sh" "/tmp/crash-dialog-shots-$$" "$0" "$out" "$bin"
fi

scratch="$(dirname "$BRENVIK_PORTS_DIR")/dialog-shots"
mkdir -p "$scratch"
for view in compact general callstack modules cpu request progress; do
  "$BRENVIK_WINE" explorer /desktop=crashshots,1024x768 "$bin/crash_dialog_screenshot.exe" "$view" \
    "$("$BRENVIK_WINE" winepath -w "$scratch/$view.bmp")" >/dev/null 2>&1
  convert "$scratch/$view.bmp" "$out/crash-$view.png"
  echo "$out/crash-$view.png"
done
