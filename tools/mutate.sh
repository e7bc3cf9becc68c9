#!/usr/bin/env bash
# A small mutation run: each mutant of a list (tools/mutants.txt by default)
# is one fault put into one source file; the native preset is rebuilt with it
# and the tests of its folder's label run, then the whole native suite for a
# mutant they left alive. Prints each mutant's outcome and the score, the
# share killed of the mutants that built. Usage:
#   nice -n 19 tools/mutate.sh [LIST] [FIRST [LAST]]
# FIRST and LAST pick mutants by their number in the list (from 1). The
# mutants go into a copy of the committed sources under build/mutate (work
# in the clone goes on meanwhile); each file is put back after its mutant,
# also when the run is stopped. Exits non-zero when a mutant survived or a
# line of the list does not apply. Not part of tools/test-all.sh: it takes
# about a minute a mutant on two cores, longer for survivors.
#
# The list: one mutant a line, fields separated by tabs:
#   FILE  TEXT  REPLACEMENT  [LABEL]
# FILE from the top of the repository; TEXT must occur exactly once in it and
# is replaced literally (no patterns; \n, \t and \\ stand for a line break,
# a tab and a backslash); LABEL is the ctest label to run first, by default
# FILE's top folder. Blank lines and lines starting with '#' are passed over.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
list=$(realpath "${1:-tools/mutants.txt}")
first=${2:-1}
last=${3:-1000000}
work=$root/build/mutate
copy=$work/src
jobs=${ZARVO_BUILD_JOBS:-2}

export CCACHE_DIR=${CCACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/zarvo-ccache}
export CCACHE_BASEDIR=$copy CCACHE_NOHASHDIR=true
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache

log() { printf '[%s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# The committed sources, copied afresh; the build folder inside is kept, so a
# second run rebuilds only what changed.
copy_sources() {
  mkdir -p "$copy"
  find "$copy" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
  git archive HEAD | tar -x -C "$copy"
}

build() { cmake --build "$copy/build/native" -j "$jobs" >"$work/build.log" 2>&1; }

# tests LABEL...: ctest in the copy's native build, quiet; 0 when all pass.
tests() { (cd "$copy" && ctest --preset native -j "$jobs" --timeout 600 "$@" >"$work/tests.log" 2>&1); }

# The list's escapes, \n, \t and \\, read in perl.
unescape='sub unescape { my $s = shift; $s =~ s/\\(.)/$1 eq "n" ? "\n" : $1 eq "t" ? "\t" : $1/ge; $s }'

# occurrences FILE TEXT: how often TEXT occurs in FILE.
occurrences() {
  TEXT=$2 perl -0777 -ne "$unescape"' my $t = unescape($ENV{TEXT}); my $n = () = /\Q$t\E/g; print $n' "$1"
}

# apply FILE TEXT REPLACEMENT: the one occurrence replaced.
apply() {
  TEXT=$2 REPLACEMENT=$3 perl -0777 -pi -e "$unescape"' my $t = unescape($ENV{TEXT}); my $r = unescape($ENV{REPLACEMENT}); s/\Q$t\E/$r/' "$1"
}

# The file under mutation goes back as it was, with a new time, so the next
# build compiles it again.
backup="" mutated=""
restore() {
  [ -n "$mutated" ] && cat "$backup" >"$mutated"
  mutated=""
}
trap 'restore' EXIT
trap 'restore; exit 130' INT TERM HUP

mkdir -p "$work"
backup=$work/original
copy_sources
log "configuring and building the copy in $copy/build/native"
(cd "$copy" && cmake --preset native >"$work/configure.log" 2>&1) || { echo "configure failed: $work/configure.log"; exit 2; }
build || { echo "the unmutated copy does not build: $work/build.log"; exit 2; }

number=0 built=0 killed=0 survivors=() broken=() unbuilt=0
results=()
while IFS= read -r line || [ -n "$line" ]; do
  case "$line" in ''|'#'*) continue ;; esac
  number=$((number + 1))
  [ $number -lt "$first" ] || [ $number -gt "$last" ] && continue
  IFS=$'\t' read -r file text replacement label <<<"$line"
  label=${label:-${file%%/*}}
  name="#$number $file: '$text' -> '$replacement'"
  target=$copy/$file
  if [ ! -f "$target" ] || [ "$(occurrences "$target" "$text")" != 1 ]; then
    results+=("does not apply   $name")
    broken+=("$name")
    log "does not apply: $name"
    continue
  fi
  cp "$target" "$backup"
  mutated=$target
  apply "$target" "$text" "$replacement"
  started=$SECONDS
  if ! build; then
    outcome="does not build"
    unbuilt=$((unbuilt + 1))
  else
    built=$((built + 1))
    if ! tests -L "^$label\$"; then
      outcome="killed by $label"
      killed=$((killed + 1))
    elif ! tests; then
      outcome="killed by the suite"
      killed=$((killed + 1))
    else
      outcome="SURVIVED"
      survivors+=("$name")
    fi
  fi
  restore
  results+=("$(printf '%-16s %s (%d s)' "$outcome" "$name" $((SECONDS - started)))")
  log "$outcome: $name"
done <"$list"
build || echo "the copy does not build again after the run: $work/build.log"

printf '\n%s\n' "mutants: outcome, mutant (time)"
printf '%s\n' "${results[@]}"
score=$(awk -v k=$killed -v b=$built 'BEGIN { if (b > 0) printf "%.1f", 100 * k / b; else print "-" }')
printf '\n%d mutants: %d built, %d killed, %d survived, %d did not build, %d did not apply; score %s %%\n' \
  $((built + unbuilt + ${#broken[@]})) $built $killed ${#survivors[@]} $unbuilt ${#broken[@]} "$score"
for s in "${survivors[@]}"; do echo "survivor: $s"; done
[ ${#survivors[@]} -eq 0 ] && [ ${#broken[@]} -eq 0 ]
