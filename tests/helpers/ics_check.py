#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""`quillo-cli export --ics` as other programs read it: python3-icalendar parses each test
schedule's export, whose dates are those `list --tsv` shows with DUE after DTSTART, without a
made-up COMPLETED stamp, with unique UIDs and each rule; todoman, where installed, lists the
to-dos from a vdir with the same due dates and checks. usage: ics_check.py QUILLO_CLI DATA_DIR"""
import datetime
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

try:
    import icalendar
except ImportError:
    print("python3-icalendar is not installed")
    sys.exit(77)

RULE = re.compile(r"^\.?\+[1-9][0-9]{0,3}[dwmyb]$")


def run(*args, env=None):
    return subprocess.run(args, check=True, capture_output=True, env=env).stdout


def date_of(text):
    """'2024/05/10(金)' or '-' from a listing."""
    return None if text == "-" else datetime.date(int(text[0:4]), int(text[5:7]), int(text[8:10]))


def check(cli, path, config):
    ics = run(cli, "export", path, "--ics", "--today", "2024-05-03", "--config-dir", config)
    todos = list(icalendar.Calendar.from_ical(ics).walk("VTODO"))
    rows = [line.split("\t") for line in run(cli, "list", path, "--tsv", "--today", "2024-05-03", "--config-dir",
                                             config).decode("utf-8").splitlines()[1:]]
    assert len(rows) == len(todos), (path, len(rows), len(todos))
    uids = [str(t["UID"]) for t in todos]
    assert len(set(uids)) == len(uids), path
    for row, todo in zip(rows, todos):
        where = f"{os.path.basename(path)}: {row[3]}"
        assert str(todo["SUMMARY"]) == row[3], where
        assert "COMPLETED" not in todo, where
        start = todo["DTSTART"].dt if "DTSTART" in todo else None
        due = todo["DUE"].dt if "DUE" in todo else None
        if start and due:
            assert due > start, where
        if row[1] == "I":
            begin, end = date_of(row[4]), date_of(row[5])
            assert due == end, where
            assert start == (begin if begin and (not end or begin < end) else None), where
            assert (str(todo["STATUS"]) == "COMPLETED") == (row[2] == "8"), where  # image 8: a done to-do
            rule = row[-1]
            assert str(todo.get("X-QUILLO-REPEAT", "")) == rule, where
            assert ("RRULE" in todo) == bool(RULE.match(rule) and (begin or end)), where
    return ics, todos


def todoman_lists(todos, work):
    """The to-dos as todoman lists them from a vdir: (summary, due, done), sorted."""
    vdir = os.path.join(work, "vdir", "plan")
    os.makedirs(vdir)
    for todo in todos:
        one = icalendar.Calendar()
        one.add("version", "2.0")
        one.add("prodid", "-//quillo tests//ics_check//EN")
        one.add_component(todo)
        with open(os.path.join(vdir, str(todo["UID"]) + ".ics"), "wb") as f:
            f.write(one.to_ical())
    config = os.path.join(work, "config", "todoman")
    os.makedirs(config)
    with open(os.path.join(config, "config.py"), "w") as f:
        f.write(f'path = "{os.path.join(work, "vdir")}/*"\ndate_format = "%Y-%m-%d"\ntime_format = "%H:%M"\n'
                'default_list = "plan"\n')
    env = dict(os.environ, TZ="UTC", HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_CACHE_HOME=os.path.join(work, "cache"), XDG_DATA_HOME=os.path.join(work, "data"))
    listed = json.loads(run("todoman", "--porcelain", "list", "--status", "ANY", env=env))
    utc = datetime.timezone.utc
    return sorted((t["summary"], t["due"] and datetime.datetime.fromtimestamp(t["due"], utc).date(), t["completed"])
                  for t in listed)


def main():
    cli, data = sys.argv[1], sys.argv[2]
    todoman = shutil.which("todoman")
    checked = 0
    with tempfile.TemporaryDirectory() as config:
        for name in ("roundtrip.qlp", "handedited.qlp", "repeat.qlp"):
            _, todos = check(cli, os.path.join(data, name), config)
            checked += len(todos)
            if not todoman:
                continue
            with tempfile.TemporaryDirectory() as work:
                ours = sorted((str(t["SUMMARY"]), t["DUE"].dt if "DUE" in t else None,
                               str(t["STATUS"]) == "COMPLETED") for t in todos)
                assert todoman_lists(todos, work) == ours, name
    print(f"ics_check: {checked} to-dos read back" + ("" if todoman else " (todoman not installed, not asked)"))
    print("1 passed, 0 failed")


if __name__ == "__main__":
    main()
