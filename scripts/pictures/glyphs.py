"""Button glyphs of the control panel, drawn on a transparent background in
the manner of a classic Windows toolbar: simple shading, 1-pixel dark
outlines. Each function returns a Canvas the size of its picture."""

from .raster import (Canvas, arc_points, circle, cos_deg, cubic_curve,
                     ellipse, linear, polygon, quad_curve, radial, rect,
                     sin_deg, stroke)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
SHADOW = (128, 128, 128)


def water_ripples():
    c = Canvas(16, 16)
    c.fill(ellipse(8, 8.5, 7.8, 5.6), (205, 228, 252))
    for rx, ry, width, colour in ((7.0, 4.8, 1.4, (110, 170, 240)), (4.5, 3.0, 1.3, (40, 110, 225)),
                                  (2.0, 1.3, 1.2, (0, 50, 160))):
        c.fill(stroke(arc_points(8, 8.5, rx, ry, 0, 360), width, closed=True, join="bevel"),
               colour)
    return c


def effector_new():
    c = Canvas(18, 18)
    top, bottom = (7.5, 0.5), (7.5, 17.5)
    spindle = polygon(cubic_curve(top, (14.5, 5), (14.5, 13), bottom) +
                      cubic_curve(bottom, (0.5, 13), (0.5, 5), top)[1:-1])
    c.fill(spindle, radial(5.5, 6.5, 8, 10, [(0.0, (240, 210, 255)), (0.45, (170, 90, 220)),
                                            (1.0, (80, 20, 130))]))
    c.outline(spindle, (60, 0, 90))
    plus = polygon([(13, 10), (16, 10), (16, 13), (18, 13), (18, 16), (16, 16), (16, 18),
                    (13, 18), (13, 16), (10, 16), (10, 13), (13, 13)])
    # A white rim keeps the plus apart from the spindle behind it.
    c.fill(stroke(plus[0], 2.0, closed=True), WHITE)
    c.fill(plus, (0, 150, 0))
    return c


def _eye_outline():
    """The almond of an eye, and its upper lid line (left to right)."""
    upper = quad_curve((0.5, 8), (8, 0.5), (15.5, 8))
    lower = quad_curve((15.5, 8), (8, 15.5), (0.5, 8))
    return polygon(upper + lower[1:-1]), upper


def _eyeball(c, eye):
    c.fill(eye, WHITE)
    with c.clipped(eye):
        c.fill(circle(8, 8, 3.6), radial(7, 7, 4.2, 4.2, [(0.0, (120, 180, 255)),
                                                          (1.0, (10, 50, 150))]))
        c.fill(circle(8, 8, 1.6), BLACK)
        c.fill(circle(6.7, 6.7, 0.9), WHITE)


def eye_open():
    c = Canvas(16, 16)
    eye, _ = _eye_outline()
    _eyeball(c, eye)
    c.outline(eye, BLACK)
    return c


def eye_half():
    c = Canvas(16, 16)
    eye, upper = _eye_outline()
    _eyeball(c, eye)
    lid_edge = quad_curve((0.5, 8), (8, 9.0), (15.5, 8))
    lid = polygon(upper + lid_edge[::-1][1:-1])
    c.fill(lid, linear(0, 4, 0, 9, [(0.0, (245, 205, 165)), (1.0, (200, 140, 95))]))
    c.outline(eye, BLACK)
    c.fill(stroke(lid_edge, 1.6), BLACK)
    return c


def folder_open():
    c = Canvas(16, 16)
    back = polygon([(1.5, 13.5), (1.5, 3.5), (5.5, 3.5), (6.5, 4.5), (12.5, 4.5), (12.5, 7.5)])
    c.filled_outlined(back, (230, 190, 60), (110, 80, 0))
    front = polygon([(4.5, 7.5), (15.5, 7.5), (12.5, 13.5), (1.5, 13.5)])
    c.filled_outlined(front, linear(0, 7, 0, 14, [(0.0, (255, 240, 150)), (1.0, (240, 200, 60))]),
                      (110, 80, 0))
    return c


