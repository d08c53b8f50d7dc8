// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sections of the extended header and everything they do that needs no window: display
// order, geometry, limits, auto-size, hit testing, drag-moving and divider tracking.
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quillo {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TSectionStyle { hsText, hsOwnerDraw };
enum TAutoSizeMode { asStandard, asExtend1, asExtend2 };
enum TSectionTrackState { tsTrackBegin = 0, tsTrackMove = 1, tsTrackEnd = 2 };
enum TEHHitTest : unsigned {
    ehNowhere = 1,
    ehOnDivider = 2,
    ehOnDivOpen = 4,
    ehOnHeader = 8,
    ehToLeft = 16,
    ehToRight = 32
};

class TExSections;

class TExSection {
public:
    std::string Text; // UTF-8
    TAlignment Alignment = taLeftJustify;
    TSectionStyle Style = hsText;
    bool AllowClick = true;
    bool AutoSize = false;
    int ImageIndex = -1;
    unsigned char SortMark = 0;
    double AutoSizeRatio = 0;

    int Index() const { return mIndex; } // collection index
    int Width() const { return mWidth; }
    void SetWidth(int width); // clamped to MinWidth..MaxWidth
    int MinWidth() const { return mMinWidth; }
    void SetMinWidth(int width);
    int MaxWidth() const { return mMaxWidth; }
    void SetMaxWidth(int width);
    int Position() const { return mPosition; }
    void SetPosition(int position);
    int Left() const;
    int Right() const;
    void Assign(const TExSection& other); // not Position, not AutoSizeRatio

private:
    friend class TExSections;
    explicit TExSection(TExSections& owner, int index) : mOwner(owner), mIndex(index) {}
    TExSections& mOwner;
    int mIndex;
    int mWidth = 50;
    int mMinWidth = 0;
    int mMaxWidth = 10000;
    int mPosition = -1;
};

struct TSectionHit {
    TExSection* Section = nullptr;
    unsigned Flags = ehNowhere;
};

class TExSections {
public:
    TExSections() = default;
    TExSections(const TExSections&) = delete;
    TExSections& operator=(const TExSections&) = delete;

    TExSection* Add();
    // A text column that is no button: caption, alignment, width and its limits.
    TExSection* AddText(std::string caption, TAlignment alignment, int width, int minWidth, int maxWidth);
    int Count() const { return static_cast<int>(mItems.size()); }
    TExSection* Items(int index) const { return mItems[static_cast<size_t>(index)].get(); }
    void Assign(const TExSections& other); // copies, shown in collection order

    int MaxPosition() const { return static_cast<int>(mDisplay.size()) - 1; }
    TExSection* SectionByPosition(int position) const;

    // Header-level settings the sections work with.
    int ClientWidth = 0;
    TAutoSizeMode AutoSizeMode = asStandard;
    bool DragMove = true;
    bool TrackRedraw = true;
    int FixColumn() const { return mFixColumn; }
    void SetFixColumn(int column); // clamped to -1..MaxPosition

    void AutoSizeSections(int from);
    void UserWidthChange(TExSection* section, int width); // a width from the user, then auto-size

    // Hit testing in header coordinates; a divider is the 4 pixels around a section's right edge.
    TSectionHit HitTest(int x, int y, int height) const;

    // Divider tracking: begin at a pointer x, move, end. Widths are kept within the limits and,
    // outside asStandard, so that the sections after it still fit.
    void BeginTrack(TExSection* section, int x);
    void TrackTo(int x);
    void EndTrack();
    TExSection* TrackedSection() const { return mTracked; }

    // Drag-moving: Press arms a movable section (false when the press must be swallowed, i.e.
    // on a section that does not allow clicks); Move shows and shifts the frame and swaps the
    // section past a neighbour's centre; Release ends it and tells whether a click counts.
    bool Press(int x, int y, int height);
    void Move(int x);
    bool Release();
    bool FrameShown() const { return mFrameTop >= 0; }
    int FrameLeft() const { return mFrameLeft; }
    int FrameRight() const { return mFrameRight; }
    TExSection* MovingSection() const { return mMoving; }

    void BeginUpdate() { ++mUpdateCount; }
    void EndUpdate();

    std::function<void(TExSection*)> OnColumnChange;
    std::function<void(TExSection*, int, TSectionTrackState)> OnSectionTrack;
    std::function<void(TExSection*)> OnSectionResize;
    std::function<void()> OnChanged; // geometry or order changed: the view refreshes

private:
    friend class TExSection;
    void Changed();
    void MoveInDisplay(TExSection* section, int position);
    int BoundTrackWidth(TExSection* section, int width) const;

    std::vector<std::unique_ptr<TExSection>> mItems;
    std::vector<TExSection*> mDisplay;
    int mFixColumn = -1;
    int mUpdateCount = 0;
    bool mPendingChange = false;

    TExSection* mTracked = nullptr;
    int mTrackStartX = 0;
    int mTrackStartWidth = 0;
    int mTrackWidth = 0;

    TExSection* mMoving = nullptr;
    bool mFrameWasShown = false;
    int mFrameTop = -1;
    int mFrameLeft = 0;
    int mFrameRight = 0;
    int mLastX = 0;
};

} // namespace quillo
