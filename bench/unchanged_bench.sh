#!/usr/bin/env bash
# The run that changes nothing beside grep: 20,000 pages of 4 KB in 200 folders, already given
# their reference, so a second `tervando-cli --no-log -q` reads every page and writes none;
# `grep -rL --include=*.htm 'SHORTCUT ICON'` reads the same pages looking for the same tag.
# Alternately, warm cache. Prints the medians and their ratio (goal: at most 1.0).
# PAGES (default 20000) and ROUNDS (default 5) change the runs.
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-5}
pages=${PAGES:-20000}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-unchanged-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/site"
source "$(dirname "$0")/bench_lib.sh"

write_four_kilobyte_page "$work/page.htm"
make_page_tree "$work/page.htm" "$root" $((pages / 100)) 20
"$cli" --no-log -q "$root" > /dev/null  # gives every page its reference
echo "tree: $(find "$root" -type f -name '*.htm' | wc -l) pages of $(stat -c %s "$work/page.htm") bytes (+ reference)"
# The pages without the reference; grep's status 1 (none found) is no failure.
grep_without_reference() { grep -rL --include='*.htm' 'SHORTCUT ICON' "$root" || true; }
if [ -n "$(grep_without_reference)" ]; then
  echo "the first run left pages without the reference"
  exit 1
fi

: > "$work/run.times"
: > "$work/grep.times"
for ((i = 0; i < rounds; i++)); do
  time_into "$work/run.times" "$cli" --no-log -q "$root"
  time_into "$work/grep.times" grep_without_reference
done
run_us=$(median < "$work/run.times")
grep_us=$(median < "$work/grep.times")
awk -v r="$run_us" -v g="$grep_us" 'BEGIN {
  printf "tervando-cli --no-log -q (changes nothing): %.0f ms\n", r / 1000
  printf "grep -rL --include=*.htm SHORTCUT ICON:     %.0f ms\n", g / 1000
  printf "ratio run/grep:                             %.2f (goal <= 1.00)\n", r / g
}'
