#!/usr/bin/env python3
"""Writes the malformed BMP files of this folder and expected.txt.

Each line of expected.txt: file name, the text ReadBmp refuses it with, the reason the
truncating converter refuses it with (fields separated by " | "). Run from anywhere:
    python3 tests/data/image/malformed/make_malformed.py
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

SIZE_RULE = ("bmpInfo.biSizeImage == bmFileHeader.bfSize - bmpInfo.biSize - "
             "sizeof(bmFileHeader) - 2")
READ = "TFileInputStream::read ERROR!"


def bmp(width=4, height=2, bits=24, planes=1, compression=0, info_size=40, size_image=None,
        clr_used=0, bf_size=None, off_bits=None, extra=b"", pixels=None, tag=b"BM"):
    stride = (bits * abs(width) + 31) // 32 * 4 if width > 0 else 0
    if pixels is None:
        pixels = bytes((i * 7) & 0xFF for i in range(stride * abs(height)))
    if size_image is None:
        size_image = len(pixels)
    info = struct.pack("<IiiHHIIiiII", info_size, width, height, planes, bits, compression,
                       size_image, 2835, 2835, clr_used, 0)
    info = info[:info_size].ljust(info_size, b"\0")
    if off_bits is None:
        off_bits = 14 + info_size + len(extra)
    if bf_size is None:
        bf_size = (14 + info_size + size_image) & 0xFFFFFFFF
    return tag + struct.pack("<III", bf_size, 0, off_bits) + info + extra + pixels


CASES = [
    ("empty.bmp", b"", 'bmp file "BM" tag error!', READ),
    ("tag_only.bmp", b"BM", READ, READ),
    ("wrong_tag.bmp", bmp(tag=b"PK"), 'bmp file "BM" tag error!', 'bmp file "BM" tag error!'),
    ("header_cut.bmp", bmp()[:30], READ, READ),
    ("info_size_zero.bmp", bmp(info_size=40)[:14] + struct.pack("<I", 0) + bmp()[18:],
     "bmpInfo.biSize >= 4", "bmpInfo.biSize==40 || bmpInfo.biSize==12"),
    ("info_size_huge.bmp", bmp()[:14] + struct.pack("<I", 0xFFFFFFF0) + bmp()[18:],
     "TFileInputStream::skip ERROR!", "bmpInfo.biSize==40 || bmpInfo.biSize==12"),
    ("version5_cut.bmp", bmp(info_size=124)[:100], "TFileInputStream::skip ERROR!",
     "bmpInfo.biSize==40 || bmpInfo.biSize==12"),
    ("width_100000.bmp", bmp(width=100000, height=100000, size_image=0x10000000, pixels=b"\0" * 64),
     "bmpInfo.biWidth <= 32767", "bmpInfo.biWidth <= 32767"),
    ("height_100000.bmp", bmp(width=2, height=-100000, size_image=0x10000000, pixels=b"\0" * 64),
     "abs(bmpInfo.biHeight) <= 32767", "abs(bmpInfo.biHeight) <= 32767"),
    ("height_int_min.bmp", bmp(width=2, height=-0x80000000, size_image=0, pixels=b"\0" * 64),
     "abs(bmpInfo.biHeight) <= 32767", "abs(bmpInfo.biHeight) <= 32767"),
    ("pixel_count_overflow.bmp",
     bmp(width=32766, height=32767, size_image=0xFFFFFF00, pixels=b"\0" * 64),
     "bmpInfo.biWidth * abs(bmpInfo.biHeight) <= 0x4000000",
     "bmpInfo.biWidth * abs(bmpInfo.biHeight) <= 0x4000000"),
    ("width_zero.bmp", bmp(width=0, size_image=0, pixels=b""), "bmpInfo.biWidth > 0",
     "bmpInfo.biWidth > 0"),
    ("width_negative.bmp", bmp(width=-4, size_image=24, pixels=b"\0" * 24),
     "bmpInfo.biWidth > 0", "bmpInfo.biWidth > 0"),
    ("height_zero.bmp", bmp(height=0), "bmpInfo.biHeight != 0", "bmpInfo.biHeight != 0"),
    ("offbits_past_end.bmp", bmp(off_bits=0x7FFFFFFF),
     "bmFileHeader.bfOffBits + bmpInfo.biSizeImage <= file size",
     "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size"),
    ("offbits_in_header.bmp", bmp(off_bits=10), "bmFileHeader.bfOffBits >= stream.Position()",
     "bmFileHeader.bfOffBits >= 14 + bmpInfo.biSize"),
    ("pixels_cut.bmp", bmp(width=8, height=8)[:54 + 100],
     "bmFileHeader.bfOffBits + bmpInfo.biSizeImage <= file size",
     "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size"),
    ("size_image_short.bmp", bmp(width=8, height=8, size_image=48, pixels=b"\x55" * 48),
     "bmpInfo.biSizeImage >= stride * (abs(bmpInfo.biHeight) - 1) + rowBytes",
     "bmFileHeader.bfOffBits + stride * abs(bmpInfo.biHeight) <= file size"),
    ("palette_entries_100000.bmp", bmp(bits=8, clr_used=100000),
     "bmpInfo.biClrUsed <= 256", "bmpInfo.biBitCount==24"),
    ("palette_past_end.bmp", bmp(bits=8, clr_used=256, extra=b"\x10" * 40, pixels=b""),
     READ, "bmpInfo.biBitCount==24"),
    ("masks_past_end.bmp", bmp(bits=16, compression=3, pixels=b"\0\0\0\0"),
     READ, "bmpInfo.biBitCount==24"),
    ("rgb666_in_16_bits.bmp",
     bmp(bits=16, compression=3, extra=struct.pack("<III", 0, 0x0FC0, 0)),
     "bmpInfo.biSizeImage >= stride * (abs(bmpInfo.biHeight) - 1) + rowBytes",
     "bmpInfo.biBitCount==24"),
    ("rle8.bmp", bmp(bits=8, compression=1, clr_used=2, extra=b"\0" * 8, size_image=8,
                     pixels=b"\x04\x01\0\0\x04\x00\0\1"),
     "bmpInfo.biCompression!=csBI_RLE8", "bmpInfo.biBitCount==24"),
    ("rle4.bmp", bmp(bits=4, compression=2, clr_used=2, extra=b"\0" * 8),
     "bmpInfo.biCompression!=csBI_RLE4", "bmpInfo.biBitCount==24"),
    ("two_bits.bmp", bmp(bits=2, clr_used=4, extra=b"\0" * 16), "false", "bmpInfo.biBitCount==24"),
    ("zero_bits.bmp", bmp(bits=0, clr_used=1, extra=b"\0" * 4, pixels=b""), "false",
     "bmpInfo.biBitCount==24"),
    ("sixty_four_bits.bmp", bmp(bits=64), "false", "bmpInfo.biBitCount==24"),
    ("bit_count_65535.bmp", bmp(bits=65535, pixels=b"\0" * 64),
     "bmpInfo.biSizeImage >= stride * (abs(bmpInfo.biHeight) - 1) + rowBytes",
     "bmpInfo.biBitCount==24"),
    ("size_rule.bmp", bmp(bf_size=1), SIZE_RULE, None),
    ("two_planes.bmp", bmp(planes=2), "bmpInfo.biPlanes==1", "bmpInfo.biPlanes==1"),
    ("green_mask_565_red_wrong.bmp",
     bmp(bits=16, compression=3, extra=struct.pack("<III", 0x7C00, 0x07E0, 0x1F)),
     "RMask==0xF800", "bmpInfo.biBitCount==24"),
]


def main():
    lines = []
    for name, data, read_text, truncate_text in CASES:
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
        lines.append(" | ".join([name, read_text, truncate_text or "-"]))
    with open(os.path.join(HERE, "expected.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
