// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes as schedule lines must be read or refused with a message,
// and what was read must write out again as lines that read back to the same lines.
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "model/Calendar.h"
#include "model/Chart.h"
#include "model/NodesIF.h"
#include "model/SchItem.h"
#include "model/ScheduleFormat.h"
#include "model/StateEval.h"

#include <cstdint>
#include <string>

using namespace quillo;

namespace {
// Reads `text` below a fresh root as the window opens a file; returns the lines written back.
// `complete` tells whether every line was read.
std::string ReadAndWrite(const std::string& text, bool& complete) {
    TCalendar cal;
    TChart chart(cal);
    chart.SetChartDate(45400);
    TEvalContext ctx{45407, &cal, &chart};
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "fuzz");
    complete = true;
    try {
        ReadItemLines(nodes, root, text, &ctx);
    } catch (const EInvalidScheduleData&) {
        complete = false;
    }
    for (TTreeNode* n = root->GetNext(); n; n = n->GetNext())
        if (!n->Data()) __builtin_trap(); // every node below the root carries an item
    FinishScheduleLoad(nodes, ctx);
    std::string out;
    WriteItemLines(root, out);
    return out;
}

// As a paste or an import reads: into a folder below the root, where every item must stay.
void ReadIntoFolder(const std::string& text) {
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "fuzz");
    TTreeNode* target = nodes.AddChild(root, "target");
    BindItem(target, TSchFolder::Create("target", target));
    try {
        ReadItemLines(nodes, target, text, nullptr, /*gather=*/true);
    } catch (const EInvalidScheduleData&) {
    }
    if (root->Count() != 1) __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    bool complete;
    ReadIntoFolder(std::string(reinterpret_cast<const char*>(data), size));
    const std::string once = ReadAndWrite(std::string(reinterpret_cast<const char*>(data), size), complete);
    // Whatever was kept must be a schedule that reads whole and writes back unchanged.
    const std::string twice = ReadAndWrite(once, complete);
    if (!complete || twice != once) __builtin_trap();
    return 0;
}
