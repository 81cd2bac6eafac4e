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

# One 4 KB page: a head with a title, styles and a script, then paragraphs.
awk 'BEGIN {
  page = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n" \
         "<title>Seite</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n" \
         "<script>if (a < b) x();</script>\n</head>\n<body>\n"
  while (length(page) < 4000) page = page "<p>Lorem ipsum dolor sit amet, <b>consectetur</b> elit.</p>\n"
  printf "%s</body>\n</html>\n", page
}' > "$work/page.htm"
mkdir -p "$work/one"
for ((p = 0; p < 100; p++)); do cp "$work/page.htm" "$work/one/p$p.htm"; done
for ((d = 0; d < 1000; d++)); do echo "$root/d$((d / 100))/f$d"; done | xargs -d '\n' mkdir -p
for ((d = 0; d < 1000; d++)); do cp "$work/one/"*.htm "$root/d$((d / 100))/f$d/"; done
"$cli" --no-log -q "$root" > /dev/null  # gives every page its reference, writes favicon.ico
echo "tree: $(find "$root" -type f -name '*.htm' | wc -l) pages of $(stat -c %s "$work/page.htm") bytes (+ reference)"
if ! "$cli" --check -q "$root" > "$work/check.out"; then
  cat "$work/check.out"
  echo "the check finds pages a run would still change"
  exit 1
fi

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: > "$work/run.times"
: > "$work/check.times"
for ((i = 0; i < rounds; i++)); do
  start=$(now); "$cli" --no-log -q "$root" > /dev/null; end=$(now)
  echo $(((end - start) / 1000)) >> "$work/run.times"
  start=$(now); "$cli" --check "$root" > /dev/null; end=$(now)
  echo $(((end - start) / 1000)) >> "$work/check.times"
done
run_us=$(median < "$work/run.times")
check_us=$(median < "$work/check.times")
awk -v r="$run_us" -v c="$check_us" 'BEGIN {
  printf "tervando-cli --no-log -q (changes nothing): %.0f ms\n", r / 1000
  printf "tervando-cli --check:                       %.0f ms\n", c / 1000
  printf "ratio check/run:                            %.2f (goal <= 1.50)\n", c / r
}'
