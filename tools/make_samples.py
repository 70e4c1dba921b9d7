#!/usr/bin/env python3
"""Writes the sample drawings of the demo: small ASCII DXF files (R12).

usage: make_samples.py SAMPLES_FOLDER [STAMP]
       make_samples.py --end-drawing PATH

The first form writes every sample drawing into SAMPLES_FOLDER (created when
missing), removes DXF files there that are no longer samples, and touches
STAMP when given (the build's record that the step ran). The second form
writes the placeholder end drawing of the demo workspace.

Each sample is a complete drawing that any DXF reader opens: a HEADER with
$ACADVER AC1009 (R12), the insertion base, extents and limits; TABLES with
the line type, layers and text style the entities use; ENTITIES with the
paper border, the drawing frame, a title block, a column grid with its
bubbles and a building outline. The paper follows the size and orientation
marks in the file name ("_A1" ... "_A4", "_P" portrait, "_L" landscape), the
marks the demo's file-name rules look for; a plot-area mark "(LIM)", "(EXT)"
or "(DSP)" changes nothing in the drawing. Texts inside the drawings are
ASCII, so no code page is needed; the file names may hold any characters.

The end drawing is an empty A4 drawing in DXF (the demo names it
"endfile.dxf"): the scripts end by opening it, and AutoCAD opens a DXF file as
well as a DWG file. The check before a run refuses an end drawing whose
contents do not fit its extension.
"""
import os
import sys

# Paper sizes in millimetres, landscape (width, height).
PAPERS = {"A1": (841.0, 594.0), "A2": (594.0, 420.0), "A3": (420.0, 297.0), "A4": (297.0, 210.0)}

# (file name, drawing number, title, scale) of every sample. Names with marks are filled by
# the demo's rules; "Cover sheet" has none and keeps the template's values.
SAMPLES = [
    ("A-101 Site plan_A1_L.dxf", "A-101", "SITE PLAN", "1:500"),
    ("A-102 Ground floor plan_A1_L(LIM).dxf", "A-102", "GROUND FLOOR PLAN", "1:100"),
    ("A-201 Elevations_A2_L.dxf", "A-201", "ELEVATIONS", "1:100"),
    ("S-201 Section_A3_P.dxf", "S-201", "SECTION A-A", "1:50"),
    ("S-301 Details_A3_P(DSP).dxf", "S-301", "STRUCTURAL DETAILS", "1:20"),
    ("E-101 Lighting layout_A2_L(EXT).dxf", "E-101", "LIGHTING LAYOUT", "1:100"),
    ("M-401 Duct schedule_A4_P.dxf", "M-401", "DUCT SCHEDULE", "NTS"),
    ("平面図_A2_L.dxf", "J-101", "FLOOR PLAN", "1:100"),
    ("立面図_A3_L(LIM).dxf", "J-201", "ELEVATION", "1:100"),
    ("配置図_A1_L.dxf", "J-001", "LAYOUT PLAN", "1:200"),
    ("詳細図 No.5_A4_P.dxf", "J-505", "DETAIL No.5", "1:10"),
    ("Cover sheet.dxf", "G-001", "COVER SHEET", "NTS"),
]

LAYERS = [("0", 7), ("FRAME", 7), ("TITLE", 3), ("GRID", 8), ("WALLS", 1), ("TEXT", 2)]


def paper_of(name):
    """Paper (width, height) and size code from the marks in a file name."""
    size = next((code for code in PAPERS if "_" + code in name), "A4")
    width, height = PAPERS[size]
    if "_P" in name:
        width, height = height, width
    return width, height, size


