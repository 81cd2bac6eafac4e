#!/usr/bin/env bash
# The manual page of tervando-cli lists the same options, in the same order and with the same
# value names, as `tervando-cli --help`.
# Usage: man_page_test.sh TERVANDO_CLI MAN_PAGE
set -euo pipefail
cli=$1
page=$2
# Option lines start with two blanks; the option column is 20 characters wide, and a longer name
# stands on a line of its own.
from_help=$("$cli" --help | grep -E '^ +-' |
  awk '{ print ((length($0) > 22 && substr($0, 22, 1) != " ") ? substr($0, 3) : substr($0, 3, 20)) }' |
  sed 's/^ *//; s/ *$//')
# The line after each .TP in OPTIONEN, without font macros, quotes and escapes.
from_man=$(sed -n '/^\.SH OPTIONEN/,/^\.SH /p' "$page" | sed -n '/^\.TP/{n;p}' |
  sed 's/^\.[A-Z]* //; s/\\-/-/g; s/"//g; s/ ,/,/g; s/  */ /g')
if [ "$from_help" != "$from_man" ]; then
  diff <(echo "$from_help") <(echo "$from_man") >&2 || true
  echo "FAIL: options of --help (<) and of $page (>) differ" >&2
  exit 1
fi
echo "$(echo "$from_help" | wc -l) options agree"
