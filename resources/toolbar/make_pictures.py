#!/usr/bin/env python3
"""Writes the toolbar pictures (SVG, 32 x 32 units) and toolbar.qrc.

Run once after changing a picture; the SVG files are committed. Shapes have a
light fill with a dark outline, or a mid-tone colour, so that every picture
reads on light and on dark toolbars alike.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))

OUTLINE = "#3c3c3c"
PAPER = "#f6f6f6"
BLUE = "#3f7fe0"
BLUE_EDGE = "#1c4a96"
FOLDER = "#f2c14e"
FOLDER_EDGE = "#8a6212"
FRAME = "#8a8a8a"
# The glasses filters, by the letters of the glasses codes.
FILTERS = {"r": "#e5262a", "g": "#1fa83c", "b": "#2a55e5", "c": "#1fc6e8", "a": "#f0a81c", "m": "#d23cc8"}


def svg(body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            + body + '\n</svg>\n')


def arrow(points):
    """A filled blue arrow from a polygon's points."""
    return (f'<polygon points="{points}" fill="{BLUE}" stroke="{BLUE_EDGE}" '
            'stroke-width="1.2" stroke-linejoin="round"/>')


def page():
    return (f'<path d="M7 3 H19 L25 9 V29 H7 Z" fill="{PAPER}" stroke="{OUTLINE}" '
            'stroke-width="1.5" stroke-linejoin="round"/>'
            f'<path d="M19 3 V9 H25" fill="none" stroke="{OUTLINE}" stroke-width="1.5" stroke-linejoin="round"/>')


def folder(chosen):
    """An open folder with two picture frames, the chosen side filled."""
    left_fill = BLUE if chosen == "left" else PAPER
    right_fill = BLUE if chosen == "right" else PAPER
    return (f'<path d="M2 8 H11 L13 10 H26 V26 H2 Z" fill="{FOLDER}" stroke="{FOLDER_EDGE}" '
            'stroke-width="1.5" stroke-linejoin="round"/>'
            f'<path d="M2 26 L6 14 H30 L26 26 Z" fill="#f8d77e" stroke="{FOLDER_EDGE}" '
            'stroke-width="1.5" stroke-linejoin="round"/>'
            f'<rect x="7" y="16" width="8.5" height="8" fill="{left_fill}" stroke="{OUTLINE}" stroke-width="1.2"/>'
            f'<rect x="17.5" y="16" width="8.5" height="8" fill="{right_fill}" stroke="{OUTLINE}" stroke-width="1.2"/>')


def glasses(code):
    left, right = FILTERS[code[0]], FILTERS[code[1]]
    return (f'<path d="M3 11 L1 6 M29 11 L31 6" stroke="{FRAME}" stroke-width="2" stroke-linecap="round"/>'
            f'<rect x="2.5" y="11" width="12" height="11" rx="2.5" fill="{left}" stroke="{FRAME}" stroke-width="2"/>'
            f'<rect x="17.5" y="11" width="12" height="11" rx="2.5" fill="{right}" stroke="{FRAME}" stroke-width="2"/>'
            f'<path d="M14.5 14 Q16 12 17.5 14" fill="none" stroke="{FRAME}" stroke-width="2"/>')


def dots(cx):
    """Three small circles in red, green and blue: an eye's picture in colour."""
    return "".join(f'<circle cx="{cx + dx}" cy="{16 + dy}" r="4" fill="{FILTERS[c]}" stroke="{OUTLINE}" '
                   'stroke-width="0.8"/>' for c, dx, dy in (("r", 0, -4), ("g", -3.5, 2.5), ("b", 3.5, 2.5)))


def disc(cx, fill):
    return f'<circle cx="{cx}" cy="16" r="8" fill="{fill}" stroke="{OUTLINE}" stroke-width="1.2"/>'


