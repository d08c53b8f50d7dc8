// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Schedule items bound to tree nodes: folders and to-dos.
#include "base/Date.h"
#include "base/Pool.h"
#include "model/Chart.h"
#include "model/EvalContext.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace quillo {

class TTreeNode;

// A text most items leave empty (memo, link): one pointer wide until it holds something.
class TRareText {
public:
    TRareText() = default;
    TRareText(std::string text) { Assign(std::move(text)); }
    TRareText(const char* text) { Assign(text); }
    TRareText(const TRareText& other) { Assign(other.str()); }
    TRareText(TRareText&&) noexcept = default;
    TRareText& operator=(const TRareText& other) {
        if (this != &other) Assign(other.str());
        return *this;
    }
    TRareText& operator=(TRareText&&) noexcept = default;
    TRareText& operator=(std::string text) {
        Assign(std::move(text));
        return *this;
    }
    TRareText& operator=(const char* text) {
        Assign(text);
        return *this;
    }

    operator const std::string&() const { return str(); }
    operator std::string_view() const { return str(); }
    const std::string& str() const;
    bool empty() const { return !mText; }
    size_t size() const { return mText ? mText->size() : 0; }
    const char* c_str() const { return str().c_str(); }
    void clear() { mText.reset(); }
    friend bool operator==(const TRareText& a, const TRareText& b) { return a.str() == b.str(); }
    friend bool operator==(const TRareText& a, const std::string& b) { return a.str() == b; }
    friend bool operator==(const TRareText& a, const char* b) { return a.str() == b; }

private:
    void Assign(std::string text);
    std::unique_ptr<std::string> mText;
};

enum TSchState : int32_t { ssNone = 0, ssDone = 1, ssWaiting = 2, ssInProgress = 3, ssCaution = 4, ssWarning = 5 };

constexpr int kCellNothing = -1;
constexpr int kCellRest = 0;
constexpr int kCellOverdue = 6;

class TSchItem {
public:
    QUILLO_POOLED_STORAGE
    virtual ~TSchItem() = default;
    TSchItem(const TSchItem&) = delete;
    TSchItem& operator=(const TSchItem&) = delete;

    // Ordered for size: a schedule holds one item per row.
    std::string Name;
    TRareText Memo;
    TRareText Link;
    // A recurrence rule as the extra text holds it ("%" escaped), kept verbatim also when the
    // program does not understand it. Folders are never given one.
    TRareText Repeat;
    TTreeNode* const Node;
    TDate BeginDate = 0;
    TDate EndDate = 0;
    std::array<int8_t, kChartDays> DayCells{};
    int32_t State = ssNone;
    int32_t HolidayMode = 0;
    bool Checked = false;
    bool Empty = false;
    // The most severe state the reminder has told of today, or -1: kept in the item, so that an
    // item that takes the place of a deleted one starts afresh (see model/Reminder.h).
    int8_t Told = -1;

    // The virtual interface keeps this order; stored items and subclasses rely on it.
    virtual void SetChecked(bool value) { Checked = value; }
    virtual bool GetChecked() const { return Checked; }
    virtual void SetBeginDate(TDate date) { BeginDate = date; }
    virtual TDate GetBeginDate() const { return BeginDate; }
    virtual void SetEndDate(TDate date) { EndDate = date; }
    virtual TDate GetEndDate() const { return EndDate; }
    virtual void SetDayCell(int index, int value);
    virtual int GetDayCell(int index) const;
    virtual void SetHolidayMode(int mode) { HolidayMode = mode; }
    virtual int GetHolidayMode() const { return HolidayMode; }
    virtual void SetExtraText(std::string_view text);
    virtual std::string GetExtraText() const;
    virtual void UpdateState(const TEvalContext& ctx, bool recursive); // the to-do rule
    virtual void UpdateUpward(const TEvalContext& ctx);
    virtual std::unique_ptr<TSchItem> Clone(TTreeNode* node) const = 0;
    virtual void ShiftDates(int beginDays, int endDays) = 0;
    virtual bool IsOnDate(const TEvalContext& ctx, TDate date) const;

    void SetName(std::string name); // also the node text
    bool IsFolder() const { return mFolder; }

protected:
    TSchItem(bool folder, std::string name, TTreeNode* node, bool checked, TDate beginDate, TDate endDate,
             int holidayMode, std::string memo);

private:
    const bool mFolder;
};

class TSchToDo : public TSchItem {
public:
    static std::unique_ptr<TSchToDo> Create(std::string name, TTreeNode* node, bool checked = false,
                                            TDate beginDate = 0, TDate endDate = 0, int holidayMode = 0,
                                            std::string memo = {});
    std::unique_ptr<TSchItem> Clone(TTreeNode* node) const override;
    void ShiftDates(int beginDays, int endDays) override;

private:
    using TSchItem::TSchItem;
};

class TSchFolder : public TSchItem {
public:
    static std::unique_ptr<TSchFolder> Create(std::string name, TTreeNode* node, bool checked = false,
                                              TDate beginDate = 0, TDate endDate = 0, int holidayMode = 0,
                                              std::string memo = {});
    bool Expanded = false; // as read from a file, applied once by ApplyExpanded

    void UpdateState(const TEvalContext& ctx, bool recursive) override; // the folder rule
    std::unique_ptr<TSchItem> Clone(TTreeNode* node) const override;
    void ShiftDates(int beginDays, int endDays) override;
    void ApplyExpanded();

private:
    using TSchItem::TSchItem;
    void AggregateChildren();
};

// Binds a new item to its node (the node's sub-items hold it) and pads the node to 65 texts.
TSchItem* BindItem(TTreeNode* node, std::unique_ptr<TSchItem> item);

const char* StateWord(int state); // 完了 待機 進行 注意 警告; empty for None

// The to-do rule on the day of `ctx`, without touching the item: what UpdateState would store.
TSchState ToDoStateOn(const TSchItem& item, const TEvalContext& ctx);

} // namespace quillo
