"""Background pictures: calm gradients and patterns for the vertical (240 x 320) and the
horizontal (320 x 240) screen."""

import math

from PIL import Image, ImageDraw

from . import paint

VERTICAL = (240, 320)
HORIZONTAL = (320, 240)


def _three_stop(size, top, middle, bottom):
    width, height = size
    picture = Image.new("RGB", size)
    draw = ImageDraw.Draw(picture)
    for y in range(height):
        t = y / (height - 1)
        colour = paint.lerp(top, middle, t * 2) if t < 0.5 else paint.lerp(middle, bottom,
                                                                            t * 2 - 1)
        draw.line([(0, y), (width - 1, y)], fill=colour)
    return picture


def blue_gradient(size):
    return paint.vertical_gradient(size, (6, 20, 60), (0, 112, 140))


def sunset(size):
    return _three_stop(size, (36, 12, 72), (208, 96, 48), (24, 8, 24))


def stripes(size):
    """Soft diagonal stripes on graphite, drawn at four times the size for smooth edges."""
    width, height = size

    def painter(draw, f):
        period = 28 * f
        for start in range(-height * f, width * f, period):
            draw.polygon([(start, height * f), (start + 12 * f, height * f),
                          (start + 12 * f + height * f, 0), (start + height * f, 0)],
                         fill=(44, 50, 60))
    return paint.supersampled(size, 4, painter, background=(28, 30, 36))


def radial_glow(size):
    width, height = size
    picture = Image.new("RGB", size)
    pixels = picture.load()
    cx, cy = width / 2, height / 2
    reach = math.hypot(cx, cy)
    for y in range(height):
        for x in range(width):
            t = min(1.0, math.hypot(x - cx, y - cy) / reach)
            pixels[x, y] = paint.lerp((0, 96, 72), (0, 16, 20), t)
    return picture


# Two pictures per screen: enough to try the slide show, few enough to keep the home small.
PATTERNS = {VERTICAL: [("BlueGradient", blue_gradient), ("Sunset", sunset)],
            HORIZONTAL: [("Stripes", stripes), ("GreenGlow", radial_glow)]}


def pictures(size):
    """(file name, picture) of every background for one screen size."""
    for name, painter in PATTERNS[size]:
        yield f"{name}_{size[0]}x{size[1]}.bmp", painter(size)
