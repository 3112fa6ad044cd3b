#!/usr/bin/env bash
# Looks at the real window as a screen reader does: a private X server, a
# private session bus with the desktop's accessibility bus on it, and the
# window's tree read from another process. Skips (77) only when the
# accessibility bus cannot start.
# Usage: accessibility_bus_test.sh WINDOW_PROGRAM PYTHON CHECK_SCRIPT
set -uo pipefail
window=$1 python=$2 check=$3

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Nothing of the user's: home, settings, caches and the runtime folder are
# all temporary.
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache"
export XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
if [ ! -s "$work/display" ]; then
  echo "Xvfb did not start:"; cat "$work/xvfb.log"; exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"

if ! command -v dbus-run-session >/dev/null; then
  echo "SKIPPED: no dbus-run-session, so no session bus for the accessibility bus"; exit 77
fi

export WINDOW="$window" PYTHON="$python" CHECK="$check" WORK="$work"
dbus-run-session -- bash -c '
  touch "$WORK/session-up"
  # Qt joins the accessibility bus only when it is already up.
  if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
       >"$WORK/bus.log" 2>&1; then
    cat "$WORK/bus.log"; touch "$WORK/no-bus"; exit 77
  fi
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$WINDOW" &
  window_pid=$!
  "$PYTHON" "$CHECK"
  result=$?
  kill "$window_pid" 2>/dev/null
  wait "$window_pid" 2>/dev/null
  exit $result
' 2> >(grep -v "Failed to set fd limit" >&2)
result=$?
if [ -e "$work/no-bus" ]; then
  echo "SKIPPED: the accessibility bus cannot start on this machine"; exit 77
fi
if [ ! -e "$work/session-up" ]; then
  echo "SKIPPED: no private session bus could be started"; exit 77
fi
exit "$result"
