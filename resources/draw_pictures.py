#!/usr/bin/env python3
"""Draws Taloma's icon, cursors and pictures and writes them as XPM files next to this script.

Every picture is a list of shapes in a design space (32 units across unless main() says otherwise),
painted in order; a pixel takes the colour of the last shape that covers its centre. Run it again
after changing a shape:
    python3 resources/draw_pictures.py           # rewrites the XPM files
    python3 resources/draw_pictures.py --check   # fails when a file differs from its drawing
    python3 resources/draw_pictures.py DIR       # writes them into DIR instead
    python3 resources/draw_pictures.py --ico FILE   # writes the program icon as a Windows icon
    python3 resources/draw_pictures.py --png FILE SIZE   # the detailed icon as a SIZE-pixel PNG
"""

import math
import pathlib
import struct
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def rounded_box(x0, y0, x1, y1, radius):
    def inside(x, y):
        qx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        qy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return math.hypot(qx, qy) <= radius and x0 <= x <= x1 and y0 <= y <= y1

    return inside


def box(x0, y0, x1, y1):
    return lambda x, y: x0 <= x <= x1 and y0 <= y <= y1


def disc(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) <= r


def ring(cx, cy, r_in, r_out):
    return lambda x, y: r_in <= math.hypot(x - cx, y - cy) <= r_out


def ellipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


def stroke(points, width):
    """A polyline of the given width with round ends and joints."""
    half = width / 2
    pairs = list(zip(points, points[1:])) or [(points[0], points[0])]

    def inside(x, y):
        return any(segment_distance(x, y, *a, *b) <= half for a, b in pairs)

    return inside


def bezier(p0, p1, p2, p3, steps=24):
    points = []
    for i in range(steps + 1):
        t = i / steps
        u = 1 - t
        points.append(tuple(u**3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t**3 * d
                            for a, b, c, d in zip(p0, p1, p2, p3)))
    return points


def polygon(points):
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result

    return inside


def union(*shapes):
    return lambda x, y: any(shape(x, y) for shape in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


class Picture:
    def __init__(self, width, height, design=32.0):
        self.width, self.height = width, height
        self.sx, self.sy = width / design, height / design
        self.pixels = [[None] * width for _ in range(height)]

    def covered(self, shape):
        return [[shape((col + 0.5) / self.sx, (row + 0.5) / self.sy) for col in range(self.width)]
                for row in range(self.height)]

    def paint(self, shape, colour):
        for row, line in enumerate(self.covered(shape)):
            for col, hit in enumerate(line):
                if hit:
                    self.pixels[row][col] = colour

    def silhouette(self, shape, fill, outline):
        """Fills `shape` and rings it with a one-pixel outline whatever the scale."""
        mask = self.covered(shape)
        for row in range(self.height):
            for col in range(self.width):
                if not mask[row][col]:
                    continue
                edge = any(not (0 <= row + dr < self.height and 0 <= col + dc < self.width
                                and mask[row + dr][col + dc])
                           for dr, dc in ((-1, 0), (1, 0), (0, -1), (0, 1)))
                self.pixels[row][col] = outline if edge else fill

    def xpm(self, name):
        colours = sorted({c for line in self.pixels for c in line if c is not None})
        keys = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
        assert len(colours) < len(keys)
        key = {None: "."} | {c: keys[i] for i, c in enumerate(colours)}
        lines = [f"{self.width} {self.height} {len(key)} 1", ". c None"]
        lines += [f"{key[c]} c {c}" for c in colours]
        lines += ["".join(key[c] for c in line) for line in self.pixels]
        body = ",\n".join(f'"{line}"' for line in lines)
        return ("/* XPM */\n/* Drawn by draw_pictures.py; change the script, not this file. */\n"
                f"static const char *const {name}[] = {{\n{body}\n}};\n")


def ico(pictures):
    """A Windows icon of the pictures, each as a 32-bit bitmap with its transparency mask."""
    entries, images = [], []
    offset = 6 + 16 * len(pictures)
    for p in pictures:
        rows = []
        for line in reversed(p.pixels):  # bitmaps run bottom-up
            rows.append(b"".join(bytes.fromhex(c[5:7] + c[3:5] + c[1:3]) + b"\xff" if c else b"\0" * 4
                                 for c in line))
        mask_row = (p.width + 31) // 32 * 4
        mask = b"".join(int("".join("0" if c else "1" for c in line).ljust(mask_row * 8, "0"), 2)
                        .to_bytes(mask_row, "big") for line in reversed(p.pixels))
        header = struct.pack("<IiiHHIIiiII", 40, p.width, 2 * p.height, 1, 32, 0, 0, 0, 0, 0, 0)
        image = header + b"".join(rows) + mask
        entries.append(struct.pack("<BBBBHHII", p.width % 256, p.height % 256, 0, 0, 1, 32,
                                   len(image), offset))
        images.append(image)
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(pictures)) + b"".join(entries) + b"".join(images)


