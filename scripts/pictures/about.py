"""The decorative picture at the left edge of the About window: deep blue
water with the bright rim of a ripple ring, seen at a low angle, and a flare
where the light catches it. The window writes a golden title at y = 66 and
white text from y = 88 to 181 over it, so everything above the ring stays
dark."""

import math

from .raster import Canvas, clamp, mix

WIDTH, HEIGHT = 127, 240

TOP = (16, 34, 96)
MIDDLE = (5, 14, 52)
BOTTOM = (12, 34, 96)
RIM = (150, 210, 255)
FLARE = (255, 255, 255)
HALO = (110, 170, 255)

# The ripple ring: an ellipse whose far edge crosses the picture near the
# bottom; the near edge lies below the picture.
RING_X, RING_Y, RING_RX, RING_RY = 60.0, 226.0, 118.0, 34.0
INNER_RX, INNER_RY = 62.0, 17.0
FLARE_X = 92.0


def _ring_distance(x, y, rx, ry):
    """Approximate distance in pixels from (x, y) to the ring's ellipse."""
    ex, ey = (x - RING_X) / rx, (y - RING_Y) / ry
    q = math.sqrt(ex * ex + ey * ey)
    if q == 0.0:
        return ry
    gx, gy = ex / (rx * q), ey / (ry * q)
    return (q - 1.0) / math.sqrt(gx * gx + gy * gy)


def _peak(d, width):
    return 1.0 / (1.0 + (d / width) * (d / width))


def _flare_y():
    f = (FLARE_X - RING_X) / RING_RX
    return RING_Y - RING_RY * math.sqrt(1.0 - f * f)


def _background(x, y):
    if y < 70.0:
        base = mix(TOP, MIDDLE, y / 70.0)
    elif y < 185.0:
        base = MIDDLE
    else:
        base = mix(MIDDLE, BOTTOM, (y - 185.0) / (HEIGHT - 185.0))
    # Darker toward the right, where the picture meets the window's black.
    return mix(base, (0, 0, 0), 0.35 * x / WIDTH)


def _light(x, y, fy):
    """Colour added by the rims and the flare."""
    along = (x - FLARE_X) / 70.0
    near_flare = 0.3 + 0.7 / (1.0 + along * along)
    outer = _ring_distance(x, y, RING_RX, RING_RY)
    inner = _ring_distance(x, y, INNER_RX, INNER_RY)
    rim = near_flare * (0.9 * _peak(outer, 0.7) + 0.25 * _peak(outer, 4.0))
    rim += 0.35 * near_flare * _peak(inner, 0.6)
    dx, dy = x - FLARE_X, y - fy
    core = _peak(math.sqrt(dx * dx + dy * dy), 2.2)
    halo = 0.35 * _peak(math.sqrt(dx * dx + dy * dy), 14.0)
    streaks = (0.8 / (1.0 + (dx / 30.0) * (dx / 30.0) + (dy / 0.8) * (dy / 0.8)) +
               0.5 / (1.0 + (dx / 0.8) * (dx / 0.8) + (dy / 9.0) * (dy / 9.0)))
    return [RIM[k] * rim + HALO[k] * halo + FLARE[k] * (core + streaks) for k in range(3)]


def about_image():
    c = Canvas(WIDTH, HEIGHT, scale=2, background=(0, 0, 0))
    fy = _flare_y()

    def paint(x, y):
        base = _background(x, y)
        light = _light(x, y, fy)
        return tuple(clamp(base[k] + light[k], 0.0, 255.0) for k in range(3))
    c.shade(paint)
    return c
