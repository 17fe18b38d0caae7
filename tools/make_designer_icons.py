#!/usr/bin/python3
"""Draws the widget box icons of the browsing controls' Qt Designer plugin.

    TYListBox.png           a list of pushed buttons with check boxes, one checked
    TYDriveComboBox.png     a drive combo box dropped open on two drives
    TYDirectoryListBox.png  open folders down to the current one, a closed one inside
    TYFileListBox.png       files with their page icons, one selected

Each is 24 x 24 pixels in the 16 colours of the controls' own glyphs, drawn pixel by pixel
so that it stays sharp at the size the widget box shows. Writes into src/ui/designer/icons/
of this repository, or into the folder given as the only argument.
"""

import sys
from pathlib import Path

from PIL import Image, ImageDraw

SIZE = 24
BLACK = (0, 0, 0, 255)
GREY = (128, 128, 128, 255)
SILVER = (192, 192, 192, 255)
WHITE = (255, 255, 255, 255)
NAVY = (0, 0, 128, 255)
PURPLE = (128, 0, 128, 255)
CYAN = (0, 255, 255, 255)
RED = (255, 0, 0, 255)
GREEN = (0, 160, 0, 255)
YELLOW = (255, 255, 0, 255)
OLIVE = (128, 128, 0, 255)

ROWS = (2, 9, 16)  # tops of the three 7-pixel rows inside a list frame
ROW = 7


def list_frame(draw):
    """A sunken list box: grey and black edges above and left, white inside."""
    draw.rectangle((0, 0, SIZE - 1, SIZE - 1), fill=WHITE, outline=GREY)
    draw.line((1, 1, SIZE - 2, 1), fill=BLACK)
    draw.line((1, 1, 1, SIZE - 2), fill=BLACK)


def text_line(draw, left, top, right, colour=GREY):
    draw.line((left, top, right, top), fill=colour)


def selected_row(draw, top):
    draw.rectangle((2, top, SIZE - 2, top + ROW - 1), fill=NAVY)


def list_box(draw):
    list_frame(draw)
    for index, top in enumerate(ROWS):
        bottom = top + ROW - 2  # a white gap below each button
        draw.rectangle((2, top, SIZE - 2, bottom), fill=SILVER)
        draw.line((2, top, SIZE - 2, top), fill=GREY)  # pushed: shadow above and left
        draw.line((2, top, 2, bottom), fill=GREY)
        draw.rectangle((4, top, 9, bottom), outline=PURPLE, fill=CYAN if index == 1 else WHITE)
        text_line(draw, 12, top + 3, SIZE - 5, BLACK)
    top = ROWS[1]
    draw.line([(5, top + 2), (6, top + 3), (8, top + 1)], fill=RED)  # the check mark
    draw.line([(5, top + 3), (6, top + 4), (8, top + 2)], fill=RED)


def drive(draw, left, top, selected=False):
    """A 7 x 4 hard disk with its green lamp."""
    draw.rectangle((left, top, left + 6, top + 3), fill=SILVER, outline=BLACK)
    draw.point((left + 5, top + 2), fill=GREEN)
    text_line(draw, left + 9, top + 2, SIZE - 4, WHITE if selected else GREY)


def drive_combo_box(draw):
    draw.rectangle((0, 0, SIZE - 1, 9), fill=WHITE, outline=GREY)  # the edit field
    draw.line((1, 1, SIZE - 9, 1), fill=BLACK)
    draw.line((1, 1, 1, 8), fill=BLACK)
    drive(draw, 3, 3)
    draw.rectangle((SIZE - 8, 1, SIZE - 2, 8), fill=SILVER, outline=GREY)  # the button
    draw.polygon([(SIZE - 7, 4), (SIZE - 3, 4), (SIZE - 5, 6)], fill=BLACK)
    draw.rectangle((0, 10, SIZE - 1, SIZE - 1), fill=WHITE, outline=BLACK)  # the drop-down list
    draw.rectangle((1, 11, SIZE - 2, 16), fill=NAVY)
    drive(draw, 3, 12, selected=True)
    drive(draw, 3, 18)


def folder(draw, left, top):
    """A 7 x 6 yellow folder with its tab."""
    draw.rectangle((left, top + 1, left + 6, top + 5), fill=YELLOW, outline=OLIVE)
    draw.line((left + 1, top, left + 3, top), fill=OLIVE)


def directory_list_box(draw):
    list_frame(draw)
    for level, top in enumerate(ROWS):
        left = 3 + 3 * level
        if level == 1:
            selected_row(draw, top)
        folder(draw, left, top)
        text_line(draw, left + 9, top + 3, SIZE - 4, WHITE if level == 1 else GREY)


def page(draw, left, top):
    """A 5 x 7 page with its top right corner folded."""
    draw.polygon([(left, top), (left + 3, top), (left + 4, top + 1), (left + 4, top + 6),
                  (left, top + 6)], fill=WHITE, outline=GREY)
    draw.point((left + 3, top + 1), fill=GREY)


def file_list_box(draw):
    list_frame(draw)
    for index, top in enumerate(ROWS):
        if index == 1:
            selected_row(draw, top)
        page(draw, 4, top)
        text_line(draw, 11, top + 3, SIZE - 4 - 3 * (index % 2), WHITE if index == 1 else GREY)


ICONS = {
    "TYListBox": list_box,
    "TYDriveComboBox": drive_combo_box,
    "TYDirectoryListBox": directory_list_box,
    "TYFileListBox": file_list_box,
}


def main():
    if len(sys.argv) > 1:
        folder_out = Path(sys.argv[1])
    else:
        folder_out = Path(__file__).resolve().parent.parent / "src" / "ui" / "designer" / "icons"
    folder_out.mkdir(parents=True, exist_ok=True)
    for name, paint in ICONS.items():
        picture = Image.new("RGBA", (SIZE, SIZE), (0, 0, 0, 0))
        paint(ImageDraw.Draw(picture))
        picture.save(folder_out / f"{name}.png", optimize=True)


if __name__ == "__main__":
    main()
