// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/SubItems.h"

#include <algorithm>

namespace quillo {

namespace {
const std::string kEmpty;

auto FindSlot(std::vector<std::pair<int, std::string>>& texts, int index) {
    return std::lower_bound(texts.begin(), texts.end(), index,
                            [](const std::pair<int, std::string>& p, int i) { return p.first < i; });
}
} // namespace

void TSubItems::Pad(int count) {
    if (count > mCount) mCount = count;
}

const std::string& TSubItems::Text(int index) const {
    auto it = std::lower_bound(mTexts.begin(), mTexts.end(), index,
                               [](const std::pair<int, std::string>& p, int i) { return p.first < i; });
    return (it != mTexts.end() && it->first == index) ? it->second : kEmpty;
}

void TSubItems::SetText(int index, std::string text) {
    if (index < 0) return;
    if (index >= mCount) mCount = index + 1;
    if (mTexts.empty() && !text.empty()) mTexts.reserve(3); // a row's usual texts: begin, end, information
    auto it = FindSlot(mTexts, index);
    bool present = it != mTexts.end() && it->first == index;
    if (text.empty()) {
        if (present) mTexts.erase(it);
    } else if (present) {
        it->second = std::move(text);
    } else {
        mTexts.insert(it, {index, std::move(text)});
    }
}

void TSubItems::Clear() {
    mTexts.clear();
    mCount = 0;
}

} // namespace quillo
