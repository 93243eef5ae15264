#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the native
# unit tests under AddressSanitizer/UBSan, then the Windows tests and the
# end-to-end runs under Wine in a throw-away session.
set -euo pipefail
source "$(dirname "$0")/common.sh"

install_missing_packages
build_all

echo "== native tests"
ctest --test-dir "$build_root/native" --output-on-failure -j"$(nproc)"
"$root/scripts/fuzz.sh" 15  # every libFuzzer target, 15 s each

windows_build=$(runnable_windows_build)
echo "== Windows tests under Wine ($(wine_arch), $(basename "$windows_build") build)"
BRENVIK_WINE_ARCH=$(wine_arch) "$root/scripts/wine-session.sh" "$build_root/wine-session" \
  ctest --test-dir "$windows_build" --output-on-failure

echo "== report mail under Wine against real DNS and SMTP servers in a network namespace"
"$root/scripts/mail_wine_tests.sh" "$build_root/mail-session"
