#!/bin/sh
# Every #include of the program's own headers runs from a higher layer to a
# lower one: app and cli stand on ui, batch, platform and engine in that
# order, and the grid stands on its own (the window's side of batch, the ui
# and the app may use it). Lists each include that runs the other way.
#   tests/layering_test.sh SOURCE_DIR
set -u

src=${1:?usage: layering_test.sh SOURCE_DIR}/src
[ -d "$src" ] || { echo "layering_test: no folder $src" >&2; exit 2; }

# folder: the folders its files may include from
allowed() {
  case $1 in
  engine) echo "engine" ;;
  platform) echo "platform engine" ;;
  batch) echo "batch platform engine grid" ;;
  grid) echo "grid" ;;
  ui) echo "ui batch platform engine grid" ;;
  cli) echo "cli batch platform engine" ;;
  app) echo "app ui batch platform engine grid" ;;
  *) return 1 ;;
  esac
}

status=0
for dir in "$src"/*/; do
  layer=$(basename "$dir")
  if ! below=$(allowed "$layer"); then
    echo "layering_test: src/$layer is in no layer; add it to $0" >&2
    status=1
    continue
  fi
  # file:line:#include "folder/name.h"
  found=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"]*/' "$dir") || continue
  bad=$(printf '%s\n' "$found" | while IFS= read -r line; do
    target=$(printf '%s\n' "$line" | sed -E 's/^[^"]*"([^"/]*)\/.*/\1/')
    case " $below " in
    *" $target "*) ;;
    *) printf '%s\n' "${line#"$src"/}" ;;
    esac
  done)
  if [ -n "$bad" ]; then
    echo "src/$layer may include only from: $below; these include from elsewhere:"
    printf '%s\n' "$bad" | sed 's|^|  src/|'
    status=1
  fi
done
exit $status
