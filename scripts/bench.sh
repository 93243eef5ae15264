#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks (the native side without
# sanitizers, in its own folder) and measures the import under Wine in a
# throw-away session: throughput, CPU and memory of a 10,000-code import, then
# where the time per code goes, and Brenvik against a bare-API importer.
#
#   scripts/bench.sh [--runs N]      (default: 3 imports)
set -euo pipefail
source "$(dirname "$0")/common.sh"

runs=3
if (($# == 2)) && [[ $1 == --runs ]]; then
  runs=$2
elif (($# != 0)); then
  echo "usage: scripts/bench.sh [--runs N]" >&2
  exit 2
fi

install_missing_packages
# Build folders of their own: the Windows build takes its host tools from the
# unsanitized native one, and the test builds stay as scripts/test.sh left them.
native="$build_root/bench-native"
configure_and_build "$native" -DBRENVIK_SANITIZE=OFF
windows_build="$build_root/bench-$(basename "$(runnable_windows_build)")"
windows_arch=i686
[[ $(wine_arch) == win64 ]] && windows_arch=x86_64
configure_and_build "$windows_build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw.cmake" \
  -DBRENVIK_WINDOWS_ARCH="$windows_arch" -DBRENVIK_HOST_BIN_DIR="$native"

figures="$build_root/bench-figures.txt"
# Figures taken beside other heavy work are worth little: say how busy it was.
echo "== $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "== import benchmark under Wine ($(wine_arch), $(basename "$windows_build") build), $runs runs"
BRENVIK_BIN_DIR="$windows_build/bin" BRENVIK_WINE_ARCH=$(wine_arch) \
  "$root/scripts/wine-session.sh" "$build_root/bench-session" \
  "$root/bench/measure.sh" "$native/bench/import_bench" "$runs" | tee "$figures"

# Per code: 13 digit messages and the end mark, one 17-byte line read and its
# ACK, the progress caption and a pass of the message pump.
awk '
  !/^#/ { f[$1] = $2 }
  function row(what, value, unit) { printf "%-52s %10.3f  %s\n", what, value, unit }
  END {
    per_code = 1000 / f["import_codes_per_s"]
    messages = 14 * f["send_message_us"] / 1000
    serial = (f["read_line_us"] + f["write_ack_us"]) / 1000
    window = f["window_update_us"] / 1000
    print ""
    row("Import throughput, 10,000 codes", f["import_codes_per_s"], "codes/s")
    row("Brenvik CPU time per 1,000 codes", f["import_cpu_s_per_1000_codes"], "s")
    row("Brenvik peak resident memory", f["import_peak_mb"], "MB")
    row("SendMessageA to the target, per message", f["send_message_us"], "us")
    row("ClearCommError poll", f["clear_comm_error_us"], "us")
    row("One-byte ReadFile", f["read_file_us"], "us")
    row("ReadLine of a 17-byte line", f["read_line_us"], "us")
    row("WriteFile of the 4-byte ACK", f["write_ack_us"], "us")
    row("Options, progress caption, message pump", f["window_update_us"], "us")
    row("Time per code", per_code, "ms")
    row("  in the 14 messages", messages, "ms")
    row("  in serial reads and the ACK", serial, "ms")
    row("  in the window update", window, "ms")
    row("  rest", per_code - messages - serial - window, "ms")
    row("Brenvik, 3,000 codes, alternating with the reference", f["compared_brenvik_codes_per_s"], "codes/s")
    row("Bare-API reference importer, 3,000 codes", f["compared_reference_codes_per_s"], "codes/s")
    row("  ratio Brenvik / reference", f["compared_ratio"], "")
    row("  CPU per 1,000 codes: Brenvik", f["compared_brenvik_cpu_s_per_1000_codes"], "s")
    row("  CPU per 1,000 codes: reference", f["compared_reference_cpu_s_per_1000_codes"], "s")
  }' "$figures"
