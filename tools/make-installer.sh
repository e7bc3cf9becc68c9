#!/usr/bin/env bash
# Builds the Windows installer from both builds of Zarvo.scr.
# Usage: make-installer.sh VERSION SCR32 SCR64 OUTPUT.exe
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: make-installer.sh VERSION SCR32 SCR64 OUTPUT.exe" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)
absolute() { printf '%s/%s' "$(cd "$(dirname "$1")" && pwd)" "$(basename "$1")"; }
for scr in "$2" "$3"; do
  [ -f "$scr" ] || { echo "make-installer.sh: no $scr (build the win32 and win64 presets)" >&2; exit 1; }
done
mkdir -p "$(dirname "$4")"
makensis -V2 -NOCD -DVERSION="$1" -DSCR32="$(absolute "$2")" -DSCR64="$(absolute "$3")" \
  -DOUTFILE="$(absolute "$4")" -DICON="$here/resources/zarvo.ico" "$here/installer/zarvo.nsi"
