#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""`quillo --print-pdf` as a script uses it, read back with poppler's pdftotext and pdfinfo: every
name and day of the range is text in the PDF, "n / m" numbers the pages, rows and days go on to
further pages, nothing but the PDF is written, and a bad schedule or output fails with a message.
usage: print_pdf_check.py QUILLO"""
import datetime
import os
import re
import shutil
import subprocess
import sys
import tempfile

if not shutil.which("pdftotext") or not shutil.which("pdfinfo"):
    print("poppler-utils (pdftotext, pdfinfo) is not installed")
    sys.exit(77)

QUILLO = sys.argv[1]
TODAY = datetime.date(2024, 5, 3)
WORK = tempfile.mkdtemp(prefix="quillo-print-")
CONFIG = os.path.join(WORK, "config")
RUNTIME = os.path.join(WORK, "runtime")
for d in (CONFIG, RUNTIME):
    os.mkdir(d, 0o700)
ENV = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
# No display at all, and a platform that would need one: the program must choose its own.
ENV.update(QUILLO_CONFIG_DIR=CONFIG, QUILLO_TODAY=TODAY.isoformat(), XDG_RUNTIME_DIR=RUNTIME,
           QT_QPA_PLATFORM="xcb", HOME=WORK)


def schedule(name, folders, per_folder, open_marks="+"):
    """A schedule of folders of to-dos spread around today; returns its path and the names."""
    lines, names, n = ["D\t2024\t5\t3", "A-", "{"], [], 0
    for f in range(folders):
        names.append(f"工程{f:02d} 設計")
        lines += ["\t".join(["F", names[-1], "", open_marks[f % len(open_marks)]]), "{"]
        for _ in range(per_folder):
            begin = TODAY + datetime.timedelta(days=(n * 5) % 80 - 20)
            end = begin + datetime.timedelta(days=2 + n % 11)
            names.append(f"作業{n:03d} 見積り")
            lines.append("\t".join(str(x) for x in ["I", names[-1], int(n % 6 == 0), begin.year, begin.month,
                                                       begin.day, end.year, end.month, end.day, 0, ""]))
            n += 1
        lines.append("}")
    lines.append("}")
    path = os.path.join(WORK, name)
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("cp932"))
    return path, names


def quillo(*args):
    return subprocess.run([QUILLO, *args], env=ENV, capture_output=True, timeout=120)


def pages(pdf):
    return int(re.search(rb"Pages:\s+(\d+)", subprocess.run(["pdfinfo", pdf], check=True,
                                                             capture_output=True).stdout).group(1))


def text(pdf, page=None):
    span = ["-f", str(page), "-l", str(page)] if page else []
    return subprocess.run(["pdftotext", *span, pdf, "-"], check=True, capture_output=True).stdout.decode()


def header_days(pdf, page):
    """The month and day numbers of a page's day header, left to right."""
    html = subprocess.run(["pdftotext", "-bbox", "-f", str(page), "-l", str(page), pdf, "-"], check=True,
                          capture_output=True).stdout.decode()
    words = [(float(x), float(y), w) for x, y, w in
             re.findall(r'<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>([^<]*)</word>', html)]
    info = next((x, y) for x, y, w in words if w == "情報")
    lines = {}
    for x, y, w in words:
        if w.isdigit() and x > info[0] and abs(y - info[1]) < 15:
            lines.setdefault(round(y), []).append((x, w))
    months, days = (" ".join(w for _, w in sorted(lines[y])) for y in sorted(lines)[:2])
    return months, days


def expect_range(months, days, first, count):
    run = [first + datetime.timedelta(days=i) for i in range(count)]
    assert months == " ".join(str(d.month) for d in run), (months, first, count)
    assert days == " ".join(str(d.day) for d in run), (days, first, count)


def written(folder):
    return sorted(os.listdir(folder))


