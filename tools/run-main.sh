#!/bin/sh
# The headless main job: the shipped default project is built into a ROM image and uploaded to
# a virtual indicator on a pseudo-terminal, then the image is inspected.
set -eu
build_dir=${1:-build/default}
cli="$build_dir/src/cli/tvx880"
home=data

scratch=$(mktemp -d "${TMPDIR:-/tmp}/tvx880-run.XXXXXX")
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

echo "== A new project with the shipped defaults: $scratch/default.ql3"
"$cli" project new "$scratch/default.ql3" --home "$home"

echo "== A virtual indicator listens on $scratch/indicator"
"$cli" sim --link "$scratch/indicator" --baud 0 --once --out "$scratch/received.BIN" \
  > "$scratch/indicator.log" 2>&1 &
sim_pid=$!
tries=0
while [ ! -e "$scratch/indicator" ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done

echo "== Build and upload"
"$cli" build "$scratch/default.ql3" --home "$home" --port "$scratch/indicator"
wait "$sim_pid"
sim_pid=""
tail -n 3 "$scratch/indicator.log"

echo "== The ROM image, read back"
"$cli" inspect "$scratch/default.BIN" | head -n 40
if cmp -s "$scratch/default.BIN" "$scratch/received.BIN"; then
  echo "The indicator received the image byte for byte."
else
  echo "The image the indicator received differs from the one built." >&2
  exit 1
fi
