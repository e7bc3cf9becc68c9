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
# Boots a prefix in directory $1, made afresh; true when it came out whole.
boot_prefix() {
  rm -rf "$1"
  WINEPREFIX=$1 WINEDLLOVERRIDES="mscoree,mshtml=" "$loader" wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$1 wineserver -w || true
  [ -f "$1/system.reg" ] && [ -f "$1/drive_c/windows/system32/kernel32.dll" ]
}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      # Made aside and moved in whole: a boot cut short once left a prefix
      # with its registry but no system DLLs, which Wine takes as made and
      # cannot boot again. A try that comes out incomplete is made again.
      rmdir "$WINEPREFIX" 2>/dev/null || true
      for attempt in 1 2 3; do
        if boot_prefix "$WINEPREFIX.new"; then
          mv -T "$WINEPREFIX.new" "$WINEPREFIX" || true
          break
        fi
        echo "wine-run.sh: wineboot left $WINEPREFIX.new incomplete (try $attempt)" >&2
      done
      rm -rf "$WINEPREFIX.new"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "wine-run.sh: could not make the Wine prefix $WINEPREFIX" >&2
  exit 1
fi
if [ "${1:-}" = --make-prefix ]; then printf '%s\n' "$WINEPREFIX"; exit 0; fi
exec "$loader" "$@"
