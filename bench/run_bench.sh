#!/usr/bin/env bash
# The favicon run beside sed -i: 10,000 pages of 20 KB in 100 folders. Each round gets a fresh
# copy of the tree; `tervando-cli` inserts the reference into every page and `find ... -exec
# sed -i` inserts a comparable tag after <head>, each followed by sync and timed with it.
# The same run with the modern set (seven files, the block of four tags, the pages' own icon links
# switched off) is timed beside them. Also reports the run's peak resident memory. Prints medians and ratios (goal: at most 0.5).
set -euo pipefail
build=${1:-build}
cli="$build/bin/tervando-cli"
rounds=${ROUNDS:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-run-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT
template="$work/template"

# One 20 KB page: a head with a title and a script, then paragraphs up to 20,480 bytes.
awk 'BEGIN {
  page = "<html>\n<head>\n<title>Seite</title>\n<script>if (a < b) x();</script>\n</head>\n<body>\n"
  while (length(page) < 20400) page = page "<p>Lorem ipsum dolor sit amet, consectetur elit.</p>\n"
  page = substr(page, 1, 20400) "\n</body>\n</html>\n"
  while (length(page) < 20480) page = page " "
  printf "%s", page
}' > "$work/page.htm"
mkdir -p "$template"
for ((d = 0; d < 100; d++)); do
  mkdir -p "$template/f$d"
  for ((p = 0; p < 100; p++)); do echo "$template/f$d/p$p.htm"; done
done | xargs -d '\n' -n 1000 sh -c 'for f; do cp "$0" "$f"; done' "$work/page.htm"
echo "tree: $(find "$template" -type f | wc -l) pages of $(stat -c %s "$work/page.htm") bytes"

source "$(dirname "$0")/bench_lib.sh"
fresh() { rm -rf "$work/site"; cp -a "$template" "$work/site"; sync; }

: > "$work/cli.times"
: > "$work/sed.times"
: > "$work/cli.rss"
: > "$work/modern.times"
for ((i = 0; i < rounds; i++)); do
  fresh
  start=$(now)
  /usr/bin/time -f '%M' -o "$work/rss" "$cli" --no-log -q --overwrite "$work/site" > /dev/null
  sync
  end=$(now)
  echo $(((end - start) / 1000)) >> "$work/cli.times"
  cat "$work/rss" >> "$work/cli.rss"
  [ "$(grep -c 'SHORTCUT ICON' "$work/site/f7/p7.htm")" = 1 ] || { echo "run did not edit"; exit 1; }

  fresh
  start=$(now)
  "$cli" --no-log -q --overwrite --set modern --disable-foreign-icons "$work/site" > /dev/null
  sync
  end=$(now)
  echo $(((end - start) / 1000)) >> "$work/modern.times"
  [ "$(grep -c 'data-tervando' "$work/site/f7/p7.htm")" = 1 ] || { echo "modern run did not edit"; exit 1; }

  fresh
  start=$(now)
  find "$work/site" -type f -name '*.htm' \
    -exec sed -i 's|<head>|<head><link rel="SHORTCUT ICON" href="../favicon.ico">|' {} +
  sync
  end=$(now)
  echo $(((end - start) / 1000)) >> "$work/sed.times"
done

cli_us=$(median < "$work/cli.times")
sed_us=$(median < "$work/sed.times")
rss_kb=$(median < "$work/cli.rss")
modern_us=$(median < "$work/modern.times")
awk -v c="$cli_us" -v s="$sed_us" -v r="$rss_kb" -v m="$modern_us" 'BEGIN {
  printf "tervando-cli run + sync:   %.0f ms\n", c / 1000
  printf "same, --set modern:        %.0f ms\n", m / 1000
  printf "find -exec sed -i + sync:  %.0f ms\n", s / 1000
  printf "ratio cli/sed:             %.2f (goal <= 0.50)\n", c / s
  printf "ratio modern/sed:          %.2f (goal <= 0.80)\n", m / s
  printf "peak resident memory:      %.1f MB for 10,000 pages of 20 KB\n", r / 1024
}'

# Peak memory against page size and count: one 8 MB page among the small ones.
fresh
head -c 8388608 /dev/zero | tr '\0' 'x' > "$work/big.body"
{ printf '<html><head><title>gross</title></head><body>'; cat "$work/big.body"; printf '</body></html>'; } \
  > "$work/site/big.htm"
/usr/bin/time -f '%M' -o "$work/rss" "$cli" --no-log -q --overwrite "$work/site" > /dev/null
awk -v r="$(cat "$work/rss")" -v small="$rss_kb" 'BEGIN {
  printf "peak with one 8 MB page:   %.1f MB (%.1f MB above the run without it)\n",
    r / 1024, (r - small) / 1024
}'
