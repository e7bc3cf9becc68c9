#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (as root).
# Usage: install-deps.sh [run|web|test|emulation]
#   run        what the screen saver needs
#   web        what building the web page needs (tools/build-web.sh)
#   test       all of these, and what every test needs
#   emulation  qemu-user, for the 32-bit Windows tests on a kernel that cannot
#              run 32-bit programs (see win32-route.sh)
set -euo pipefail
what=${1:-test}
run_pkgs=(cmake ninja-build g++ pkg-config libx11-dev libxext-dev libxrandr-dev libxinerama-dev zlib1g-dev libgif-dev
  libwayland-dev wayland-protocols libxkbcommon-dev)
web_pkgs=(cmake ninja-build emscripten node-acorn)
test_pkgs=(libpng-dev clang libclang-rt-14-dev libgtest-dev googletest libbenchmark-dev libsdl2-dev
  mingw-w64 g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 wine32:i386 xvfb xdotool x11-utils imagemagick libxml2-utils ccache xscreensaver
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils chromium
  nsis lintian dpkg-dev sway grim wtype clang-format desktop-file-utils mate-screensaver dbus-daemon)
case "$what" in
  run) pkgs=("${run_pkgs[@]}") ;;
  web) pkgs=("${web_pkgs[@]}") ;;
  test) pkgs=("${run_pkgs[@]}" "${web_pkgs[@]}" "${test_pkgs[@]}") ;;
  emulation) pkgs=(qemu-user-static) ;;
  *) echo "usage: install-deps.sh [run|web|test|emulation]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
if printf '%s\n' "${missing[@]}" | grep -q ':i386$'; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync serves an index whose size does not match
# its release file for a while ("Mirror sync in progress?"); wait it out
# rather than fail the run on the first try. If it never passes, install from
# the indexes that were read: apt then names any package it cannot place.
updated=0
for pause in 20 40 80 160 0; do
  if $SUDO apt-get update -qq; then updated=1; break; fi
  [ "$pause" -gt 0 ] || break
  echo "install-deps: apt-get update failed; trying again in ${pause} s" >&2
  sleep "$pause"
done
[ "$updated" -eq 1 ] || echo "install-deps: apt-get update kept failing; installing from the indexes it read" >&2

# The 32-bit packages go in last and on their own: a foreign architecture's
# index can lag the native one (seen: an i386 security index that never
# matched), and then they cannot match the native libraries' versions. Every
# other test still needs the rest; without 32-bit Wine the test run chooses
# its route for the 32-bit tests accordingly (win32-route.sh) and says so.
native=() foreign=()
for p in "${missing[@]}"; do
  case $p in *:i386) foreign+=("$p") ;; *) native+=("$p") ;; esac
done
[ ${#native[@]} -eq 0 ] || $SUDO apt-get install -y -qq --no-install-recommends "${native[@]}" >/dev/null
[ ${#foreign[@]} -eq 0 ] && exit 0
if ! $SUDO apt-get install -y -qq --no-install-recommends "${foreign[@]}" >/dev/null; then
  echo "install-deps: could not install ${foreign[*]}; the 32-bit Windows programs cannot be run here" >&2
fi
