// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Names and links must be writable back as cp932 and carry no control characters (a TAB, CR or
// LF would split a line of the schedule file). What cp932 cannot hold is fitted as it arrives,
// and the owner hears what that changed.
#include "base/Cp932.h"

#include <QValidator>
#include <functional>

namespace quillo {

class TCp932Validator : public QValidator {
public:
    using TNotice = std::function<void(const QString& notice)>;
    explicit TCp932Validator(QObject* parent, TNotice onFitted = {})
        : QValidator(parent), mOnFitted(std::move(onFitted)) {}

    State validate(QString& input, int& pos) const override {
        for (QChar c : input)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) return Invalid;
        const std::string utf8 = input.toStdString();
        if (IsCp932Encodable(utf8)) return Acceptable;
        const TCp932Fit fit = FitToCp932(utf8);
        const qsizetype after = input.size() - pos; // the cursor keeps its place before what follows it
        input = QString::fromStdString(fit.Text);
        pos = static_cast<int>(std::max<qsizetype>(0, input.size() - after));
        if (mOnFitted) mOnFitted(QString::fromStdString(FitNotice(fit)));
        return Acceptable;
    }

private:
    TNotice mOnFitted;
};

} // namespace quillo
