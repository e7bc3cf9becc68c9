#!/usr/bin/env bash
# Fails, naming them, when tracked C++ sources are not as .clang-format
# (Debian's clang-format) would write them. The fuzz corpora are data.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t sources < <(git ls-files '*.cpp' '*.h' | grep -v '/corpus/')
unformatted=()
for source in "${sources[@]}"; do
  clang-format --dry-run -Werror "$source" >/dev/null 2>&1 || unformatted+=("$source")
done
if [ ${#unformatted[@]} -gt 0 ]; then
  printf 'check-format.sh: %d files are not formatted:\n' ${#unformatted[@]}
  printf '  %s\n' "${unformatted[@]}"
  echo "check-format.sh: fix them with: clang-format -i ${unformatted[*]}"
  exit 1
fi
echo "check-format.sh: ${#sources[@]} files formatted"
