#!/bin/sh
# `vantrel-decode --help` and its manual page list the same options, each
# with the same argument name, so an option added to one is missed in neither.
# Usage: decode_options_test.sh <vantrel-decode> <vantrel-decode.1>
set -eu
binary=$1 page=$2

if ! command -v groff >/dev/null 2>&1; then
  echo "SKIPPED: groff is not installed, so the manual page's options cannot be read"
  exit 77
fi
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-options.XXXXXX")
trap 'rm -rf "$tmp"' EXIT

# Reads option columns such as "-o, --output DIR" and writes one option a
# line with its argument: "-o DIR", "--output DIR".
one_per_line() {
  awk '{
    n = split($0, items, /, /)
    argument = items[n]
    if (!sub(/^[^ ]+ /, "", argument)) argument = ""
    for (i = 1; i <= n; i++) {
      split(items[i], words, / /)
      print words[1] (argument == "" ? "" : " " argument)
    }
  }' | sort
}

# In the help text an option line starts with two spaces and a dash, and its
# description begins after the next two spaces.
"$binary" --help | sed -n 's/^  \(-[^ ].*\)/\1/p' | sed 's/  .*//' | one_per_line >"$tmp/help"

# In the page every option is the tag of a .TP paragraph under OPTIONS. The
# tags alone are set by groff, one a line, so that fonts and escapes are
# resolved as man would.
{
  printf '.TH OPTIONS 1\n.nh\n.SH OPTIONS\n'
  awk '/^\.SH/ { inside = ($2 == "OPTIONS") }
       inside && tag { print; print ".br" }
       { tag = inside && /^\.TP/ }' "$page"
} >"$tmp/tags.1"
groff -man -Tascii -rLL=200n -P-cbou -ww "$tmp/tags.1" 2>"$tmp/groff-warnings" \
  | sed -n 's/^ *\(-[^ ].*\)/\1/p' | one_per_line >"$tmp/page"
if [ -s "$tmp/groff-warnings" ]; then
  cat "$tmp/groff-warnings"
  exit 1
fi

if ! grep -qx -- '--help' "$tmp/help"; then
  echo "no option found in the output of $binary --help:"
  "$binary" --help
  exit 1
fi
if ! diff -u --label 'vantrel-decode --help' --label "$page" "$tmp/help" "$tmp/page"; then
  echo "The options above differ between --help and the manual page."
  exit 1
fi
echo "$(wc -l <"$tmp/help") options agree: $(tr '\n' ' ' <"$tmp/help")"
