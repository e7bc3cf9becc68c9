#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of this build's own, made on
# first use (one wineboot at a time). Usage:
#   wine-run.sh LOADER PROGRAM [ARGS...]   run PROGRAM
#   wine-run.sh LOADER --make-prefix       only make the prefix, and print its path
# LOADER is `wine` for 32-bit programs and /usr/lib/wine/wine64 for 64-bit
# ones; WINEPREFIX, else ZARVO_WINEPREFIX, names the prefix.
set -euo pipefail
loader=$1; shift
: "${WINEPREFIX:=${ZARVO_WINEPREFIX:-/tmp/zarvo-wineprefix-$(id -u)-$(basename "$loader")}}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      WINEDLLOVERRIDES="mscoree,mshtml=" "$loader" wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ "${1:-}" = --make-prefix ]; then printf '%s\n' "$WINEPREFIX"; exit 0; fi
exec "$loader" "$@"
