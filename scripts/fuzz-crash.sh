#!/usr/bin/env bash
# Builds the crash-report data readers' libFuzzer targets natively with clang
# (fuzzer, AddressSanitizer, UBSan) and runs each for SECONDS (default 30) on a
# copy of its seed corpus, one after the other.
#   scripts/fuzz-crash.sh [SECONDS] [TARGET...]   targets: options_stream data_block debug_info
set -euo pipefail
source "$(dirname "$0")/common.sh"

seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(options_stream data_block debug_info)

sources=(src/crash/CrashStream.cpp src/crash/options/CrashTexts.cpp src/crash/options/TCrashModuleOptions.cpp
  src/crash/options/CrashOptionsStream.cpp src/crash/debuginfo/ZlibCodec.cpp src/crash/debuginfo/ModuleDataBlock.cpp
  src/crash/debuginfo/DebugInfoCodec.cpp src/crash/debuginfo/SourceLocator.cpp)

out="$build_root/fuzz-crash"
mkdir -p "$out"
cxx=${BRENVIK_FUZZ_CXX:-clang++-14}
for target in "${targets[@]}"; do
  [[ -f "$root/fuzz/crash/${target}_fuzzer.cpp" ]] || { echo "fuzz-crash: unknown target $target" >&2; exit 2; }
  binary="$out/${target}_fuzzer"
  "$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root/src" \
    "$root/fuzz/crash/${target}_fuzzer.cpp" $(printf "$root/%s " "${sources[@]}") -lz -o "$binary"
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/crash/corpus/$target/"* "$corpus/" 2>/dev/null || true
  echo "== fuzzing $target for ${seconds}s"
  log="$out/$target.log"
  if ! "$binary" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$out/${target}-" -print_final_stats=1 >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz-crash: $target found a fault (see $out/${target}-*)" >&2
    exit 1
  fi
  grep -E "^stat::number_of_executed_units|^Done" "$log" || tail -n 2 "$log"
done
