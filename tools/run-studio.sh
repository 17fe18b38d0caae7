#!/bin/sh
# `make run`: the window on the shipped default project, ready to build and upload to a virtual
# indicator started beside it on a pseudo-terminal (the window offers it as "COM 1"). Without a
# display, or without the window program, it says so and runs the headless demo instead
# (tools/run-main.sh: the same build and upload through the command-line tool).
set -eu
build_dir=${1:-build/default}
cli="$build_dir/src/cli/tvx880"
studio="$build_dir/src/ui/tvx880-studio"
home="$(pwd)/data"

if [ ! -x "$studio" ]; then
  echo "run-studio: $studio was not built (Qt 6 Widgets missing?); running the headless demo."
  exec "$(dirname "$0")/run-main.sh" "$build_dir"
fi
if [ "${QT_QPA_PLATFORM:-}" = "offscreen" ] || [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "run-studio: no display (DISPLAY and WAYLAND_DISPLAY are empty), so the window cannot"
  echo "open; running the headless demo instead."
  exec "$(dirname "$0")/run-main.sh" "$build_dir"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tvx880-run.XXXXXX")
link="$work/indicator"
project="$work/default.ql3"
sim_pid=""
cleanup() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

"$cli" project new "$project" --home "$home"

# The virtual indicator checks every packet of every transfer until the window closes. It reads
# at the pace of a line of RUN_BAUD baud: 921600 by default, eight times the indicator's 115200,
# so that the 4 MiB image goes in under a minute instead of six; RUN_BAUD=115200 shows the
# real time, RUN_BAUD=0 does not wait at all.
"$cli" sim --link "$link" --baud "${RUN_BAUD:-921600}" --out "$work/received.BIN" \
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

echo "== tvx880-studio on $project"
echo "   The virtual indicator listens on COM 1 ($link)."
echo "   Page 4, \"Build and upload\": the project is saved where you say, built and sent."
echo "   Close the window to end; what the indicator received is shown then."
status=0
"$studio" --home "$home" --map "COM1=$link" --port COM1 "$project" || status=$?
echo "== What the virtual indicator received =="
grep -v '^packet ' "$work/indicator.log" || true
exit "$status"