class Dxf:
    """Collects DXF group codes and values as text lines."""

    def __init__(self):
        self.lines = []

    def add(self, code, value):
        if isinstance(value, float):
            value = f"{value:.4f}".rstrip("0")
            value += "0" if value.endswith(".") else ""
        self.lines.append(f"{code:>3}")
        self.lines.append(str(value))

    def point(self, base, x, y):
        self.add(base, float(x))
        self.add(base + 10, float(y))
        self.add(base + 20, 0.0)

    def header_point(self, name, x, y):
        self.add(9, name)
        self.point(10, x, y)

    def line(self, layer, x1, y1, x2, y2):
        self.add(0, "LINE")
        self.add(8, layer)
        self.point(10, x1, y1)
        self.point(11, x2, y2)

    def rectangle(self, layer, x1, y1, x2, y2):
        self.line(layer, x1, y1, x2, y1)
        self.line(layer, x2, y1, x2, y2)
        self.line(layer, x2, y2, x1, y2)
        self.line(layer, x1, y2, x1, y1)

    def circle(self, layer, x, y, radius):
        self.add(0, "CIRCLE")
        self.add(8, layer)
        self.point(10, x, y)
        self.add(40, float(radius))

    def text(self, layer, x, y, height, value, centred=False):
        self.add(0, "TEXT")
        self.add(8, layer)
        self.point(10, x, y)
        self.add(40, float(height))
        self.add(1, value)
        if centred:  # middle-centre alignment; the alignment point is then used
            self.add(72, 1)
            self.point(11, x, y)
            self.add(73, 2)

    def text_out(self):
        return "\r\n".join(self.lines) + "\r\n"


def write_header(dxf, width, height):
    dxf.add(0, "SECTION")
    dxf.add(2, "HEADER")
    dxf.add(9, "$ACADVER")
    dxf.add(1, "AC1009")
    dxf.header_point("$INSBASE", 0, 0)
    dxf.header_point("$EXTMIN", 0, 0)
    dxf.header_point("$EXTMAX", width, height)
    dxf.add(9, "$LIMMIN")
    dxf.add(10, 0.0)
    dxf.add(20, 0.0)
    dxf.add(9, "$LIMMAX")
    dxf.add(10, float(width))
    dxf.add(20, float(height))
    dxf.add(0, "ENDSEC")


def write_tables(dxf):
    dxf.add(0, "SECTION")
    dxf.add(2, "TABLES")
    dxf.add(0, "TABLE")
    dxf.add(2, "LTYPE")
    dxf.add(70, 1)
    dxf.add(0, "LTYPE")
    dxf.add(2, "CONTINUOUS")
    dxf.add(70, 0)
    dxf.add(3, "Solid line")
    dxf.add(72, 65)
    dxf.add(73, 0)
    dxf.add(40, 0.0)
    dxf.add(0, "ENDTAB")
    dxf.add(0, "TABLE")
    dxf.add(2, "LAYER")
    dxf.add(70, len(LAYERS))
    for name, colour in LAYERS:
        dxf.add(0, "LAYER")
        dxf.add(2, name)
        dxf.add(70, 0)
        dxf.add(62, colour)
        dxf.add(6, "CONTINUOUS")
    dxf.add(0, "ENDTAB")
    dxf.add(0, "TABLE")
    dxf.add(2, "STYLE")
    dxf.add(70, 1)
    dxf.add(0, "STYLE")
    dxf.add(2, "STANDARD")
    dxf.add(70, 0)
    dxf.add(40, 0.0)
    dxf.add(41, 1.0)
    dxf.add(50, 0.0)
    dxf.add(71, 0)
    dxf.add(42, 2.5)
    dxf.add(3, "txt")
    dxf.add(4, "")
    dxf.add(0, "ENDTAB")
    dxf.add(0, "ENDSEC")


def write_frame(dxf, width, height):
    """Paper border, drawing frame 10 mm inside it, and the title block."""
    dxf.rectangle("FRAME", 0, 0, width, height)
    dxf.rectangle("FRAME", 10, 10, width - 10, height - 10)
    left = width - 10 - 170
    dxf.rectangle("TITLE", left, 10, width - 10, 50)
    dxf.line("TITLE", left, 30, width - 10, 30)
    dxf.line("TITLE", left + 110, 10, left + 110, 30)
    return left


