#!/usr/bin/env bash
# Page collection beside find: trees of 100,000 and 1,000,000 files (10 files per folder, half of
# them pages, folders two levels deep), listed by `tervando-cli --list` and by
# `find ROOT -type f`, alternately, warm cache. Prints the medians, their ratio (goal: the CLI
# within 1.5 times find) and the peak resident memory of each; then the page list's sort of
# 100,000 rows beside sort -f (bench_page_list).
# SIZES (default "100000 1000000") and ROUNDS (default 5) change the runs.
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-5}
sizes=${SIZES:-"100000 1000000"}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-scan-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/bench_lib.sh"
# Peak resident memory of a command in KiB.
peak_kib() { /usr/bin/time -f %M "$@" 2>&1 > /dev/null | tail -n 1; }

for files in $sizes; do
  root="$work/site$files"
  folders=$((files / 10))
  # 100 top folders, each with its share of subfolders; 5 pages and 5 other files per folder.
  awk -v root="$root" -v n="$folders" 'BEGIN {
    per = n / 100
    for (t = 0; t < 100; t++) {
      print root "/t" t
      for (s = 1; s < per; s++) print root "/t" t "/s" s
    }
  }' > "$work/folders"
  xargs -d '\n' mkdir -p < "$work/folders"
  awk '{ for (f = 0; f < 5; f++) { print $0 "/page" f ".htm"; print $0 "/data" f ".txt" } }' \
    "$work/folders" | xargs -d '\n' touch

  "$cli" --list -q "$root" > /dev/null  # warm the cache
  find "$root" -type f > /dev/null
  : > "$work/cli.times"
  : > "$work/find.times"
  for ((i = 0; i < rounds; i++)); do
    time_into "$work/cli.times" "$cli" --list -q "$root"
    time_into "$work/find.times" find "$root" -type f
  done
  pages=$("$cli" --list -q "$root" | wc -l)
  cli_kib=$(peak_kib "$cli" --list -q "$root")
  find_kib=$(peak_kib find "$root" -type f)
  awk -v n="$files" -v d="$(wc -l < "$work/folders")" -v p="$pages" -v c="$(median < "$work/cli.times")" \
      -v f="$(median < "$work/find.times")" -v cm="$cli_kib" -v fm="$find_kib" 'BEGIN {
    printf "%d files in %d folders:\n", n, d
    printf "  tervando-cli --list: %8.1f ms  peak %7.1f MiB  (%d pages)\n", c / 1000, cm / 1024, p
    printf "  find -type f:        %8.1f ms  peak %7.1f MiB\n", f / 1000, fm / 1024
    printf "  ratio cli/find:      %8.2f (goal <= 1.50)\n", c / f
  }'
  rm -rf "$root"
done

# Sorting the list: in C.UTF-8 and, where it is installed, a German locale.
if [ -x "$build/bench/bench_page_list" ]; then
  LC_ALL=C.UTF-8 "$build/bench/bench_page_list"
  if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    LC_ALL=de_DE.UTF-8 "$build/bench/bench_page_list"
  fi
fi
