// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Desktop.h"

namespace quillo {

const char* MsgTypeTitle(TMsgType type) {
    switch (type) {
    case mtError:
        return "エラー";
    case mtWarning:
        return "警告";
    case mtInformation:
        return "情報";
    case mtConfirmation:
        return "確認";
    }
    return "";
}

} // namespace quillo
