#!/bin/bash
# The bash completion of vantrel-decode, as bash calls it: each command line
# (the cursor at its end) with the words it must offer, in a folder holding
# a folder, a text file and a file whose name starts with a dash.
# Usage: bash_completion_test.sh <completion file>
set -u
source "$1" || exit 1
tmp=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-completion.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
cd "$tmp" && mkdir out && touch a.txt -- -x.txt

# Splits the line as bash does, "=" being a word of its own.
offered() {
  local line=$1
  line=${line//=/ = }
  read -ra COMP_WORDS <<<"$line"
  [[ $1 == *" " ]] && COMP_WORDS+=("")
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  _vantrel_decode vantrel-decode "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' '
}

failed=0
while IFS='|' read -r line expected; do
  actual=$(offered "$line")
  if [ "$actual" != "$expected" ]; then
    echo "'$line': offered '$actual', expected '$expected'"
    failed=1
  fi
done <<'CASES'
vantrel-decode --key-f|--key-file 
vantrel-decode --re|--recursive 
vantrel-decode -|-- --files-from --help --jobs --key-encoding --key-file --no-check --null --output --recursive --version -0 -h -j -k -o -r 
vantrel-decode --n|--no-check --null 
vantrel-decode |-x.txt a.txt out 
vantrel-decode -r a|a.txt 
vantrel-decode -o |out 
vantrel-decode --output=|out 
vantrel-decode --out |out 
vantrel-decode -ro |out 
vantrel-decode --key-file |- -x.txt a.txt out 
vantrel-decode --files-from=a|a.txt 
vantrel-decode --key-encoding CP125|CP1250 CP1251 CP1252 CP1253 CP1254 CP1255 CP1256 CP1257 CP1258 
vantrel-decode -j |
vantrel-decode -- -|-x.txt 
CASES
exit $failed
