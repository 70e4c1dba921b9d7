#!/usr/bin/env python3
"""Checks the help page sources and writes the HTML help that ships beside the program.

usage: make_help.py SOURCE OUTPUT [STAMP]

SOURCE holds help.css, one folder per language (ja, en, ko, zh) of pages
written as <page>.md, and images/<language>/*.png. OUTPUT receives
help.css, <language>/<page>.html and <language>/images/<picture>.png (the
pictures the pages show). STAMP, when given, is touched after a good run.

The page sources are a small, fixed kind of markdown, one block per line
kind:

    # Page title               (first line, once)
    ## Heading, ### Subheading
    - bullet item              (further lines of the item indented by 2)
    1. numbered item
    | table | row |            (first row the header, second row |---|)
    > a note
    ![Caption](picture.png)    (a picture of images/<language>/)
    !placeholder: text         (a framed text where a picture is to come)
    a paragraph, ended by a blank line

and inside any of them **bold**, `code` and [link text](page.html) or
[link text](page.html#anchor). A heading may end in {#anchor}.

Checked before anything is written (each problem as "FILE:LINE: message",
then exit status 1): every language has an index page and the pages the
English help has; every page has a title; every link to a page leads to a
page of the same language and every anchor to a heading there; every
picture exists; every page can be reached from the index page.
"""
import html
import os
import re
import shutil
import sys

LANGUAGES = ["ja", "en", "ko", "zh"]
REFERENCE = "en"
INDEX = "index"

INLINE = re.compile(r"\*\*(.+?)\*\*|`([^`]+)`|\[([^\]]+)\]\(([^)\s]+)\)")
IMAGE = re.compile(r"^!\[([^\]]*)\]\(([^)\s]+)\)$")
HEADING = re.compile(r"^(#{1,3}) (.+?)(?: \{#([a-z0-9-]+)\})?$")
NUMBERED = re.compile(r"^\d+\. (.*)$")
PAGE_NAME = re.compile(r"^[a-z0-9-]+$")


class Page:
    def __init__(self, language, name, path):
        self.language = language
        self.name = name
        self.path = path
        self.title = None
        self.anchors = set()
        self.links = []   # (line, page, anchor)
        self.images = []  # (line, picture)
        self.body = []    # HTML lines


class Checker:
    def __init__(self):
        self.errors = []

    def error(self, path, line, message):
        self.errors.append("%s:%s: %s" % (path, line, message))


def inline(text, page, line):
    """The HTML of one line of text; links are noted on the page."""
    out = []
    pos = 0
    for m in INLINE.finditer(text):
        out.append(html.escape(text[pos:m.start()], quote=False))
        if m.group(1) is not None:
            out.append("<strong>%s</strong>" % inline(m.group(1), page, line))
        elif m.group(2) is not None:
            out.append("<code>%s</code>" % html.escape(m.group(2), quote=False))
        else:
            label, target = m.group(3), m.group(4)
            if re.match(r"^[a-z]+:", target):
                out.append('<a href="%s">%s</a>' % (html.escape(target), inline(label, page, line)))
            else:
                name, _, anchor = target.partition("#")
                if name.endswith(".html"):
                    name = name[:-5]
                page.links.append((line, name or page.name, anchor))
                href = (name + ".html" if name else "") + ("#" + anchor if anchor else "")
                out.append('<a href="%s">%s</a>' % (html.escape(href), inline(label, page, line)))
        pos = m.end()
    out.append(html.escape(text[pos:], quote=False))
    return "".join(out)


