#!/usr/bin/env bash
# Builds the libFuzzer targets natively with clang (fuzzer, AddressSanitizer,
# UBSan) and runs each for SECONDS (default 30) on a copy of its seed corpus,
# one after the other.
#   scripts/fuzz.sh [SECONDS] [TARGET...]
#   targets: markup_renderer gif_frames options_stream data_block debug_info log_file dns_reply
set -euo pipefail
source "$(dirname "$0")/common.sh"

seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(markup_renderer gif_frames options_stream data_block debug_info log_file dns_reply)

markup="src/ui/frame/MarkupRenderer.cpp src/ui/frame/MarkupLine.cpp src/ui/frame/MarkupTags.cpp
  src/ui/frame/MarkupEntities.cpp src/ui/frame/MarkupColors.cpp src/ui/frame/MarkupPicture.cpp
  src/ui/frame/MarkupImages.cpp src/ui/frame/MarkupPictureStore.cpp src/ui/frame/MarkupGifFrames.cpp
  src/ui/canvas/CanvasShapes.cpp src/base/Text.cpp"
crash="src/crash/CrashStream.cpp src/crash/options/CrashTexts.cpp src/crash/options/TCrashModuleOptions.cpp
  src/crash/options/CrashOptionsStream.cpp src/crash/debuginfo/ZlibCodec.cpp src/crash/debuginfo/ModuleDataBlock.cpp
  src/crash/debuginfo/DebugInfoCodec.cpp src/crash/debuginfo/SourceLocator.cpp"
# target → its fuzzer source, its seed corpus, what it links
declare -A fuzzer=(
  [markup_renderer]=fuzz/markup_renderer_fuzz.cpp [gif_frames]=fuzz/gif_frames_fuzz.cpp
  [options_stream]=fuzz/crash/options_stream_fuzzer.cpp [data_block]=fuzz/crash/data_block_fuzzer.cpp
  [debug_info]=fuzz/crash/debug_info_fuzzer.cpp [log_file]=fuzz/crash/log_file_fuzzer.cpp)
declare -A seeds=(
  [markup_renderer]=fuzz/corpus/markup_renderer [gif_frames]=fuzz/corpus/gif_frames
  [options_stream]=fuzz/crash/corpus/options_stream [data_block]=fuzz/crash/corpus/data_block
  [debug_info]=fuzz/crash/corpus/debug_info [log_file]=fuzz/crash/corpus/log_file)
declare -A sources=(
  [markup_renderer]="$markup" [gif_frames]="src/ui/frame/MarkupGifFrames.cpp"
  [options_stream]="$crash" [data_block]="$crash" [debug_info]="$crash"
  [log_file]="src/crash/report/TLogFile.cpp src/crash/report/FileReplace.cpp")
# The MX reply parser of the report mail.
fuzzer[dns_reply]=fuzz/dns_reply_fuzz.cpp seeds[dns_reply]=fuzz/corpus/dns_reply sources[dns_reply]=src/crash/mail/DnsMx.cpp

out="$build_root/fuzz"
mkdir -p "$out"
cxx=${BRENVIK_FUZZ_CXX:-clang++-14}
for target in "${targets[@]}"; do
  [[ -n "${fuzzer[$target]:-}" ]] || { echo "fuzz: unknown target $target" >&2; exit 2; }
  binary="$out/${target}_fuzz"
  # shellcheck disable=SC2086
  "$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root/src" -I"$root/tests/native" \
    "$root/${fuzzer[$target]}" $(printf "$root/%s " ${sources[$target]}) -lz -o "$binary"
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root/${seeds[$target]}/"* "$corpus/" 2>/dev/null || true
  echo "== fuzzing $target for ${seconds}s"
  log="$out/$target.log"
  if ! "$binary" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$out/${target}-" -print_final_stats=1 >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a fault (see $out/${target}-*)" >&2
    exit 1
  fi
  grep -E '^(Done|stat::(number_of_executed_units|new_units_added|peak_rss_mb))' "$log"
done
