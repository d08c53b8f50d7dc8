// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ExSections.h"

#include <algorithm>
#include <cfenv>
#include <cmath>

namespace quillo {

void TExSection::SetWidth(int width) {
    width = std::clamp(width, mMinWidth, mMaxWidth);
    if (width == mWidth) return;
    mWidth = width;
    mOwner.Changed();
}

void TExSection::SetMinWidth(int width) {
    mMinWidth = std::clamp(width, 0, mMaxWidth);
    if (mWidth < mMinWidth) SetWidth(mMinWidth);
}

void TExSection::SetMaxWidth(int width) {
    mMaxWidth = std::clamp(width, mMinWidth, 10000);
    if (mWidth > mMaxWidth) SetWidth(mMaxWidth);
}

void TExSection::SetPosition(int position) {
    if (position == mPosition) return;
    mOwner.MoveInDisplay(this, position);
    mOwner.AutoSizeSections(-1);
    if (mOwner.OnColumnChange) mOwner.OnColumnChange(this);
}

int TExSection::Left() const {
    if (mPosition < 0) return 0;
    int left = 0;
    for (int p = 0; p < mPosition; ++p)
        left += mOwner.mDisplay[static_cast<size_t>(p)]->mWidth;
    return left;
}

int TExSection::Right() const {
    return mPosition < 0 ? 0 : Left() + mWidth;
}

void TExSection::Assign(const TExSection& o) {
    Text = o.Text;
    Alignment = o.Alignment;
    Style = o.Style;
    AllowClick = o.AllowClick;
    AutoSize = o.AutoSize;
    ImageIndex = o.ImageIndex;
    SortMark = o.SortMark;
    mMaxWidth = 10000;
    mMinWidth = 0;
    SetMinWidth(o.mMinWidth);
    SetMaxWidth(o.mMaxWidth);
    SetWidth(o.mWidth);
}

TExSection* TExSections::AddText(std::string caption, TAlignment alignment, int width, int minWidth, int maxWidth) {
    TExSection* s = Add();
    s->Text = std::move(caption);
    s->Alignment = alignment;
    s->SetMaxWidth(maxWidth);
    s->SetMinWidth(minWidth);
    s->SetWidth(width);
    s->AllowClick = false;
    return s;
}

TExSection* TExSections::Add() {
    mItems.push_back(std::unique_ptr<TExSection>(new TExSection(*this, Count())));
    TExSection* s = mItems.back().get();
    s->mPosition = static_cast<int>(mDisplay.size());
    mDisplay.push_back(s);
    Changed();
    return s;
}

void TExSections::Assign(const TExSections& other) {
    BeginUpdate();
    mItems.clear();
    mDisplay.clear();
    for (int i = 0; i < other.Count(); ++i)
        Add()->Assign(*other.Items(i));
    EndUpdate();
}

TExSection* TExSections::SectionByPosition(int position) const {
    if (position < 0 || position > MaxPosition()) return nullptr;
    return mDisplay[static_cast<size_t>(position)];
}

void TExSections::SetFixColumn(int column) {
    mFixColumn = std::clamp(column, -1, std::max(-1, MaxPosition()));
}

void TExSections::MoveInDisplay(TExSection* s, int position) {
    if (s->mPosition >= 0) mDisplay.erase(mDisplay.begin() + s->mPosition);
    s->mPosition = -1;
    if (position >= 0) {
        if (position >= static_cast<int>(mDisplay.size()))
            mDisplay.push_back(s);
        else
            mDisplay.insert(mDisplay.begin() + position, s);
    }
    for (size_t p = 0; p < mDisplay.size(); ++p)
        mDisplay[p]->mPosition = static_cast<int>(p);
    Changed();
}

void TExSections::Changed() {
    if (mUpdateCount > 0) {
        mPendingChange = true;
        return;
    }
    if (OnChanged) OnChanged();
}

void TExSections::EndUpdate() {
    if (--mUpdateCount == 0 && mPendingChange) {
        mPendingChange = false;
        if (OnChanged) OnChanged();
    }
}

void TExSections::AutoSizeSections(int from) {
    int free = ClientWidth;
    if (from > -1)
        if (TExSection* s = SectionByPosition(from)) free -= s->Right();
    std::vector<TExSection*> f;
    for (int p = from + 1; p <= MaxPosition(); ++p) {
        TExSection* s = SectionByPosition(p);
        if (s->AutoSize)
            f.push_back(s);
        else
            free -= s->Width();
    }
    std::vector<double> shares;
    if (AutoSizeMode == asExtend2) {
        if (from < 0) {
            for (size_t i = f.size(); i-- > 0;) {
                double after = 0;
                for (size_t j = i + 1; j < f.size(); ++j)
                    after += f[j]->Width();
                double w = f[i]->Width();
                f[i]->AutoSizeRatio = w == 0 ? 0 : w / (w + after);
            }
        }
        double rest = 1.0;
        for (TExSection* s : f) {
            double share = s->AutoSizeRatio * rest;
            shares.push_back(share);
            rest -= share;
        }
    }
    if (f.empty()) return;
    BeginUpdate();
    const int oldRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);
    while (!f.empty()) {
        const size_t n = f.size();
        std::vector<int> widths(n, 0);
        if (AutoSizeMode == asExtend2) {
            double sum = 0;
            for (double s : shares)
                sum += s;
            int total = 0;
            for (size_t i = 0; i < n; ++i) {
                widths[i] = sum == 0 ? 0 : static_cast<int>(std::nearbyint(shares[i] * free / sum));
                total += widths[i];
            }
            widths[0] += free - total;
        } else {
            for (size_t i = 0; i < n; ++i)
                widths[i] = free / static_cast<int>(n);
            widths[0] += free % static_cast<int>(n);
        }
        for (size_t i = n; i-- > 0;)
            f[i]->SetWidth(widths[i]);
        bool removed = false;
        for (size_t i = n; i-- > 0;) {
            if (f[i]->Width() == widths[i]) continue;
            free -= f[i]->Width();
            f.erase(f.begin() + static_cast<long>(i));
            if (!shares.empty()) shares.erase(shares.begin() + static_cast<long>(i));
            removed = true;
        }
        if (!removed) break;
    }
    std::fesetround(oldRounding);
    if (AutoSizeMode == asExtend2 && from > -1) {
        if (TExSection* s = SectionByPosition(from)) {
            double after = 0;
            for (int p = from + 1; p <= MaxPosition(); ++p)
                if (SectionByPosition(p)->AutoSize) after += SectionByPosition(p)->Width();
            double w = s->Width();
            s->AutoSizeRatio = w == 0 ? 0 : w / (w + after);
        }
    }
    EndUpdate();
}