def png(picture):
    """The picture as an 8-bit RGBA PNG, transparent where nothing is painted."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    rows = b"".join(b"\0" + b"".join(bytes.fromhex(c[1:7]) + b"\xff" if c else b"\0" * 4
                                     for c in line) for line in picture.pixels)
    header = struct.pack(">IIBBBBB", picture.width, picture.height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows, 9))
            + chunk(b"IEND", b""))


def tablet_with_pen(picture, detailed):
    """A graphics tablet, its corded pen resting on it with the cable looping back to the tablet."""
    p = picture
    p.paint(rounded_box(2.5, 10.5, 31, 31, 3), "#8C96A3")  # shadow
    p.silhouette(rounded_box(1, 9, 29.5, 29.5, 3), "#2E3440", "#101317")
    p.silhouette(box(7.5, 12, 26.5, 26.5), "#D5DEE8", "#6B7785")
    for top in (13, 17, 21):
        p.paint(rounded_box(3, top, 5.5, top + 2.5, 0.8), "#5F6B7A")
    p.paint(disc(27.8, 27.8, 0.75), "#3CD070")
    if detailed:
        for x in range(11, 26, 4):
            p.paint(box(x, 12.6, x + 0.25, 26), "#C3CEDA")
        for y in range(15, 26, 4):
            p.paint(box(8.1, y, 26, y + 0.25), "#C3CEDA")
    # What the pen has drawn so far: a wave ending under its nib.
    p.paint(stroke(bezier((9.5, 23.5), (12, 17), (14, 25.5), (16.4, 18.6)), 1.1), "#1E5BD8")
    # The cable leaves the top of the pen and arcs back to the tablet's upper edge.
    cable = bezier((25.6, 4.4), (23.5, -1.0), (11.0, 0.5), (9.0, 9.2))
    p.paint(stroke(cable, 1.2), "#15181C")
    p.silhouette(stroke([(25.8, 4.2), (19.4, 13.0)], 3.4), "#C9D0D9", "#2B2F35")
    p.silhouette(stroke([(20.9, 10.9), (18.9, 13.7)], 3.4), "#4A515B", "#2B2F35")
    p.silhouette(polygon([(17.4, 13.6), (20.1, 15.6), (16.4, 18.6)]), "#9AA3AE", "#2B2F35")
    p.paint(disc(16.6, 18.4, 0.6), "#101317")
    if detailed:
        p.paint(stroke([(25.0, 4.1), (21.2, 9.3)], 0.5), "#F4F7FA")
        p.paint(stroke([(22.3, 9.9), (21.7, 10.8)], 0.9), "#2B2F35")


def postal_emblem(p):
    """A red envelope mark in a white disc ringed in blue."""
    p.paint(disc(10, 10, 9.45), "#1F4FBF")
    p.paint(disc(10, 10, 7.9), "#FFFFFF")
    p.paint(stroke([(5.2, 7.0), (14.8, 7.0), (14.8, 13.2), (5.2, 13.2), (5.2, 7.0)], 1.3), "#D7191C")
    p.paint(stroke([(5.4, 7.2), (10, 10.8), (14.6, 7.2)], 1.2), "#D7191C")


def computer_mouse(p):
    """A two-button mouse whose cord ends at the top-left corner, the pointer's hot spot."""
    p.paint(stroke(bezier((0.6, 0.6), (6, 1), (17, 2), (18.5, 10)), 1.3), "#202020")
    body = union(rounded_box(10.5, 9, 26.5, 31, 7.5))
    p.silhouette(body, "#E8EAED", "#1A1A1A")
    p.paint(box(10.5, 17.2, 26.5, 17.9), "#1A1A1A")
    p.paint(box(18.2, 9, 18.8, 17.5), "#1A1A1A")
    p.silhouette(rounded_box(17, 11, 20, 16, 1.4), "#7A8088", "#1A1A1A")
    p.paint(box(12.5, 19.5, 13.2, 27.5), "#FFFFFF")


