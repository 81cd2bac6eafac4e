#!/usr/bin/env bash
# Large pages: one page of 1 GiB, where `tervando-cli` inserts the reference beside `sed -i`
# (time and peak memory, each on a fresh copy, followed by sync and timed with it; goals: at
# most 0.1 of sed's time and 64 MiB), and a sparse page of 3 GiB edited in a 2 GiB address
# space limit (prlimit --as), which must stay sparse. The trees are built here and skipped with
# a message where the disk is too small. SIZE_MB (default 1024) changes the large page.
set -euo pipefail
build=${1:-build}
cli=$(realpath "$build/bin/tervando-cli")
size_mb=${SIZE_MB:-1024}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-big-page-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
source "$(dirname "$0")/bench_lib.sh"
free_mb() { df -Pk "$work" | awk 'NR == 2 { print int($4 / 1024) }'; }
peak_mb() { awk '/Maximum resident/ { printf "%.1f", $NF / 1024 }' "$1"; }

if [ "$(free_mb)" -lt $((size_mb * 4)) ]; then
  echo "skipped: a page of $size_mb MB needs $((size_mb * 4)) MB free in $work"
else
  mkdir "$work/site"
  awk -v mb="$size_mb" 'BEGIN {
    printf "<!DOCTYPE html>\n<html><head>\n<title>Gross</title>\n</head>\n<body>\n"
    line = "<p>Lorem ipsum dolor sit amet, <b>consectetur</b> adipiscing elit.</p>\n"
    block = ""
    for (i = 0; i < 1000; i++) block = block line
    for (n = mb * 1048576 / length(block); n > 0; n--) printf "%s", block
    printf "</body></html>\n"
  }' > "$work/page.htm"
  fresh() { rm -rf "$work/site/index.htm"; cp "$work/page.htm" "$work/site/index.htm"; sync; }
  fresh
  start=$(now)
  /usr/bin/time -v -o "$work/cli.rss" "$cli" --no-log -q "$work/site" > /dev/null
  sync
  cli_us=$((($(now) - start) / 1000))
  [ "$(head -c 4096 "$work/site/index.htm" | grep -c 'SHORTCUT ICON')" = 1 ] || { echo "run did not edit"; exit 1; }
  fresh
  start=$(now)
  /usr/bin/time -v -o "$work/sed.rss" \
    sed -i 's|<head>|<head><link rel="SHORTCUT ICON" href="./favicon.ico">|' "$work/site/index.htm"
  sync
  sed_us=$((($(now) - start) / 1000))
  awk -v c="$cli_us" -v s="$sed_us" -v cm="$(peak_mb "$work/cli.rss")" -v sm="$(peak_mb "$work/sed.rss")" \
    -v mb="$size_mb" 'BEGIN {
    printf "one page of %d MB, tervando-cli + sync: %.0f ms, peak %s MB (goal <= 64 MB)\n", mb, c / 1000, cm
    printf "sed -i + sync:                          %.0f ms, peak %s MB\n", s / 1000, sm
    printf "ratio cli/sed:                          %.2f (goal <= 0.10)\n", c / s
  }'
  rm -rf "$work/site" "$work/page.htm"
fi

# A sparse page of 3 GiB (a head, a hole, the end of its body) in a 2 GiB address space.
mkdir -p "$work/sparse"
printf '<html><head><title>x</title></head><body>' > "$work/sparse/index.htm"
truncate -s 3G "$work/sparse/index.htm"
printf '</body></html>\n' >> "$work/sparse/index.htm"
if [ "$(du -k "$work/sparse/index.htm" | cut -f1)" -gt 1024 ]; then
  echo "skipped: this file system keeps no holes"
  exit 0
fi
status=0
prlimit --as=$((2 << 30)) /usr/bin/time -v -o "$work/sparse.rss" \
  "$cli" --no-log -q "$work/sparse" > /dev/null 2>&1 || status=$?
edited=$(head -c 4096 "$work/sparse/index.htm" | grep -c 'SHORTCUT ICON' || true)
awk -v st="$status" -v e="$edited" -v k="$(du -k "$work/sparse/index.htm" | cut -f1)" \
  -v m="$(peak_mb "$work/sparse.rss")" 'BEGIN {
  printf "sparse page of 3 GiB in 2 GiB: exit %d, %s, %d KB on the disk, peak %s MB\n", st,
    e == 1 ? "edited" : "NOT edited", k, m
}'
