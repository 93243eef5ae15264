#!/usr/bin/env bash
# What users get, from the i686 build: dist/Brenvik-VERSION.zip (the executable
# and its read-me) and dist/Brenvik-VERSION-setup.exe, the per-user installer.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing_packages
configure_native
build native --target cldata
configure_windows win32 i686
build win32 --target brenvik_dist

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_root/win32/CMakeCache.txt")
mkdir -p "$root/dist"
for file in "Brenvik-$version.zip" "Brenvik-$version-setup.exe"; do
  cp "$build_root/win32/dist/$file" "$root/dist/"
  echo "dist/$file: $(stat -c %s "$root/dist/$file") bytes"
done
