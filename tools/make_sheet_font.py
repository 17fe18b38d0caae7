#!/usr/bin/python3
"""Draws the bitmap font of the resource sheet (`tvx880 inspect --sheet`) from DejaVu Sans Mono.

Every printable ASCII character, ' ' to '~', is drawn anti-aliased at 11 pixels into a cell of
WIDTH x HEIGHT pixels; each pixel is kept as a coverage from 0 (paper) to 15 (ink), one hex
digit, row by row from the top. The tool's labels then read the same on every machine, with
no font installed. Writes src/rom/sheet_font_data.cpp of this repository, or the file given as
the only argument; a rerun gives the same bytes.

Needs python3-pil and fonts-dejavu-core (tools/deps/data.txt).
"""

import sys
from pathlib import Path

from PIL import Image, ImageDraw, ImageFont

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf"
SIZE = 11
WIDTH, HEIGHT = 7, 12
TOP = 2  # rows above the tallest glyph of this size
FIRST, LAST = 0x20, 0x7E


def glyph(font, character):
    cell = Image.new("L", (WIDTH, HEIGHT), 0)
    ImageDraw.Draw(cell).text((0, -TOP), character, font=font, fill=255)
    return "".join("%X" % (value * 15 // 255) for value in cell.getdata())


def source(font):
    lines = [
        "// Made by tools/make_sheet_font.py from DejaVu Sans Mono; do not edit.",
        "#include <array>",
        "#include <string_view>",
        "",
        '#include "rom/sheet_font.h"',
        "",
        "namespace tvx {",
        "",
        "namespace {",
        "",
        "// clang-format off",
        "constexpr std::array<std::string_view, %d> kGlyphs{" % (LAST - FIRST + 1),
    ]
    for code in range(FIRST, LAST + 1):
        lines.append('    "%s",  // 0x%02X' % (glyph(font, chr(code)), code))
    lines += [
        "};",
        "// clang-format on",
        "",
        "}  // namespace",
        "",
        "int SheetGlyphCoverage(char character, int x, int y) {",
        "  const int code = static_cast<unsigned char>(character);",
        "  const int index = code >= 0x%02X && code <= 0x%02X ? code - 0x%02X : '?' - 0x%02X;"
        % (FIRST, LAST, FIRST, FIRST),
        "  if (x < 0 || x >= kSheetFontWidth || y < 0 || y >= kSheetFontHeight) {",
        "    return 0;",
        "  }",
        "  const char digit =",
        "      kGlyphs[static_cast<std::size_t>(index)][static_cast<std::size_t>(y * kSheetFontWidth + x)];",
        "  return digit <= '9' ? digit - '0' : digit - 'A' + 10;",
        "}",
        "",
        "}  // namespace tvx",
        "",
    ]
    return "\n".join(lines)


def main():
    target = Path(sys.argv[1]) if len(sys.argv) > 1 else (
        Path(__file__).resolve().parent.parent / "src" / "rom" / "sheet_font_data.cpp")
    target.write_text(source(ImageFont.truetype(FONT, SIZE)), encoding="ascii")


if __name__ == "__main__":
    main()