def method(name):
    """What each eye's picture carries under a method: left eye, right eye."""
    if name == "classic":
        return disc(9, FILTERS["r"]) + disc(23, FILTERS["c"])
    if name == "grey":
        return disc(9, "#9a9a9a") + disc(23, "#5c5c5c")
    if name == "half-colour":
        return disc(9, "#9a9a9a") + dots(23)
    if name == "colour":
        return dots(9) + dots(23)
    if name == "dubois":
        return (disc(9, FILTERS["r"]) + disc(23, FILTERS["c"])
                + f'<path d="M5 28 H27" stroke="{BLUE_EDGE}" stroke-width="2.5" stroke-linecap="round"/>'
                + f'<path d="M5 4 H27" stroke="{BLUE_EDGE}" stroke-width="2.5" stroke-linecap="round"/>')
    # custom: three sliders
    return "".join(f'<path d="M4 {y} H28" stroke="{FRAME}" stroke-width="2" stroke-linecap="round"/>'
                   f'<rect x="{x - 3}" y="{y - 4}" width="6" height="8" rx="1.5" fill="{FILTERS[c]}" '
                   f'stroke="{OUTLINE}" stroke-width="1"/>'
                   for c, x, y in (("r", 10, 8), ("g", 21, 16), ("b", 14, 24)))


def placeholder(inner):
    """The palette's pictures of spaces and separators: a dashed box."""
    return (f'<rect x="3" y="6" width="26" height="20" rx="2" fill="none" stroke="{FRAME}" '
            'stroke-width="1.5" stroke-dasharray="3 2"/>' + inner)


