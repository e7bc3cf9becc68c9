#!/usr/bin/env bash
# Builds zarvo, zarvo-render and zarvo-settings (in build/run, as
# tools/run.sh does) and installs them under PREFIX (default /usr/local): the
# programs, zarvo for XScreenSaver with zarvo.xml, the man pages, desktop
# entries and icons.
# Usage: install.sh [PREFIX]
# What it wrote, and the folders it made, are listed in
# PREFIX/share/zarvo/installed-files; tools/uninstall.sh PREFIX removes them.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$(realpath -m "${1:-/usr/local}")
list=$prefix/share/zarvo/installed-files

tools/install-deps.sh run
cmake --preset native -B build/run -DZARVO_TESTS=OFF -DZARVO_BENCHMARKS=OFF >/dev/null
targets=(zarvo zarvo_render)
# The settings window where GTK 4 was found.
grep -q '^ZARVO_GTK:BOOL=ON' build/run/CMakeCache.txt && targets+=(zarvo_settings)
cmake --build build/run --target "${targets[@]}" -j "$(nproc)"

# The folders there before, so that an uninstall removes only those it made.
before=$(find "$prefix" -type d 2>/dev/null | sort || true)
cmake --install build/run --prefix "$prefix" --component zarvo >/dev/null
mkdir -p "$(dirname "$list")"
{
  cat build/run/install_manifest_zarvo.txt
  echo
  echo "$list"
  comm -13 <(printf '%s\n' "$before") <(find "$prefix" -type d | sort) | sed 's|$|/|'
} | sed '/^$/d' >"$list"
echo "install.sh: installed $(grep -vc '/$' "$list") files under $prefix; tools/uninstall.sh $prefix removes them"
