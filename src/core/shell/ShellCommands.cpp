// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ShellCommands.h"

#include "base/Desktop.h"
#include "base/FileNames.h"
#include "shell/MakeShortCut.h"
#include "shell/MimeAssociation.h"
#include "shell/ShellFolder.h"
#include "shell/StartupShortcut.h"

namespace quillo {

const char* const kDesktopShortcutName = "QuilloryPlanへのｼｮｰﾄｶｯﾄ.lnk";
const char* const kStartMenuShortcutName = "QuilloryPlan.lnk";

namespace {
TMakeShortCut ProgramShortcut(const std::string& program) {
    TMakeShortCut s;
    s.SCExecFile = program;
    s.SCWorkDir = ExtractFileDir(program);
    s.SCShowCmd = tsNormal;
    return s;
}

std::string InFolder(int kind, const char* name) {
    const std::string folder = GetShellFolder(kind);
    if (folder.empty()) return "";
    TMakeShortCut s;
    s.SCFileName = folder + name;
    return s.GetFullPath();
}

bool Confirm(IDesktop& desktop, const std::string& text) {
    desktop.Sound(sndExclamation);
    return desktop.MessageBox(text, mtConfirmation, mbYes | mbNo) == mrYes;
}

void Inform(IDesktop& desktop, const std::string& text) {
    desktop.Sound(sndDefault);
    desktop.MessageBox(text, mtInformation, mbOK);
}

void Fail(IDesktop& desktop, const std::string& text) {
    desktop.Sound(sndError);
    desktop.MessageBox(text, mtError, mbAbort);
}

// A shortcut that could not be written is said so, never reported as made.
void MakeAndReport(IDesktop& desktop, const TMakeShortCut& s, const char* done) {
    const std::string path = s.GetFullPath();
    if (!s.Make()) {
        Fail(desktop, "ショートカットを作成できませんでした。\r\n" + (path.empty() ? s.SCFileName : path));
        return;
    }
    Inform(desktop, done + path);
}

void CutShortcut(IDesktop& desktop, const std::string& path, const char* question, const char* none) {
    if (path.empty() || !IsRegularFile(path)) {
        Inform(desktop, none);
        return;
    }
    if (!Confirm(desktop, question)) return;
    if (!RemoveFileIfPresent(path)) {
        Fail(desktop, "ショートカットを削除できませんでした。\r\n" + path);
        return;
    }
    Inform(desktop, "以下のショートカットを削除しました。\r\n" + path);
}
} // namespace

std::string DesktopShortcutPath() {
    TMakeShortCut s;
    s.SCFileName = kDesktopShortcutName;
    s.SCSystemPath = tpDesktop;
    return s.GetFullPath();
}

std::string StartMenuShortcutPath() {
    return InFolder(sfPrograms, kStartMenuShortcutName);
}

std::string StartUpShortcutPath() {
    return InFolder(sfStartup, kStartupShortcutName);
}

std::string StartUpArguments(const std::string& fileName) {
    std::string quoted = "\"";
    for (char c : fileName) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return "-t " + quoted + "\"";
}

void SetDesktopShortcut(IDesktop& desktop, const std::string& program) {
    if (!Confirm(desktop, "デスクトップにショートカットを作成しますか？")) return;
    TMakeShortCut s = ProgramShortcut(program);
    s.SCFileName = kDesktopShortcutName;
    s.SCSystemPath = tpDesktop;
    MakeAndReport(desktop, s, "以下のショートカットを作成しました。\r\n");
}

void SetStartMenuShortcut(IDesktop& desktop, const std::string& program) {
    if (!Confirm(desktop, "スタートメニューにショートカットを登録しますか？")) return;
    TMakeShortCut s = ProgramShortcut(program);
    s.SCFileName = StartMenuShortcutPath();
    if (s.SCFileName.empty()) s.SCFileName = kStartMenuShortcutName;
    MakeAndReport(desktop, s, "以下のショートカットを作成しました。\r\n");
}

void CutStartMenuShortcut(IDesktop& desktop) {
    CutShortcut(desktop, StartMenuShortcutPath(), "スタートメニューに登録されているショートカットを削除しますか？",
                "スタートメニューに登録されているショートカットはありません。");
}

void SetStartUpShortcut(IDesktop& desktop, const std::string& program, const std::string& fileName,
                        const std::string& title) {
    if (!Confirm(desktop, "「" + title + "」のショートカットをスタートアップに登録しますか？\r\n" +
                              "（既に登録されているショートカットは上書きされます）"))
        return;
    TMakeShortCut s;
    s.SCFileName = StartUpShortcutPath();
    if (s.SCFileName.empty()) s.SCFileName = kStartupShortcutName;
    s.SCExecFile = program;
    s.SCArguments = StartUpArguments(fileName);
    s.SCWorkDir = ExtractFileDir(fileName);
    s.SCShowCmd = tsMin;
    MakeAndReport(desktop, s, "以下のショートカットを登録しました。\r\n");
}

void CutStartUpShortcut(IDesktop& desktop) {
    CutShortcut(desktop, StartUpShortcutPath(), "スタートアップに登録されているショートカットを削除しますか？",
                "スタートアップに登録されているショートカットはありません。");
}

void SetAssociation(IDesktop& desktop, const std::string& program) {
    desktop.Sound(sndExclamation);
    if (desktop.MessageBox("拡張子QLPに、このプログラムを関連付けますか？", mtConfirmation, mbYes | mbNo) == mrNo)
        return;
    const TMimePaths paths = TMimePaths::FromEnvironment();
    bool taken = false;
    for (const std::string& type : TypesClaimingQlp(paths))
        if (type != kScheduleMimeType) taken = true;
    const auto current = DefaultForScheduleType(paths);
    if (current && *current != std::string(kScheduleClassName) + ".desktop") taken = true;
    if (taken) {
        Fail(desktop, "拡張子QLPには、既に他のプログラムが関連付けられています。");
        return;
    }
    if (!WritePackage(paths) || !UpdateMimeDatabase(paths) || !WriteAssociationEntry(paths, program) ||
        !SetDefaultEntry(paths, true)) {
        Fail(desktop, "拡張子QLPへの関連付けに失敗しました。");
        return;
    }
    Inform(desktop, "拡張子QLPに、このプログラムを関連付けました。");
}

void CutAssociation(IDesktop& desktop) {
    desktop.Sound(sndExclamation);
    if (desktop.MessageBox("拡張子QLPからこのプログラムへの関連付けを解除しますか？", mtConfirmation, mbYes | mbNo) ==
        mrNo)
        return;
    const TMimePaths paths = TMimePaths::FromEnvironment();
    const std::vector<std::string> types = TypesClaimingQlp(paths);
    if (types.empty() && !IsRegularFile(paths.PackageFile())) {
        desktop.Sound(sndInformation);
        desktop.MessageBox("拡張子QLPに関連付けられているプログラムはありません", mtInformation, mbOK);
        return;
    }
    for (const std::string& type : types) {
        if (type == kScheduleMimeType) continue;
        Fail(desktop, "拡張子QLPには他のプログラムが関連付けられています。");
        return;
    }
    const bool removed = RemovePackage(paths) && UpdateMimeDatabase(paths) && RemoveAssociationEntry(paths) &&
                         SetDefaultEntry(paths, false);
    if (!removed) {
        Fail(desktop, "拡張子QLPからの関連付けの解除に失敗しました。");
        return;
    }
    Inform(desktop, "拡張子QLPからこのプログラムの関連付けを解除しました。");
}

} // namespace quillo
