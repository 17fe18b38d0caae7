#!/bin/sh
# Writes the pictures and the small picture library that the ROM image tests build from. The
# pictures are 24-bit BMPs written by ImageMagick's convert (Debian package imagemagick), the
# way pictures from paint programs reach the tool; the library is written by Python in the
# library's own layout (tools/make_library.py describes it).
#   sh tests/data/rom/make_rom_fixtures.sh
set -eu
cd "$(dirname "$0")"
mkdir -p pictures

# A gradient picture: size, start colour, end colour, output.
gradient() {
  convert -size "$1" "gradient:$2-$3" -type TrueColor "BMP3:pictures/$4"
}
# A plain picture with a corner mark, so that row order shows: size, colour, output.
marked() {
  convert -size "$1" "xc:$2" -fill white -draw 'point 0,0' -type TrueColor "BMP3:pictures/$3"
}

gradient 12x16 '#ff0000' '#200000' arrow_up0.bmp
gradient 12x16 '#ff8000' '#202000' arrow_up1.bmp
gradient 12x16 '#0000ff' '#000020' arrow_dn0.bmp
gradient 12x16 '#00ffff' '#002020' arrow_dn1.bmp
for digit in 0 1 2 3 4 5 6 7 8 9; do
  marked 8x10 "rgb(${digit}0,$((250 - digit * 20)),128)" "digit_$digit.bmp"
done
marked 8x10 '#40c040' letter_S.bmp
marked 8x10 '#c04040' letter_B.bmp
gradient 24x10 '#ffff00' '#004000' lobby.bmp
marked 16x6 '#804020' message.bmp
marked 8x4 '#102030' date.bmp
gradient 20x12 '#ffffff' '#000000' logo.bmp
# An odd width, which the truncating converter refuses.
marked 7x10 '#808080' odd_width.bmp
# Backgrounds go through error diffusion: smooth gradients show it best.
gradient 24x32 '#3060ff' '#ff6030' background_v1.bmp
gradient 24x32 '#00ff80' '#400080' background_v2.bmp
gradient 32x24 '#ffe000' '#0020ff' background_h1.bmp

python3 - <<'PY'
import struct

# Bank 0 of the library: slots 47..58, 123..125, 255 and the KWXPS protocol resources 117 (32 Mb)
# and 134 (64 Mb). Slot 126 is left empty on purpose. Most resources are short 16-bit BMPs
# (their "BM" tag is replaced in the ROM image); slot 255 is raw bytes without a tag.
def resource(slot):
    if slot == 255:
        return bytes((slot * 7 + i) & 0xFF for i in range(40))
    pixels = bytes((slot + i) & 0xFF for i in range(2 * 4 * 2))
    header = b"BM" + struct.pack("<IHHI", 66 + len(pixels), 0, 0, 66)
    info = struct.pack("<IiiHHIIiiII", 40, 4, 2, 1, 16, 3, len(pixels), 0, 0, 0, 0)
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    return header + info + masks + pixels

slots = list(range(47, 59)) + [117, 123, 124, 125, 134, 255]
directory = bytearray(8 * 256 * 8)
data = bytearray()
for slot in slots:
    blob = resource(slot)
    struct.pack_into(">II", directory, slot * 8, 16392 + len(data), len(blob))
    data += blob
with open("library.glb", "wb") as out:
    out.write(b"KWXGLB2B" + bytes(directory) + bytes(data))
PY
