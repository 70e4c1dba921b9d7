#!/usr/bin/env python3
"""Fails when an #include in src/ goes up the layers.

The folders of src/ are layers, lowest first. A file may include headers of
its own folder and of the folders below it, never of a folder above:

    storage       the INI engine and the program's files
    win32         shared window helpers: callback guard, screen texts, dialogs
    ui_text       the language dialog
    printers      printer catalog and its dialogs
    drawing_list  the rows, adding and editing them, list files
    script        script writer, AutoCAD runs, templates' dialogs
    app           program entry and main window: the only folder that knows all

resources/ holds ids and the resource script; any layer may include its
headers (they are included without a folder name).
"""
import pathlib
import re
import sys

LAYERS = ["storage", "win32", "ui_text", "printers", "drawing_list", "script", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_0-9]+)/[^"]+"', re.MULTILINE)


def main() -> int:
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "src")
    rank = {name: i for i, name in enumerate(LAYERS)}
    wrong = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".rc"):
            continue
        folder = path.relative_to(src).parts[0]
        if folder not in rank:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        for match in INCLUDE.finditer(text):
            target = match.group(1)
            if target in rank and rank[target] > rank[folder]:
                line = text.count("\n", 0, match.start()) + 1
                wrong.append(f"{path}:{line}: {folder}/ includes {target}/, a layer above it")
    for line in wrong:
        print(line)
    folders = {p.name for p in src.iterdir() if p.is_dir()} - set(LAYERS) - {"resources"}
    for folder in sorted(folders):
        print(f"{src / folder}: a folder that is in no layer; add it to scripts/check_layers.py")
    return 1 if wrong or folders else 0


if __name__ == "__main__":
    sys.exit(main())
