#!/usr/bin/python3
"""Draws the preview samples GUI_Widget_SE/ of the program home.

    style0.bmp .. style4.bmp        the up arrow (phase 1) of arrow styles 0..4, 104 x 128
    Arial_8.BMP, BorCard_8.BMP, LiChiBlack_8.BMP, LiSu_8.BMP, Impact_8.BMP
                                    "88" in floor styles 0..4 (two 40 x 80 cells), 80 x 80
    day-type1..3_240x40.bmp         the three date formats
    time-type1_240x40.bmp           the time with an English weekday
    time-type2_240x40.bmp           the time with a Chinese weekday
"""

from PIL import Image

from datagen import arrows, clock, floor
from datagen.bmp import write_bmp24
from datagen.output import fresh_folder, home_from_arguments

FONT_SAMPLES = ["Arial_8.BMP", "BorCard_8.BMP", "LiChiBlack_8.BMP", "LiSu_8.BMP",
                "Impact_8.BMP"]


def main():
    root = fresh_folder(home_from_arguments(__doc__.splitlines()[0]) / "GUI_Widget_SE")
    for style in range(arrows.STYLE_COUNT):
        write_bmp24(root / f"style{style}.bmp", arrows.render(style, "UP", 1))
    width, height = floor.CELL
    for style, name in enumerate(FONT_SAMPLES):
        eight = floor.render("8", style)
        picture = Image.new("RGB", (2 * width, height))
        picture.paste(eight, (0, 0))
        picture.paste(eight, (width, 0))
        write_bmp24(root / name, picture)
    for name, text in {**clock.DATE_SAMPLES, **clock.TIME_SAMPLES}.items():
        write_bmp24(root / name, clock.sample(text))


if __name__ == "__main__":
    main()
