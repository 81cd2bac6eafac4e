#!/usr/bin/env bash
# The layers lean one way: engine <- site <- support <- icons <- app, cli. A file never
# includes one of a higher layer (app and cli, both on top, not each other), and engine/, site/
# and cli/ include no Qt header (tervando-cli opens the picture code as a plug-in).
# Usage: layers_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"
declare -A rank=([engine]=0 [site]=1 [support]=2 [icons]=3 [app]=4 [cli]=4)
failed=0
for layer in "${!rank[@]}"; do
  while IFS=: read -r file line text; do
    included=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<<"$text")
    [ -n "${rank[$included]+x}" ] || continue
    if [ "${rank[$included]}" -gt "${rank[$layer]}" ] ||
      { [ "${rank[$included]}" -eq "${rank[$layer]}" ] && [ "$included" != "$layer" ]; }; then
      echo "FAIL: $file:$line: $layer/ includes $included/, a layer above it: $text" >&2
      failed=1
    fi
  done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$layer" || true)
done
for layer in engine site cli; do
  if grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*<Q' "$layer" >&2; then
    echo "FAIL: $layer/ includes Qt (above)" >&2
    failed=1
  fi
done
[ "$failed" -eq 0 ] && echo "layers hold: engine <- site <- support <- icons <- app, cli"
exit "$failed"