def diskette():
    c = Canvas(16, 16)
    body = polygon([(1.5, 1.5), (13.5, 1.5), (14.5, 2.5), (14.5, 14.5), (1.5, 14.5)])
    c.filled_outlined(body, linear(0, 1, 0, 15, [(0.0, (80, 90, 170)), (1.0, (30, 35, 100))]),
                      BLACK)
    c.fill(rect(3, 2, 13, 8), WHITE)
    c.fill(rect(4, 4, 12, 5), (150, 160, 210))
    c.fill(rect(4, 6, 12, 7), (150, 160, 210))
    c.filled_outlined(rect(4.5, 9.5, 11.5, 14.5), (200, 200, 205), BLACK)
    c.fill(rect(8, 10, 10, 14), (60, 60, 70))
    return c


def refresh_arrow():
    c = Canvas(16, 16)
    cx, cy, r_out, r_in = 8.0, 8.5, 6.6, 3.6
    start, end = -50.0, 220.0
    u = (cos_deg(end), sin_deg(end))
    t = (-sin_deg(end), cos_deg(end))
    r_mid = (r_out + r_in) / 2.0
    head = [(cx + u[0] * (r_out + 1.8), cy + u[1] * (r_out + 1.8)),
            (cx + u[0] * r_mid + t[0] * 4.0, cy + u[1] * r_mid + t[1] * 4.0),
            (cx + u[0] * (r_in - 1.8), cy + u[1] * (r_in - 1.8))]
    shape = polygon(arc_points(cx, cy, r_out, r_out, start, end) + head +
                    arc_points(cx, cy, r_in, r_in, end, start))
    c.filled_outlined(shape, linear(3, 3, 13, 14, [(0.0, (140, 230, 120)), (1.0, (20, 140, 30))]),
                      (0, 80, 0))
    return c


def text_cursor():
    c = Canvas(16, 16)
    ink = (0, 0, 0)
    # the letter a: a bowl and a stem
    c.fill(stroke(arc_points(2.4, 11.1, 1.8, 2.1, 0, 360), 1.1, closed=True, join="bevel"), ink)
    c.fill(rect(3.9, 8.2, 5.0, 14), ink)
    # the letter b: an ascender and a bowl
    c.fill(rect(11, 3, 12.1, 14), ink)
    c.fill(stroke(arc_points(13.6, 11.1, 1.9, 2.1, 0, 360), 1.1, closed=True, join="bevel"), ink)
    # the I-beam between them
    beam = (0, 0, 170)
    for shape in (rect(5, 1, 7, 2), rect(8, 1, 10, 2), rect(7, 2, 8, 14),
                  rect(5, 14, 7, 15), rect(8, 14, 10, 15)):
        c.fill(shape, beam)
    return c


# --- run controls --------------------------------------------------------------

def run_play():
    c = Canvas(16, 16)
    c.fill(polygon([(5, 2.5), (11.5, 8), (5, 13.5)]), BLACK)
    return c


def run_continue():
    c = Canvas(16, 16)
    c.fill(rect(2, 6, 8.5, 10), BLACK)
    c.fill(polygon([(8, 2.5), (14, 8), (8, 13.5)]), BLACK)
    return c


def run_stop():
    c = Canvas(16, 16)
    c.fill(rect(4, 4, 12, 12), BLACK)
    return c


