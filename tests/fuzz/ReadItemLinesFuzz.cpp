// libFuzzer target: any bytes as schedule lines must be read or refused with a message,
// and what was read must write out again.
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "model/NodesIF.h"
#include "model/ScheduleFormat.h"
#include "views/Calendar.h"
#include "views/StateEval.h"

#include <cstdint>
#include <string>

using namespace quillo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    TCalendar cal;
    cal.ChartDate = 45400;
    cal.RebuildChartDayLevels();
    TEvalContext ctx{45407, &cal};
    TNodesIF nodes;
    nodes.SetOwnsData(true);
    TTreeNode* root = CreateScheduleRoot(nodes, "fuzz");
    try {
        ReadItemLines(nodes, root, SplitLines(text), &ctx);
    } catch (const EInvalidScheduleData&) {
    }
    for (TTreeNode* n = root->GetNext(); n; n = n->GetNext())
        if (!n->Data()) __builtin_trap(); // every node below the root carries an item
    FinishScheduleLoad(nodes, ctx);
    std::string out;
    WriteItemLines(root, out);
    return 0;
}
