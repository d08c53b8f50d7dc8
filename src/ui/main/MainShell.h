// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The desktop around the program: shortcuts on the desktop, in the applications menu and in the
// autostart folder, the association of schedule files, the help document and the about box.
#include "main/MainContext.h"

namespace quillo {

class TMainShell {
public:
    explicit TMainShell(const TMainContext& context);
    void ActionHelpExecute();

private:
    const TMainContext& mContext;
};

} // namespace quillo
