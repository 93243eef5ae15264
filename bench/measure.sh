#!/usr/bin/env bash
# Runs inside scripts/wine-session.sh: the end-to-end import benchmark, then
# the costs an imported code is made of, measured against the same target
# simulator and pty-backed ports. Prints "<figure> <value>" lines; other lines
# start with '#'.
#
#   bench/measure.sh IMPORT_BENCH RUNS     (BRENVIK_BIN_DIR: the Windows programs; the
#   native benchmarks are taken from beside IMPORT_BENCH)
set -euo pipefail
import_bench=$1
runs=$2
bin=$BRENVIK_BIN_DIR
scratch="$(dirname "$BRENVIK_PORTS_DIR")/bench"
mkdir -p "$scratch"
messages=20000
batches=5

windows_path() { local path="Z:$1"; printf '%s' "${path//\//\\}"; }
wine_run() { "$BRENVIK_WINE" "$@" | tr -d '\r'; }

"$import_bench" --runs "$runs"

# The simulator is started as the import harness starts it, key log included.
"$BRENVIK_WINE" "$bin/veltra-sim.exe" --out "$(windows_path "$scratch/codes.txt")" \
  --log "$(windows_path "$scratch/keys.txt")" --ready "$(windows_path "$scratch/ready")" >/dev/null &
target=$!
for _ in $(seq 600); do [[ -e "$scratch/ready" ]] && break; sleep 0.05; done
wine_run "$bin/send_message_bench.exe" --messages "$messages" --batches "$batches"
wine_run "$bin/brenvik-driver.exe" close-class TMain865D2C3C09434DF4AFA2EDF18B0423EA >/dev/null
wait "$target"
# Every batch must have arrived whole: one code of that many letters each.
if [[ $(grep -cx "A\{$messages\}" "$scratch/codes.txt") != "$batches" ]]; then
  echo "measure: the target simulator did not record every message" >&2
  exit 1
fi

wine_run "$bin/serial_read_bench.exe"
wine_run "$bin/window_update_bench.exe"

# Start-up to the painted main window (warm prefix), then an idle Brenvik's own memory.
wine_run "$bin/startup_bench.exe" --runs 10
"$(dirname "$import_bench")/startup_memory_bench" --runs 3

# A whole crash report of a running program (modules, a 64 KB stack scan, the text).
wine_run "$bin/full_report_bench.exe"

# Throw to logged report through the whole facility (not shown, not mailed), over 100 exceptions.
wine_run "$bin/crash_throw_log_bench.exe"

# The exception dialog on a report of itself: opening, the call-stack and the modules page.
wine_run "$bin/dialog_show_bench.exe"
