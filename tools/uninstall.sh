#!/usr/bin/env bash
# Removes what tools/install.sh installed under PREFIX (default /usr/local):
# every file listed in PREFIX/share/zarvo/installed-files, then the folders
# the install made, where they are empty. The stored settings
# (~/.config/zarvo) stay; remove them by hand or with zarvo --reset-settings.
# Usage: uninstall.sh [PREFIX]
set -euo pipefail
prefix=$(realpath -m "${1:-/usr/local}")
list=$prefix/share/zarvo/installed-files
[ -f "$list" ] || { echo "uninstall.sh: no $list: nothing that tools/install.sh installed is there" >&2; exit 1; }

mapfile -t entries <"$list"
files=0
folders=()
for entry in "${entries[@]}"; do
  case $entry in
    "$prefix"/*/ | "$prefix"/) folders+=("$entry") ;;
    "$prefix"/*) rm -f -- "$entry" && files=$((files + 1)) ;;
    *) echo "uninstall.sh: leaving $entry, which lies outside $prefix" >&2 ;;
  esac
done
# Deepest first, so that a folder is empty once those inside it are gone.
kept=0
mapfile -t deepest < <(printf '%s\n' "${folders[@]}" | awk '{ print length, $0 }' | sort -rn | cut -d' ' -f2-)
for folder in "${deepest[@]}"; do
  [ -d "$folder" ] || continue
  if ! rmdir -- "$folder" 2>/dev/null; then
    echo "uninstall.sh: kept $folder, which holds other files" >&2
    kept=$((kept + 1))
  fi
done
echo "uninstall.sh: removed $files files from $prefix$([ "$kept" = 0 ] || echo " and kept $kept folders")"