def pointing_hand(p):
    """A white hand with a black outline whose index fingertip is at column 12, row 1."""
    finger = stroke([(12.5, 3.5), (12.5, 14)], 5)
    knuckles = union(stroke([(16.5, 12.5), (16.5, 17)], 4.2),
                     stroke([(20.5, 13.5), (20.5, 18)], 4.2),
                     stroke([(24.2, 15), (24.2, 19.5)], 3.8))
    thumb = stroke([(6.2, 16.8), (10.5, 22.5)], 4.4)
    palm = union(rounded_box(10, 13, 26.1, 30, 4.5), polygon([(8, 20), (11, 27), (12, 17)]))
    hand = union(finger, knuckles, thumb, palm)
    p.silhouette(hand, "#FFFFFF", "#000000")
    # Creases between the folded fingers.
    for x in (18.6, 22.5):
        p.paint(box(x - 0.01, 15.5, x + 0.99, 18.2), "#000000")


def main():
    if sys.argv[1:2] == ["--ico"]:
        icons = []
        for size in (32, 64):
            icon = Picture(size, size, 32)
            tablet_with_pen(icon, detailed=False)
            icons.append(icon)
        pathlib.Path(sys.argv[2]).write_bytes(ico(icons))
        return
    if sys.argv[1:2] == ["--png"]:
        size = int(sys.argv[3])
        icon = Picture(size, size, 32)
        tablet_with_pen(icon, detailed=True)
        pathlib.Path(sys.argv[2]).write_bytes(png(icon))
        return
    check = sys.argv[1:] == ["--check"]
    out = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 and not check else HERE
    # name: width, height, design units across, drawing. The pictures that a screen of double
    # density shows are drawn again at twice the pixels, under Qt's "@2x" name.
    pictures = {
        "taloma_icon": (32, 32, 32, lambda p: tablet_with_pen(p, detailed=False)),
        "about_picture": (80, 81, 32, lambda p: tablet_with_pen(p, detailed=True)),
        "post_emblem": (20, 20, 20, postal_emblem),
        "pointer": (32, 32, 32, computer_mouse),
        "hand_cursor": (32, 32, 32, pointing_hand),
    }
    for name in ("taloma_icon", "about_picture", "post_emblem"):
        width, height, design, draw = pictures[name]
        pictures[name + "@2x"] = (2 * width, 2 * height, design, draw)
    stale = []
    for name, (width, height, design, draw) in pictures.items():
        picture = Picture(width, height, design)
        draw(picture)
        path = out / f"{name}.xpm"
        text = picture.xpm(name.replace("@", "_at_"))
        if check:
            if not path.exists() or path.read_text(encoding="ascii") != text:
                stale.append(path.name)
        else:
            path.write_text(text, encoding="ascii")
    if stale:
        sys.exit("not as drawn by this script: " + ", ".join(stale))


if __name__ == "__main__":
    main()