def run_erase():
    c = Canvas(16, 16)
    # A block lying on its long side, seen from above and in front: top face,
    # front face and right end, its left part bare rubber and its right part
    # in a paper sleeve.
    def toward(p, q, f=0.45):
        return (p[0] + (q[0] - p[0]) * f, p[1] + (q[1] - p[1]) * f)
    top_left, top_back, top_right, top_front = (1.5, 9.5), (7.5, 3.5), (14.5, 3.5), (8.5, 9.5)
    bottom_left, bottom_front, end_bottom = (1.5, 13.5), (8.5, 13.5), (14.5, 7.5)
    top_split, back_split = toward(top_left, top_front), toward(top_back, top_right)
    bottom_split = toward(bottom_left, bottom_front)
    faces = [
        (polygon([top_left, top_back, back_split, top_split]), (255, 200, 210)),
        (polygon([top_left, top_split, bottom_split, bottom_left]), (235, 140, 160)),
        (polygon([top_split, back_split, top_right, top_front]), (140, 170, 240)),
        (polygon([top_split, top_front, bottom_front, bottom_split]), (60, 100, 200)),
        (polygon([top_front, top_right, end_bottom, bottom_front]), (40, 70, 160)),
    ]
    for face, colour in faces:
        c.fill(face, colour)
    for face, _ in faces:
        c.outline(face, BLACK)
    return c


def disabled(canvas):
    """The greyed picture of a glyph, as Windows draws a disabled button: its
    dark parts in shadow grey over a white copy one pixel down and right."""
    ink = canvas.coverage_mask(lambda rgb: 0.299 * rgb[0] + 0.587 * rgb[1] + 0.114 * rgb[2] < 128)
    c = Canvas(canvas.width, canvas.height, canvas.scale)
    c.fill_mask(ink, WHITE, 1, 1)
    c.fill_mask(ink, SHADOW)
    return c


# --- spinner -------------------------------------------------------------------

def spin_arrows(pressed=False):
    c = Canvas(16, 16)
    shift = 1.0 if pressed else 0.0
    fill = (150, 150, 150) if pressed else WHITE
    for arrow in ([(1.5, 8), (6.5, 3.5), (6.5, 12.5)], [(9.5, 3.5), (14.5, 8), (9.5, 12.5)]):
        shape = polygon([(x + shift, y + shift) for x, y in arrow])
        c.filled_outlined(shape, fill, BLACK)
    return c


# --- presets -------------------------------------------------------------------

def preset_water():
    c = Canvas(26, 16)
    surface = polygon([(4.5, 2.5), (21.5, 2.5), (25.5, 13.5), (0.5, 13.5)])
    c.fill(surface, linear(0, 2, 0, 14, [(0.0, (170, 215, 255)), (1.0, (20, 80, 190))]))
    with c.clipped(surface):
        for y, amp in ((6.0, 0.8), (10.0, 1.1)):
            pts = [(x * 0.5, y + amp * sin_deg(x * 0.5 * 45)) for x in range(0, 53)]
            c.fill(stroke(pts, 1.0, join="bevel"), (235, 245, 255))
    c.outline(surface, (0, 40, 120))
    return c


def preset_honey():
    c = Canvas(26, 16)
    r = 4.3
    w = r * 0.8660254037844386
    centres = [(5.5, 4.6), (5.5 + 2 * w, 4.6), (5.5 + 4 * w, 4.6),
               (5.5 + w, 4.6 + 1.5 * r), (5.5 + 3 * w, 4.6 + 1.5 * r)]
    for cx, cy in centres:
        hexagon = polygon([(cx + r * cos_deg(90 + 60 * k), cy + r * sin_deg(90 + 60 * k))
                           for k in range(6)])
        c.filled_outlined(hexagon, radial(cx - 1, cy - 1, r, r, [(0.0, (255, 235, 130)),
                                                                (1.0, (225, 150, 10))]),
                          (120, 70, 0))
    return c


def preset_snow():
    c = Canvas(26, 16)
    cx, cy = 13.0, 8.0
    pts = []
    steps = 60
    for k in range(steps + 1):
        angle = 40 + 560.0 * k / steps
        radius = 0.6 + 6.0 * k / steps
        pts.append((cx + 1.5 * radius * cos_deg(angle), cy + radius * sin_deg(angle)))
    c.fill(stroke(pts, 3.4, cap="round", join="round"), (125, 125, 140))
    c.fill(stroke(pts, 2.0, cap="round", join="round"), WHITE)
    return c
