#!/usr/bin/env python3
"""Checks a default template file source and writes the file the program reads.

usage: make_ini.py SOURCE OUTPUT

SOURCE is UTF-8 text (no byte-order mark, LF line ends) in the layout of a
template file ("tovrl_set_j.ini" ...): section [Title] with keys t<template>
and section [listview_dt] with keys <template>,<column>.<suffix>, plus
comment lines starting with ";" and blank lines. OUTPUT is written as
UTF-16LE with a byte-order mark and CRLF line ends, comments and blank lines
left out, like the text catalog (make_catalog.py, whose helpers this script
shares).

The source must be exactly what the program itself would write back: keys in
the order templates, columns, then m, t, o, p, e, w, s0-s4, f, k; only
columns in use, numbered without gaps from 0; every value within the size the
program reads. Every problem is reported as "SOURCE:LINE: message" and the
script exits with status 1 without touching OUTPUT.
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_catalog import Checker, run_tool, utf16_units  # noqa: E402

TEMPLATE_COUNT = 20
COLUMN_COUNT = 50
TITLE_MAX = 63

# Suffix -> (kind, limit): "int" with its allowed range, or "text" with the
# most UTF-16 code units the program keeps.
SUFFIXES = {
    "m": ("int", (1, 1)),  # a column in the file is in use
    "t": ("text", 15),
    "o": ("int", (0, 4)),
    "p": ("int", (0, 4)),
    "e": ("int", (0, 5)),
    "w": ("int", (0, 2000)),
    "s0": ("text", 15),
    "s1": ("text", 15),
    "s2": ("text", 15),
    "s3": ("text", 15),
    "s4": ("text", 15),
    "f": ("text", 127),
    "k": ("text", 15),
}
SUFFIX_ORDER = list(SUFFIXES)
NUMBER = r"(0|[1-9][0-9]*)"
TITLE_KEY = re.compile(r"t" + NUMBER + r"$")
COLUMN_KEY = re.compile(NUMBER + "," + NUMBER + r"\.(" + "|".join(SUFFIXES) + r")$")


def check_text(checker, line_no, key, value, limit):
    if value != value.strip(" \t\v\f\x1a"):
        checker.error(line_no, f"{key}: blanks at the start or end would be lost when read")
    if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
        checker.error(line_no, f"{key}: a value enclosed in {value[0]} loses the quotes when read")
    units = utf16_units(value)
    if units > limit:
        checker.error(line_no, f"{key} is {units} UTF-16 code units long (at most {limit})")
    if any(ord(c) < 0x20 or ord(c) == 0x7F for c in value):
        checker.error(line_no, f"{key} holds a control character")


def check_int(checker, line_no, key, value, bounds):
    if not re.fullmatch(r"-?[0-9]+", value):
        checker.error(line_no, f"{key}={value!r} is not a decimal integer")
        return
    low, high = bounds
    if not low <= int(value) <= high:
        checker.error(line_no, f"{key}={value} is outside {low}..{high}")


def parse(checker, text):
    """Returns [(section, [(key, value), ...]), ...] in source order."""
    sections = {"Title": [], "listview_dt": []}
    order = []
    titles = {}  # template -> line
    columns = {}  # (template, column) -> {suffix: line}
    last_position = None
    current = None
    for line_no, line in enumerate(text.split("\n"), start=1):
        if "\r" in line:
            checker.error(line_no, "carriage return found (the source uses LF line ends)")
            line = line.replace("\r", "")
        stripped = line.strip()
        if stripped == "" or stripped.startswith(";"):
            continue
        if stripped.startswith("["):
            m = re.fullmatch(r"\[([^\]]+)\]", stripped)
            if not m or m.group(1) not in sections:
                checker.error(line_no, f"expected [Title] or [listview_dt], found {stripped!r}")
                current = None
                continue
            if m.group(1) in order:
                checker.error(line_no, f"section [{m.group(1)}] appears twice")
            order.append(m.group(1))
            current = m.group(1)
            continue
        if "=" not in line:
            checker.error(line_no, f"not a section, comment, blank or key=value line: {line!r}")
            continue
        key, value = line.split("=", 1)
        if current is None:
            checker.error(line_no, f"{key} stands outside a known section")
            continue
        if current == "Title":
            m = TITLE_KEY.match(key)
            if not m or int(m.group(1)) >= TEMPLATE_COUNT:
                checker.error(line_no, f"{key} is not t0..t{TEMPLATE_COUNT - 1}")
                continue
            number = int(m.group(1))
            if number in titles:
                checker.error(line_no, f"duplicate key {key} (first on line {titles[number]})")
                continue
            if titles and number < max(titles):
                checker.error(line_no, f"{key} is out of order (the program writes t0, t1, ...)")
            titles[number] = line_no
            if value == "":
                checker.error(line_no, f"{key} is empty (an empty title does not mark the template in use)")
            check_text(checker, line_no, key, value, TITLE_MAX)
        else:
            m = COLUMN_KEY.match(key)
            if not m:
                checker.error(line_no, f"{key} is not a key <template>,<column>.<suffix>")
                continue
            tmpl, col, suffix = int(m.group(1)), int(m.group(2)), m.group(3)
            if tmpl >= TEMPLATE_COUNT or col >= COLUMN_COUNT:
                checker.error(line_no, f"{key}: template 0..{TEMPLATE_COUNT - 1}, column 0..{COLUMN_COUNT - 1}")
                continue
            found = columns.setdefault((tmpl, col), {})
            if suffix in found:
                checker.error(line_no, f"duplicate key {key} (first on line {found[suffix]})")
                continue
            found[suffix] = line_no
            position = (tmpl, col, SUFFIX_ORDER.index(suffix))
            if last_position is not None and position < last_position:
                checker.error(line_no, f"{key} is out of the order in which the program writes the keys")
            last_position = position
            kind, limit = SUFFIXES[suffix]
            if kind == "int":
                check_int(checker, line_no, key, value, limit)
            else:
                check_text(checker, line_no, key, value, limit)
        sections[current].append((key, value))

    for (tmpl, col), found in sorted(columns.items()):
        first = min(found.values())
        missing = [s for s in SUFFIX_ORDER if s not in found]
        if missing:
            checker.error(first, f"column {tmpl},{col} lacks " + ", ".join(missing))
        if col > 0 and (tmpl, col - 1) not in columns:
            checker.error(first, f"column {tmpl},{col} follows a column not in use "
                          "(the program stops at the first one)")
        if tmpl not in titles:
            checker.error(first, f"template {tmpl} has columns but no title t{tmpl}")
    for tmpl, line_no in sorted(titles.items()):
        if (tmpl, 0) not in columns:
            checker.error(line_no, f"template {tmpl} has a title but no columns")
    if order and order[0] != "Title":
        checker.error(1, "[Title] must come before [listview_dt], as the program writes them")
    return [(name, sections[name]) for name in order]


def render(sections):
    """The file as the program's own SaveTemplates writes it: byte-order
    mark, the sections one after the other without blank lines, CRLF."""
    lines = []
    for name, items in sections:
        lines.append(f"[{name}]")
        lines.extend(f"{key}={value}" for key, value in items)
    return "\ufeff" + "".join(line + "\r\n" for line in lines)


def parse_templates(checker, text):
    sections = parse(checker, text)
    if len(sections) != 2 and not checker.errors:
        checker.error(1, "both sections [Title] and [listview_dt] are needed")
    return sections


def main(argv):
    return run_tool("make_ini", argv, parse_templates, render)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
