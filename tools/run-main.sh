#!/bin/sh
# The main job of `make run`: what a newcomer sees first.
set -eu
build_dir=${1:-build/default}
cli="$build_dir/src/cli/tvx880"

"$cli" --help
echo
echo "== The shipped settings file, as the settings store reads and writes it =="
"$cli" ini dump data/DPW880.INI
