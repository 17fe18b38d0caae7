"""Drawing helpers: gradients, fitted text, supersampled shapes."""

from PIL import Image, ImageDraw

from . import fonts


def lerp(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def vertical_gradient(size, top, bottom):
    width, height = size
    image = Image.new("RGB", size)
    draw = ImageDraw.Draw(image)
    for y in range(height):
        draw.line([(0, y), (width - 1, y)], fill=lerp(top, bottom, y / max(1, height - 1)))
    return image


def fit_size(text, typeface, max_width, max_height, start=200):
    """The largest font size at which the text's ink fits the box."""
    size = start
    while size > 6:
        left, top, right, bottom = fonts.font(typeface, size).getbbox(text, anchor="ls")
        if right - left <= max_width and bottom - top <= max_height:
            return size
        size -= 1
    return size


def draw_centered(image, text, typeface, box, fill, max_size=200, stroke=0, stroke_fill=None,
                  reference=None):
    """Draws text as large as fits into box (left, top, right, bottom), centred on its ink;
    with a reference text, vertically centred on the reference's ink instead, so that words
    drawn at one size share a baseline whatever their descenders."""
    left, top, right, bottom = box
    size = fit_size(text, typeface, right - left - 2 * stroke, bottom - top - 2 * stroke, max_size)
    face = fonts.font(typeface, size)
    ink = face.getbbox(text, anchor="ls", stroke_width=stroke)
    rows = face.getbbox(reference, anchor="ls", stroke_width=stroke) if reference else ink
    x = (left + right) / 2 - (ink[0] + ink[2]) / 2
    y = (top + bottom) / 2 - (rows[1] + rows[3]) / 2
    ImageDraw.Draw(image).text((round(x), round(y)), text, font=face, fill=fill, anchor="ls",
                               stroke_width=stroke, stroke_fill=stroke_fill)
    return size


def supersampled(size, factor, painter, background=(0, 0, 0)):
    """Calls painter(draw, scale) on a canvas `factor` times larger, then scales it down, which
    gives smooth edges to polygons and ellipses."""
    width, height = size
    big = Image.new("RGB", (width * factor, height * factor), background)
    painter(ImageDraw.Draw(big), factor)
    return big.resize(size, Image.Resampling.LANCZOS)
