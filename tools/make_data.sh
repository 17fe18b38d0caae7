#!/bin/sh
# Regenerates the program home in data/ (or in the folder given): the picture catalogue, the
# preview samples, the picture library and the settings file.  The output depends only on
# these scripts and the installed fonts (tools/deps/data.txt), so a rerun gives the same bytes.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
home=${1:-$here/../data}
# Debian's interpreter, which has python3-pil; a python3 earlier on PATH may lack it.
python=${PYTHON:-/usr/bin/python3}
export PYTHONDONTWRITEBYTECODE=1

cd "$here"
"$python" make_catalogue.py "$home"
"$python" make_samples.py "$home"
"$python" make_library.py "$home"
"$python" make_settings.py "$home"
