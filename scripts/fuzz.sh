#!/usr/bin/env bash
# Builds the libFuzzer targets natively with clang (fuzzer, AddressSanitizer,
# UBSan) and runs each for SECONDS (default 30) on a copy of its seed corpus.
#   scripts/fuzz.sh [SECONDS] [TARGET...]     targets: markup_renderer gif_frames
set -euo pipefail
source "$(dirname "$0")/common.sh"

seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(markup_renderer gif_frames)

declare -A sources=(
  [gif_frames]="src/ui/frame/MarkupGifFrames.cpp"
  [markup_renderer]="src/ui/frame/MarkupRenderer.cpp src/ui/frame/MarkupLine.cpp src/ui/frame/MarkupTags.cpp
    src/ui/frame/MarkupEntities.cpp src/ui/frame/MarkupColors.cpp src/ui/frame/MarkupPicture.cpp src/ui/frame/MarkupImages.cpp
    src/ui/frame/MarkupPictureStore.cpp src/ui/frame/MarkupGifFrames.cpp src/ui/canvas/CanvasShapes.cpp
    src/base/Text.cpp"
)

out="$build_root/fuzz"
mkdir -p "$out"
cxx=${BRENVIK_FUZZ_CXX:-clang++-14}
for target in "${targets[@]}"; do
  [[ -n "${sources[$target]:-}" ]] || { echo "fuzz: unknown target $target" >&2; exit 2; }
  binary="$out/${target}_fuzz"
  # shellcheck disable=SC2086
  "$cxx" -std=c++20 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined \
    -fno-sanitize-recover=all -I"$root/src" -I"$root/tests/native" \
    "$root/fuzz/${target}_fuzz.cpp" $(printf "$root/%s " ${sources[$target]}) -o "$binary"
  corpus="$out/corpus/$target"
  mkdir -p "$corpus"
  cp -n "$root/fuzz/corpus/$target/"* "$corpus/" 2>/dev/null || true
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
