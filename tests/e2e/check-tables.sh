#!/usr/bin/env bash
# Zarvo.scr imports only system DLLs and exports exactly ScreenSaverProc and
# ScreenSaverConfigureDialog under their plain names.
# Usage: check-tables.sh OBJDUMP ZARVO.SCR
set -uo pipefail
objdump=$1 scr=$2
dump=$("$objdump" -p "$scr") || { echo "cannot read $scr"; exit 1; }
status=0

system_dlls='^(KERNEL32|USER32|GDI32|ADVAPI32|msvcrt|IMM32|SHELL32|COMCTL32|OLE32)\.dll$'
imports=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | sort -u)
[ -n "$imports" ] || { echo "expected an import table, got none"; status=1; }
for dll in $imports; do
  if ! printf '%s\n' "$dll" | grep -Eiq "$system_dlls"; then
    echo "expected only system DLLs, got an import of $dll"; status=1
  fi
done

exports=$(printf '%s\n' "$dump" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^\s*\[ *[0-9]*\] //p' | sort | tr '\n' ' ')
expected="ScreenSaverConfigureDialog ScreenSaverProc "
if [ "$exports" != "$expected" ]; then
  echo "expected exports '$expected', got '$exports'"; status=1
fi
echo "imports: $(echo $imports)"
echo "exports: $exports"
exit $status
