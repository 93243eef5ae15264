#!/usr/bin/env bash
# Runs a Windows program in the test session's prefix. Refuses to run outside
# a session, so nothing ever lands in the user's own ~/.wine.
set -euo pipefail
if [[ -z "${WINEPREFIX:-}" || ! -f "${WINEPREFIX}/.brenvik-test-prefix" ]]; then
  echo "wine-exec: no test prefix; run through scripts/wine-session.sh" >&2
  exit 2
fi
# A test that asks for a Windows locale of its own (BRENVIK_TEST_LOCALE, a
# locale the session generated) runs with that locale's ANSI code page.
if [[ -n "${BRENVIK_TEST_LOCALE:-}" ]]; then
  export LOCPATH="$BRENVIK_LOCALES_DIR" LC_ALL="$BRENVIK_TEST_LOCALE"
fi
exec "${BRENVIK_WINE:-wine}" "$@"
