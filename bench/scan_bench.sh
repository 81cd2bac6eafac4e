#!/usr/bin/env bash
# Page collection beside find: a tree of 100,000 files in 10,000 folders (half of them pages),
# listed by `tervando-cli --list` and by `find ROOT -type f`, alternately, warm cache.
# Prints the medians and their ratio (goal: the CLI within 1.5 times find).
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-scan-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
root="$work/site"

# 100 folders with 99 subfolders each; 10 files per folder, 5 pages and 5 other files.
awk -v root="$root" 'BEGIN {
  for (t = 0; t < 100; t++) {
    print root "/t" t
    for (s = 1; s < 100; s++) print root "/t" t "/s" s
  }
}' > "$work/folders"
xargs -d '\n' mkdir -p < "$work/folders"
awk '{ for (f = 0; f < 5; f++) { print $0 "/page" f ".htm"; print $0 "/data" f ".txt" } }' \
  "$work/folders" | xargs -d '\n' touch
echo "tree: $(wc -l < "$work/folders") folders, $(find "$root" -type f | wc -l) files"

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

"$cli" --list -q "$root" > /dev/null  # warm the cache
find "$root" -type f > /dev/null
: > "$work/cli.times"
: > "$work/find.times"
for ((i = 0; i < rounds; i++)); do
  start=$(now); "$cli" --list -q "$root" > /dev/null; end=$(now)
  echo $(((end - start) / 1000)) >> "$work/cli.times"
  start=$(now); find "$root" -type f > /dev/null; end=$(now)
  echo $(((end - start) / 1000)) >> "$work/find.times"
done
pages=$("$cli" --list -q "$root" | wc -l)
cli_us=$(median < "$work/cli.times")
find_us=$(median < "$work/find.times")
awk -v c="$cli_us" -v f="$find_us" -v p="$pages" 'BEGIN {
  printf "tervando-cli --list: %.1f ms (%d pages)\n", c / 1000, p
  printf "find -type f:        %.1f ms\n", f / 1000
  printf "ratio cli/find:      %.2f (goal <= 1.50)\n", c / f
}'
