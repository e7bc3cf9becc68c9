#!/usr/bin/env bash
# Zarvo.scr built again from the same sources in another folder, at another
# time and without the compiler cache, is the same file byte for byte: no
# build path and no link time reach it.
# Usage: scr_reproducible_test.sh SOURCE TOOLCHAIN BUILT_SCR OBJDUMP WORK
set -uo pipefail
source=$1 toolchain=$2 built=$3 objdump=$4 work=$5
rm -rf "$work"
other=$work/another/place/build
export CCACHE_DISABLE=1
cmake -S "$source" -B "$other" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= >/dev/null ||
  { echo "FAIL: configure"; exit 1; }
cmake --build "$other" -j2 --target zarvo_scr >/dev/null || { echo "FAIL: build"; exit 1; }
stamp=$("$objdump" -p "$built" | sed -n 's/^Time\/Date[[:space:]]*//p' | head -n 1)
status=0
case "$stamp" in
  *1970*|0*) ;;
  *) echo "FAIL: the PE header holds a link time: $stamp"; status=1 ;;
esac
if ! cmp "$built" "$other/windows/Zarvo.scr"; then
  echo "FAIL: the second build differs"; status=1
fi
[ $status -eq 0 ] && echo "Zarvo.scr rebuilt in $other: the same $(stat -c %s "$built") bytes"
rm -rf "$work"
exit $status
