#!/usr/bin/env python3
"""Runs the help generator (argument 1) on small sources, good and bad.

A good set of sources becomes HTML pages with their links, pictures and
the style sheet; each kind of fault makes the generator fail with a
message naming the file and line, and writes nothing.
"""
import os
import subprocess
import sys
import tempfile

GENERATOR = sys.argv[1]
LANGUAGES = ["ja", "en", "ko", "zh"]
PNG = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                    "1f15c4890000000d49444154789c63000100000500010d0a2db40000000049454e44ae426082")

GOOD = {
    "index.md": "# Contents\n\n- [Main window](main-window.html)\n- [Editing](editing.html#in-place)\n",
    "main-window.md": "# Main window\n\n![The main window](main.png)\n\nThe **list** shows `rows`.\n\n"
                      "| Button | Does |\n|---|---|\n| Help | opens [the contents](index.html) |\n",
    "editing.md": "# Editing\n\n!placeholder: A picture is to come.\n\n## In place {#in-place}\n\n"
                  "1. Right-click a cell.\n2. Pick a value\n   from the list.\n",
}
failures = []


def run(files, pictures=("main.png",)):
    """Writes sources (files: language -> {name: text}) and runs the generator."""
    root = tempfile.mkdtemp(prefix="help-test-")
    source, output = os.path.join(root, "src"), os.path.join(root, "out")
    os.makedirs(source)
    with open(os.path.join(source, "help.css"), "w") as f:
        f.write("body { margin: 0; }\n")
    for language, pages in files.items():
        os.makedirs(os.path.join(source, language))
        os.makedirs(os.path.join(source, "images", language))
        for name, text in pages.items():
            with open(os.path.join(source, language, name), "w", encoding="utf-8") as f:
                f.write(text)
        for picture in pictures:
            with open(os.path.join(source, "images", language, picture), "wb") as f:
                f.write(PNG)
    result = subprocess.run([sys.executable, GENERATOR, source, output], capture_output=True, text=True)
    return result, output


def every_language(pages):
    return {language: dict(pages) for language in LANGUAGES}


def expect(condition, what):
    if not condition:
        failures.append(what)


# Good sources: every page in every language, the pictures beside them.
result, output = run(every_language(GOOD))
expect(result.returncode == 0, "good sources: exit %d, %s" % (result.returncode, result.stderr))
if result.returncode == 0:
    expect(os.path.isfile(os.path.join(output, "help.css")), "help.css written")
    for language in LANGUAGES:
        for name in ("index", "main-window", "editing"):
            expect(os.path.isfile(os.path.join(output, language, name + ".html")), "%s/%s.html" % (language, name))
        expect(os.path.isfile(os.path.join(output, language, "images", "main.png")), language + " picture copied")
    with open(os.path.join(output, "ko", "main-window.html"), encoding="utf-8") as f:
        page = f.read()
    for piece in ['<html lang="ko">', '<a href="index.html">Contents</a>', '<img src="images/main.png"',
                  "<strong>list</strong>", "<code>rows</code>", "<th>Button</th>", '<link rel="stylesheet" href="../help.css">']:
        expect(piece in page, "main-window.html holds " + piece)
    with open(os.path.join(output, "en", "editing.html"), encoding="utf-8") as f:
        page = f.read()
    for piece in ['<div class="placeholder">', '<h2 id="in-place">', "<li>Pick a value from the list.</li>"]:
        expect(piece in page, "editing.html holds " + piece)

# Faults, each with the message that must name it.
faults = [
    ("a link to a page that does not exist",
     {"main-window.md": GOOD["main-window.md"] + "\nSee [the printers](printers.html).\n"},
     (), "main-window.md:11: broken link to printers.html"),
    ("a link to an anchor that does not exist",
     {"index.md": GOOD["index.md"].replace("#in-place", "#in-cell")}, (), "index.md:4: broken link to editing.html#in-cell"),
    ("a picture that does not exist",
     {"editing.md": GOOD["editing.md"] + "\n![The editor](editor.png)\n"}, (), "missing picture images/zh/editor.png"),
    ("a page no link leads to", {"orphan.md": "# Orphan\n\nText.\n"}, (), "orphan.md:0: no link leads to this page"),
    ("a page without a title", {"editing.md": "Editing\n\nText [back](index.html).\n"}, (), "editing.md:1: the page has no title"),
]
for what, changed, _, message in faults:
    files = every_language(GOOD)
    files["zh"].update(changed)
    result, output = run(files)
    expect(result.returncode == 1, what + ": exit status %d" % result.returncode)
    expect(message in result.stderr, what + ": message %r not in %r" % (message, result.stderr))
    expect(not os.path.exists(output), what + ": nothing written")

# A page the English help has and another language lacks.
files = every_language(GOOD)
del files["ja"]["editing.md"]
files["ja"]["index.md"] = "# Contents\n\n- [Main window](main-window.html)\n"
result, output = run(files)
expect(result.returncode == 1 and "missing page editing.md" in result.stderr, "a language without a page: " + result.stderr)

for failure in failures:
    print("FAILED:", failure)
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
