#!/usr/bin/env bash
# One demo import inside a Wine session (started by scripts/demo.sh): the
# collector simulator on COM1, the Veltra II simulator, Brenvik, and the UI
# driver that clicks "Importuj" and reads the message box.
#
#   scripts/demo-import.sh NATIVE_BUILD WINDOWS_BIN SCENARIO
set -euo pipefail
native_build=$1 bin=$2 scenario=$3
work=$(dirname "$BRENVIK_PORTS_DIR")/demo
mkdir -p "$work"
run_wine() { "$BRENVIK_WINE" "$@"; }
windows_path() { printf 'Z:%s' "${1//\//\\}"; }
driver() { run_wine "$bin/brenvik-driver.exe" --timeout-ms 60000 "$@"; }

# Settings as a user left them, and the collector's port as Plug and Play reports it.
cat >"$work/demo.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Morvane\\FormMain4D643DD6BD8E447C9291EEDF0A10BE65]
"ComPort"="Kolektor danych (COM1)"
"Refresh"="1"
"Cut"="1"
"CodeLen"=dword:0000000d
"Ignore"="1"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{86E0D1E0-8089-11D0-9CE4-08003E301F73}\\##?#DEMO#COM1]
"DeviceInstance"="BRENVIKDEMO\\\\COM1"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\BRENVIKDEMO\\COM1]
"ClassGUID"="{4D36E978-E325-11CE-BFC1-08002BE10318}"
"FriendlyName"="Kolektor danych (COM1)"

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\BRENVIKDEMO\\COM1\\Control]

[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Enum\\BRENVIKDEMO\\COM1\\Device Parameters]
"PortName"="COM1"
REG
run_wine regedit /S "$(windows_path "$work/demo.reg")"

pids=()
trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done' EXIT

"$native_build/sim/collector/brenvik-collector" --scenario "$scenario" --link "$BRENVIK_PORTS_DIR/com1" \
  --received-log "$work/collector-received.bin" --exit-when-done >"$work/collector.out" 2>"$work/collector.err" &
pids+=($!)
run_wine "$bin/veltra-sim.exe" --out "$(windows_path "$work/codes.txt")" --ready "$(windows_path "$work/target-ready")" \
  >"$work/target.out" 2>&1 &
pids+=($!)
run_wine "$bin/Brenvik.exe" &
pids+=($!)
for _ in $(seq 300); do [[ -e "$work/target-ready" && -L "$BRENVIK_PORTS_DIR/com1" ]] && break; sleep 0.1; done

echo "Scanned on the collector ($scenario):"
sed -n 's/^code /  /p' "$scenario"
driver wait-window >/dev/null
echo "Import:"
driver import | sed -n 's/^message: /  Brenvik says: /p'
driver close >/dev/null
driver close-class TMain865D2C3C09434DF4AFA2EDF18B0423EA >/dev/null
wait "${pids[1]}" "${pids[2]}" 2>/dev/null || true
echo "Veltra II received (\"-1\"/\"-2\" switch its list refreshing off and on):"
sed 's/^/  /' "$work/codes.txt"
