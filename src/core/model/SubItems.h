// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Column texts of one node (index 0 = the second column) plus the node's schedule item.
// Reports as many texts as were padded but stores only those that are set.
#include <string>
#include <utility>
#include <vector>

namespace quillo {

class TSchItem;
class TTreeNode;

class TSubItems {
public:
    static constexpr int kItemColumns = 65;

    explicit TSubItems(TTreeNode* node) : mNode(node) {}

    TTreeNode* Node() const { return mNode; }
    TSchItem* Data() const { return mData; }
    void SetData(TSchItem* data) { mData = data; }

    int Count() const { return mCount; }
    void Pad(int count); // grows to `count` empty texts; never shrinks
    const std::string& Text(int index) const;
    void SetText(int index, std::string text); // an index past Count() grows the list
    void Add(std::string text) { SetText(mCount, std::move(text)); }
    void Clear();
    int StoredTexts() const { return static_cast<int>(mTexts.size()); }

private:
    TTreeNode* mNode;
    TSchItem* mData = nullptr;
    int mCount = 0;
    std::vector<std::pair<int, std::string>> mTexts; // sorted by index, non-empty texts only
};

} // namespace quillo
