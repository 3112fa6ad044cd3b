#!/bin/sh
# Every manual page renders with man without a single warning.
# Usage: man_pages_test.sh <page.1>...
set -eu

if ! command -v man >/dev/null 2>&1; then
  echo "SKIPPED: man is not installed, so the manual pages cannot be rendered"
  exit 77
fi
# In a UTF-8 locale, as readers have them: the window's page quotes Russian
# texts, which the plain C locale cannot show (a fresh system's root login
# has no locale set).
export LC_ALL=C.UTF-8
failed=0
for page in "$@"; do
  rendered=$(MANWIDTH=80 man --warnings -l "$page" 2>/dev/null)
  warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then
    printf '%s:\n%s\n' "$page" "$warnings"
    failed=1
  elif ! printf '%s\n' "$rendered" | grep -q '^SYNOPSIS'; then
    echo "$page: renders without a SYNOPSIS section"
    failed=1
  fi
done
exit $failed
