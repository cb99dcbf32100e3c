"""A small anti-aliasing rasteriser for drawing icons without any imaging library.

Shapes are lists of closed contours in pixel coordinates (pixel (i, j) covers
the square [i, i+1] x [j, j+1], so a 1-pixel line along y = j + 0.5 fills row
j exactly). A Canvas holds `scale` x `scale` samples per pixel; every shape
covers a sample fully or not at all, and averaging the samples down gives the
anti-aliased edges.

Floats only meet exactly rounded IEEE operations (+, -, *, /, %, math.sqrt);
sine and cosine are our own series rather than the C library's, so the same
script gives the same bytes on every platform and Python version.
"""

import math
from contextlib import contextmanager

# --- numbers -----------------------------------------------------------------

PI = 3.141592653589793


def sin_deg(degrees):
    """Sine of an angle in degrees, from a Taylor series on [-90, 90]."""
    x = degrees % 360.0
    if x > 180.0:
        x -= 360.0
    if x > 90.0:
        x = 180.0 - x
    elif x < -90.0:
        x = -180.0 - x
    r = x * PI / 180.0
    r2 = r * r
    term, total = r, r
    for k in range(1, 9):
        term = -term * r2 / ((2 * k) * (2 * k + 1))
        total += term
    return total


def cos_deg(degrees):
    return sin_deg(degrees + 90.0)


def clamp(value, low, high):
    return low if value < low else high if value > high else value


def mix(c0, c1, t):
    """Colour (3 or 4 channels) a fraction t of the way from c0 to c1."""
    return tuple(a + (b - a) * t for a, b in zip(c0, c1))


# --- geometry ----------------------------------------------------------------

def _signed_area(points):
    area = 0.0
    n = len(points)
    for k in range(n):
        x0, y0 = points[k]
        x1, y1 = points[(k + 1) % n]
        area += x0 * y1 - x1 * y0
    return area


def _oriented(points):
    points = list(points)
    if _signed_area(points) < 0.0:
        points.reverse()
    return points


def polygon(points):
    """A filled region bounded by points. Contours are all turned the same
    way, so overlapping shapes combined in one fill add up, never cancel."""
    return [_oriented(points)]


def rect(x0, y0, x1, y1):
    return polygon([(x0, y0), (x1, y0), (x1, y1), (x0, y1)])


def _steps_for(radius):
    return max(24, min(256, int(8.0 * radius) // 4 * 4))


def arc_points(cx, cy, rx, ry, start, end, steps=None):
    """Points on an ellipse from angle start to end (degrees; 0 points along
    +x, 90 along +y, which is down on screen)."""
    if steps is None:
        steps = max(4, int(_steps_for(max(rx, ry)) * abs(end - start) / 360.0))
    points = []
    for k in range(steps + 1):
        a = start + (end - start) * k / steps
        points.append((cx + rx * cos_deg(a), cy + ry * sin_deg(a)))
    return points


def ellipse(cx, cy, rx, ry):
    return polygon(arc_points(cx, cy, rx, ry, 0.0, 360.0)[:-1])


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def quad_curve(p0, p1, p2, steps=16):
    points = []
    for k in range(steps + 1):
        t = k / steps
        u = 1.0 - t
        points.append((u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0],
                       u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1]))
    return points


def cubic_curve(p0, p1, p2, p3, steps=24):
    points = []
    for k in range(steps + 1):
        t = k / steps
        u = 1.0 - t
        a, b, c, d = u * u * u, 3 * u * u * t, 3 * u * t * t, t * t * t
        points.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                       a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return points


