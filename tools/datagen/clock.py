"""Characters of the indicator's own date and time display, and the preview samples of the
date and time formats."""

from PIL import Image, ImageDraw

from . import fonts, paint

DIGIT_SIZE = (20, 32)
WIDE_SIZE = (32, 32)
INK = (255, 255, 255)
TYPEFACE = fonts.CJK_SANS_BOLD


def character(ch):
    """One character of the clock: digits, ":", "/" and " " are 20 x 32; "年", "月", "日"
    are 32 x 32.  All share one font size and baseline."""
    size = WIDE_SIZE if ord(ch) > 0x7F else DIGIT_SIZE
    picture = Image.new("RGB", size, (0, 0, 0))
    if ch != " ":
        face = fonts.font(TYPEFACE, 28 if ord(ch) > 0x7F else 30)
        left, _, right, _ = face.getbbox(ch, anchor="ls")
        x = round(size[0] / 2 - (left + right) / 2)
        ImageDraw.Draw(picture).text((x, 27), ch, font=face, fill=INK, anchor="ls")
    return picture


SAMPLE_SIZE = (240, 40)
# A fixed day (Tuesday 23 October 2012) so the samples never change between runs.
DATE_SAMPLES = {
    "day-type1_240x40.bmp": "2012 / 10 / 23",
    "day-type2_240x40.bmp": "23 OCT 2012",
    "day-type3_240x40.bmp": "2012年10月23日",
}
TIME_SAMPLES = {
    "time-type1_240x40.bmp": "TUE 14:05",
    "time-type2_240x40.bmp": "星期二 14:05",
}


def sample(text):
    picture = Image.new("RGB", SAMPLE_SIZE, (0, 0, 0))
    paint.draw_centered(picture, text, TYPEFACE, (6, 4, 234, 36), INK, max_size=30)
    return picture
