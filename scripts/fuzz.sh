#!/usr/bin/env bash
# Runs the fuzz targets of the fuzz preset; build them first with
#   cmake --preset fuzz && cmake --build --preset fuzz -j2
#
#   scripts/fuzz.sh TARGET [SECONDS]        runs TARGET for SECONDS (default 600),
#                                           from the repository's corpus and what earlier runs kept in
#                                           $QAP_FUZZ_DIR/TARGET (default ~/.cache/qap-fuzz);
#                                           new corpus entries and findings stay there
#   scripts/fuzz.sh --check TARGET SECONDS  for CI: starts from the corpus in the repository
#                                           and keeps nothing; a finding fails the run and
#                                           its input is printed as hex
#   scripts/fuzz.sh --list                  the targets
set -uo pipefail

usage() { sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; }

top=$(cd "$(dirname "$0")/.." && pwd)
bin=${QAP_FUZZ_BIN:-$top/build/fuzz/bin}

list() {
  for exe in "$bin"/fuzz_*; do [ -x "$exe" ] && basename "$exe" | sed 's/^fuzz_//'; done
}

check=0
case "${1:-}" in
  --list) list; exit 0 ;;
  --check) check=1; shift ;;
  -h|--help) usage; exit 0 ;;
  ''|-*) usage >&2; exit 2 ;;
esac
target=${1:-}
seconds=${2:-600}
[ -n "$target" ] || { usage >&2; exit 2; }
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "fuzz: SECONDS must be a number" >&2; exit 2; }
exe=$bin/fuzz_$target
seeds=$top/fuzz/corpus/$target
if [ ! -x "$exe" ]; then
  echo "fuzz: no target '$target' in $bin (targets: $(list | tr '\n' ' '))" >&2
  exit 2
fi

cleanup=()
trap 'rm -rf "${cleanup[@]}"' EXIT
if ((check)); then
  work=$(mktemp -d)
  cleanup+=("$work")
else
  work=${QAP_FUZZ_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/qap-fuzz}/$target
fi
mkdir -p "$work/corpus" "$work/findings"
log=$work/fuzz.log
# The targets' scratch files (hives, songs, cookie jars) are written for
# every input: in memory when there is a place for that.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  TMPDIR=$(mktemp -d /dev/shm/qap-fuzz-XXXXXX)
  export TMPDIR
  cleanup+=("$TMPDIR")
fi

args=(-max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1
      -artifact_prefix="$work/findings/")
[ -f "$top/fuzz/dict/$target.dict" ] && args+=(-dict="$top/fuzz/dict/$target.dict")
# New entries go to the first folder; the repository's corpus, regression
# inputs of earlier findings included, is only read.
args+=("$work/corpus")
[ -d "$seeds" ] && args+=("$seeds")

before=$(ls "$work/findings" | wc -l)
"$exe" "${args[@]}" >"$log" 2>&1
status=$?

# libFuzzer's last progress line carries coverage and speed.
last=$(grep -E '^#[0-9]+' "$log" | tail -n 1)
echo "fuzz $target: ${last:-no progress line}"
grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|peak_rss_mb)' "$log" |
  sed 's/^/  /'
((check)) || echo "  corpus: $work/corpus ($(ls "$work/corpus" | wc -l) entries), log: $log"

found=$(($(ls "$work/findings" | wc -l) - before))
if [ "$status" -ne 0 ] || [ "$found" -gt 0 ]; then
  echo "fuzz $target: FAILED (exit status $status)"
  tail -n 80 "$log"
  for finding in $(ls -t "$work/findings" | head -n "$found"); do
    path=$work/findings/$finding
    echo "--- $finding ($(stat -c %s "$path") bytes), as hex:"
    od -An -tx1 -v "$path"
    ((check)) || echo "    reproduce: $exe $path"
  done
  exit 1
fi
