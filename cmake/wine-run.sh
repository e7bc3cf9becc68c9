#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix of this build's own, made on
# first use (one wineboot at a time).
set -euo pipefail
: "${WINEPREFIX:=${ZARVO_WINEPREFIX:-/tmp/zarvo-wineprefix-$(id -u)}}"
export WINEPREFIX WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