def stroke(points, width, closed=False, cap="butt", join="miter"):
    """The region covered by a pen of the given width drawn along points.

    cap is "butt", "square" or "round"; join is "miter", "bevel" or "round".
    """
    half = width / 2.0
    pts = [p for k, p in enumerate(points) if k == 0 or p != points[k - 1]]
    if closed and len(pts) > 1 and pts[0] == pts[-1]:
        pts.pop()
    if len(pts) < 2:
        return circle(pts[0][0], pts[0][1], half) if pts and cap == "round" else []
    segments = list(zip(pts, pts[1:] + pts[:1] if closed else pts[1:]))
    normals = []
    contours = []
    for k, ((x0, y0), (x1, y1)) in enumerate(segments):
        length = math.sqrt((x1 - x0) * (x1 - x0) + (y1 - y0) * (y1 - y0))
        ux, uy = (x1 - x0) / length, (y1 - y0) / length
        nx, ny = -uy * half, ux * half
        normals.append((nx, ny))
        grow0 = half if not closed and k == 0 and cap == "square" else 0.0
        grow1 = half if not closed and k == len(segments) - 1 and cap == "square" else 0.0
        ax, ay = x0 - ux * grow0, y0 - uy * grow0
        bx, by = x1 + ux * grow1, y1 + uy * grow1
        contours += polygon([(ax + nx, ay + ny), (bx + nx, by + ny),
                             (bx - nx, by - ny), (ax - nx, ay - ny)])
    corners = range(len(segments)) if closed else range(1, len(segments))
    for k in corners:
        vx, vy = segments[k][0]
        n0, n1 = normals[k - 1], normals[k]
        if join == "round":
            contours += circle(vx, vy, half)
            continue
        for side in (1.0, -1.0):
            a = (vx + side * n0[0], vy + side * n0[1])
            b = (vx + side * n1[0], vy + side * n1[1])
            corner = [(vx, vy), a, b]
            sx, sy = n0[0] + n1[0], n0[1] + n1[1]
            dot = (sx * n0[0] + sy * n0[1]) / half
            if join == "miter" and dot > 0.0:
                reach = half * half / dot * side
                size = math.sqrt(sx * sx + sy * sy)
                # Beyond four half-widths a miter spike looks like a glitch.
                if abs(reach) <= 4.0 * half:
                    corner = [(vx, vy), a,
                              (vx + sx / size * reach, vy + sy / size * reach), b]
            if abs(_signed_area(corner)) > 1e-12:
                contours += polygon(corner)
    if not closed and cap == "round":
        contours += circle(pts[0][0], pts[0][1], half)
        contours += circle(pts[-1][0], pts[-1][1], half)
    return contours


# --- paints ------------------------------------------------------------------
# A paint is a colour, (r, g, b) or (r, g, b, opacity), or a function of the
# sample position that returns one.

