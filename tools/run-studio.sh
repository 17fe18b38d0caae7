#!/bin/sh
# `make run`: the window on the shipped default project, ready to build and upload to a virtual
# indicator started beside it on a pseudo-terminal (it shows as "COM 1"). Without a display the
# same happens headless: the default project is built and uploaded by the command-line tool.
set -eu
build_dir=${1:-build/default}
cli="$build_dir/src/cli/tvx880"
studio="$build_dir/src/ui/tvx880-studio"
home="$(pwd)/data"

work=$(mktemp -d "${TMPDIR:-/tmp}/tvx880-run.XXXXXX")
link="$work/indicator"
project="$work/demo.ql3"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# The virtual indicator checks every packet. It reads at the pace of a line of RUN_BAUD baud:
# 921600 by default, eight times the indicator's 115200, so that a 4 MiB image takes under a
# minute instead of six; RUN_BAUD=115200 shows the real time, RUN_BAUD=0 does not wait at all.
baud=${RUN_BAUD:-921600}
start_indicator() {
  "$cli" sim --link "$link" --baud "$baud" --out "$work/received.BIN" "$@" \
    >"$work/indicator.log" 2>&1 &
  sim_pid=$!
  tries=0
  while [ ! -L "$link" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 50 ]; then
      echo "run-studio: the virtual indicator did not start" >&2
      exit 1
    fi
    sleep 0.1
  done
}

"$cli" project new "$project" --home "$home"

has_display() {
  [ "${QT_QPA_PLATFORM:-}" != "offscreen" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]
}

if [ -x "$studio" ] && has_display; then
  start_indicator
  echo "== tvx880-studio on $project; the virtual indicator listens on COM 1 ($link) =="
  echo "   Page 4 \"Build and upload\" builds the image and sends it; the indicator's report"
  echo "   appears here. Close the window to end."
  "$studio" --home "$home" --map "COM1=$link" --port COM1 "$project" || status=$?
  echo "== What the virtual indicator received =="
  grep -v '^packet ' "$work/indicator.log" || true
  exit "${status:-0}"

fi

if [ ! -x "$studio" ]; then
  echo "run-studio: tvx880-studio was not built (Qt 6 Widgets missing?)."
else
  echo "run-studio: no display (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot open."
fi
echo "== Headless instead: build the default project and upload it to the virtual indicator =="
start_indicator --once
# The build log without its thousand packet lines (the progress bar shows them on a terminal).
"$cli" build "$project" --home "$home" --port "$link" >"$work/build.log"
grep -v '^PacketNum=' "$work/build.log"
echo "($(grep -c '^PacketNum=' "$work/build.log") packets sent)"
wait "$sim_pid"
sim_pid=""
echo
echo "== What the virtual indicator received =="
grep -v '^packet ' "$work/indicator.log"
echo
echo "== The received image, as tvx880 inspect reads it =="
"$cli" inspect "$work/received.BIN" | head -n 24
