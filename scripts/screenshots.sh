#!/usr/bin/env bash
# Takes PNG screenshots of Brenvik under Wine and Xvfb, as artefacts: the main
# window with its hint panel shown (a hint under the mouse) and hidden, at 96,
# 120 and 144 pixels per inch (names with "-120dpi" and "-144dpi" for the
# latter two), and the tray icon's popup menu. A Wine virtual desktop draws
# the title bars and a taskbar with the notification area.
#
#   scripts/screenshots.sh OUT_DIR       (BRENVIK_BIN_DIR: Windows programs to use instead of the build's)
set -euo pipefail
source "$(dirname "$0")/common.sh"

desktop_size=1024x768

take_screenshots() {  # inside the session: OUT_DIR DPI
  local out=$1 dpi=$2 bin=$BRENVIK_BIN_DIR
  local scratch suffix=""
  ((dpi == 96)) || suffix="-${dpi}dpi"
  scratch="$(dirname "$BRENVIK_PORTS_DIR")/screenshots"
  mkdir -p "$scratch"
  in_desktop() { "$BRENVIK_WINE" explorer "/desktop=brenvik,$desktop_size" "$@"; }
  # Design pixels (96 per inch) on this screen.
  scaled() { echo $((($1 * dpi + 48) / 96)); }

  # Wine's DPI, read by every program that starts from now on.
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n\r\n' "$dpi" \
    >"$scratch/dpi.reg"
  "$BRENVIK_WINE" regedit /S "$("$BRENVIK_WINE" winepath -w "$scratch/dpi.reg")"

  # The hint panel shown, a port chosen, every option on.
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\SaveForms]\r\n"%s"="1"\r\n\r\n[%s]\r\n"ComPort"="%s"\r\n\r\n' \
    "TFormMain4D643DD6BD8E447C9291EEDF0A10BE65.FormMain4D643DD6BD8E447C9291EEDF0A10BE65" \
    "HKEY_CURRENT_USER\\Software\\Morvane\\FormMain4D643DD6BD8E447C9291EEDF0A10BE65" \
    "Kolektor danych (COM1)" >"$scratch/settings.reg"
  "$BRENVIK_WINE" regedit /S "$("$BRENVIK_WINE" winepath -w "$scratch/settings.reg")"

  in_desktop "$bin/Brenvik.exe" >/dev/null 2>&1 &
  local brenvik=$!
  eval "$(xdotool search --sync --onlyvisible --name '^brenvik - Wine desktop$' getwindowgeometry --shell |
    sed 's/^/desktop_/')"
  # The driver gives the window's place inside the virtual desktop, and its
  # client size: the dialog frame is as wide at the sides as at the bottom.
  local left top right bottom client_left client_top
  window_place() {
    local state width height
    state=$(in_desktop "$bin/brenvik-driver.exe" --settle-ms 10000 state | tr -d '\r')
    read -r _ left top right bottom < <(grep '^window ' <<<"$state")
    read -r _ width height < <(grep '^client ' <<<"$state")
    left=$((desktop_X + left)) top=$((desktop_Y + top)) right=$((desktop_X + right)) bottom=$((desktop_Y + bottom))
    client_left=$((left + (right - left - width) / 2))
    client_top=$((bottom - (right - left - width) / 2 - height))
  }
  shot_window() {
    window_place
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$1"
  }
  window_place

  # A real pointer move: only that wakes the hint tracking inside the virtual desktop.
  # The point is on the "Ucinaj końcówki" check box, whose hint has bold text.
  xdotool mousemove $((client_left + $(scaled 170))) $((client_top + $(scaled 142)))
  sleep 1
  shot_window "$out/main-window-hints$suffix.png"

  in_desktop "$bin/brenvik-driver.exe" click "Pokaż podpowiedzi" >/dev/null
  xdotool mousemove $((client_left + $(scaled 200))) $((client_top + $(scaled 30)))  # onto the title band: no hint there
  sleep 1
  shot_window "$out/main-window$suffix.png"

  if ((dpi == 96)); then shot_tray_popup; fi
  in_desktop "$bin/brenvik-driver.exe" close >/dev/null
  wait "$brenvik" || true
  ls -l "$out"/*"$suffix".png
}

shot_tray_popup() {
  # The tray icon is the last one at the right end of the taskbar.
  local desktop_right=$((desktop_X + desktop_WIDTH)) desktop_bottom=$((desktop_Y + desktop_HEIGHT))
  xdotool mousemove $((desktop_right - 11)) $((desktop_bottom - 10)) click 3
  read -r _ _ left top right bottom < <(in_desktop "$bin/brenvik-driver.exe" popup | tr -d '\r')
  # Onto the menu's second item: highlighted, and the icon's tooltip out of the way.
  xdotool mousemove $((desktop_X + (left + right) / 2)) $((desktop_Y + top + (bottom - top) * 3 / 8))
  sleep 1
  left=$((desktop_X + left - 60)) top=$((desktop_Y + top - 40))
  import -window root -crop "$((desktop_right - left))x$((desktop_bottom - top))+$left+$top" +repage \
    "$out/tray-popup.png"
  xdotool key Escape
}

if [[ ${1:-} == --inside-session ]]; then
  take_screenshots "$2" "$3"
  exit 0
fi

out=$(realpath -m "${1:?usage: scripts/screenshots.sh OUT_DIR}")
install_missing_packages
bin="${BRENVIK_BIN_DIR:-$(runnable_windows_build)/bin}"
[[ -f $bin/Brenvik.exe && -f $bin/brenvik-driver.exe ]] || build_all
mkdir -p "$out"
for dpi in 96 120 144; do  # a session each: the virtual desktop takes the DPI it starts with
  BRENVIK_BIN_DIR="$bin" BRENVIK_WINE_ARCH=$(wine_arch) \
    "$root/scripts/wine-session.sh" "$build_root/screenshot-session" "$0" --inside-session "$out" "$dpi"
done
