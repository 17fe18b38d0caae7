"""Floor-digit styles: one picture per character, and whole-word pictures for floor names.

A character cell is 40 x 80: two cells side by side (80 x 80) make a two-character floor that
fits under the 104 x 128 arrow of the vertical screen together with the time and date rows.
Every character of a style shares one baseline and one cap height; a character too wide for
the cell is squeezed horizontally, like a condensed face.
"""

from PIL import Image, ImageDraw

from . import fonts, paint

CELL = (40, 80)
CAP_HEIGHT = 64
BASELINE = 72
MAX_INK_WIDTH = 37

NAME_CELL = (80, 80)
NAME_CAP_HEIGHT = 34
NAME_BASELINE = 57
NAME_MAX_INK_WIDTH = 76

CHARACTERS = [chr(c) for c in range(ord("0"), ord("9") + 1)] + \
             [chr(c) for c in range(ord("A"), ord("Z") + 1)] + ["-"]
FLOOR_NAMES = ["LOBBY", "MEZZ", "ROOF"]

BLACK = (0, 0, 0)

# Five looks that differ in face, colour and outline; Style0 is plain white so that the floor
# colour of a new project (white) matches it.
STYLES = [
    {"font": fonts.SANS_BOLD, "fill": ((255, 255, 255), (255, 255, 255)), "stroke": 0},
    {"font": fonts.SANS_BOLD, "fill": ((0, 40, 88), (0, 40, 88)), "stroke": 3,
     "stroke_fill": (0, 224, 255)},
    {"font": fonts.CJK_SANS_BOLD, "fill": ((255, 184, 0), (255, 184, 0)), "stroke": 0},
    {"font": fonts.CJK_SERIF_BOLD, "fill": ((120, 255, 140), (120, 255, 140)), "stroke": 0},
    {"font": fonts.SANS_CONDENSED_BOLD, "fill": ((255, 240, 0), (255, 40, 0)), "stroke": 2,
     "stroke_fill": (90, 0, 0)},
]


def style_folder(index):
    return f"Style{index}"


def character_file(ch):
    return f"0x{ord(ch):02X}.bmp"


def _size_for_cap(typeface, cap):
    size = cap
    while fonts.font(typeface, size + 1).getbbox("H", anchor="ls")[1] >= -cap:
        size += 1
    return size


def _masks(text, style, cap, baseline, height, max_width):
    """Stroke-and-fill mask and fill-only mask, cropped to the ink's columns and to the cell's
    rows with the baseline at `baseline`."""
    stroke = style["stroke"]
    size = _size_for_cap(style["font"], cap - 2 * stroke)
    face = fonts.font(style["font"], size)
    left, _, right, _ = face.getbbox(text, anchor="ls", stroke_width=stroke)
    pad = 4 + stroke
    canvas = (right - left + 2 * pad, 2 * height)
    origin = (pad - left, baseline)
    masks = []
    for width in (stroke, 0):
        mask = Image.new("L", canvas, 0)
        ImageDraw.Draw(mask).text(origin, text, font=face, fill=255, anchor="ls",
                                  stroke_width=width, stroke_fill=255)
        masks.append(mask)
    box = masks[0].getbbox()
    # A descender that would leave the cell (J, Q) is pulled up by shrinking the glyph's
    # height a little instead of being cut off.
    bottom = max(height, box[3] + 1)
    masks = [m.crop((box[0], 0, box[2], bottom)) for m in masks]
    width = min(masks[0].width, max_width)
    if width != masks[0].width or bottom != height:
        masks = [m.resize((width, height), Image.Resampling.LANCZOS) for m in masks]
    return masks


def render(text, style_index, cell=CELL, cap=CAP_HEIGHT, baseline=BASELINE,
           max_width=MAX_INK_WIDTH):
    style = STYLES[style_index]
    width, height = cell
    full, fill = _masks(text, style, cap, baseline, height, max_width)
    x = (width - full.width) // 2
    picture = Image.new("RGB", cell, BLACK)
    if style["stroke"]:
        outline = Image.new("RGB", full.size, style["stroke_fill"])
        picture.paste(outline, (x, 0), full)
    colours = paint.vertical_gradient(cell, *style["fill"]).crop((x, 0, x + full.width, height))
    picture.paste(colours, (x, 0), fill)
    return picture


def render_name(text, style_index):
    return render(text, style_index, NAME_CELL, NAME_CAP_HEIGHT, NAME_BASELINE, NAME_MAX_INK_WIDTH)
