"""Weekday and month pictures (80 x 40) of the date and time display, and the date and time
samples of the preview."""

from PIL import Image

from . import fonts, paint

SIZE = (80, 40)
DAYS = ["MON", "TUE", "WED", "THU", "FRI", "SAT", "SUN"]
MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]
CHINESE_DAYS = ["星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "星期日"]

INK = (255, 255, 255)


def file_name(part, language):
    return f"{part}_{language}_80x40.bmp"


BOX = (4, 6, 76, 34)


def _common_size(texts, typeface):
    """One font size for a whole set, so that all its words look alike."""
    return min(paint.fit_size(t, typeface, BOX[2] - BOX[0], BOX[3] - BOX[1], 30) for t in texts)


def word_picture(text, typeface, size, reference):
    picture = Image.new("RGB", SIZE, (0, 0, 0))
    paint.draw_centered(picture, text, typeface, BOX, INK, max_size=size, reference=reference)
    return picture


def english():
    """(file name, picture) of the weekdays and months of the "EN" folder."""
    size = _common_size(DAYS + MONTHS, fonts.SANS_BOLD)
    for part in DAYS + MONTHS:
        yield file_name(part, "EN"), word_picture(part, fonts.SANS_BOLD, size, "HOX")


def chinese():
    """(file name, picture) of the "CHT" folder: weekdays only, months fall back to "EN"."""
    size = _common_size(CHINESE_DAYS, fonts.CJK_SANS_BOLD)
    for part, text in zip(DAYS, CHINESE_DAYS):
        yield file_name(part, "CHT"), word_picture(text, fonts.CJK_SANS_BOLD, size,
                                                   "星期一")
