#!/usr/bin/python3
"""Builds the picture library T880_PCGLB.GLB of the program home from our own pictures.

Layout of the library file (all numbers big-endian):

    offset 0       8 bytes   "KWXGLB2B": a tag for people; the tool does not look at it
    offset 8   16384 bytes   directory of 8 banks x 256 slots; the entry of bank b, slot n
                             lies at 8 + (b * 256 + n) * 8 and holds the offset of the
                             resource from the start of the file (u32) and its size (u32);
                             an empty slot is 0, 0
    offset 16392             the resources, back to back in bank and slot order, no padding

The build copies a library resource into the indicator's GLB unchanged (only its "BM" tag is
replaced there), so each resource is stored exactly as the build's truncating converter
stores a picture: a 16-bit bottom-up BMP with 5-6-5 bit-field masks and a 66-byte prefix.

Only bank 0 is used.  Slot assignment, chosen for this tool:

    47 .. 56    clock characters "0" .. "9" (20 x 32), build slots 47 .. 56
    57, 58      clock characters ":" and "/" (20 x 32)
    123 .. 125  clock characters "年", "月", "日" (32 x 32) for the Chinese date format
    126         an empty clock cell (20 x 32), for a blinking colon or a blank digit
    255         the picture shown while no floor signal arrives (240 x 48)
    protocol resources, one per controller protocol and memory size (120 x 24, the
    protocol's name and size on a badge); the build copies the one the settings select:
        32 Mb: STEP 98, XMHK 99, KWXRS 100, YIHER 107, CCI 108, XMHK64 111, KWXPS 117,
               TDBIN 118, FRONTIER 136
        64 Mb: KWXRS 128, STEP 129, XMHK 130, XMHK64 131, CCI 132, YIHER 133, KWXPS 134,
               TDBIN 135, FRONTIER 137
    (98 and 129 also serve the build when the settings name no known protocol.)

Run `make_library.py [HOME]` to rewrite HOME/T880_PCGLB.GLB (default data/), or
`make_library.py --list FILE` to print the directory of a library file.
"""

import struct
import sys
from pathlib import Path

from PIL import Image

from datagen import clock, fonts, paint
from datagen.bmp import bmp565_bytes, write_bytes
from datagen.output import home_from_arguments

TAG = b"KWXGLB2B"
BANKS, SLOTS, ENTRY = 8, 256, 8
DATA_START = 8 + BANKS * SLOTS * ENTRY

# name: (32 Mb slot, 64 Mb slot), in the order of the settings' protocol table.
PROTOCOLS = {
    "STEP": (98, 129), "XMHK": (99, 130), "KWXRS": (100, 128), "KWXPS": (117, 134),
    "TDBIN": (118, 135), "YIHER": (107, 133), "CCI": (108, 132), "XMHK64": (111, 131),
    "FRONTIER": (136, 137),
}
CLOCK_SLOTS = {47 + d: str(d) for d in range(10)}
CLOCK_SLOTS.update({57: ":", 58: "/", 123: "年", 124: "月", 125: "日", 126: " "})
NO_SIGNAL_SLOT = 255


def protocol_badge(name, memory):
    picture = Image.new("RGB", (120, 24), (0, 48, 112))
    paint.draw_centered(picture, f"{name} {memory}", fonts.SANS_BOLD, (4, 3, 116, 21),
                        (255, 255, 255), max_size=16)
    return picture


def no_signal():
    picture = paint.vertical_gradient((240, 48), (64, 64, 72), (24, 24, 28))
    paint.draw_centered(picture, "通訊中斷  NO SIGNAL", fonts.CJK_SANS_BOLD, (8, 8, 232, 40),
                        (255, 220, 0), max_size=28)
    return picture


def resources():
    """Bank 0 slot number -> picture."""
    pictures = {slot: clock.character(ch) for slot, ch in CLOCK_SLOTS.items()}
    for name, (slot32, slot64) in PROTOCOLS.items():
        pictures[slot32] = protocol_badge(name, "32M")
        pictures[slot64] = protocol_badge(name, "64M")
    pictures[NO_SIGNAL_SLOT] = no_signal()
    return pictures


def library_bytes(bank0):
    directory = bytearray(BANKS * SLOTS * ENTRY)
    data = bytearray()
    for slot in sorted(bank0):
        blob = bank0[slot]
        struct.pack_into(">II", directory, slot * ENTRY, DATA_START + len(data), len(blob))
        data += blob
    return TAG + bytes(directory) + bytes(data)


def list_library(path):
    image = Path(path).read_bytes()
    for index in range(BANKS * SLOTS):
        offset, size = struct.unpack_from(">II", image, 8 + index * ENTRY)
        if size:
            width, height = struct.unpack_from("<ii", image, offset + 18)
            print(f"bank {index // SLOTS} slot {index % SLOTS:3d}: offset {offset:6d} "
                  f"size {size:5d}  {width} x {height}")


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--list":
        list_library(sys.argv[2])
        return
    home = home_from_arguments(__doc__.splitlines()[0])
    bank0 = {slot: bmp565_bytes(picture) for slot, picture in resources().items()}
    write_bytes(home / "T880_PCGLB.GLB", library_bytes(bank0))


if __name__ == "__main__":
    main()
