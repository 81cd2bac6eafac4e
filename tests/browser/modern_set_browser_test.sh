#!/usr/bin/env bash
# A real site in a real browser: Debian's Python documentation copied below a web root (pages at
# depths 0, 1 and 2) and a windows-1252 page whose charset declaration ends near byte 1024, a
# modern run with --disable-foreign-icons, then headless chromium over http://127.0.0.1 and
# file:// (tests/browser/chromium_probe.py). For every page: the icon Chromium stores is our
# icon.svg, every link of ours resolves, and over http the manifest installs with no error; the
# windows-1252 page keeps its declaration within the first 1024 bytes and is read as
# windows-1252. A page whose own link to an .ico file without sizes is switched on again after the
# run gets that icon instead, and --check names it. Skipped (77) only when chromium is missing.
# Usage: modern_set_browser_test.sh TERVANDO_CLI
set -euo pipefail
cli=$1
here=$(dirname "$0")
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
# The declaration ends at byte 950: our reference fits before byte 1024, the whole block not.
python3 -c 'import sys
head = "<html><head>\n<title>"
meta = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
title = "x" * (950 - len(head) - len("</title>") - len(meta))
sys.stdout.buffer.write((head + title + "</title>" + meta + "\n</head><body>\xe4</body></html>\n").encode("cp1252"))' \
  > "$root/cp1252.html"
printf '<html><head><title>own</title><link rel="icon" href="favicon.ico?own"></head></html>\n' \
  > "$root/own-ico.html"
pages=(index.html python/index.html python/library/os.html cp1252.html own-ico.html)
"$cli" --set modern --disable-foreign-icons --no-log -q "$root" > /dev/null
sed -i 's/data-tervando-off-rel="icon"/rel="icon"/' "$root/own-ico.html"
check=$("$cli" --check --set modern "$root" 2>&1) && { echo "FAIL: --check found nothing"; exit 1; }
grep -q "^ *own-ico.html:1$" <<< "$check" || { echo "FAIL: --check did not name own-ico.html"; echo "$check"; exit 1; }

python3 -u -m http.server --bind 127.0.0.1 --directory "$root" 0 > "$work/server.log" 2>&1 &
server=$!
port=
for _ in $(seq 50); do
  port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.log" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "FAIL: the http server did not start"; cat "$work/server.log"; exit 1; }

urls=()
for page in "${pages[@]}"; do
  urls+=("http://127.0.0.1:$port/$page" "file://$root/$page")
done
timeout 120 python3 "$here/chromium_probe.py" "$chromium" "$work/profile" "${urls[@]}" \
  > "$work/pages.jsonl" || { echo "FAIL: chromium could not be asked"; exit 1; }

python3 - "$root" "$port" "$work/pages.jsonl" <<'PY'
import json, os, re, sys, urllib.parse, urllib.request

root, port, records = sys.argv[1], sys.argv[2], [json.loads(line) for line in open(sys.argv[3])]
ICON_RELS = {"icon", "apple-touch-icon", "apple-touch-icon-precomposed", "mask-icon"}
failed = False
for record in records:
    url, links = record["url"], record["links"]
    site = "http://127.0.0.1:%s/" % port if url.startswith("http") else "file://" + root + "/"
    def ours(link):
        return link["ours"] or (set(link["rel"].lower().split()) == {"shortcut", "icon"} and
                                link["href"] == site + "favicon.ico")
    own = url.endswith("own-ico.html")
    problems = []
    mine = [link for link in links if ours(link)]
    if len(mine) != 4:
        problems.append("expected 4 links of ours, found %d" % len(mine))
    icons = [link for link in links if set(link["rel"].lower().split()) & ICON_RELS]
    if not own and (not icons or not ours(icons[-1])):
        problems.append("the last icon link is not ours: %r" % (icons[-1:],))
    for link in mine:
        target = link["href"]
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
    if record["icon"] != site + ("favicon.ico?own" if own else "icon.svg"):
        problems.append("chromium stored the icon %r" % record["icon"])
    if url.startswith("http") and record.get("installability") != []:
        problems.append("not installable: %r" % record.get("installability"))
    if url.endswith("cp1252.html"):
        text = open(os.path.join(root, "cp1252.html"), "rb").read()
        end = re.search(rb"charset=windows-1252\">", text).end()
        if end > 1024 or record["charset"] != "windows-1252":
            problems.append("charset declaration ends at %d, read as %s" % (end, record["charset"]))
    for problem in problems:
        print("FAIL: %s: %s" % (url, problem))
    if not problems:
        print("ok: %s: icon %s, charset %s, installability %r" %
              (url, record["icon"], record["charset"], record.get("installability", "-")))
    failed = failed or bool(problems)
sys.exit(1 if failed else 0)
PY
