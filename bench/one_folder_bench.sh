#!/usr/bin/env bash
# One folder of 100,000 pages of 4 KB: `tervando-cli` inserts the reference into every page,
# `find -exec sed -i` a comparable tag after <head>; each on a fresh copy, followed by sync and
# timed with it, alternately. Prints the medians and their ratio (goal: at most 0.8).
# PAGES (default 100000) and ROUNDS (default 3) change the runs.
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-3}
pages=${PAGES:-100000}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-one-folder-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/bench_lib.sh"

write_four_kilobyte_page "$work/page.htm"
need_kb=$((pages * 3 * 8))  # the template, the copy and the new pages, in 4 KB blocks and more
if [ "$(df -Pk "$work" | awk 'NR == 2 { print $4 }')" -lt "$need_kb" ]; then
  echo "skipped: one folder of $pages pages needs $((need_kb / 1024)) MB free in $work"
  exit 0
fi
mkdir "$work/template"
seq 0 $((pages - 1)) | sed "s|.*|$work/template/p&.htm|" |
  xargs -d '\n' -n 1000 sh -c 'for f; do cp "$0" "$f"; done' "$work/page.htm"
echo "tree: $pages pages of $(stat -c %s "$work/page.htm") bytes in one folder"
fresh() { rm -rf "$work/site"; cp -a "$work/template" "$work/site"; sync; }
run_cli() { "$cli" --no-log -q --overwrite "$work/site" > /dev/null; sync; }
run_sed() {
  find "$work/site" -type f -name '*.htm' \
    -exec sed -i 's|<head>|<head><link rel="SHORTCUT ICON" href="./favicon.ico">|' {} +
  sync
}

: > "$work/cli.times"
: > "$work/sed.times"
for ((i = 0; i < rounds; i++)); do
  fresh
  time_into "$work/cli.times" run_cli
  [ "$(grep -c 'SHORTCUT ICON' "$work/site/p7.htm")" = 1 ] || { echo "run did not edit"; exit 1; }
  fresh
  time_into "$work/sed.times" run_sed
done
cli_us=$(median < "$work/cli.times")
sed_us=$(median < "$work/sed.times")
awk -v c="$cli_us" -v s="$sed_us" 'BEGIN {
  printf "tervando-cli run + sync:   %.0f ms\n", c / 1000
  printf "find -exec sed -i + sync:  %.0f ms\n", s / 1000
  printf "ratio cli/sed:             %.2f (goal <= 0.80)\n", c / s
}'
