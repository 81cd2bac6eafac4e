#!/usr/bin/env bash
# A real site in a real browser: Debian's Python documentation copied below a web root (pages at
# three depths), a modern run with --disable-foreign-icons, then headless chromium's DOM of each
# page, over http://127.0.0.1 and file://. The last icon link of the head must be ours, and every
# link of ours must resolve to a file that exists. Skipped (77) only when chromium is missing.
# Usage: modern_set_browser_test.sh TERVANDO_CLI
set -euo pipefail
cli=$1
docs=${TERVANDO_BROWSER_SITE:-/usr/share/doc/python3.11/html}
chromium=$(command -v chromium || command -v chromium-browser || true)
if [ -z "$chromium" ]; then
  echo "SKIP: chromium is not installed (scripts/install-deps)"
  exit 77
fi
[ -f "$docs/index.html" ] || { echo "FAIL: $docs missing (python3.11-doc, scripts/install-deps)"; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tervando-browser-XXXXXX")
server=
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

root="$work/www"
mkdir -p "$root"
cp -r "$docs" "$root/python"
cp "$docs/index.html" "$root/index.html"
pages=(index.html python/index.html python/library/os.html)
"$cli" --set modern --disable-foreign-icons --no-log -q "$root" > /dev/null

python3 -u -m http.server --bind 127.0.0.1 --directory "$root" 0 > "$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 50); do
  port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "FAIL: the http server did not start"; cat "$work/server.log"; exit 1; }

failed=0
for page in "${pages[@]}"; do
  for url in "http://127.0.0.1:$port/$page" "file://$root/$page"; do
    timeout 30 "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
      --user-data-dir="$work/profile" --dump-dom "$url" > "$work/dom.html" 2> "$work/chromium.log" ||
      { echo "FAIL: chromium could not load $url"; tail -5 "$work/chromium.log"; failed=1; continue; }
    python3 - "$url" "$work/dom.html" <<'PY' || failed=1
import html.parser, os, sys, urllib.parse, urllib.request

url, dom = sys.argv[1], open(sys.argv[2], encoding="utf-8", errors="replace").read()
ICON_RELS = {"icon", "apple-touch-icon", "apple-touch-icon-precomposed", "mask-icon"}

class Head(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.in_head, self.links = False, []
    def handle_starttag(self, tag, attrs):
        if tag == "head":
            self.in_head = True
        elif tag == "link" and self.in_head:
            self.links.append(dict(attrs))
    def handle_endtag(self, tag):
        if tag == "head":
            self.in_head = False

head = Head()
head.feed(dom)
def rels(link):
    return set((link.get("rel") or "").lower().split())
def ours(link):
    return "data-tervando" in link or (rels(link) == {"shortcut", "icon"} and
                                       (link.get("href") or "").endswith("favicon.ico"))
icons = [link for link in head.links if rels(link) & ICON_RELS]
problems = []
if not icons:
    problems.append("no icon link in the head")
elif not ours(icons[-1]):
    problems.append("the last icon link is not ours: %r" % icons[-1])
mine = [link for link in head.links if ours(link)]
if len(mine) != 4:
    problems.append("expected 4 links of ours, found %d" % len(mine))
for link in mine:
    target = urllib.parse.urljoin(url, link["href"])
    if target.startswith("file://"):
        if not os.path.isfile(urllib.parse.unquote(urllib.parse.urlparse(target).path)):
            problems.append("missing file " + target)
    else:
        try:
            with urllib.request.urlopen(target, timeout=10) as answer:
                if answer.status != 200:
                    problems.append("%s answered %d" % (target, answer.status))
        except Exception as error:  # noqa: BLE001 - every failure is a finding
            problems.append("%s: %s" % (target, error))
for problem in problems:
    print("FAIL: %s: %s" % (url, problem))
if not problems:
    print("ok: %s (%d links of ours, last icon %s)" % (url, len(mine), icons[-1].get("href")))
sys.exit(1 if problems else 0)
PY
  done
done
exit "$failed"