void TExSections::UserWidthChange(TExSection* section, int width) {
    const int before = section->Width();
    BeginUpdate();
    section->SetWidth(width);
    if (AutoSizeMode != asStandard) AutoSizeSections(section->Position());
    EndUpdate();
    if (section->Width() != before && OnSectionResize) OnSectionResize(section);
}

TSectionHit TExSections::HitTest(int x, int y, int height) const {
    TSectionHit hit;
    if (x < 0) {
        hit.Flags = ehToLeft;
        return hit;
    }
    if (y < 0 || y >= height) {
        hit.Flags = ehNowhere;
        return hit;
    }
    int total = 0;
    for (TExSection* s : mDisplay)
        total += s->Width();
    // The divider of the last section that ends within reach wins, so zero-width sections
    // ("hidden dividers") are found to the right of a visible one.
    constexpr int kReach = 3;
    for (int p = MaxPosition(); p >= 0; --p) {
        TExSection* s = mDisplay[static_cast<size_t>(p)];
        int right = s->Right();
        if (x >= right - kReach && x <= right + kReach && !(p == MaxPosition() && x > right && x > total)) {
            hit.Section = s;
            hit.Flags = s->Width() == 0 ? ehOnDivOpen : ehOnDivider;
            return hit;
        }
    }
    for (TExSection* s : mDisplay)
        if (x >= s->Left() && x < s->Right()) {
            hit.Section = s;
            hit.Flags = ehOnHeader;
            return hit;
        }
    hit.Flags = x >= total ? ehToRight | ehNowhere : ehNowhere;
    return hit;
}

