"""Lift-state message pictures: 240 x 48, a Chinese and an English text for each state, each
in two variants (0: white text on the state's colour; 1: a longer text in the state's colour
on black inside a frame of that colour).  With the default message style the indicator
alternates the two variants of one language."""

from PIL import Image, ImageDraw

from . import fonts, paint

SIZE = (240, 48)

# (file name part, band colour, text colour on the band,
#  Chinese variant 0, Chinese variant 1, English variant 0, English variant 1)
STATES = [
    ("FIRE", (200, 16, 16), (255, 255, 255), "火警", "火警 請勿搭乘", "FIRE", "FIRE - DO NOT USE"),
    ("EARTHQUAKE", (224, 104, 0), (255, 255, 255), "地震", "地震 暫停運轉", "EARTHQUAKE",
     "EARTHQUAKE - STOPPED"),
    ("ALARM", (240, 200, 0), (0, 0, 0), "警報", "警報 請稍候", "ALARM", "ALARM - PLEASE WAIT"),
    ("PWR.FAILURE", (112, 40, 176), (255, 255, 255), "停電", "停電 緊急運轉", "POWER FAILURE",
     "EMERGENCY POWER"),
    ("OVERLOAD", (208, 24, 88), (255, 255, 255), "超載", "超載 請減少人數", "OVERLOAD",
     "OVERLOAD - PLEASE EXIT"),
    ("MAINTENANCE", (0, 96, 200), (255, 255, 255), "保養中", "保養中 暫停使用", "MAINTENANCE",
     "OUT OF SERVICE"),
    ("FULL", (216, 136, 0), (255, 255, 255), "滿載", "滿載 直駛不停", "FULL LOAD",
     "FULL - NOT STOPPING"),
    ("VIP", (176, 136, 24), (255, 255, 255), "專用", "貴賓專用", "VIP", "VIP SERVICE"),
    ("PARKING", (88, 92, 112), (255, 255, 255), "泊梯", "泊梯 停止服務", "PARKING",
     "PARKED - NO SERVICE"),
    ("IND", (0, 136, 80), (255, 255, 255), "管制", "獨立運轉", "INDEPENDENT",
     "INDEPENDENT SERVICE"),
]

LANGUAGES = ("CHT", "EG")


def file_name(state, variant, language):
    return f"{state}{variant}_{language}_240x48.bmp"


def _variant0(text, band, ink):
    darker = tuple(c * 3 // 5 for c in band)
    picture = paint.vertical_gradient(SIZE, band, darker)
    paint.draw_centered(picture, text, fonts.CJK_SANS_BOLD, (10, 6, 230, 42), ink, max_size=34)
    return picture


def _variant1(text, band):
    picture = Image.new("RGB", SIZE, (0, 0, 0))
    ImageDraw.Draw(picture).rounded_rectangle([1, 1, 238, 46], radius=8, outline=band, width=3)
    bright = tuple(min(255, c + 60) for c in band)
    paint.draw_centered(picture, text, fonts.CJK_SANS_BOLD, (12, 9, 228, 39), bright,
                        max_size=28)
    return picture


def pictures():
    """Yields (file name, picture) for all 40 messages."""
    for state, band, ink, cht0, cht1, en0, en1 in STATES:
        texts = {("CHT", 0): cht0, ("CHT", 1): cht1, ("EG", 0): en0, ("EG", 1): en1}
        for language in LANGUAGES:
            yield file_name(state, 0, language), _variant0(texts[(language, 0)], band, ink)
            yield file_name(state, 1, language), _variant1(texts[(language, 1)], band)


def render(state, variant, language):
    for name, picture in pictures():
        if name == file_name(state, variant, language):
            return picture
    raise KeyError(state)
