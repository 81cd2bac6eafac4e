#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks it file by file; then runs the
# installed tervando-cli, which must keep its log and options in the user's folders and
# write nothing beside itself.
# Usage: install_test.sh BUILD_DIR WITH_GUI(0|1) PLUGIN_DIR (relative to the prefix)
set -euo pipefail
build=$1
gui=$2
plugin=usr/$3/tervando-picture.so
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$tmp/usr" >/dev/null
app=com.orvatek.tervando
expected=(
  usr/bin/tervando-cli
  "$plugin"
  usr/share/doc/tervando/changelog.gz
  usr/share/doc/tervando/copyright
  usr/share/man/man1/tervando-cli.1.gz
  usr/share/tervando/hilfe.htm
  usr/share/tervando/index.htm
  "usr/share/applications/$app.desktop"
  "usr/share/metainfo/$app.metainfo.xml"
)
for size in 16 24 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/$app.png")
done
expected+=("usr/share/icons/hicolor/scalable/apps/$app.svg")
if [ "$gui" = 1 ]; then
  expected+=(usr/bin/tervando usr/share/man/man1/tervando.1.gz)
fi
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$tmp" && find . -type f | sed 's|^\./||' | sort) ||
  fail "installed files differ from the list (< expected, > installed)"
[ -x "$tmp/usr/bin/tervando-cli" ] || fail "tervando-cli is not executable"
cmp -s "$tmp/usr/share/tervando/hilfe.htm" "$(dirname "$0")/../../app/help/hilfe.htm" ||
  fail "hilfe.htm differs from app/help"
for size in 16 24 32 48 64 128 256; do
  file "$tmp/usr/share/icons/hicolor/${size}x${size}/apps/$app.png" |
    grep -q "PNG image data, $size x $size" || fail "icon $size is no ${size}x${size} PNG"
done
gzip -dc "$tmp/usr/share/man/man1/tervando-cli.1.gz" | grep -q '^\.TH TERVANDO-CLI 1 ' ||
  fail "tervando-cli.1.gz is no manual page"
# One application id everywhere; the entry opens a folder and names the window's class.
entry=$tmp/usr/share/applications/$app.desktop
for line in "Exec=tervando %f" "MimeType=inode/directory;" "StartupWMClass=Tervando" "Icon=$app"; do
  grep -qxF "$line" "$entry" || fail "desktop entry lacks: $line"
done
grep -qF "<id>$app</id>" "$tmp/usr/share/metainfo/$app.metainfo.xml" || fail "metainfo id is not $app"
grep -qF "<launchable type=\"desktop-id\">$app.desktop</launchable>" \
  "$tmp/usr/share/metainfo/$app.metainfo.xml" || fail "metainfo launches no $app.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$tmp/usr/share/applications/$app.desktop"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$tmp/usr/share/metainfo/$app.metainfo.xml" >/dev/null ||
    fail "metainfo: $(appstreamcli validate --no-net --pedantic "$tmp/usr/share/metainfo/$app.metainfo.xml")"
fi

# The window program answers --help and --version without a display.
if [ "$gui" = 1 ]; then
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/usr/bin/tervando" --help |
    grep -q 'ORDNER' || fail "tervando --help needs a display"
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tmp/usr/bin/tervando" --version |
    grep -qx 'Tervando [0-9.]*' || fail "tervando --version needs a display"
fi

# The installed CLI: log in the state folder, options from the config folder.
cli=$tmp/usr/bin/tervando-cli
mkdir -p "$tmp/home" "$tmp/site" "$tmp/config/tervando"
printf '<html><head></head></html>' >"$tmp/site/a.htm"
printf 'text' >"$tmp/site/b.txt"
export HOME=$tmp/home XDG_STATE_HOME=$tmp/state XDG_CONFIG_HOME=$tmp/config
"$cli" --help | grep -qF "$tmp/state/tervando/Application.log" ||
  fail "--help does not name the state folder's log"
"$cli" -q --icon 3 "$tmp/site" >/dev/null
grep -q "Anzahl ver.nderter Dateien: 1" "$tmp/state/tervando/Application.log" ||
  fail "no log in \$XDG_STATE_HOME/tervando"
[ "$(stat -c %a "$tmp/state/tervando")" = 700 ] || fail "state folder is not owner-only"
unset XDG_STATE_HOME
"$cli" -q --remove "$tmp/site" >/dev/null
[ -s "$tmp/home/.local/state/tervando/Application.log" ] || fail "no log in ~/.local/state/tervando"
[ "$("$cli" --list "$tmp/site")" = "$tmp/site/a.htm" ] || fail "default extensions"
printf '[Include]\nExtensions=txt\n' >"$tmp/config/tervando/options.ini"
[ "$("$cli" --list "$tmp/site")" = "$tmp/site/b.txt" ] || fail "options.ini of \$XDG_CONFIG_HOME ignored"
printf '[Include]\nExtensions=htm,txt\n' >"$tmp/usr/bin/options.ini"
[ "$("$cli" --list "$tmp/site" | wc -l)" = 2 ] || fail "options.ini beside the program does not win"
rm "$tmp/usr/bin/options.ini"

# Pictures through the installed plug-in; without it a catalogue run still works and a picture
# run says what is missing, changing nothing.
"$cli" -q --overwrite --set modern --icon 3 "$tmp/site" >/dev/null
file "$tmp/site/icon-192.png" | grep -q "PNG image data, 192 x 192" || fail "no picture drawn"
mv "$tmp/$plugin" "$tmp/plugin.so"
"$cli" -q --icon 4 "$tmp/site" >/dev/null || fail "a catalogue run needs the plug-in"
cp "$tmp/site/a.htm" "$tmp/a.before"
status=0
"$cli" -q --icon-file "$tmp/site/icon-192.png" "$tmp/site" 2>"$tmp/stderr" || status=$?
[ "$status" = 2 ] && grep -q "Tervando keine Bilder lesen oder zeichnen, und das Bildmodul fehlt" "$tmp/stderr" &&
  grep -qF "$plugin" "$tmp/stderr" ||
  fail "picture run without the plug-in: exit $status, $(cat "$tmp/stderr")"
cmp -s "$tmp/site/a.htm" "$tmp/a.before" || fail "a picture run without the plug-in changed a page"
leftovers=$(ls "$tmp/usr/bin" | grep -vx -e tervando -e tervando-cli || true)
[ -z "$leftovers" ] || fail "written beside the installed program: $leftovers"
echo "install tree and installed tervando-cli: ok"
