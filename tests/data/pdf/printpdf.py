#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Prints a simple Fountain screenplay as PDF with ReportLab (Debian: python3-reportlab), with
habits of its own: the test PDFs beside this script come from it, so that the reader meets pages
that the tests' own printer did not make.

    printpdf.py harbour.fountain             # writes harbour-*.pdf beside it
    printpdf.py play.fountain play.pdf       # a full-length US Letter print, 55 lines a page

Pages are set in Courier 12 pt: headings bold, cues at 3.7 inches from the paper's edge,
dialogue at 2.5, parentheticals at 3.1 with their second line one further in, transitions
right-aligned at 7.5 inches, page numbers at the top right from page 2, "(MORE)" and "NAME
(CONT'D)" around a speech a page break cuts, "(CONT'D)" after a cue whose speaker goes on after
action, dual dialogue side by side.
"""
import re
import sys
from pathlib import Path

from reportlab.lib.pagesizes import A4, letter
from reportlab.pdfgen import canvas

INCH = 72
SIZE = 12
LINE = 12
ADVANCE = 7.2
ACTION, DIALOGUE, PAREN, CUE, RIGHT = 1.5 * INCH, 2.5 * INCH, 3.1 * INCH, 3.7 * INCH, 7.5 * INCH
DUAL = ((1.5 * INCH, 2.5 * INCH), (4.5 * INCH, 5.3 * INCH))  # (speech, cue) of each side
HEADING = re.compile(r"^(INT|EXT|EST|INT\./EXT|INT/EXT|I/E)[. ]", re.I)


def wrap(text, width):
    lines, line = [], ""
    for word in text.split():
        if line and len(line) + 1 + len(word) > width:
            lines.append(line)
            line = word
        else:
            line = f"{line} {word}" if line else word
    return lines + [line] if line else lines


def elements(source):
    """(kind, text) pairs of a small Fountain subset."""
    lines = source.split("\n")
    i = 0
    if re.match(r"^\w[\w ]*:", lines[0]):
        title = {}
        while i < len(lines) and lines[i].strip():
            key, _, value = lines[i].partition(":")
            title[key.strip().lower()] = value.strip()
            i += 1
        yield "title", title
    body = lines[i:]
    n = len(body)
    blank = lambda k: k < 0 or k >= n or not body[k].strip()
    k = 0
    while k < n:
        text = body[k].strip()
        if not text:
            k += 1
        elif HEADING.match(text) and blank(k - 1):
            yield "heading", text
            k += 1
        elif text.startswith(".") and not text.startswith("..") and blank(k - 1):
            yield "heading", text[1:]
            k += 1
        elif text.startswith(">") and text.endswith("<"):
            yield "centred", text[1:-1].strip()
            k += 1
        elif text.isupper() and text.endswith("TO:") and blank(k - 1) and blank(k + 1):
            yield "transition", text
            k += 1
        elif blank(k - 1) and not blank(k + 1) and text.upper() == text and re.search("[A-Z]", text):
            speech = []
            k += 1
            while k < n and body[k].strip():
                speech.append(body[k].strip())
                k += 1
            dual = text.endswith("^")
            yield "dual" if dual else "speech", (text.rstrip("^ ").strip(), speech)
        else:
            yield "action", text
            k += 1


class Printer:
    def __init__(self, path, paper, lines_per_page, numbers, continued, footer, rotate, centred):
        # ReportLab swaps the sides of a page it turns a quarter; given swapped, they stay.
        turned = (paper[1], paper[0]) if rotate in (90, 270) else paper
        self.c = canvas.Canvas(str(path), pagesize=turned, pageCompression=1)
        self.width, self.height = paper
        self.lines_per_page = lines_per_page
        self.numbers, self.continued, self.footer = numbers, continued, footer
        self.rotate, self.centred = rotate, centred
        self.page = 0
        self.rows = []  # the rows of the page being filled: lists of (x, text, font, align)
        self.scene = 0
        self.last_speaker = None

    def new_page(self, more=None, scene_goes_on=False):
        if self.page:
            if more:
                self.rows.append([(self.cue_x(more), "(MORE)", "Courier", "left")])
            if scene_goes_on and self.continued:
                self.rows.append([(RIGHT, "(CONTINUED)", "Courier", "right")])
            self.flush()
        self.page += 1
        self.rows = []
        if scene_goes_on and self.continued:
            self.rows += [[(ACTION, "CONTINUED:", "Courier", "left")], []]

    def cue_x(self, cue):
        return (DIALOGUE + 3.5 * INCH) / 2 + INCH / 2 - len(cue) * ADVANCE / 2 if self.centred else CUE

    def flush(self):
        c = self.c
        c.setPageRotation(self.rotate)
        top = self.height - INCH
        if self.page > 1:
            c.setFont("Courier", SIZE)
            c.drawRightString(RIGHT, self.height - INCH / 2, f"{self.page - 1}.")
        if self.footer:
            c.setFont("Courier", SIZE)
            c.drawCentredString(self.width / 2, INCH / 2, self.footer)
        for k, row in enumerate(self.rows):
            for x, text, font, align in row:
                c.setFont(font, SIZE)
                y = top - k * LINE
                if align == "right":
                    c.drawRightString(x, y, text)
                elif align == "centre":
                    c.drawCentredString(x, y, text)
                else:
                    c.drawString(x, y, text)
        c.showPage()

    def room(self):
        return self.lines_per_page - len(self.rows)

    def add(self, rows, keep=1, speaker=None):
        """Adds rows, the first `keep` of them on one page."""
        if self.rows and self.rows[-1]:
            rows = [[]] + rows
            keep += 1
        if self.room() < keep:
            self.new_page(scene_goes_on=self.scene > 0)
            rows = rows[1:] if rows and not rows[0] else rows
        self.rows += rows

    def title(self, title):
        self.page = 1
        self.rows = [[] for _ in range(18)]
        for key in ("title", "credit", "author"):
            if key in title:
                self.rows += [[(self.width / 2, title[key], "Courier", "centre")], []]
        self.rows += [[] for _ in range(10)] + [[(ACTION, title.get("draft date", ""), "Courier", "left")]]
        self.flush()
        self.rows = []

    def heading(self, text):
        self.scene += 1
        row = [(ACTION, text.upper(), "Courier-Bold", "left")]
        if self.numbers:
            row += [(ACTION - 0.6 * INCH, str(self.scene), "Courier", "left"),
                    (RIGHT + 0.3 * INCH, str(self.scene), "Courier", "right")]
        self.add([row], keep=3)
        self.last_speaker = None

    def action(self, text, x=ACTION, align="left", width=60):
        self.add([[(x, line, "Courier", align)] for line in wrap(text, width)], keep=2)
        self.last_speaker = None if align == "left" else self.last_speaker

    def speech_rows(self, speech, speech_x, paren_x, width=35, paren_width=25):
        rows = []
        for line in speech:
            if line.startswith("("):
                for j, piece in enumerate(wrap(line, paren_width)):
                    rows.append((paren_x + (ADVANCE if j else 0), piece))
            else:
                rows += [(speech_x, piece) for piece in wrap(line, width)]
        return rows

    def speech(self, cue, speech):
        name = re.sub(r"\s*\(.*", "", cue)
        if name == self.last_speaker and "(" not in cue:
            cue += " (CONT'D)"
        rows = self.speech_rows(speech, DIALOGUE, PAREN)
        self.add([[(self.cue_x(cue), cue, "Courier", "left")]], keep=3)
        for x, text in rows:
            if self.room() < 1 + 1:
                self.new_page(more=cue, scene_goes_on=self.scene > 0)
                self.rows.append([(self.cue_x(name), f"{name} (CONT'D)", "Courier", "left")])
            self.rows.append([(x, text, "Courier", "left")])
        self.last_speaker = name

    def dual(self, left, right):
        sides = []
        for (cue, speech), (speech_x, cue_x) in zip((left, right), DUAL):
            rows = [(cue_x, cue)] + self.speech_rows(speech, speech_x, speech_x + 0.4 * INCH, 28, 22)
            sides.append(rows)
        both = [[(x, t, "Courier", "left") for x, t in (s[k] for s in sides if k < len(s))]
                for k in range(max(map(len, sides)))]
        self.add(both, keep=len(both))
        self.last_speaker = None

    def print(self, source):
        items = list(elements(source))
        for k, (kind, value) in enumerate(items):
            if kind == "title":
                self.title(value)
            elif kind == "heading":
                self.heading(value)
            elif kind == "centred":
                self.action(value, self.width / 2 + INCH / 4, "centre")
            elif kind == "transition":
                self.action(value, RIGHT, "right")
            elif kind == "speech":
                if k + 1 < len(items) and items[k + 1][0] == "dual":
                    continue
                self.speech(*value)
            elif kind == "dual":
                self.dual(items[k - 1][1], value)
            else:
                self.action(value)
        if self.page == 0 or self.rows:
            if self.page == 0:
                self.page = 1
            self.flush()
        self.c.save()


def main(source, output):
    text = Path(source).read_text(encoding="utf-8")
    stem = Path(source).with_suffix("")
    styles = {
        "a4": dict(paper=A4, lines_per_page=20, numbers=True, continued=True,
                   footer="DRAFT 3 March 2024", rotate=0, centred=False),
        "letter-centred": dict(paper=letter, lines_per_page=24, numbers=False, continued=False,
                               footer="", rotate=0, centred=True),
        "a4-turned": dict(paper=A4, lines_per_page=20, numbers=True, continued=True,
                          footer="DRAFT 3 March 2024", rotate=90, centred=False),
    }
    if output:
        Printer(output, paper=letter, lines_per_page=55, numbers=True, continued=True,
                footer="", rotate=0, centred=False).print(text)
        return
    for name, style in styles.items():
        Printer(f"{stem}-{name}.pdf", **style).print(text)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None)
