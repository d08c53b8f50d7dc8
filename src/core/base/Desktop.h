// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seam to the desktop: every modal or outward interaction goes through it, so commands run
// headless in tests with scripted answers.
#include <string>

namespace quillo {

enum TMsgType { mtError, mtWarning, mtInformation, mtConfirmation };
// The last three answer a file changed by another program: write over it, read it again, or
// write this schedule under another name.
enum TMsgButtons : unsigned {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbOverwrite = 32,
    mbReload = 64,
    mbSaveAs = 128
};
enum TMsgResult { mrNone = 0, mrYes, mrNo, mrOK, mrCancel, mrAbort, mrOverwrite, mrReload, mrSaveAs };
enum TSound { sndError, sndExclamation, sndInformation, sndDefault };

const char* MsgTypeTitle(TMsgType type); // エラー 警告 情報 確認

class IDesktop {
public:
    virtual ~IDesktop() = default;
    virtual void Sound(TSound sound) = 0;
    // Answers mrNone when the box was closed without choosing a button.
    virtual TMsgResult MessageBox(const std::string& text, TMsgType type, unsigned buttons) = 0;

    struct TFileDialog {
        std::string Title;
        std::string Filter; // "description|pattern|description|pattern"
        std::string DefaultExt;
        std::string FileName;  // preset name
        bool Save = false;     // save: asks before overwriting
        bool MustExist = true; // open: only an existing file can be chosen
    };
    // The chosen path (UTF-8), or empty when cancelled.
    virtual std::string FileDialog(const TFileDialog& dialog) = 0;
    // A folder below `root`, starting at `initial` when that exists; empty when cancelled.
    virtual std::string FolderDialog(const std::string& title, const std::string& root, const std::string& initial) = 0;
    // Opens a document, folder or address with the desktop's default program. A failure is
    // not reported: the desktop shows its own message, if any.
    virtual void OpenDocument(const std::string& target) = 0;
    // The desktop clipboard as plain text (UTF-8).
    virtual std::string ClipboardText() = 0;
    virtual void SetClipboardText(const std::string& text) = 0;
};

} // namespace quillo