PICTURES = {
    "save": page() + arrow("12,14 20,14 20,19 24,19 16,27 8,19 12,19"),
    "openleft": folder("left"),
    "openright": folder("right"),
    "reset": (f'<path d="M25 16 A9 9 0 1 1 20.5 8.2" fill="none" stroke="{BLUE_EDGE}" stroke-width="5" '
              'stroke-linecap="round"/>'
              f'<path d="M25 16 A9 9 0 1 1 20.5 8.2" fill="none" stroke="{BLUE}" stroke-width="3" '
              'stroke-linecap="round"/>'
              + arrow("17,3 26,6 19,13")
              + f'<circle cx="16" cy="16" r="2.5" fill="{PAPER}" stroke="{OUTLINE}" stroke-width="1.2"/>'),
    "larger": (f'<rect x="14.5" y="5" width="3" height="22" fill="{PAPER}" stroke="{OUTLINE}" stroke-width="1.2"/>'
               + arrow("1,16 8,9 8,13.5 12,13.5 12,18.5 8,18.5 8,23")
               + arrow("31,16 24,9 24,13.5 20,13.5 20,18.5 24,18.5 24,23")),
    "smaller": (f'<rect x="14.5" y="5" width="3" height="22" fill="{PAPER}" stroke="{OUTLINE}" stroke-width="1.2"/>'
                + arrow("13,16 6,9 6,13.5 1,13.5 1,18.5 6,18.5 6,23")
                + arrow("19,16 26,9 26,13.5 31,13.5 31,18.5 26,18.5 26,23")),
    "up": arrow("16,3 28,15 21,15 21,29 11,29 11,15 4,15"),
    "down": arrow("16,29 28,17 21,17 21,3 11,3 11,17 4,17"),
    # Auto Align: a red frame, a cyan frame turned onto it, and a level line.
    "autoalign": (f'<rect x="5" y="8" width="20" height="15" fill="none" stroke="{FILTERS["r"]}" stroke-width="2.5"/>'
                  f'<rect x="7" y="9" width="20" height="15" fill="none" stroke="{FILTERS["c"]}" stroke-width="2.5" '
                  'transform="rotate(-8 17 16.5)"/>'
                  f'<line x1="2" y1="28" x2="30" y2="28" stroke="{BLUE_EDGE}" stroke-width="2.5" '
                  'stroke-linecap="round"/>'),
    "swap": (f'<polygon points="3,8 21,8 21,3 30,11 21,19 21,14 3,14" fill="{FILTERS["r"]}" '
             f'stroke="{OUTLINE}" stroke-width="1.2" stroke-linejoin="round"/>'
             f'<polygon points="29,18 11,18 11,13 2,21 11,29 11,24 29,24" fill="{FILTERS["c"]}" '
             f'stroke="{OUTLINE}" stroke-width="1.2" stroke-linejoin="round"/>'),
    "color": (f'<circle cx="16" cy="11" r="8" fill="{FILTERS["r"]}" stroke="{OUTLINE}" stroke-width="1.2"/>'
              f'<circle cx="10.5" cy="20" r="8" fill="{FILTERS["g"]}" stroke="{OUTLINE}" stroke-width="1.2" '
              'fill-opacity="0.9"/>'
              f'<circle cx="21.5" cy="20" r="8" fill="{FILTERS["b"]}" stroke="{OUTLINE}" stroke-width="1.2" '
              'fill-opacity="0.85"/>'),
    "bw": (f'<circle cx="16" cy="16" r="13" fill="{PAPER}" stroke="{FRAME}" stroke-width="1.5"/>'
           '<path d="M16 3 A13 13 0 0 0 16 29 Z" fill="#1a1a1a"/>'
           f'<circle cx="16" cy="16" r="13" fill="none" stroke="{FRAME}" stroke-width="1.5"/>'),
    "print": (f'<rect x="9" y="3" width="14" height="9" fill="{PAPER}" stroke="{OUTLINE}" stroke-width="1.5"/>'
              f'<rect x="3" y="11" width="26" height="12" rx="2" fill="#b9c2cc" stroke="{OUTLINE}" stroke-width="1.5"/>'
              f'<rect x="9" y="19" width="14" height="10" fill="{PAPER}" stroke="{OUTLINE}" stroke-width="1.5"/>'
              f'<path d="M12 23 H20 M12 26 H18" stroke="{OUTLINE}" stroke-width="1.2"/>'
              f'<circle cx="25" cy="15" r="1.3" fill="{FILTERS["g"]}"/>'),
    "customize": (f'<rect x="2" y="4" width="28" height="11" rx="2" fill="#b9c2cc" stroke="{OUTLINE}" stroke-width="1.5"/>'
                  f'<rect x="5" y="7" width="5" height="5" fill="{PAPER}" stroke="{OUTLINE}"/>'
                  f'<rect x="13" y="7" width="5" height="5" fill="{PAPER}" stroke="{OUTLINE}"/>'
                  f'<rect x="21" y="7" width="5" height="5" fill="{PAPER}" stroke="{OUTLINE}"/>'
                  + arrow("13.5,18 18.5,18 18.5,21 23,21 23,26 18.5,26 18.5,30 13.5,30 13.5,26 9,26 9,21 13.5,21")),
    "flexspace": placeholder(f'<path d="M7 16 H25 M7 16 L11 12 M7 16 L11 20 M25 16 L21 12 M25 16 L21 20" '
                             f'fill="none" stroke="{FRAME}" stroke-width="2" stroke-linecap="round"/>'),
    "space": placeholder(""),
    "separator": placeholder(f'<path d="M16 9 V23" stroke="{FRAME}" stroke-width="2"/>'),
}
for code in ("rg", "rc", "rb", "gr", "cr", "br", "ab", "ba", "gm", "mg"):
    PICTURES[code] = glasses(code)
for name in ("classic", "grey", "half-colour", "colour", "dubois", "custom"):
    PICTURES["method-" + name] = method(name)


def main():
    for name, body in PICTURES.items():
        with open(os.path.join(HERE, name + ".svg"), "w") as out:
            out.write(svg(body))
    with open(os.path.join(HERE, "toolbar.qrc"), "w") as out:
        out.write('<!DOCTYPE RCC>\n<RCC version="1.0">\n  <qresource prefix="/toolbar">\n')
        for name in sorted(PICTURES):
            out.write(f'    <file>{name}.svg</file>\n')
        out.write('  </qresource>\n</RCC>\n')


if __name__ == "__main__":
    main()
