// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds schedules for tests from their text form ("|" stands for a tab, one line per row).
#include "base/Desktop.h"
#include "edit/Editor.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/Document.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace quillo::test {

std::string Tabs(const std::string& s); // "|" → tab, "\n" kept

struct TTestSchedule {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx;
    TNodesIF Nodes;

    explicit TTestSchedule(TDate today);
    // Reads item lines below a fresh root, then opens it as the window does.
    TTreeNode* Load(const std::string& lines);
    TTreeNode* Root() const { return Nodes.GetFirstNode(); }
    TTreeNode* Find(const std::string& name) const; // first node in tree order with that text
    TSchItem* Item(const std::string& name) const { return Find(name)->Data(); }
    void SetChart(TDate first);
};

TDate D(int y, int m, int d);

// An open document with its editor, as the window holds them.
struct TTestDocument {
    TCalendar Calendar;
    TChart Chart{Calendar};
    TEvalContext Ctx;
    TDocument Doc;
    TScheduleEditor Editor{Doc, Ctx};

    explicit TTestDocument(TDate today);
    void Load(const std::string& lines);                         // opened as a file is, with no history
    TTreeNode* Find(const std::string& name, int nth = 0) const; // the nth node in tree order with that text
    std::string Lines() const;                                   // the items as a file writes them
};

class TScriptedDesktop : public IDesktop {
public:
    struct TShown {
        std::string Text;
        TMsgType Type;
        unsigned Buttons;
    };
    std::vector<TShown> Shown;
    std::vector<TSound> Sounds;
    std::deque<TMsgResult> Answers;
    std::deque<std::string> FileAnswers; // "" cancels
    std::vector<TFileDialog> Dialogs;
    void SetNextFile(std::string path) { FileAnswers.push_back(std::move(path)); }
    std::string FileDialog(const TFileDialog& d) override {
        Dialogs.push_back(d);
        if (FileAnswers.empty()) return "";
        std::string r = FileAnswers.front();
        FileAnswers.pop_front();
        return r;
    }
    std::deque<std::string> FolderAnswers; // "" cancels
    std::vector<std::string> Opened;       // what OpenDocument was asked to open
    std::string FolderDialog(const std::string&, const std::string&, const std::string&) override {
        if (FolderAnswers.empty()) return "";
        std::string r = FolderAnswers.front();
        FolderAnswers.pop_front();
        return r;
    }
    void OpenDocument(const std::string& target) override { Opened.push_back(target); }
    std::string Clipboard;
    std::string ClipboardText() override { return Clipboard; }
    void SetClipboardText(const std::string& text) override { Clipboard = text; }
    void SetNextAnswer(TMsgResult r) { Answers.push_back(r); }
    void Sound(TSound s) override { Sounds.push_back(s); }
    TMsgResult MessageBox(const std::string& text, TMsgType type, unsigned buttons) override {
        Shown.push_back({text, type, buttons});
        if (Answers.empty()) return mrNone;
        TMsgResult r = Answers.front();
        Answers.pop_front();
        return r;
    }
};

// A fresh folder below the system's temporary folder, removed with the object.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    const std::string& Path() const { return mPath; }
    std::string File(const std::string& name) const { return mPath + "/" + name; }

private:
    std::string mPath;
};

// Runs `body` where `dir` cannot be written: in a child process that drops to an unprivileged
// user when running as root, else with the folder's write bit removed. Returns its result, or
// kCannotDropRights.
constexpr int kCannotDropRights = 77;
int RunInReadOnlyFolder(const std::string& dir, const std::function<int()>& body);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace quillo::test
