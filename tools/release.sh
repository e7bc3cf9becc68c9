#!/usr/bin/env bash
# Builds every release artefact of the checked-out commit into DIST (default
# dist/): Zarvo-<version>-x86.scr and Zarvo-<version>-x64.scr, the installer
# ZarvoSetup-<version>.exe, the Debian package zarvo_<version>_amd64.deb, the
# wallpaper package zarvo-wallpaper-<version>.zip (Lively Wallpaper, Wallpaper
# Engine), the source archive zarvo-<version>.tar.gz and SHA256SUMS.
# Usage: release.sh [--wallpaper] [DIST [BUILD]]   BUILD: the build folders
# (build/release); --wallpaper: the wallpaper package alone.
# Every date comes from the commit (SOURCE_DATE_EPOCH), so two runs from the
# same commit give the same bytes; tests/installer/scr_reproducible_test.sh checks it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
wallpaper_only=0
[ "${1:-}" = --wallpaper ] && { wallpaper_only=1; shift; }
dist=$(realpath -m "${1:-$root/dist}")
build=$(realpath -m "${2:-$root/build/release}")
version=$(sed -n 's/^project(Zarvo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release.sh: no VERSION in CMakeLists.txt" >&2; exit 1; }
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release.sh: the tree has uncommitted changes; the source archive holds only the commit" >&2
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH
# A cached object would hide a build that depends on where it runs.
export CCACHE_DISABLE=1
jobs=${ZARVO_JOBS:-2}

# Runs a step with its output kept in build/release/NAME.log, shown only
# when the step fails, so that a good run prints the checksums alone.
quietly() {  # quietly NAME command...
  "${@:2}" >"$build/$1.log" 2>&1 || { cat "$build/$1.log" >&2; echo "release.sh: $1 failed" >&2; exit 1; }
}

configure() {  # configure NAME [cmake options...]
  cmake -S "$root" -B "$build/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF \
    -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER= "${@:2}" >/dev/null
}

# The web build with Debian's emscripten, whose JavaScript optimiser needs
# acorn from Debian's node folder (as tools/build-web.sh says).
wallpaper() {
  NODE_PATH=${NODE_PATH:-/usr/share/nodejs} quietly configure-web emcmake cmake -S "$root" -B "$build/web" -G Ninja \
    -DCMAKE_BUILD_TYPE=Release -DZARVO_TESTS=OFF -DCMAKE_C_COMPILER_LAUNCHER= -DCMAKE_CXX_COMPILER_LAUNCHER=
  NODE_PATH=${NODE_PATH:-/usr/share/nodejs} quietly build-web cmake --build "$build/web" -j "$jobs" --target zarvo_web
  quietly build-wallpaper-tools cmake --build "$build/native" -j "$jobs" --target zarvo_render wallpaper_files
  quietly wallpaper tools/wallpaper-package.sh "$build/web/web" "$build/native/tools/wallpaper-files" \
    "$build/native/render/zarvo-render" "$dist/zarvo-wallpaper-$version.zip"
}

rm -rf "$dist"
mkdir -p "$dist" "$build"
if [ $wallpaper_only -eq 1 ]; then
  configure native -DCMAKE_INSTALL_PREFIX=/usr
  wallpaper
  exit 0
fi
configure win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
configure win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake"
configure native -DCMAKE_INSTALL_PREFIX=/usr
quietly build-win32 cmake --build "$build/win32" -j "$jobs" --target zarvo_scr
quietly build-win64 cmake --build "$build/win64" -j "$jobs" --target zarvo_scr
quietly build-native cmake --build "$build/native" -j "$jobs" --target zarvo zarvo_render

cp "$build/win32/windows/Zarvo.scr" "$dist/Zarvo-$version-x86.scr"
cp "$build/win64/windows/Zarvo.scr" "$dist/Zarvo-$version-x64.scr"
tools/make-installer.sh "$version" "$dist/Zarvo-$version-x86.scr" "$dist/Zarvo-$version-x64.scr" \
  "$dist/ZarvoSetup-$version.exe"
quietly package cpack --config "$build/native/CPackConfig.cmake" -B "$build/package"
cp "$build/package/zarvo_${version}_amd64.deb" "$dist/"
wallpaper
git archive --format=tar.gz --prefix="zarvo-$version/" -o "$dist/zarvo-$version.tar.gz" HEAD
(cd "$dist" && sha256sum -- * >SHA256SUMS && cat SHA256SUMS)
