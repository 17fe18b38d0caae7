"""Direction-arrow styles: 104 x 128 pictures, two animation phases per direction.

The indicator alternates phase 0 and phase 1 while the car travels; the down pictures are the
up pictures turned upside down.
"""

from PIL import Image

from . import paint

SIZE = (104, 128)
FILES = {("UP", 0): "DIR_UP0_104x128.bmp", ("UP", 1): "DIR_UP1_104x128.bmp",
         ("DN", 0): "DIR_DN0_104x128.bmp", ("DN", 1): "DIR_DN1_104x128.bmp"}
STYLE_COUNT = 5
SUPERSAMPLE = 4


def _classic(dy=0):
    """Outline of an up arrow: triangular head over a straight shaft."""
    return [(52, 8 + dy), (98, 60 + dy), (72, 60 + dy), (72, 120 + dy), (32, 120 + dy),
            (32, 60 + dy), (6, 60 + dy)]


def _chevron(top):
    return [(52, top), (96, top + 34), (96, top + 50), (52, top + 18), (8, top + 50),
            (8, top + 34)]


def _scaled(points, factor):
    return [(x * factor, y * factor) for x, y in points]


def _solid_scrolling(phase):
    """Green arrow that moves up by 10 pixels between the phases."""
    dy = 5 if phase == 0 else -5
    return paint.supersampled(SIZE, SUPERSAMPLE, lambda d, f: d.polygon(
        _scaled(_classic(dy), f), fill=(0, 230, 90)))


def _outline_then_filled(phase):
    """White arrow drawn as an outline in phase 0 and filled in phase 1."""
    def painter(draw, f):
        points = _scaled(_classic(), f)
        if phase == 1:
            draw.polygon(points, fill=(255, 255, 255))
        else:
            draw.line(points + [points[0]], fill=(255, 255, 255), width=5 * f, joint="curve")
    return paint.supersampled(SIZE, SUPERSAMPLE, painter)


def _chasing_chevrons(phase):
    """Three amber chevrons; the lit ones alternate with the phase."""
    bright, dim = (255, 176, 0), (96, 60, 0)

    def painter(draw, f):
        for i, top in enumerate((6, 42, 78)):
            lit = (i % 2 == 0) == (phase == 0)
            draw.polygon(_scaled(_chevron(top), f), fill=bright if lit else dim)
    return paint.supersampled(SIZE, SUPERSAMPLE, painter)


def _gradient_glow(phase):
    """Blue gradient arrow with a white rim, dimmer in phase 0."""
    strength = 0.6 if phase == 0 else 1.0
    top = tuple(round(c * strength) for c in (150, 230, 255))
    bottom = tuple(round(c * strength) for c in (0, 70, 200))
    mask = paint.supersampled(SIZE, SUPERSAMPLE, lambda d, f: d.polygon(
        _scaled(_classic(), f), fill=(255, 255, 255))).convert("L")
    rim = paint.supersampled(SIZE, SUPERSAMPLE, lambda d, f: d.line(
        _scaled(_classic() + [_classic()[0]], f), fill=(255, 255, 255), width=3 * f,
        joint="curve")).convert("L")
    picture = Image.new("RGB", SIZE, (0, 0, 0))
    picture.paste(paint.vertical_gradient(SIZE, top, bottom), (0, 0), mask)
    picture.paste(Image.new("RGB", SIZE, (255, 255, 255)), (0, 0), rim)
    return picture


def _dot_matrix(phase):
    """Red LED dot-matrix arrow (13 x 16 dots of 8 pixels) that steps up one dot per phase."""
    lit_colour, unlit_colour = (255, 40, 30), (56, 6, 4)
    shift = 1 if phase == 0 else 0
    lit = set()
    for row in range(6):
        for col in range(6 - row, 7 + row):
            lit.add((row + 1 + shift, col))
    for row in range(7, 15):
        for col in range(4, 9):
            lit.add((row + shift, col))

    def painter(draw, f):
        for row in range(16):
            for col in range(13):
                x, y = col * 8 + 1, row * 8
                colour = lit_colour if (row, col) in lit else unlit_colour
                draw.ellipse([(x + 1) * f, (y + 1) * f, (x + 7) * f - 1, (y + 7) * f - 1],
                             fill=colour)
    return paint.supersampled(SIZE, SUPERSAMPLE, painter)


_UP_PAINTERS = [_solid_scrolling, _outline_then_filled, _chasing_chevrons, _gradient_glow,
                _dot_matrix]


def render(style_index, direction, phase):
    up = _UP_PAINTERS[style_index](phase)
    return up if direction == "UP" else up.transpose(Image.Transpose.FLIP_TOP_BOTTOM)