int TExSections::BoundTrackWidth(TExSection* s, int width) const {
    width = std::clamp(width, s->MinWidth(), s->MaxWidth());
    if (AutoSizeMode == asStandard) return width;
    int lmin = 0, lmax = 0;
    for (int p = s->Position() + 1; p <= MaxPosition(); ++p) {
        TExSection* t = SectionByPosition(p);
        lmin += t->AutoSize ? t->MinWidth() : t->Width();
        lmax += t->AutoSize ? t->MaxWidth() : t->Width();
    }
    const int left = s->Left();
    if (left + width > ClientWidth - lmin) width = ClientWidth - lmin - left;
    if (left + width < ClientWidth - lmax) width = ClientWidth - lmax - left;
    return std::max(width, 0);
}

void TExSections::BeginTrack(TExSection* section, int x) {
    mTracked = section;
    mTrackStartX = x;
    mTrackStartWidth = section ? section->Width() : 0;
    mTrackWidth = mTrackStartWidth;
    if (section && OnSectionTrack) OnSectionTrack(section, BoundTrackWidth(section, section->Width()), tsTrackBegin);
}

void TExSections::TrackTo(int x) {
    if (!mTracked) return;
    int width = BoundTrackWidth(mTracked, x - mTrackStartX + mTrackStartWidth);
    mTrackWidth = width;
    if (TrackRedraw) UserWidthChange(mTracked, width);
    if (OnSectionTrack) OnSectionTrack(mTracked, width, tsTrackMove);
}

void TExSections::EndTrack() {
    TExSection* s = mTracked;
    mTracked = nullptr;
    if (!s) return;
    UserWidthChange(s, mTrackWidth); // without TrackRedraw the width changes only now
    if (AutoSizeMode == asExtend2) AutoSizeSections(-1);
    if (OnSectionTrack) OnSectionTrack(s, s->Width(), tsTrackEnd);
}

bool TExSections::Press(int x, int y, int height) {
    mFrameTop = -1;
    mFrameWasShown = false;
    mMoving = nullptr;
    TSectionHit hit = HitTest(x, y, height);
    if (!(hit.Flags & ehOnHeader) || !hit.Section) return true;
    if (!hit.Section->AllowClick) return false;
    if (hit.Section->Position() > mFixColumn && DragMove) mMoving = hit.Section;
    return true;
}

void TExSections::Move(int x) {
    if (!mMoving || !DragMove) return;
    if (mFrameTop < 0) {
        mLastX = x;
        mFrameLeft = mMoving->Left();
        mFrameRight = mMoving->Right();
        mFrameTop = 0;
        mFrameWasShown = true;
        return;
    }
    const int c = (mFrameLeft + mFrameRight) / 2;
    const int p = mMoving->Position();
    TExSection* before = SectionByPosition(p - 1);
    TExSection* after = SectionByPosition(p + 1);
    if (p > 0 && p > mFixColumn + 1 && before && (before->Left() + before->Right()) / 2 > c)
        mMoving->SetPosition(p - 1);
    else if (p < MaxPosition() && after && (after->Left() + after->Right()) / 2 < c)
        mMoving->SetPosition(p + 1);
    mFrameLeft += x - mLastX;
    mFrameRight += x - mLastX;
    mLastX = x;
}

bool TExSections::Release() {
    const bool click = !mFrameWasShown;
    mFrameTop = -1;
    mMoving = nullptr;
    Changed();
    return click;
}

} // namespace quillo