# 300 items, every folder open as the user left it: every name, the range's days, several pages.
big, names = schedule("plan300.qlp", 30, 9)
assert len(names) == 300
before = open(big, "rb").read()
out = os.path.join(WORK, "out.pdf")
r = quillo("--print-pdf", out, big)
assert r.returncode == 0 and not r.stderr, r
assert pages(out) > 1, pages(out)
whole = text(out)
missing = [n for n in names if n not in whole]
assert not missing, missing[:5]
assert "1 /" in text(out, 1), text(out, 1)[-200:]
chart = TODAY - datetime.timedelta(days=7)
expect_range(*header_days(out, 1), chart, 60)
assert "plan300" in text(out, 1)
assert open(big, "rb").read() == before, "the schedule was changed"

# Run as cron runs it, without a session's runtime folder: still nothing but the PDF on success.
r = subprocess.run([QUILLO, "--print-pdf", os.path.join(WORK, "cron.pdf"), big], capture_output=True, timeout=120,
                   env={k: v for k, v in ENV.items() if k != "XDG_RUNTIME_DIR"})
assert r.returncode == 0 and not r.stderr, r

# Three items: one page.
small, _ = schedule("plan3.qlp", 1, 2)
r = quillo("--print-pdf", os.path.join(WORK, "small.pdf"), small)
assert r.returncode == 0, r
assert pages(os.path.join(WORK, "small.pdf")) == 1

# 120 days at a legible width: pages across, each with the name column, together the whole range.
wide = os.path.join(WORK, "wide.pdf")
r = quillo("--print-pdf", wide, "--from", "2024/04/01", "--days", "120", "--legible", small)
assert r.returncode == 0, r
across = pages(wide)
assert across >= 2, across
shown = []
for p in range(1, across + 1):
    assert "項目名" in text(wide, p), p
    assert f"{p} / {across}" in text(wide, p)
    months, days = header_days(wide, p)
    shown += days.split()
expect_range(" ".join(str((datetime.date(2024, 4, 1) + datetime.timedelta(days=i)).month) for i in range(120)),
             " ".join(shown), datetime.date(2024, 4, 1), 120)

# Closed folders: their items only with --expand-all.
closed, names = schedule("closed.qlp", 4, 3, open_marks="-")
r = quillo("--print-pdf", os.path.join(WORK, "closed.pdf"), closed)
assert r.returncode == 0 and "作業000" not in text(os.path.join(WORK, "closed.pdf")), r
r = quillo("--print-pdf", os.path.join(WORK, "all.pdf"), "--expand-all", closed)
assert r.returncode == 0 and all(n in text(os.path.join(WORK, "all.pdf")) for n in names), r

# Nothing but the PDFs: no settings, no lock, no temporary file left beside them.
assert written(CONFIG) == [] and written(RUNTIME) == [], (written(CONFIG), written(RUNTIME))
assert not [f for f in written(WORK) if f.endswith(".tmp")], written(WORK)

# Failures: a message, a non-zero status, and no PDF.
stray = os.path.join(WORK, "notes.txt")
with open(stray, "w") as f:
    f.write("not a schedule\n")
for args, status in [((stray,), 2), ((os.path.join(WORK, "absent.qlp"),), 2), (("--days", "400", big), 64),
                     (("--from", "2024-13-01", big), 64)]:
    target = os.path.join(WORK, "failed.pdf")
    r = quillo("--print-pdf", target, *args)
    assert r.returncode == status and r.stderr.startswith(b"quillo: "), (args, r)
    assert not os.path.exists(target), args
for target in (os.path.join(WORK, "no-such-folder", "x.pdf"), CONFIG):  # a folder is no file to replace
    r = quillo("--print-pdf", target, big)
    assert r.returncode == 74 and r.stderr.startswith(b"quillo: "), (target, r)
assert written(CONFIG) == [], written(CONFIG)
# The schedule named as the PDF too, also through a link: refused, the schedule untouched.
os.symlink(big, os.path.join(WORK, "link.pdf"))
for target in (big, os.path.join(WORK, "link.pdf")):
    r = quillo("--print-pdf", target, big)
    assert r.returncode == 64 and r.stderr.startswith(b"quillo: "), (target, r)
    assert open(big, "rb").read() == before, target

shutil.rmtree(WORK)
print("print-pdf check: fine")
