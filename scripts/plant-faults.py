#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Plants realistic single faults one at a time and tells which ones the test suite notices.

A developer tool, not part of CI. It works in a scratch worktree of its own (never the one you edit):
the committed HEAD plus the uncommitted changes and new files of this checkout, built once without
-Werror (a planted fault may warn), then per fault: plant, rebuild incrementally, run the suite
(the slow checks left out), restore.

  scripts/plant-faults.py [--scratch DIR] [--only NAME ...] [--list] [--keep] [--jobs N]

A fault whose original text no longer stands exactly once in its file is reported as stale, and one
that does not build as no-build; neither counts. The exit status is 0 when at least 90 % of the
counted faults were caught.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

# name, area, file, original text (exactly once in the file), replacement
FAULTS = [
    # history
    ("history-saved-point-kept", "history", "src/core/model/History.cpp",
     "    if (mSaved > static_cast<long>(mNext)) mSaved = -1; // the saved state was undone and is gone\n", ""),
    ("history-clear-not-saved", "history", "src/core/model/History.cpp",
     "    mNext = 0;\n    mSaved = 0;\n", "    mNext = 0;\n    mSaved = -1;\n"),
    ("history-absent-row-off-by-one", "history", "src/core/model/History.cpp",
     "row >= absent->Index()", "row > absent->Index()"),
    ("history-redo-no-notice", "history", "src/core/model/History.cpp",
     "    TTreeNode* node = mSteps[mNext++]->Redo(target);\n    if (OnStep) OnStep();\n",
     "    TTreeNode* node = mSteps[mNext++]->Redo(target);\n"),
    # editor rules
    ("editor-new-after-todo-before-it", "editor", "src/core/edit/Editor.cpp",
     "return {at->Parent(), at->Index() + 1};", "return {at->Parent(), at->Index()};"),
    ("editor-move-down-two-rows", "editor", "src/core/edit/Editor.cpp",
     "return RecordedMove(node->GetNextSibling(), node->Parent(), node->Index());",
     "return RecordedMove(node->GetNextSibling(), node->Parent(), node->Index() + 1);"),
    ("editor-shift-checks-end-by-begin", "editor", "src/core/edit/Editor.cpp",
     "!IsItemDate(item->EndDate + endDays)", "!IsItemDate(item->EndDate + beginDays)"),
    ("editor-rechecked-repeats-again", "editor", "src/core/edit/Editor.cpp",
     "if (item->IsFolder() || before.Checked || !item->Checked) return nullptr;",
     "if (item->IsFolder() || !item->Checked) return nullptr;"),
    ("editor-unchanged-confirm-no-mark", "editor", "src/core/edit/Editor.cpp",
     "        mDocument.ChangedOutsideHistory(); // confirmed as it was: still a change to the user\n", ""),
    ("editor-new-date-not-clamped", "editor", "src/core/edit/Editor.cpp",
     "    if (date != 0) date = ClampItemDate(date);\n", ""),
    ("editor-drop-down-no-correction", "editor", "src/core/edit/Editor.cpp",
     "source->Index() < target->Index()", "source->Index() > target->Index()"),
    ("editor-todo-folder-no-refresh", "editor", "src/core/edit/Editor.cpp",
     "    RefreshAll(mTarget.Ctx, mDocument.Nodes());\n    return folder;\n", "    return folder;\n"),
    ("steps-shift-undo-end-from-begin", "editor", "src/core/edit/EditSteps.cpp",
     "n->Data()->EndDate = saved->End;", "n->Data()->EndDate = saved->Begin;"),
    ("steps-move-no-old-parent-refresh", "editor", "src/core/edit/EditSteps.cpp",
     "        MoveToIndex(t.Nodes, node, newParent, toIndex);\n        Reevaluate(t, oldParent);\n",
     "        MoveToIndex(t.Nodes, node, newParent, toIndex);\n"),
    # transfer
    ("transfer-paste-before-todo", "transfer", "src/core/edit/Transfer.cpp",
     "        index = selected->Index() + 1;\n", "        index = selected->Index();\n"),
    ("transfer-checks-reset-unasked", "transfer", "src/core/edit/Transfer.cpp",
     "if (askResetChecks && askResetChecks()) ResetChecks(pasted);", "if (askResetChecks) ResetChecks(pasted);"),
    ("transfer-url-extension-case", "transfer", "src/core/edit/Transfer.cpp",
     'if (SameText(ext, ".url")) {', 'if (ext == ".url") {'),
    ("transfer-import-under-todo", "transfer", "src/core/edit/Transfer.cpp",
     "    if (const TSchItem* item = target->Data(); item && !item->IsFolder()) target = target->Parent();\n", ""),
    ("transfer-safe-name-keeps-dot", "transfer", "src/core/edit/Transfer.cpp",
     'kRemoved = "\\"*./:<>?\\\\|";', 'kRemoved = "\\"*/:<>?\\\\|";'),
    # iCalendar
    ("ical-one-day-gets-dtstart", "icalendar", "src/core/edit/ICalendar.cpp",
     "(end <= 0 || begin < end)", "(end <= 0 || begin <= end)"),
    ("ical-namesakes-not-counted", "icalendar", "src/core/edit/ICalendar.cpp",
     "namesakes[parentUid + '\\t' + item->Name]++;", "namesakes[parentUid + '\\t' + item->Name];"),
    ("ical-month-end-days-short", "icalendar", "src/core/edit/ICalendar.cpp",
     "for (int day = 28; day <= d; ++day)", "for (int day = 28; day < d; ++day)"),
    ("ical-workdays-level-strict", "icalendar", "src/core/edit/ICalendar.cpp",
     "if (calendar.WeekdayLevel(dow) <= threshold)", "if (calendar.WeekdayLevel(dow) < threshold)"),
    # holiday import
    ("holiday-span-one-day-more", "holiday import", "src/core/model/HolidayLists.cpp",
     "d < first + span && d <= kLastItemDate", "d <= first + span && d <= kLastItemDate"),
    ("holiday-yearly-first-day-only", "holiday import", "src/core/model/HolidayLists.cpp",
     "AddSpan(d, span);", "AddSpan(d, 1);"),
    ("holiday-folded-line-keeps-space", "holiday import", "src/core/model/HolidayLists.cpp",
     "mLine.append(line.substr(1));", "mLine.append(line);"),
    ("holiday-dtend-inclusive", "holiday import", "src/core/model/HolidayLists.cpp",
     "end = std::min(d, first + kMaxSpan);", "end = std::min(d + 1, first + kMaxSpan);"),
    # tray clicks
    ("tray-double-leaves-pending", "tray clicks", "src/core/shell/TrayClick.cpp",
     "void TTrayClickTracker::DoubleClick(TTrayButton button) {\n    mClickPending = false;\n",
     "void TTrayClickTracker::DoubleClick(TTrayButton button) {\n"),
    ("tray-report-keeps-down", "tray clicks", "src/core/shell/TrayClick.cpp",
     "    if (!mDown[button]) return;\n    mDown[button] = false;\n", "    if (!mDown[button]) return;\n"),
    ("tray-timer-prefers-right", "tray clicks", "src/core/shell/TrayClick.cpp",
     "mDown[tbLeft] ? tbLeft : mDown[tbRight] ? tbRight : tbMiddle",
     "mDown[tbRight] ? tbRight : mDown[tbLeft] ? tbLeft : tbMiddle"),
    # association
    ("mime-key-found-in-other-section", "association", "src/core/shell/MimeAssociation.cpp",
     "            if (section >= 0) break;\n", ""),
    ("mime-removal-drops-others", "association", "src/core/shell/MimeAssociation.cpp",
     "                else\n                    value += e + \";\";\n", "                else\n                    ;\n"),
    ("mime-exec-upper-field-code", "association", "src/core/shell/MimeAssociation.cpp",
     's.SCArguments = "%f";', 's.SCArguments = "%F";'),
    # instance lock
    ("lock-folder-readable-by-others", "instance lock", "src/core/shell/InstanceLock.cpp",
     "(st.st_mode & 077) != 0", "(st.st_mode & 022) != 0"),
    ("lock-follows-symlink", "instance lock", "src/core/shell/InstanceLock.cpp",
     "O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW", "O_RDWR | O_CREAT | O_CLOEXEC"),
    ("lock-other-owner-accepted", "instance lock", "src/core/shell/InstanceLock.cpp",
     "    else if (st.st_uid != ::getuid())\n        why = \"ほかのユーザーのフォルダです。\";\n", ""),
    # settings
    ("settings-height-from-width", "settings", "src/core/settings/Settings.cpp",
     's.FormH = ReadClamped(store, "FormH", 0, kFarPosition);', 's.FormH = ReadClamped(store, "FormW", 0, kFarPosition);'),
    ("settings-chart-offset-not-negative", "settings", "src/core/settings/Settings.cpp",
     '"ChartDate", -kMaxChartOffset, kMaxChartOffset', '"ChartDate", 0, kMaxChartOffset'),
    ("settings-maximized-forgets-place", "settings", "src/core/settings/Settings.cpp",
     '        attempt([&] { store.ItemFiler("Maximized").WriteBool(true); });\n',
     '        attempt([&] { store.ItemFiler("Maximized").WriteBool(false); });\n'),
    # pool
    ("pool-free-unrounded", "pool", "src/core/base/Pool.cpp",
     "        return;\n    }\n    TSizePool& pool = gPools[rounded / kAlign];",
     "        return;\n    }\n    TSizePool& pool = gPools[size / kAlign];"),
    ("pool-chunk-overrun", "pool", "src/core/base/Pool.cpp",
     "pool.Next + rounded > pool.End", "pool.Next > pool.End"),
    # line reader
    ("lines-crlf-twice", "line reader", "src/core/base/StrUtil.cpp",
     "    if (mText[end] == '\\r' && mPos < mText.size() && mText[mPos] == '\\n') ++mPos;\n", ""),
    ("lines-lone-cr-ignored", "line reader", "src/core/base/StrUtil.cpp",
     "const void* cr = std::memchr(base + mPos, '\\r', lfAt - mPos);", "const void* cr = nullptr;"),
    ("int-double-sign-accepted", "line reader", "src/core/base/StrUtil.cpp",
     "        if (!text.empty() && (text[0] == '+' || text[0] == '-')) return false;\n", ""),
    # day list
    ("daylist-delayed-today-zero", "day list", "src/core/model/DayList.cpp",
     'return ctx.Today >= date ? "遅延" : "0日間";', 'return ctx.Today > date ? "遅延" : "0日間";'),
    ("daylist-past-counts-from-date", "day list", "src/core/model/DayList.cpp",
     'cal.DayCountText(item, "残", date < ctx.Today ? ctx.Today : date, item.EndDate);',
     'cal.DayCountText(item, "残", date, item.EndDate);'),
    ("daylist-pictures-swapped", "day list", "src/core/model/DayList.cpp",
     "{niFolderWarning, niFolderCaution,", "{niFolderCaution, niFolderWarning,"),
    # window parts
    ("chart-prev-week-forward", "window", "src/ui/main/ChartView.cpp",
     "MoveChart(-7);", "MoveChart(7);"),
    ("chart-section-date-off-by-one", "window", "src/ui/main/ChartView.cpp",
     "mContext.Chart.ChartDate() + s->Index() - kFirstDaySection : 0",
     "mContext.Chart.ChartDate() + s->Index() - kFirstDaySection + 1 : 0"),
    ("gestures-root-collapses", "window", "src/ui/main/TreeGestures.cpp",
     "allow = node->Parent() != nullptr;", "allow = true;"),
    ("gestures-expand-not-a-change", "window", "src/ui/main/TreeGestures.cpp",
     "if (!mContext.Document.Loading) mContext.Document.ChangedOutsideHistory();",
     "if (mContext.Document.Loading) mContext.Document.ChangedOutsideHistory();"),
    ("tray-right-click-restores", "window", "src/ui/main/MainTray.cpp",
     "if (button == tbLeft) TrayIconClick();", "if (button == tbRight) TrayIconClick();"),
    ("settings-window-off-screen-kept", "window", "src/ui/main/WindowSettings.cpp",
     "            if (!area.intersects(r)) r.moveTopLeft(area.topLeft());\n", ""),
    ("items-check-reverse-always-done", "window", "src/ui/main/ItemCommands.cpp",
     "    SetDone(node, !node->Data()->Checked);\n", "    SetDone(node, true);\n"),
    ("transfer-paste-question-inverted", "window", "src/ui/main/ItemTransfer.cpp",
     "mbYes | mbNo) ==\n               mrYes;", "mbYes | mbNo) ==\n               mrNo;"),
]