def _colour_at(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        if t <= t1:
            return mix(c0, c1, (t - t0) / (t1 - t0))
    return stops[-1][1]


def linear(x0, y0, x1, y1, stops):
    """Gradient along the line from (x0, y0) to (x1, y1); stops are
    (fraction, colour) pairs in increasing order."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy

    def paint(x, y):
        return _colour_at(stops, ((x - x0) * dx + (y - y0) * dy) / length2)
    return paint


def radial(cx, cy, rx, ry, stops):
    """Gradient by elliptical distance from (cx, cy): 0 at the centre, 1 at
    radii rx, ry."""
    def paint(x, y):
        ex, ey = (x - cx) / rx, (y - cy) / ry
        return _colour_at(stops, math.sqrt(ex * ex + ey * ey))
    return paint


# --- canvas ------------------------------------------------------------------

class Canvas:
    """Supersampled drawing surface. Samples hold premultiplied colour and
    coverage; a canvas made without a background starts fully uncovered."""

    def __init__(self, width, height, scale=8, background=None):
        self.width, self.height, self.scale = width, height, scale
        self.cols, self.rows = width * scale, height * scale
        n = self.cols * self.rows
        if background is None:
            self.r, self.g, self.b, self.a = [0.0] * n, [0.0] * n, [0.0] * n, [0.0] * n
        else:
            self.r = [float(background[0])] * n
            self.g = [float(background[1])] * n
            self.b = [float(background[2])] * n
            self.a = [1.0] * n
        self._clip = None

    def _spans(self, shape):
        """Yield (row, first column, end column) of the samples inside shape,
        by the non-zero winding rule."""
        edges = []
        for contour in shape:
            n = len(contour)
            for k in range(n):
                x0, y0 = contour[k]
                x1, y1 = contour[(k + 1) % n]
                if y0 < y1:
                    edges.append((y0, y1, x0, (x1 - x0) / (y1 - y0), 1))
                elif y1 < y0:
                    edges.append((y1, y0, x1, (x0 - x1) / (y0 - y1), -1))
        if not edges:
            return
        s = self.scale
        top = min(e[0] for e in edges)
        bottom = max(e[1] for e in edges)
        first_row = max(0, math.ceil(top * s - 0.5))
        last_row = min(self.rows - 1, math.floor(bottom * s - 0.5))
        for j in range(first_row, last_row + 1):
            y = (j + 0.5) / s
            crossings = sorted((xa + (y - ya) * slope, d)
                               for ya, yb, xa, slope, d in edges if ya <= y < yb)
            winding = 0
            start = 0.0
            for x, d in crossings:
                before = winding
                winding += d
                if before == 0:
                    start = x
                elif winding == 0:
                    i0 = max(0, math.ceil(start * s - 0.5))
                    i1 = min(self.cols, math.ceil(x * s - 0.5))
                    if i0 < i1:
                        yield j, i0, i1

    def _mask(self, shape):
        mask = bytearray(self.cols * self.rows)
        for j, i0, i1 in self._spans(shape):
            mask[j * self.cols + i0:j * self.cols + i1] = b"\x01" * (i1 - i0)
        return mask

    @contextmanager
    def clipped(self, shape):
        """Limit drawing to shape (and to any clip already in force)."""
        outer = self._clip
        mask = self._mask(shape)
        if outer is not None:
            mask = bytearray(a & b for a, b in zip(mask, outer))
        self._clip = mask
        try:
            yield self
        finally:
            self._clip = outer

    def _put(self, idx, colour):
        if self._clip is not None and not self._clip[idx]:
            return
        opacity = colour[3] if len(colour) > 3 else 1.0
        keep = 1.0 - opacity
        self.r[idx] = colour[0] * opacity + self.r[idx] * keep
        self.g[idx] = colour[1] * opacity + self.g[idx] * keep
        self.b[idx] = colour[2] * opacity + self.b[idx] * keep
        self.a[idx] = opacity + self.a[idx] * keep

    def fill(self, shape, paint):
        s = self.scale
        for j, i0, i1 in self._spans(shape):
            base = j * self.cols
            if callable(paint):
                y = (j + 0.5) / s
                for i in range(i0, i1):
                    self._put(base + i, paint((i + 0.5) / s, y))
            else:
                for i in range(i0, i1):
                    self._put(base + i, paint)

    def outline(self, shape, colour, width=1.0, join="miter"):
        """Stroke every contour of shape as a closed line."""
        for contour in shape:
            self.fill(stroke(contour, width, closed=True, join=join), colour)

    def filled_outlined(self, shape, paint, outline_colour, width=1.0):
        self.fill(shape, paint)
        self.outline(shape, outline_colour, width)

    def shade(self, paint):
        """Paint every sample (within the clip) with paint."""
        s = self.scale
        for j in range(self.rows):
            y = (j + 0.5) / s
            base = j * self.cols
            for i in range(self.cols):
                self._put(base + i, paint((i + 0.5) / s, y))

    def coverage_mask(self, predicate):
        """Per sample: 1 where the sample is covered and its colour satisfies
        predicate((r, g, b))."""
        mask = bytearray(len(self.a))
        for idx, a in enumerate(self.a):
            if a > 0.5 and predicate((self.r[idx] / a, self.g[idx] / a, self.b[idx] / a)):
                mask[idx] = 1
        return mask

    def fill_mask(self, mask, colour, dx=0, dy=0):
        """Paint colour on the samples set in mask, shifted by (dx, dy) pixels."""
        s = self.scale
        for j in range(self.rows):
            sj = j - dy * s
            if not 0 <= sj < self.rows:
                continue
            for i in range(self.cols):
                si = i - dx * s
                if 0 <= si < self.cols and mask[sj * self.cols + si]:
                    self._put(j * self.cols + i, colour)

    def pixels(self):
        """Average the samples down: a list of rows of ((r, g, b), coverage),
        colour not premultiplied (None where nothing was drawn)."""
        s, n = self.scale, self.scale * self.scale
        rows = []
        for y in range(self.height):
            row = []
            for x in range(self.width):
                r = g = b = a = 0.0
                for j in range(y * s, y * s + s):
                    base = j * self.cols + x * s
                    for idx in range(base, base + s):
                        r += self.r[idx]
                        g += self.g[idx]
                        b += self.b[idx]
                        a += self.a[idx]
                colour = (r / a, g / a, b / a) if a > 0.0 else None
                row.append((colour, a / n))
            rows.append(row)
        return rows
