#!/usr/bin/env bash
# Runs a command inside a throw-away Wine session: its own 32-bit prefix, its
# own Xvfb display, a persistent wineserver, and COM1..COM8 mapped to links in
# the session's ports folder, so no program of the session can reach a serial
# device of this machine. COM5 and COM6 are joined back to back by socat; COM7
# and COM8 point at nothing (a missing device).
#
#   scripts/wine-session.sh RUN_DIR COMMAND [ARGS...]
#
# COMMAND sees WINEPREFIX, DISPLAY, BRENVIK_PORTS_DIR and BRENVIK_LOCALES_DIR.
# Everything the session started is stopped by pid, and the prefix removed,
# on exit.
set -euo pipefail

run_dir=$(realpath -m "$1")
shift
rm -rf "$run_dir"
mkdir -p "$run_dir/ports"

# winemenubuilder would turn the prefix's shortcuts and file types into
# desktop entries in the home folder, outside the session.
export WINEPREFIX="$run_dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export BRENVIK_PORTS_DIR="$run_dir/ports"
# BRENVIK_WINE_ARCH=win64 runs 64-bit Wine only, for kernels without 32-bit
# support, where the wine wrapper's 32-bit loader cannot start.
if [[ "${BRENVIK_WINE_ARCH:-win32}" == win64 ]]; then
  export WINEARCH=win64 BRENVIK_WINE=/usr/lib/wine/wine64 WINELOADER=/usr/lib/wine/wine64
else
  export WINEARCH=win32 BRENVIK_WINE=/usr/bin/wine
fi
run_wine() { "$BRENVIK_WINE" "$@"; }
started=()

cleanup() {
  set +e
  [[ -d "$WINEPREFIX" ]] && wineserver -k >/dev/null 2>&1
  for pid in "${started[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${started[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

start_display() {
  local n
  for n in $(seq 91 250); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$run_dir/xvfb.log" 2>&1 &
    started+=($!)
    for _ in $(seq 100); do
      [[ -e /tmp/.X11-unix/X$n ]] && { export DISPLAY=":$n"; return 0; }
      kill -0 "${started[-1]}" 2>/dev/null || break
      sleep 0.05
    done
  done
  echo "wine-session: no X display could be started" >&2
  return 1
}

write_settings() {
  local reg="$run_dir/session.reg" n
  {
    printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\r\n'
    for n in 1 2 3 4 5 6 7 8; do
      printf '"COM%d"="%s"\r\n' "$n" "$(printf '%s' "$BRENVIK_PORTS_DIR/com$n")"
    done
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
    # Without a window manager no one speaks the take-focus protocol: a window
    # is activated when X gives it the keyboard (xdotool windowfocus).
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n"UseTakeFocus"="N"\r\n'
    # MS Sans Serif with the Central European glyphs, for 96 and 120 per inch,
    # as a Polish system has it: Wine links only its code page's version.
    printf '\r\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]\r\n'
    printf '"MS Sans Serif 8,10,12,14,18,24 (Central European)"="sserifee.fon"\r\n'
    printf '"MS Sans Serif 8,10,12,14,18,24 (Central European, 120)"="sseriffe.fon"\r\n'
  } >"$reg"
  run_wine regedit /S "$(run_wine winepath -w "$reg")"
}

# No test may open a port that leads anywhere but into this session.
check_port_links() {
  local link target
  for link in "$WINEPREFIX"/dosdevices/com*; do
    [[ -L "$link" ]] || continue
    target=$(readlink "$link")
    if [[ "$target" != "$BRENVIK_PORTS_DIR"/* ]]; then
      rm -f "$link"
    fi
  done
  for n in 1 2 3 4 5 6 7 8; do
    target=$(readlink "$WINEPREFIX/dosdevices/com$n" 2>/dev/null || true)
    if [[ "$target" != "$BRENVIK_PORTS_DIR/com$n" ]]; then
      echo "wine-session: COM$n is not mapped into the session (${target:-unmapped})" >&2
      return 1
    fi
  done
}

# Wine's own fonts (package fonts-wine) go into the prefix, where Wine looks
# for them. Without them every window falls back to other faces: captions are
# cut and the caption buttons show letters, so nothing on screen is what users see.
install_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" font missing=()
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/* "$fonts/" 2>/dev/null || true
  for font in tahoma.ttf sserife.fon marlett.ttf; do
    [[ -f "$fonts/$font" ]] || missing+=("$font")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "wine-session: the prefix lacks Tahoma, MS Sans Serif or Marlett (${missing[*]}): install fonts-wine" >&2
  return 1
}

# Polish Windows (ANSI code page 1250) for the tests that ask for it.
generate_locales() {
  export BRENVIK_LOCALES_DIR="$run_dir/locales"
  mkdir -p "$BRENVIK_LOCALES_DIR"
  localedef -i pl_PL -f UTF-8 "$BRENVIK_LOCALES_DIR/pl_PL.UTF-8" 2>>"$run_dir/localedef.log" || {
    echo "wine-session: cannot generate the pl_PL locale (package locales)" >&2
    return 1
  }
}

generate_locales
start_display
run_wine wineboot -i >/dev/null 2>&1
wineserver -w
touch "$WINEPREFIX/.brenvik-test-prefix"
install_fonts
write_settings
wineserver -w
wineserver -p 2>>"$run_dir/wineserver.log"  # stays up for the session: every later start is cheap
run_wine cmd /c exit >/dev/null 2>&1  # lets the device manager map the ports again
check_port_links

socat "pty,link=$BRENVIK_PORTS_DIR/com5,raw,echo=0" "pty,link=$BRENVIK_PORTS_DIR/com6,raw,echo=0" \
  >"$run_dir/socat.log" 2>&1 &
started+=($!)
for _ in $(seq 100); do [[ -L "$BRENVIK_PORTS_DIR/com6" ]] && break; sleep 0.05; done

set +e
"$@"
status=$?
exit $status