# A check that fails once and passes on its second run is taken as load, not as the fault.
# Checks that take seconds each and test nothing planted here, or need an installation.
SLOW = "^(Install\\.|ScheduleFormat\\.MillionLevelsDeep|TWindow\\.DeepSchedules|SafeFile\\.Killed)"


def run(cmd, cwd=None, timeout=None, quiet=True):
    return subprocess.run(cmd, cwd=cwd, timeout=timeout, text=True,
                          stdout=subprocess.PIPE if quiet else None, stderr=subprocess.STDOUT if quiet else None)


def prepare(source, scratch, jobs):
    if not os.path.isdir(scratch):
        subprocess.run(["git", "-C", source, "worktree", "add", "--detach", scratch, "HEAD"], check=True,
                       stdout=subprocess.DEVNULL)
    subprocess.run(["git", "-C", scratch, "checkout", "-q", "--detach", "--force",
                    subprocess.run(["git", "-C", source, "rev-parse", "HEAD"], text=True, check=True,
                                   stdout=subprocess.PIPE).stdout.strip()], check=True)
    # What is edited but not committed comes along, so new tests count before their commit.
    diff = subprocess.run(["git", "-C", source, "diff", "HEAD", "--binary"], check=True, stdout=subprocess.PIPE).stdout
    if diff:
        subprocess.run(["git", "-C", scratch, "apply", "--whitespace=nowarn"], input=diff, check=True)
    untracked = subprocess.run(["git", "-C", source, "ls-files", "--others", "--exclude-standard"], text=True,
                               check=True, stdout=subprocess.PIPE).stdout.split()
    for path in untracked:
        os.makedirs(os.path.dirname(os.path.join(scratch, path)) or scratch, exist_ok=True)
        shutil.copy2(os.path.join(source, path), os.path.join(scratch, path))
    build = os.path.join(scratch, "build", "plant")
    subprocess.run(["cmake", "-S", scratch, "-B", build, "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Debug",
                    "-DQUILLO_WERROR=OFF", "-DQUILLO_BUILD_BENCH=OFF"], check=True, stdout=subprocess.DEVNULL)
    return build