def parse(page, checker):
    with open(page.path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    body = page.body
    paragraph = []   # lines of the paragraph under way
    item = None      # (kind, [lines]) of the list item under way
    open_list = None
    table = None     # rows of the table under way

    def flush_paragraph():
        if paragraph:
            body.append("<p>%s</p>" % " ".join(paragraph))
            paragraph.clear()

    def flush_item():
        nonlocal item
        if item:
            body.append("<li>%s</li>" % " ".join(item[1]))
            item = None

    def close_list():
        nonlocal open_list
        flush_item()
        if open_list:
            body.append("</%s>" % open_list)
            open_list = None

    def flush_table():
        nonlocal table
        if table:
            body.append("<table>")
            for i, cells in enumerate(table):
                tag = "th" if i == 0 else "td"
                body.append("<tr>%s</tr>" % "".join("<%s>%s</%s>" % (tag, c, tag) for c in cells))
            body.append("</table>")
            table = None

    def flush_all():
        flush_paragraph()
        close_list()
        flush_table()

    for number, raw in enumerate(lines, 1):
        text = raw.rstrip()
        stripped = text.strip()
        if not stripped:
            flush_all()
            continue
        if item and raw.startswith("  ") and not stripped.startswith(("- ", "|")) and not NUMBERED.match(stripped):
            item[1].append(inline(stripped, page, number))
            continue
        heading = HEADING.match(text)
        if heading:
            flush_all()
            level = len(heading.group(1))
            content = inline(heading.group(2), page, number)
            if level == 1:
                if page.title is not None:
                    checker.error(page.path, number, "a second page title")
                page.title = heading.group(2)
                body.append("<h1>%s</h1>" % content)
            else:
                anchor = heading.group(3)
                if anchor:
                    page.anchors.add(anchor)
                    body.append('<h%d id="%s">%s</h%d>' % (level, anchor, content, level))
                else:
                    body.append("<h%d>%s</h%d>" % (level, content, level))
            continue
        if stripped.startswith("- ") or NUMBERED.match(stripped):
            flush_paragraph()
            flush_table()
            kind = "ul" if stripped.startswith("- ") else "ol"
            content = stripped[2:] if kind == "ul" else NUMBERED.match(stripped).group(1)
            if open_list != kind:
                close_list()
                body.append("<%s>" % kind)
                open_list = kind
            flush_item()
            item = (kind, [inline(content, page, number)])
            continue
        if stripped.startswith("|"):
            flush_paragraph()
            close_list()
            cells = [c.strip() for c in stripped.strip("|").split("|")]
            if all(re.fullmatch(r":?-+:?", c) for c in cells):
                continue
            if table is None:
                table = []
            table.append([inline(c, page, number) for c in cells])
            continue
        image = IMAGE.match(stripped)
        if image:
            flush_all()
            caption, picture = image.group(1), image.group(2)
            page.images.append((number, picture))
            body.append('<figure><img src="images/%s" alt="%s"><figcaption>%s</figcaption></figure>'
                        % (html.escape(picture), html.escape(caption), inline(caption, page, number)))
            continue
        if stripped.startswith("!placeholder:"):
            flush_all()
            body.append('<div class="placeholder">%s</div>'
                        % inline(stripped[len("!placeholder:"):].strip(), page, number))
            continue
        if stripped.startswith("> "):
            flush_all()
            body.append('<p class="note">%s</p>' % inline(stripped[2:], page, number))
            continue
        if stripped.startswith(("!", "#")):
            checker.error(page.path, number, "unknown markup: %s" % stripped[:40])
            continue
        close_list()
        flush_table()
        paragraph.append(inline(stripped, page, number))
    flush_all()
    if page.title is None:
        checker.error(page.path, 1, "the page has no title (# Title)")


def read_pages(source, checker):
    pages = {}
    for language in LANGUAGES:
        folder = os.path.join(source, language)
        pages[language] = {}
        if not os.path.isdir(folder):
            checker.error(folder, 0, "no pages for this language")
            continue
        for file in sorted(os.listdir(folder)):
            if not file.endswith(".md"):
                continue
            name = file[:-3]
            path = os.path.join(folder, file)
            if not PAGE_NAME.match(name):
                checker.error(path, 0, "page names are lower-case letters, digits and dashes")
                continue
            page = Page(language, name, path)
            parse(page, checker)
            pages[language][name] = page
    return pages


def check(source, pages, checker):
    reference = set(pages.get(REFERENCE, {}))
    for language in LANGUAGES:
        own = pages[language]
        folder = os.path.join(source, language)
        if INDEX not in own:
            checker.error(folder, 0, "no %s.md" % INDEX)
        for name in sorted(reference - set(own)):
            checker.error(folder, 0, "missing page %s.md (the English help has it)" % name)
        for page in own.values():
            for line, name, anchor in page.links:
                target = own.get(name)
                if target is None:
                    checker.error(page.path, line, "broken link to %s.html" % name)
                elif anchor and anchor not in target.anchors:
                    checker.error(page.path, line, "broken link to %s.html#%s" % (name, anchor))
            for line, picture in page.images:
                if not os.path.isfile(os.path.join(source, "images", language, picture)):
                    checker.error(page.path, line, "missing picture images/%s/%s" % (language, picture))
        # Every page must be reachable from the index.
        if INDEX in own:
            seen, todo = {INDEX}, [INDEX]
            while todo:
                for _, name, _ in own[todo.pop()].links:
                    if name in own and name not in seen:
                        seen.add(name)
                        todo.append(name)
            for name in sorted(set(own) - seen):
                checker.error(own[name].path, 0, "no link leads to this page from %s.md" % INDEX)
    if not os.path.isfile(os.path.join(source, "help.css")):
        checker.error(source, 0, "no help.css")


TEMPLATE = """<!DOCTYPE html>
<html lang="{lang}">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>{title} - Tovrel</title>
<link rel="stylesheet" href="../help.css">
</head>
<body>
<nav>{nav}</nav>
<main>
{body}
</main>
</body>
</html>
"""


def write(source, output, pages):
    os.makedirs(output, exist_ok=True)
    shutil.copyfile(os.path.join(source, "help.css"), os.path.join(output, "help.css"))
    for language in LANGUAGES:
        folder = os.path.join(output, language)
        # The folder is the generator's own: pages removed from the sources go too.
        if os.path.isdir(folder):
            shutil.rmtree(folder)
        os.makedirs(os.path.join(folder, "images"))
        index = pages[language][INDEX]
        for page in pages[language].values():
            nav = "" if page.name == INDEX else '<a href="index.html">%s</a>' % html.escape(index.title)
            text = TEMPLATE.format(lang=language, title=html.escape(page.title), nav=nav,
                                   body="\n".join(page.body))
            with open(os.path.join(folder, page.name + ".html"), "w", encoding="utf-8", newline="\r\n") as f:
                f.write(text)
            for _, picture in page.images:
                shutil.copyfile(os.path.join(source, "images", language, picture),
                                os.path.join(folder, "images", picture))


def main(argv):
    if len(argv) not in (3, 4):
        sys.stderr.write(__doc__)
        return 2
    source, output = argv[1], argv[2]
    checker = Checker()
    pages = read_pages(source, checker)
    check(source, pages, checker)
    if checker.errors:
        for message in checker.errors:
            sys.stderr.write(message + "\n")
        return 1
    write(source, output, pages)
    if len(argv) == 4:
        with open(argv[3], "w") as f:
            f.write("help pages written\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
