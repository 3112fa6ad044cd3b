#!/bin/sh
# Builds locales into a folder of the build tree, for tests that run under
# them through LOCPATH, so that none of them needs to be installed on the
# machine. Needs localedef and the locale sources (Debian's locales package).
# Usage: build_test_locales.sh DIR NAME.CHARSET...
set -eu
dir=$1
shift
mkdir -p "$dir"
for name in "$@"; do
  [ -f "$dir/$name/LC_CTYPE" ] && continue
  # Built beside its place and moved there whole: a test that finds the
  # folder finds a complete locale.
  rm -rf "$dir/$name.new"
  localedef -i "${name%%.*}" -f "${name#*.}" "$dir/$name.new"
  rm -rf "$dir/$name"
  mv "$dir/$name.new" "$dir/$name"
done
