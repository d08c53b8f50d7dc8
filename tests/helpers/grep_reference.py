#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""`quillo-cli list FILE --grep TEXT --tsv` on seeded random schedules against a second
implementation of the rule, written from its description rather than from the program: a row is
listed when its item's name, memo or link contains the text, both compared after NFKC
normalisation and case folding (with --kana, hiragana read as katakana), or when a row below it is;
in tree order. Typed text counts as what cp932 stores for it (an input method's wave dash U+301C is
kept as the bytes that read back as U+FF5E).

usage: grep_reference.py QUILLO_CLI [SCHEDULES]
"""
import datetime
import os
import random
import subprocess
import sys
import tempfile
import unicodedata

CLI = sys.argv[1]
SCHEDULES = int(sys.argv[2]) if len(sys.argv) > 2 else 40
QUERIES = 8
TODAY = datetime.date(2024, 5, 3)


def nfkc(s):
    return unicodedata.normalize("NFKC", s)


# Characters with width, case, kana and composed-form twins, all stored by cp932 as themselves.
POOL = [c for c in (
    "aAbBcCxXzZ019 -_~%\\/."
    "ＡＢＣａｂｃＸｚ０１９"
    "あいうかがきぎさざぱぴゃゆよわをんゝゞ"
    "アイウカガキギサザパピャユヨワヲンヽヾヴヵヶー"
    "ｱｲｳｶｷｻﾊﾋﾕﾖﾜｦﾝｰﾞﾟ"
    "見積予定表会議報告書本ソ"
    "～①Ⅱ㍉㈱№ΣσΔδДд゛゜・")
    if c.encode("cp932").decode("cp932") == c]

# What cp932 keeps for characters it stores as another one's bytes.
STORED_AS = {"\u301c": "\uff5e", "\u2016": "\u2225", "\u2212": "\uff0d", "\u00a2": "\uffe0",
             "\u00a3": "\uffe1", "\u00ac": "\uffe2", "\u00a5": "\\", "\u203e": "~"}
HIRA_TO_KATA = {c: c + 0x60 for c in range(0x3041, 0x3097)}
HIRA_TO_KATA.update({0x309D: 0x30FD, 0x309E: 0x30FE})

HALF_WIDTH = {}  # full-width katakana (composed) to half-width spelling
for h in map(chr, range(0xFF66, 0xFF9E)):
    HALF_WIDTH.setdefault(nfkc(h), h)
    for mark in "ﾞﾟ":
        if len(nfkc(h + mark)) == 1:
            HALF_WIDTH.setdefault(nfkc(h + mark), h + mark)


def form(s, kana):
    f = nfkc(s).casefold()
    return unicodedata.normalize("NFC", f.translate(HIRA_TO_KATA)) if kana else f


def typed_form(s, kana):
    s = unicodedata.normalize("NFC", s)
    return form("".join(STORED_AS.get(c, c) for c in s), kana)


class Item:
    def __init__(self, level, folder, rng):
        self.level, self.folder, self.children = level, folder, []
        self.name = text(rng, 1, 8)
        self.memo = text(rng, 0, 10, "\t\n%") if rng.random() < 0.4 else ""
        self.link = text(rng, 0, 8, "%") if rng.random() < 0.3 else ""
        self.checked = rng.random() < 0.3
        self.begin = day(rng) if rng.random() < 0.6 else None
        self.end = self.begin + datetime.timedelta(days=rng.randint(0, 9)) if self.begin else None
        self.open = rng.random() < 0.5


def text(rng, least, most, extra=""):
    pool = POOL + list(extra)
    return "".join(rng.choice(pool) for _ in range(rng.randint(least, most)))


def day(rng):
    return TODAY + datetime.timedelta(days=rng.randint(-20, 20))


def make_tree(rng):
    top, items, open_folders = [], [], []
    for _ in range(rng.randint(5, 60)):
        parent = rng.choice(open_folders) if open_folders and rng.random() < 0.7 else None
        item = Item(parent.level + 1 if parent else 1, rng.random() < 0.3, rng)
        (parent.children if parent else top).append(item)
        if item.folder:
            open_folders.append(item)
    order = []  # tree order, iteratively
    stack = list(reversed(top))
    while stack:
        item = stack.pop()
        order.append(item)
        stack.extend(reversed(item.children))
    return top, order


def extra_text(item):
    out = ""
    if item.memo:
        m = item.memo.replace("%", "%25;").replace("\t", "%09;").replace("\r", "%0D;").replace("\n", "%0A;")
        out += "%mb;" + m + "%me;"
    if item.link:
        out += "%lb;" + item.link.replace("%", "%25;") + "%le;"
    return out


def date_fields(d):
    return "-\t-\t-" if d is None else "%d\t%d\t%d" % (d.year, d.month, d.day)


def schedule_bytes(top):
    lines = ["D\t2024\t5\t3", "A-", "{"]
    stack = [("items", list(top))]
    while stack:
        kind, rest = stack[-1]
        if not rest:
            stack.pop()
            if stack:
                lines.append("}")
            continue
        item = rest.pop(0)
        if item.folder:
            lines.append("F\t%s\t%s\t%s" % (item.name, extra_text(item), "+" if item.open else "-"))
        else:
            lines.append("I\t%s\t%d\t%s\t%s\t0\t%s" % (item.name, item.checked, date_fields(item.begin),
                                                        date_fields(item.end), extra_text(item)))
        if item.children:
            lines.append("{")
            stack.append(("items", list(item.children)))
    lines.append("}")
    return ("\r\n".join(lines) + "\r\n").encode("cp932")


def variant(s, rng, kana):
    """The same text typed another way: width, case, half-width kana, kana kind, sound marks apart."""
    out = []
    for c in s:
        r = rng.random()
        if r < 0.2 and "!" <= c <= "~":
            c = chr(ord(c) + 0xFEE0)
        elif r < 0.2 and "\uff01" <= c <= "\uff5e":
            c = chr(ord(c) - 0xFEE0)
        elif r < 0.4:
            c = c.swapcase()
        elif r < 0.55 and c in HALF_WIDTH:
            c = HALF_WIDTH[c]
        elif r < 0.7 and kana and "\u30a1" <= c <= "\u30f6":
            c = chr(ord(c) - 0x60)
        elif r < 0.8:
            c = unicodedata.normalize("NFD", c)
        if c == "\uff5e" and rng.random() < 0.7:
            c = "\u301c"
        out.append(c)
    return "".join(out)


def needle(order, rng, kana):
    if rng.random() < 0.15:
        return text(rng, 1, 3)
    item = rng.choice(order)
    source = rng.choice([item.name, item.name, item.memo, item.link]) or item.name
    start = rng.randrange(len(source))
    return variant(source[start:start + rng.randint(1, 4)], rng, kana) or "x"


def expected_rows(title, order, typed, kana):
    n = typed_form(typed, kana)
    shown = set()
    path = []
    for item in order:
        del path[item.level - 1:]
        path.append(item)
        if any(n in form(t, kana) for t in (item.name, item.memo, item.link)):
            shown.update(id(p) for p in path)
    rows = [("0", "R", title)] if shown else []
    rows += [(str(i.level), "F" if i.folder else "I", i.name) for i in order if id(i) in shown]
    return rows


def run(args):
    r = subprocess.run([CLI] + args, capture_output=True)
    if r.returncode != 0:
        sys.exit("quillo-cli %s: exit %d: %s" % (args, r.returncode, r.stderr.decode(errors="replace")))
    return [line.split("\t") for line in r.stdout.decode("utf-8").split("\n") if line]


def main():
    failures = checked = 0
    with tempfile.TemporaryDirectory() as tmp:
        config = os.path.join(tmp, "config")
        os.mkdir(config)
        for seed in range(SCHEDULES):
            rng = random.Random(seed)
            top, order = make_tree(rng)
            path = os.path.join(tmp, "s%d.qlp" % seed)
            with open(path, "wb") as f:
                f.write(schedule_bytes(top))
            base = ["list", path, "--tsv", "--today", TODAY.isoformat(), "--config-dir", config]
            assert [r[3] for r in run(base)[1:]] == [i.name for i in order], "the file is not the tree made"
            for _ in range(QUERIES):
                kana = rng.random() < 0.5
                typed = needle(order, rng, kana)
                got = [tuple(r[i] for i in (0, 1, 3)) for r in run(base + ["--grep", typed] + ["--kana"] * kana)]
                want = expected_rows("s%d" % seed, order, typed, kana)
                checked += 1
                if got != want:
                    failures += 1
                    print("seed %d: --grep %r kana=%s\n  quillo-cli: %s\n  reference:  %s"
                          % (seed, typed, kana, got, want))
    print("%d queries on %d schedules, %d disagreements" % (checked, SCHEDULES, failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
