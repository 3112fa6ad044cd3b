#!/bin/sh
# Every #include of the program's own headers runs from a higher layer to a
# lower one: app and cli stand on ui, batch, platform and engine in that
# order, and the grid stands on its own (the window's side of batch, the ui
# and the app may use it). Lists each include that runs the other way.
#   tests/layering_test.sh SOURCE_DIR
set -u

root=${1:?usage: layering_test.sh SOURCE_DIR}
[ -d "$root/src" ] || { echo "layering_test: no folder $root/src" >&2; exit 2; }
cd "$root" || exit 2

# src/folder/file:line:#include "folder/name.h", with every folder of src/
# named once (so that a new one without a layer is noticed).
{
  for dir in src/*/; do echo "${dir}"; done
  grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' src
} | awk '
BEGIN {
  # folder: the folders its files may include from
  may["engine"] = "engine"
  may["platform"] = "platform engine"
  may["batch"] = "batch platform engine grid"
  may["grid"] = "grid"
  may["ui"] = "ui batch platform engine grid"
  may["cli"] = "cli batch platform engine"
  may["app"] = "app ui batch platform engine grid"
}
/^src\/[^\/]*\/$/ {
  split($0, part, "/")
  if (!(part[2] in may)) { print "src/" part[2] " is in no layer; give it one in tests/layering_test.sh"; bad = 1 }
  next
}
{
  split($0, part, "/")
  layer = part[2]
  target = $0
  sub(/^[^"]*"/, "", target)
  sub(/\/.*/, "", target)
  if (layer in may && index(" " may[layer] " ", " " target " ") == 0) {
    print $0 "  (src/" layer " may include only from: " may[layer] ")"
    bad = 1
  }
}
END { exit bad }
'
