// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The tab-separated line format of schedules (also used for clipped and exported items), and
// reading and writing whole schedule files.
#include "base/Date.h"
#include "model/EvalContext.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillo {

class TNodesIF;
class TTreeNode;

extern const char* const kScheduleBanner; // # Quillory Plan Schedule File (ver0.15)
extern const char* const kClippedBanner;  // # Quillory Plan Clipped Data (ver0.15)
extern const char* const kExportedBanner; // # Quillory Plan Exported Data (ver0.15)

// A schedule, clipped or exported text: its first line that is not blank is the "D" line with a
// date, or a line holds one of the banners (of any version). A text of blank lines counts too,
// as a new empty schedule. Anything else opened as a schedule would be replaced by its next save.
bool LooksLikeSchedule(std::string_view text);

// Appends the item block of `node` (its line unless it carries no item, then "{" children "}"),
// every line ended by CR LF.
void WriteItemLines(const TTreeNode* node, std::string& out);

// Adds the items of the lines of `text` below `parent`. Throws EInvalidScheduleData ("Line12 : 不正なデータ行")
// on the first bad line; the lines before it stay in the tree and every node carries an item.
// Runs RefreshAll when `ctx` is given and every line was read. Item lines outside the braces go
// beside `parent`, or with `gather` (paste and import) into it, after the items in braces.
void ReadItemLines(TNodesIF& nodes, TTreeNode* parent, std::string_view text, const TEvalContext* ctx,
                   bool gather = false);

// The whole file: "D" line, "A+"/"A-", the items, an empty line, the banner and the save time.
std::string BuildScheduleText(const TNodesIF& nodes, TDate today, bool autoSave, TDate savedAt);

// Atomic replacement through "~qlXXXX.tmp" in the schedule's folder. Throws ESaveError with
// "<path> の保存に失敗しました。" (and the autosave advice when `autoSave`).
void WriteScheduleFile(const std::string& path, std::string_view text, bool autoSave);

class TClock;
// The whole save: `savedAt` is taken from the clock before anything is written, so it is set
// also when the write then fails. Does nothing for an empty tree. Returns the text written.
std::string SaveSchedule(const TNodesIF& nodes, const std::string& path, TDate today, bool autoSave,
                         const TClock& clock, TDate& savedAt);

// The first "A+" or "A-" line decides; nullopt without one.
std::optional<bool> ScanAutoSaveFlag(std::string_view text);

// The root node of a schedule: a top-level node with the title (cp932) and image 0.
TTreeNode* CreateScheduleRoot(TNodesIF& nodes, const std::string& titleUtf8);

// After the lines were read: refresh, expand the root, apply each folder's stored expanded
// state in tree order, refresh again.
void FinishScheduleLoad(TNodesIF& nodes, const TEvalContext& ctx, bool rowTexts = true);

// Opens or closes every folder of the subtree at `top` as the lines it was read from said.
void OpenFoldersAsStored(TTreeNode* top);

// Title of a schedule file: its name without folder and extension.
std::string ScheduleTitleOf(const std::string& path);

} // namespace quillo
