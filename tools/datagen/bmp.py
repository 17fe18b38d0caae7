"""BMP writers for the program home.

Catalogue pictures are 24-bit, uncompressed, bottom-up, with the 54-byte headers counted
exactly in bfSize and biSizeImage, so that both converters of the build accept them.  The
truncating converter reads the pixel block without row padding, so every width is kept a
multiple of 4 (no padding at all), which is stricter than the "even width" it demands.

Library resources are 16-bit 5-6-5 bit-field BMPs laid out byte for byte like the ones the
truncating converter writes, so the indicator finds library and converted pictures alike.
"""

import struct

from PIL import Image


def _rgb(image):
    if image.mode != "RGB":
        image = image.convert("RGB")
    return image


def bmp24_bytes(image):
    """The 24-bit bottom-up BMP file of an RGB picture whose width is a multiple of 4."""
    image = _rgb(image)
    width, height = image.size
    if width % 4 != 0 or width <= 0 or height <= 0:
        raise ValueError(f"picture of {width} x {height}: width must be a positive multiple of 4")
    stride = width * 3
    pixels = image.transpose(Image.Transpose.FLIP_TOP_BOTTOM).tobytes("raw", "BGR")
    assert len(pixels) == stride * height
    header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return header + info + pixels


def rgb565_values(image):
    """Pixel values of the picture truncated to 5-6-5, top row first."""
    image = _rgb(image)
    data = image.tobytes()
    values = []
    for i in range(0, len(data), 3):
        r, g, b = data[i], data[i + 1], data[i + 2]
        values.append(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3))
    return values


def bmp565_bytes(image):
    """The 16-bit bit-field BMP file of a picture with an even width, bottom-up, 66-byte prefix."""
    image = _rgb(image)
    width, height = image.size
    if width % 2 != 0 or width <= 0 or height <= 0:
        raise ValueError(f"picture of {width} x {height}: width must be positive and even")
    flipped = image.transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    pixels = struct.pack(f"<{width * height}H", *rgb565_values(flipped))
    header = b"BM" + struct.pack("<IHHI", len(pixels) + 66, 0, 0, 66)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 16, 3, len(pixels), 0, 0, 3, 0)
    masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
    return header + info + masks + pixels


def write_bytes(path, data):
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


def write_bmp24(path, image):
    write_bytes(path, bmp24_bytes(image))
