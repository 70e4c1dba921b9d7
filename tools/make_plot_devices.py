#!/usr/bin/env python3
"""Checks the table of AutoCAD's own plot configurations and writes it as C++.

usage: make_plot_devices.py SOURCE OUTPUT

SOURCE (data/plotters/plot_devices.txt) is UTF-8 text: "#" comment lines,
blank lines, "[name.pc3]" section lines and "key = value" lines with the
keys class (pdf, dwf, raster), extension, paper (repeated) and papers_of.
OUTPUT is a C++ fragment of kBuiltInDevices initialisers, included by
src/printers/plot_devices.cpp. Every problem is reported as
"SOURCE:LINE: message" and the script exits with status 1.
"""
import sys

CLASSES = {"pdf": "DeviceClass::FileOnly", "dwf": "DeviceClass::FileOnly",
           "raster": "DeviceClass::Raster"}


def cpp_text(text):
    out = []
    for ch in text:
        code = ord(ch)
        if ch in '"\\' or code < 0x20 or code > 0x7E:
            out.append("\\u%04X" % code if code <= 0xFFFF else "\\U%08X" % code)
        else:
            out.append(ch)
    return 'u"' + "".join(out) + '"'


def main():
    if len(sys.argv) != 3:
        sys.stderr.write(__doc__)
        return 2
    source, output = sys.argv[1], sys.argv[2]
    errors, devices, current = [], [], None
    with open(source, encoding="utf-8") as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            where = "%s:%d: " % (source, number)
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("["):
                if not line.endswith("]") or not line[1:-1].lower().endswith(".pc3"):
                    errors.append(where + "a section names one .pc3 file: [name.pc3]")
                    continue
                current = {"name": line[1:-1], "class": None, "extension": None,
                           "papers": [], "papers_of": None, "line": where}
                if any(d["name"].lower() == current["name"].lower() for d in devices):
                    errors.append(where + "configuration listed twice")
                devices.append(current)
                continue
            key, sep, value = (part.strip() for part in line.partition("="))
            if not sep or current is None:
                errors.append(where + "expected key = value inside a section")
            elif key == "class" and value in CLASSES:
                current["class"] = value
            elif key == "extension" and value.startswith(".") and len(value) > 1:
                current["extension"] = value
            elif key == "paper" and value and len(value) <= 63:
                if value in current["papers"]:
                    errors.append(where + "paper listed twice")
                current["papers"].append(value)
            elif key == "papers_of" and value:
                current["papers_of"] = value
            else:
                errors.append(where + "unknown key or bad value: " + line)
    names = {d["name"]: d for d in devices}
    for d in devices:
        if d["class"] is None or d["extension"] is None:
            errors.append(d["line"] + "class and extension are required")
        if d["papers_of"] is not None:
            other = names.get(d["papers_of"])
            if other is None or other["papers_of"] is not None or d["papers"]:
                errors.append(d["line"] + "papers_of names a configuration with its own papers")
            else:
                d["papers"] = other["papers"]
    if errors:
        sys.stderr.write("\n".join(errors) + "\n")
        return 1
    out = ["// Generated from data/plotters/plot_devices.txt by tools/make_plot_devices.py.\n"]
    for d in devices:
        papers = ", ".join(cpp_text(p) for p in d["papers"])
        out.append("{%s, %s, %s, {%s}},\n" % (cpp_text(d["name"]), CLASSES[d["class"]],
                                            cpp_text(d["extension"]), papers))
    with open(output, "w", encoding="utf-8") as f:
        f.write("".join(out))
    return 0


if __name__ == "__main__":
    sys.exit(main())
