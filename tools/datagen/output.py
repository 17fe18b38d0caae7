"""Where the generators write: the repository's data/ folder unless a folder is given."""

import argparse
import shutil
from pathlib import Path

REPO = Path(__file__).resolve().parent.parent.parent


def home_from_arguments(description):
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("home", nargs="?", type=Path, default=REPO / "data",
                        help="program home to write into (default: data/ of the repository)")
    return parser.parse_args().home


def fresh_folder(path):
    """Empties a folder the generator owns, so no picture of an earlier run stays behind."""
    if path.exists():
        shutil.rmtree(path)
    path.mkdir(parents=True)
    return path
