# shellcheck shell=bash
# Shared by the bench scripts (sourced): the clock, the median, and the tree of 4 KB pages.

now() { date +%s%N; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Runs the command given (its output thrown away) and adds its time in microseconds to file $1.
time_into() {
  local times=$1 start end
  shift
  start=$(now)
  "$@" > /dev/null
  end=$(now)
  echo $(((end - start) / 1000)) >> "$times"
}

# One 4 KB page into $1: a head with a title, styles and a script, then paragraphs.
write_four_kilobyte_page() {
  awk 'BEGIN {
    page = "<!DOCTYPE html>\n<html lang=\"de\">\n<head>\n<meta charset=\"utf-8\">\n" \
           "<title>Seite</title>\n<link rel=\"stylesheet\" href=\"style.css\">\n" \
           "<script>if (a < b) x();</script>\n</head>\n<body>\n"
    while (length(page) < 4000) page = page "<p>Lorem ipsum dolor sit amet, <b>consectetur</b> elit.</p>\n"
    printf "%s</body>\n</html>\n", page
  }' > "$1"
}

# The page $1 copied 100 times into each of $3 folders under $2, $4 folders to a parent:
# $2/d<n / $4>/f<n>/p0.htm ... p99.htm.
make_page_tree() {
  local page=$1 root=$2 folders=$3 group=$4 d p
  local one="$root.one"
  mkdir -p "$one"
  for ((p = 0; p < 100; p++)); do cp "$page" "$one/p$p.htm"; done
  for ((d = 0; d < folders; d++)); do echo "$root/d$((d / group))/f$d"; done | xargs -d '\n' mkdir -p
  for ((d = 0; d < folders; d++)); do cp "$one/"*.htm "$root/d$((d / group))/f$d/"; done
  rm -rf "$one"
}
