"""The six opaque pictures beside the wave parameters' spinners: a small
scene of water under a pale sky with the quantity marked on it."""

import math

from .raster import (Canvas, circle, cubic_curve, linear, polygon, rect,
                     sin_deg, stroke)

WIDTH, HEIGHT = 45, 28
SKY = [(0.0, (236, 243, 252)), (1.0, (190, 212, 238))]
WATER = [(0.0, (110, 170, 240)), (1.0, (20, 70, 170))]
SURFACE = (0, 40, 130)
MARK = (0, 0, 0)
GUIDE = (90, 90, 90)
ENVELOPE = (190, 0, 0)


def _scene(height=HEIGHT):
    """A canvas filled with sky."""
    c = Canvas(WIDTH, height, background=SKY[0][1])
    c.fill(rect(0, 0, c.width, c.height), linear(0, 0, 0, c.height, SKY))
    return c


def _water(c, surface_y):
    """Water below the line y = surface_y(x), with a dark surface line."""
    line = [(x * 0.5, surface_y(x * 0.5)) for x in range(-1, 2 * c.width + 2)]
    body = polygon(line + [(c.width + 1, c.height + 1), (-1, c.height + 1)])
    c.fill(body, linear(0, 8, 0, c.height, WATER))
    c.fill(stroke(line, 1.2, join="bevel"), SURFACE)


def _arrow_head(c, tip, direction, length=4.0, half_width=2.5, colour=MARK):
    dx, dy = direction
    base = (tip[0] - dx * length, tip[1] - dy * length)
    c.fill(polygon([tip, (base[0] - dy * half_width, base[1] + dx * half_width),
                    (base[0] + dy * half_width, base[1] - dx * half_width)]), colour)


def _double_arrow(c, p, q, colour=MARK):
    length = math.sqrt((q[0] - p[0]) * (q[0] - p[0]) + (q[1] - p[1]) * (q[1] - p[1]))
    d = ((q[0] - p[0]) / length, (q[1] - p[1]) / length)
    c.fill(stroke([p, q], 1.0), colour)
    _arrow_head(c, q, d, colour=colour)
    _arrow_head(c, p, (-d[0], -d[1]), colour=colour)


def _hourglass(c, x, y):
    """A 9 x 12 hourglass with its top left corner at (x, y)."""
    wood = (120, 70, 20)
    glass = polygon([(x + 1.5, y + 1.5), (x + 7.5, y + 1.5), (x + 4.9, y + 6), (x + 7.5, y + 10.5),
                     (x + 1.5, y + 10.5), (x + 4.1, y + 6)])
    c.fill(glass, (250, 250, 255))
    c.fill(polygon([(x + 3.0, y + 3.2), (x + 6.0, y + 3.2), (x + 4.5, y + 5.6)]), (230, 180, 40))
    c.fill(polygon([(x + 4.5, y + 7.6), (x + 7.0, y + 10.0), (x + 2.0, y + 10.0)]), (230, 180, 40))
    c.outline(glass, (80, 80, 100))
    c.fill(rect(x, y, x + 9, y + 1.5), wood)
    c.fill(rect(x, y + 10.5, x + 9, y + 12), wood)


def param_amplitude():
    c = _scene()
    base, amp = 16.5, 6.5
    # crests at x = 7.5 and 27.5, troughs at 17.5 and 37.5
    _water(c, lambda x: base - amp * sin_deg((x - 2.5) * 18))
    crest = base - amp
    c.fill(stroke([(27.5, crest - 0.5), (41, crest - 0.5)], 1.0), GUIDE)
    _double_arrow(c, (37.5, crest), (37.5, base + amp))
    return c


def param_wavelength():
    c = _scene()
    base, amp = 19.0, 5.0
    _water(c, lambda x: base - amp * sin_deg((x - 7.5) * 18))
    for x in (12.5, 32.5):
        c.fill(stroke([(x, 5), (x, base - amp)], 1.0), GUIDE)
    _double_arrow(c, (13, 6.5), (32, 6.5))
    return c


def param_speed():
    c = _scene()
    base, amp = 19.0, 4.0
    _water(c, lambda x: base - amp * sin_deg((x - 2.5) * 18))
    c.fill(stroke([(9, 8), (38, 8)], 2.0), MARK)
    _arrow_head(c, (42, 8), (1, 0), length=5, half_width=4)
    # motion lines behind the arrow
    for x0, y in ((3, 5.5), (1, 10.5)):
        c.fill(stroke([(x0, y), (x0 + 5, y)], 1.0), GUIDE)
    return c


def _decaying_wave(c, base=18.0, amp=8.0):
    def envelope(x):
        f = 1.0 - x / (c.width + 6)
        return amp * f * f
    _water(c, lambda x: base - envelope(x) * sin_deg((x - 1.5) * 24))
    c.fill(stroke([(x * 0.5, base - envelope(x * 0.5) - 1.5) for x in range(0, 2 * c.width + 1)],
                  1.0, join="bevel"), ENVELOPE)


def param_decay():
    c = _scene()
    _decaying_wave(c)
    return c


def param_time_decay():
    c = _scene()
    _decaying_wave(c)
    _hourglass(c, 34, 2)
    return c


def param_life_span():
    c = _scene(30)
    for k, x in enumerate((5.5, 14.5, 23.5)):
        fade = 1.0 - 0.3 * k
        drop = polygon(cubic_curve((x, 9), (x + 1, 12), (x + 4.2, 15), (x + 4.2, 18.5)) +
                       cubic_curve((x + 4.2, 18.5), (x + 4.2, 24), (x - 4.2, 24), (x - 4.2, 18.5))[1:] +
                       cubic_curve((x - 4.2, 18.5), (x - 4.2, 15), (x - 1, 12), (x, 9))[1:-1])
        c.fill(drop, linear(x - 3, 12, x + 3, 23, [(0.0, (130, 190, 255, fade)),
                                                   (1.0, (20, 70, 180, fade))]))
        c.outline(drop, SURFACE + (fade,))
        c.fill(circle(x - 1.6, 17.5, 1.0), (255, 255, 255, fade))
    _hourglass(c, 34, 9)
    return c
