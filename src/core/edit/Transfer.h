// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Items as text between schedules: copy, paste, export and import in the schedule's line format.
#include "base/Date.h"
#include "model/ScheduleFormat.h" // the banners

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TDocument;
class TScheduleEditor;
class TTreeNode;

extern const char* const kPasteErrorText; // クリップボードからの項目の読み込み中にエラーが発生しました。

// The "D" line, the node's block in braces, an empty line, the banner and the time (cp932, CR LF).
std::string TransferText(const TTreeNode* node, TDate today, TDate now, const char* banner);

// An item name made fit for a file name: the characters " * . / : < > ? \ | go, bytes of
// double-byte characters stay.
std::string SafeFileName(std::string_view name);

// Every to-do below `node` (itself included) becomes undone; the root is left alone.
void ResetChecks(TTreeNode* node);

// Paste: the first top-level item of `text` goes after a selected to-do, last into a selected
// folder or the root, as one history step. `askResetChecks` is asked once the item stands.
// Throws ELoadError with kPasteErrorText when the text holds no readable item; the schedule is
// then as before. Returns the pasted node.
TTreeNode* PasteText(TDocument& document, TScheduleEditor& editor, TTreeNode* selected, std::string_view text,
                     const std::function<bool()>& askResetChecks);

// Import: every top-level item of the file becomes a last child of the selected folder (of a
// selected to-do's parent; of the root without a selection), as one step. `onBadLine` is told the
// message of the first bad line; returning keeps what was read before it, throwing aborts and
// leaves the schedule as it was. Returns the target, or none when a bad line ended the reading.
// Throws ELoadError for a file that cannot be read or is no schedule.
TTreeNode* ImportFile(TDocument& document, TScheduleEditor& editor, TTreeNode* selected, const std::string& path,
                      const std::function<void(const std::string&)>& onBadLine);

// Files dropped from the file manager, in order: an internet shortcut becomes a to-do with its
// address, a folder or another file a to-do linked to it (named without extension, dated `date`,
// last in the root), a schedule file is handed to `importFile` (ImportFile with the caller's
// questions; without it, ImportFile below the selection that keeps what comes before a bad line),
// a missing path is skipped. One history step for the whole drop. Returns the last to-do made, or
// none. Names and links are fitted to cp932; `fitNotice` is told what that changed (FitNotice's
// words, empty for nothing).
TTreeNode* AddDroppedFiles(TDocument& document, TScheduleEditor& editor, TTreeNode* selected,
                           const std::vector<std::string>& paths, TDate date,
                           const std::function<void(const std::string& path)>& importFile,
                           std::string* fitNotice = nullptr);

} // namespace quillo
