// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file commands of the main window over the open document: new, open, save, save as, close,
// the autosave switch and the minute timer. They ask their questions through the desktop seam
// and tell the window what to show through a few hooks, so tests drive them without a window.
#include "base/Date.h"
#include "model/Document.h"
#include "model/EvalContext.h"

#include <functional>
#include <string>

namespace quillo {

class IDesktop;
class TClock;

extern const char* const kOpenFilter; // schedules, then every file
extern const char* const kSaveFilter;

class TFileCommands {
public:
    // What the window does around the document; an empty hook does nothing.
    struct THooks {
        std::function<void()> TitleChanged;                    // show TDocument::Title
        std::function<void(const std::string&)> StatusChanged; // status panel 1
        std::function<void(bool)> Busy;                        // true: hourglass; false: back
        std::function<void(bool)> Rebuild;                     // true: the whole tree is replaced; false: done
        std::function<void()> Opened;                          // a schedule was read: select its root
    };

    // Shows every change of the document's modified mark in the status text.
    TFileCommands(TDocument& document, IDesktop& desktop, const TClock& clock, const TEvalContext& ctx, THooks hooks);
    ~TFileCommands();
    TFileCommands(const TFileCommands&) = delete;
    TFileCommands& operator=(const TFileCommands&) = delete;

    TDocument& Document() const { return mDocument; }

    void SetTitle(const std::string& title);
    void SetStatusText(const std::string& text);
    // true: a change the history does not record; false: the schedule counts as saved.
    void SetModified(bool value);
    void NewSchedule();
    void CloseSchedule();
    bool OpenSchedule();                     // FileName; false when a bad line ended the reading early
    void OpenNamed(const std::string& path); // a failure leaves no schedule open
    void WriteSchedule();

    void FileNew();
    void FileOpen();
    void FileSave();
    void FileSaveAs();
    void FileClose();
    void AutoSaveToggle();
    void MinuteTick(); // autosave every tenth tick; the date-change notice once
    bool CloseQuery(); // false when the user cancelled

    int AutoSaveTicks = 0;
    bool DateChangeWatch = true;

private:
    bool SaveQuestion(bool forOpen);
    // WriteSchedule with the status text of success or failure; a failure marks the schedule
    // modified and propagates.
    void WriteWithStatus(const char* done, const char* failed);
    std::string NowText() const;
    void ShowModified();

    TDocument& mDocument;
    IDesktop& mDesktop;
    const TClock& mClock;
    const TEvalContext& mCtx;
    THooks mHooks;
};

} // namespace quillo