def build_and_test(build, jobs):
    b = run(["cmake", "--build", build, f"-j{jobs}"])
    if b.returncode != 0:
        return "no-build", b.stdout[-2000:]
    t = run(["ctest", "--test-dir", build, f"-j{jobs}", "--timeout", "120", "-E", SLOW, "--stop-on-failure",
             "--repeat", "until-pass:2"],
            timeout=1800)
    failed = re.findall(r"^\s*\d+ - (\S+) \(", t.stdout, re.M) # the summary of failed tests
    if t.returncode == 0 or not failed:
        return "missed", ""
    # Alone and one at a time, so that a check that only fails under load does not count.
    names = "^(" + "|".join(re.escape(name) for name in failed) + ")$"
    again = run(["ctest", "--test-dir", build, "-j1", "--timeout", "120", "-R", names], timeout=1800)
    failed = re.findall(r"^\s*\d+ - (\S+) \(", again.stdout, re.M)
    return ("caught" if again.returncode != 0 else "missed"), " ".join(failed[:3])


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--scratch", default="/work/wt/plant-tmp")
    ap.add_argument("--only", nargs="*", help="fault names to plant (default: all)")
    ap.add_argument("--list", action="store_true", help="check that every original text stands once; plant none")
    ap.add_argument("--keep", action="store_true", help="leave the scratch worktree in place")
    ap.add_argument("--jobs", type=int, default=2)
    args = ap.parse_args()
    source = subprocess.run(["git", "rev-parse", "--show-toplevel"], text=True, check=True,
                            stdout=subprocess.PIPE).stdout.strip()
    faults = [f for f in FAULTS if not args.only or f[0] in args.only]

    if args.list:
        bad = 0
        for name, area, path, original, _ in faults:
            n = open(os.path.join(source, path), encoding="utf-8").read().count(original)
            print(f"{'ok   ' if n == 1 else 'STALE'} {area:15} {name} ({n}x in {path})")
            bad += n != 1
        return 1 if bad else 0

    if os.path.realpath(args.scratch) == os.path.realpath(source):
        sys.exit("the scratch worktree must not be this checkout")
    build = prepare(source, args.scratch, args.jobs)
    status, detail = build_and_test(build, args.jobs)
    if status != "missed":
        sys.exit(f"the suite is not green on sound code ({status}: {detail})")

    results = []
    for name, area, path, original, replacement in faults:
        file = os.path.join(args.scratch, path)
        text = open(file, encoding="utf-8").read()
        if text.count(original) != 1:
            results.append((name, area, "stale", ""))
        else:
            started = time.time()
            try:
                with open(file, "w", encoding="utf-8") as f:
                    f.write(text.replace(original, replacement))
                status, detail = build_and_test(build, args.jobs)
            finally:
                with open(file, "w", encoding="utf-8") as f:
                    f.write(text)
            results.append((name, area, status, detail))
            print(f"{status:8} {area:15} {name} ({time.time() - started:.0f} s) {detail}", flush=True)

    counted = [r for r in results if r[2] in ("caught", "missed")]
    caught = sum(r[2] == "caught" for r in counted)
    print(f"\n| fault | area | result | first failing tests |\n|---|---|---|---|")
    for name, area, status, detail in results:
        print(f"| {name} | {area} | {status} | {detail} |")
    share = 100.0 * caught / len(counted) if counted else 0.0
    print(f"\ncaught {caught} of {len(counted)} ({share:.0f} %)")

    if not args.keep:
        subprocess.run(["git", "-C", source, "worktree", "remove", "--force", args.scratch], check=False)
    return 0 if share >= 90 else 1


if __name__ == "__main__":
    sys.exit(main())