def write_title_block(dxf, left, title, number, size, scale):
    dxf.text("TEXT", left + 4, 38, 5.0, title)
    dxf.text("TEXT", left + 4, 22, 3.5, f"DWG No. {number}")
    dxf.text("TEXT", left + 4, 14, 2.5, "Tovrel sample drawing")
    dxf.text("TEXT", left + 114, 22, 3.5, f"SIZE {size}")
    dxf.text("TEXT", left + 114, 14, 2.5, f"SCALE {scale}")


def write_plan(dxf, width, height, seed):
    """A column grid with bubbles and a building outline inside the frame."""
    bays_x = 3 + seed % 4
    bays_y = 2 + seed % 3
    x0, y0 = 40.0, 70.0
    x1, y1 = width - 40.0, height - 40.0
    step_x = (x1 - x0) / bays_x
    step_y = (y1 - y0) / bays_y
    radius = min(step_x, step_y) / 10
    for i in range(bays_x + 1):
        x = x0 + i * step_x
        dxf.line("GRID", x, y0 - 10, x, y1 + 5)
        dxf.circle("GRID", x, y1 + 5 + radius, radius)
        dxf.text("TEXT", x, y1 + 5 + radius, radius, str(i + 1), centred=True)
    for j in range(bays_y + 1):
        y = y0 + j * step_y
        dxf.line("GRID", x0 - 10, y, x1 + 5, y)
        dxf.circle("GRID", x0 - 10 - radius, y, radius)
        dxf.text("TEXT", x0 - 10 - radius, y, radius, chr(ord("A") + j), centred=True)
    inset = radius / 2
    dxf.rectangle("WALLS", x0 - inset, y0 - inset, x1 + inset, y1 + inset)
    dxf.rectangle("WALLS", x0 + inset, y0 + inset, x1 - inset, y1 - inset)
    for i in range(1, bays_x):
        x = x0 + i * step_x
        dxf.line("WALLS", x, y0 + inset, x, y0 + step_y)


def drawing_text(name, number, title, scale, seed):
    width, height, size = paper_of(name)
    dxf = Dxf()
    write_header(dxf, width, height)
    write_tables(dxf)
    dxf.add(0, "SECTION")
    dxf.add(2, "ENTITIES")
    left = write_frame(dxf, width, height)
    write_title_block(dxf, left, title, number, size, scale)
    write_plan(dxf, width, height, seed)
    dxf.add(0, "ENDSEC")
    dxf.add(0, "EOF")
    return dxf.text_out()


def end_drawing_text():
    width, height = PAPERS["A4"]
    dxf = Dxf()
    write_header(dxf, width, height)
    write_tables(dxf)
    dxf.add(0, "SECTION")
    dxf.add(2, "ENTITIES")
    dxf.rectangle("FRAME", 0, 0, width, height)
    dxf.text("TEXT", width / 2, height / 2, 5.0, "END OF BATCH (placeholder)", centred=True)
    dxf.add(0, "ENDSEC")
    dxf.add(0, "EOF")
    return dxf.text_out()


def write_file(path, text):
    """Writes ASCII text through a temporary file, so no half file is left."""
    temporary = path + ".tmp"
    with open(temporary, "wb") as out:
        out.write(text.encode("ascii"))
    os.replace(temporary, path)


def write_samples(folder):
    os.makedirs(folder, exist_ok=True)
    names = set()
    for seed, (name, number, title, scale) in enumerate(SAMPLES):
        write_file(os.path.join(folder, name), drawing_text(name, number, title, scale, seed))
        names.add(name)
    for entry in os.listdir(folder):
        if entry.lower().endswith(".dxf") and entry not in names:
            os.remove(os.path.join(folder, entry))


def main(argv):
    if len(argv) == 3 and argv[1] == "--end-drawing":
        write_file(argv[2], end_drawing_text())
        return 0
    if len(argv) not in (2, 3) or argv[1].startswith("-"):
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    write_samples(argv[1])
    if len(argv) == 3:
        with open(argv[2], "w", encoding="ascii") as stamp:
            stamp.write(f"{len(SAMPLES)} samples\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
