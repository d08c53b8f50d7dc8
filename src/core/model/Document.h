// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one open schedule: its tree (which owns the items), where it is stored and whether it has
// changed since, with the one load and the one save that the window and the terminal program share.
#include "base/Date.h"
#include "model/EvalContext.h"
#include "model/History.h"
#include "model/NodesIF.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TClock;

extern const char* const kNewScheduleTitle; // 新規予定表
extern const char* const kNotScheduleText;  // 予定表ファイルではありません。

class TDocument {
public:
    TDocument();
    TDocument(const TDocument&) = delete;
    TDocument& operator=(const TDocument&) = delete;

    TNodesIF& Nodes() { return mNodes; }
    const TNodesIF& Nodes() const { return mNodes; }
    TTreeNode* Root() const { return mNodes.GetFirstNode(); }
    bool IsOpen() const { return Root() != nullptr; }

    std::string FileName; // UTF-8; empty until the schedule is saved
    std::string Title;    // UTF-8; the root node shows it in cp932
    bool AutoSave = false;
    TDate SavedAt = 0;
    bool Loading = false; // while a load builds the tree, expanding is no change
    THistory History;     // the steps since the schedule was made or opened

    // The schedule differs from its file: the history is away from its saved point, or a change no
    // step records was made (a folder opened or closed, a name confirmed as it was, the autosave
    // switch). New, open, close and a save reset both.
    bool Modified() const { return mChangedOutsideHistory || !History.AtSaved(); }
    void ChangedOutsideHistory();
    void MarkSaved(); // what is in memory is what the file holds
    // Told after every step, undo, redo and change outside the history.
    std::function<void()> OnChanged;

    // Replaces the tree by an empty schedule titled `title`.
    void New(const std::string& title);
    // Removes the tree; the file name and title are the caller's to reset.
    void Close();

    struct TLoadResult {
        bool Complete = true;
        std::string BadLine; // the message of the first bad line; the lines before it were read
        std::optional<bool> AutoSave;
    };
    // Told the first bad line's message; returning keeps what was read, throwing abandons the load.
    using TBadLineHandler = std::function<void(const std::string& message)>;
    // Reads FileName into a new tree titled after the file. Throws ELoadError, before anything is
    // built, for a file that cannot be read or does not look like a schedule. AutoSave is the
    // file's flag, off without one. With `ctx` the tree is then evaluated and the folders opened
    // as stored; without, it is only read.
    TLoadResult Load(const TEvalContext* ctx, const TBadLineHandler& onBadLine = {});
    // The same from text already read (standard input, say); FileName names it in messages.
    TLoadResult LoadText(std::string_view text, const std::string& title, const TEvalContext* ctx,
                         const TBadLineHandler& onBadLine = {});

    // Writes the whole schedule to FileName; SavedAt is taken before the write, even if it fails.
    void Save(TDate today, const TClock& clock);

private:
    void Reset(); // a fresh history at its saved point

    TNodesIF mNodes;
    bool mChangedOutsideHistory = false;
};

} // namespace quillo
