#!/usr/bin/env bash
# The page check beside the run it describes: 100,000 pages of 4 KB in 1,000 folders, already
# given their reference, so the plain second run (`tervando-cli --no-log -q`) changes nothing.
# Both read every page; they run alternately on the warm cache. Prints the medians and their
# ratio (goal: the check within 1.5 times the run).
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-check-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/site"
source "$(dirname "$0")/bench_lib.sh"

write_four_kilobyte_page "$work/page.htm"
make_page_tree "$work/page.htm" "$root" 1000 100
"$cli" --no-log -q "$root" > /dev/null  # gives every page its reference, writes favicon.ico
echo "tree: $(find "$root" -type f -name '*.htm' | wc -l) pages of $(stat -c %s "$work/page.htm") bytes (+ reference)"
if ! "$cli" --check -q "$root" > "$work/check.out"; then
  cat "$work/check.out"
  echo "the check finds pages a run would still change"
  exit 1
fi

: > "$work/run.times"
: > "$work/check.times"
for ((i = 0; i < rounds; i++)); do
  time_into "$work/run.times" "$cli" --no-log -q "$root"
  time_into "$work/check.times" "$cli" --check "$root"
done
run_us=$(median < "$work/run.times")
check_us=$(median < "$work/check.times")
awk -v r="$run_us" -v c="$check_us" 'BEGIN {
  printf "tervando-cli --no-log -q (changes nothing): %.0f ms\n", r / 1000
  printf "tervando-cli --check:                       %.0f ms\n", c / 1000
  printf "ratio check/run:                            %.2f (goal <= 1.50)\n", c / r
}'
