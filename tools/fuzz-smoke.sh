#!/bin/sh
# Runs every libFuzzer target of a fuzz build for a few seconds, each on a scratch copy of its
# seed corpus (fuzz/corpus/<name>/ when there is one), and fails on the first finding.
set -eu
build_dir=${1:-build/fuzz}
seconds=${2:-20}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tvx880-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

for target in "$build_dir"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$scratch/$name"
  mkdir -p "$corpus"
  seeds="fuzz/corpus/${name%_fuzz}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus"/
  printf '%-24s ' "$name"
  if "$target" -max_total_time="$seconds" -artifact_prefix="$scratch/$name-" "$corpus" \
      > "$scratch/$name.log" 2>&1; then
    grep -Eo 'Done [0-9]+ runs' "$scratch/$name.log" || echo done
  else
    echo "FOUND A FAULT"
    tail -n 40 "$scratch/$name.log"
    exit 1
  fi
done
