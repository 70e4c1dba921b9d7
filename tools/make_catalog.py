#!/usr/bin/env python3
"""Checks the text catalog source and writes the catalog the program reads.

usage: make_catalog.py SOURCE OUTPUT

SOURCE is UTF-8 text (no byte-order mark, LF line ends) made of section
lines, comment lines starting with ";", blank lines and key=value lines.
OUTPUT is written as UTF-16LE with a byte-order mark and CRLF line ends,
with the sections and keys in source order and the comments left out.

Every problem found is reported as "SOURCE:LINE: message" and the script
exits with status 1 without touching OUTPUT.
"""
import os
import re
import sys
import tempfile

# The program reads every value into 64 UTF-16 code units, terminator included.
MAX_UNITS = 63

# Key pattern of each section: the number (0-99, no leading zeros) and the
# suffixes that, taken together, make one complete entry.
NUMBER = r"No\.(0|[1-9][0-9]?)"
SECTIONS = {
    "dialog": (re.compile(NUMBER + r":dialog-([jekc])$"), ["j", "e", "k", "c"]),
    "meg": (re.compile(NUMBER + r":meg-([jekc][ab])$"),
            ["ja", "ea", "ka", "ca", "jb", "eb", "kb", "cb"]),
    "code": (re.compile(NUMBER + r":code-([jekc])$"), ["j", "e", "k", "c"]),
}


def utf16_units(text):
    return len(text.encode("utf-16-le")) // 2


class Checker:
    def __init__(self, path):
        self.path = path
        self.errors = []

    def error(self, line_no, message):
        self.errors.append(f"{self.path}:{line_no}: {message}")


def check_value(checker, line_no, key, value):
    if value == "":
        checker.error(line_no, f"{key} has an empty value")
        return
    if value != value.strip(" \t\v\f\x1a"):
        checker.error(line_no, f"{key}: blanks at the start or end would be lost when read")
    if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
        checker.error(line_no, f"{key}: a value enclosed in {value[0]} loses the quotes when read")
    units = utf16_units(value)
    if units > MAX_UNITS:
        checker.error(line_no, f"{key} is {units} UTF-16 code units long (at most {MAX_UNITS})")
    for c in value:
        if ord(c) < 0x20 or ord(c) == 0x7F:
            checker.error(line_no, f"{key} holds the control character U+{ord(c):04X}")
            break


def parse(checker, text):
    """Returns [(section, [(key, value), ...]), ...] in source order."""
    sections = []
    seen_sections = set()
    seen_keys = {}  # (section, folded key) -> line number
    entries = {}  # (section, number) -> {suffix: line number}
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
            if not m:
                checker.error(line_no, f"malformed section line: {line!r}")
                current = None
                continue
            name = m.group(1)
            if name not in SECTIONS:
                checker.error(line_no, f"unknown section [{name}] (expected "
                              + ", ".join(f"[{s}]" for s in SECTIONS) + ")")
                current = None
                continue
            if name in seen_sections:
                checker.error(line_no, f"section [{name}] appears twice")
            seen_sections.add(name)
            current = (name, [])
            sections.append(current)
            continue
        if "=" not in line:
            checker.error(line_no, f"not a section, comment, blank or key=value line: {line!r}")
            continue
        key, value = line.split("=", 1)
        if key != key.strip():
            checker.error(line_no, f"blanks around the key {key.strip()!r}")
            key = key.strip()
        if current is None:
            checker.error(line_no, f"{key} stands outside a known section")
            continue
        section, items = current
        pattern, suffixes = SECTIONS[section]
        m = pattern.match(key)
        if not m:
            checker.error(line_no, f"{key} is not a key of section [{section}]")
            continue
        folded = (section, key.lower())
        if folded in seen_keys:
            checker.error(line_no, f"duplicate key {key} (first on line {seen_keys[folded]})")
            continue
        seen_keys[folded] = line_no
        entries.setdefault((section, int(m.group(1))), {})[m.group(2)] = line_no
        check_value(checker, line_no, key, value)
        items.append((key, value))

    # A number that is present must be present in every language (and for
    # messages with both body and caption).
    for (section, number), found in sorted(entries.items()):
        _, suffixes = SECTIONS[section]
        missing = [s for s in suffixes if s not in found]
        if missing:
            first = min(found.values())
            names = ", ".join(f"No.{number}:{section}-{s}" for s in missing)
            checker.error(first, f"[{section}] No.{number} lacks {names}")
    return sections


def render(sections):
    lines = []
    for index, (name, items) in enumerate(sections):
        if index:
            lines.append("")
        lines.append(f"[{name}]")
        lines.extend(f"{key}={value}" for key, value in items)
    return "\ufeff" + "".join(line + "\r\n" for line in lines)


def write_atomically(path, data):
    folder = os.path.dirname(os.path.abspath(path))
    os.makedirs(folder, exist_ok=True)
    fd, tmp = tempfile.mkstemp(prefix=".catalog-", dir=folder)
    try:
        with os.fdopen(fd, "wb") as out:
            out.write(data)
        # mkstemp makes the file private; give it the usual mode of a new file.
        umask = os.umask(0)
        os.umask(umask)
        os.chmod(tmp, 0o666 & ~umask)
        os.replace(tmp, path)
    except BaseException:
        if os.path.exists(tmp):
            os.remove(tmp)
        raise


def run_tool(tool, argv, parse_and_check, render):
    """The whole run of a generator: read the UTF-8 source, parse and check
    it, and write the UTF-16LE file only when nothing is wrong.
    parse_and_check(checker, text) returns the sections."""
    if len(argv) != 3:
        print(f"usage: {tool}.py SOURCE OUTPUT", file=sys.stderr)
        return 2
    source, output = argv[1], argv[2]
    try:
        with open(source, "rb") as f:
            raw = f.read()
    except OSError as e:
        print(f"{tool}: cannot read {source}: {e.strerror}", file=sys.stderr)
        return 1
    checker = Checker(source)
    if raw.startswith(b"\xef\xbb\xbf"):
        checker.error(1, "byte-order mark found (the source is UTF-8 without one)")
        raw = raw[3:]
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        line_no = raw[: e.start].count(b"\n") + 1
        print(f"{source}:{line_no}: not valid UTF-8 ({e.reason})", file=sys.stderr)
        return 1
    sections = parse_and_check(checker, text)
    if checker.errors:
        for message in checker.errors:
            print(message, file=sys.stderr)
        print(f"{tool}: {len(checker.errors)} problem(s); {output} not written", file=sys.stderr)
        return 1
    try:
        write_atomically(output, render(sections).encode("utf-16-le"))
    except OSError as e:
        print(f"{tool}: cannot write {output}: {e.strerror}", file=sys.stderr)
        return 1
    return 0


def parse_catalog(checker, text):
    sections = parse(checker, text)
    if not sections and not checker.errors:
        checker.error(1, "no section found")
    return sections


def main(argv):
    return run_tool("make_catalog", argv, parse_catalog, render)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
