// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names and links must be writable back as cp932 and carry no control characters (a TAB, CR or
// LF would split a line of the schedule file).
#include "base/Cp932.h"

#include <QValidator>

namespace quillo {

class TCp932Validator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) return Invalid;
        return IsCp932Encodable(input.toStdString()) ? Acceptable : Invalid;
    }
};

} // namespace quillo
