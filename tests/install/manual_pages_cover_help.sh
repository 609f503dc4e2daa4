#!/usr/bin/env bash
# Every command, option and environment variable that a program's --help
# names must be in its manual page, as a reader of the page sees it.
# usage: manual_pages_cover_help.sh GROFF BIN_DIR PAGE.1...
# (the program of PAGE.1 is BIN_DIR/PAGE)
set -euo pipefail
groff=$1 bin=$2
shift 2

missing=0
for page in "$@"; do
  name=$(basename "$page" .1)
  help=$("$bin/$name" --help)
  # No hyphenation and long lines, so that no name is broken across lines.
  text=$("$groff" -man -Tascii -P-cbou -rHY=0 -rLL=250n "$page" | tr -s ' \n' '  ')

  # "usage: tovalo-tool page listtext --format K INPUT" names "page listtext".
  commands=$(sed -nE "s/^(usage:)? *$name(( [a-z]+)+).*/\2/p" <<<"$help" | sed 's/^ //')
  options=$(grep -oE -- '(^|[][ |,(])--?[a-z][a-z-]*' <<<"$help" | sed -E 's/^[][ |,(]//')
  variables=$({
    grep -oE '\$[A-Z][A-Z0-9_]*' <<<"$help" | tr -d '$'
    sed -n '/^environment:/,$p' <<<"$help" | grep -oE '\b[A-Z][A-Z0-9]*_[A-Z0-9_]+\b'
  } || true)

  [ -n "$commands$options" ] || {
    echo "FAIL: $name --help names no command or option" >&2
    exit 1
  }
  while IFS= read -r item; do
    [ -n "$item" ] || continue
    if ! grep -qE -- "(^|[^A-Za-z0-9_-])$item([^A-Za-z0-9_-]|$)" <<<"$text"; then
      echo "FAIL: $name($page): '$item' from --help is not in the manual page" >&2
      missing=1
    fi
  done < <(printf '%s\n' "$commands" "$options" "$variables" | sort -u)
done
exit "$missing"
