#!/usr/bin/python3
"""Draws the default picture tree DefaultImageR1/ of the program home.

    LiftState/<STATE><v>_<CHT|EG>_240x48.bmp       40 lift-state messages
    UserDefine/DateTime/EN/<DAY|MON>_EN_80x40.bmp   weekdays and months in English
    UserDefine/DateTime/CHT/<DAY>_CHT_80x40.bmp     weekdays in Chinese (months fall back to EN)
    UserDefine/Floor/Style0..4/0x<HH>.bmp           40 x 80 floor characters 0-9, A-Z, "-"
    UserDefine/Floor/Style0..4/<NAME>.bmp           80 x 80 floor names (LOBBY, MEZZ, ROOF)
    UserDefine/DIR/Style0..4/DIR_<UP|DN><0|1>_104x128.bmp   arrows, two phases each
    Background/V/*_240x320.bmp, Background/H/*_320x240.bmp  backgrounds

Every picture is a 24-bit bottom-up BMP whose width is a multiple of 4.
"""

from datagen import arrows, backgrounds, dates, floor, liftstate
from datagen.bmp import write_bmp24
from datagen.output import fresh_folder, home_from_arguments


def main():
    root = fresh_folder(home_from_arguments(__doc__.splitlines()[0]) / "DefaultImageR1")

    for name, picture in liftstate.pictures():
        write_bmp24(root / "LiftState" / name, picture)

    date_time = root / "UserDefine" / "DateTime"
    for name, picture in dates.english():
        write_bmp24(date_time / "EN" / name, picture)
    for name, picture in dates.chinese():
        write_bmp24(date_time / "CHT" / name, picture)

    for style in range(len(floor.STYLES)):
        folder = root / "UserDefine" / "Floor" / floor.style_folder(style)
        for ch in floor.CHARACTERS:
            write_bmp24(folder / floor.character_file(ch), floor.render(ch, style))
        for name in floor.FLOOR_NAMES:
            write_bmp24(folder / f"{name}.bmp", floor.render_name(name, style))

    for style in range(arrows.STYLE_COUNT):
        folder = root / "UserDefine" / "DIR" / f"Style{style}"
        for (direction, phase), name in arrows.FILES.items():
            write_bmp24(folder / name, arrows.render(style, direction, phase))

    for size, folder in ((backgrounds.VERTICAL, "V"), (backgrounds.HORIZONTAL, "H")):
        for name, picture in backgrounds.pictures(size):
            write_bmp24(root / "Background" / folder / name, picture)


if __name__ == "__main__":
    main()
