"""The free fonts the pictures are drawn with (Debian: fonts-dejavu-*, fonts-noto-cjk).

Text is laid out with FreeType's basic layout so the pictures come out the same whether or not
the shaping library is installed.
"""

from functools import lru_cache
from pathlib import Path

from PIL import ImageFont

_DEJAVU = Path("/usr/share/fonts/truetype/dejavu")
_NOTO_CJK = Path("/usr/share/fonts/opentype/noto")

SANS_BOLD = (_DEJAVU / "DejaVuSans-Bold.ttf", None)
SANS_CONDENSED_BOLD = (_DEJAVU / "DejaVuSansCondensed-Bold.ttf", None)
SERIF_BOLD = (_DEJAVU / "DejaVuSerif-Bold.ttf", None)
# Traditional Chinese faces of the CJK collections, picked by family name.
CJK_SANS_BOLD = (_NOTO_CJK / "NotoSansCJK-Bold.ttc", "Noto Sans CJK TC")
CJK_SANS = (_NOTO_CJK / "NotoSansCJK-Regular.ttc", "Noto Sans CJK TC")
CJK_SERIF_BOLD = (_NOTO_CJK / "NotoSerifCJK-Bold.ttc", "Noto Serif CJK TC")


@lru_cache(maxsize=None)
def _face_index(path, family):
    if family is None:
        return 0
    for index in range(32):
        try:
            face = ImageFont.truetype(str(path), 12, index=index)
        except OSError:
            break
        if face.getname()[0] == family:
            return index
    raise SystemExit(f"{path}: no face named '{family}' (install fonts-noto-cjk)")


@lru_cache(maxsize=None)
def font(typeface, size):
    path, family = typeface
    if not path.exists():
        raise SystemExit(f"font {path} is missing (install the packages of tools/deps/data.txt)")
    return ImageFont.truetype(str(path), size, index=_face_index(path, family),
                              layout_engine=ImageFont.Layout.BASIC)
