// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ExHeader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace quillo {

TExHeader::TExHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setModel(&mModel);
    setSectionsMovable(false);
    setSectionsClickable(false);
    setHighlightSections(false);
    setStretchLastSection(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setMinimumSectionSize(0);
    setMouseTracking(true);
    mSections.OnChanged = [this] { SyncFromSections(); };
    mSections.OnColumnChange = [this](TExSection* s) {
        if (OnColumnChange) OnColumnChange(this, s);
    };
    mSections.OnSectionResize = [this](TExSection* s) {
        if (OnSectionResize) OnSectionResize(this, s);
    };
    mSections.OnSectionTrack = [this](TExSection* s, int w, TSectionTrackState st) {
        if (OnSectionTrack) OnSectionTrack(this, s, w, st);
    };
}

QSize TExHeader::sizeHint() const {
    return {QHeaderView::sizeHint().width(), mHeight};
}

void TExHeader::SetHeight(int height) {
    mHeight = height;
    setFixedHeight(height);
}

void TExHeader::SetAutoSizeMode(TAutoSizeMode mode) {
    mSections.AutoSizeMode = mode;
    mSections.AutoSizeSections(-1);
}

void TExHeader::SetImages(const std::vector<QIcon>* images) {
    mImages = images;
    SyncFromSections();
}

TExSection* TExHeader::GetSectionAt(int x, int y, unsigned* hitTests) const {
    TSectionHit hit = mSections.HitTest(HeaderX(x), y, height());
    if (hitTests) *hitTests = hit.Flags;
    return hit.Section;
}

void TExHeader::SyncFromSections() {
    if (mSyncing) return;
    mSyncing = true;
    const int count = mSections.Count();
    if (mModel.columnCount() < count) mModel.insertColumns(mModel.columnCount(), count - mModel.columnCount());
    for (int i = 0; i < count; ++i) {
        const TExSection* s = mSections.Items(i);
        mModel.setHeaderData(i, Qt::Horizontal, QString::fromStdString(s->Text), Qt::DisplayRole);
        Qt::Alignment align = s->Alignment == taCenter         ? Qt::AlignCenter
                              : s->Alignment == taRightJustify ? (Qt::AlignRight | Qt::AlignVCenter)
                                                               : (Qt::AlignLeft | Qt::AlignVCenter);
        mModel.setHeaderData(i, Qt::Horizontal, int(align), Qt::TextAlignmentRole);
        QIcon icon;
        if (mImages && s->ImageIndex >= 0 && s->ImageIndex < int(mImages->size()))
            icon = (*mImages)[size_t(s->ImageIndex)];
        mModel.setHeaderData(i, Qt::Horizontal, icon, Qt::DecorationRole);
        resizeSection(i, s->Width());
        setSectionHidden(i, s->Position() < 0);
    }
    for (int p = 0; p <= mSections.MaxPosition(); ++p) {
        int logical = mSections.SectionByPosition(p)->Index();
        if (visualIndex(logical) != p) moveSection(visualIndex(logical), p);
    }
    mSyncing = false;
    viewport()->update();
    emit GeometryChanged();
}

void TExHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    if (logicalIndex < 0 || logicalIndex >= mSections.Count()) return;
    TExSection* s = mSections.Items(logicalIndex);
    const bool pressed = s == mPressed && !mSections.FrameShown();
    if (s->Style == hsOwnerDraw) {
        painter->save();
        painter->setFont(font());
        painter->setBrush(palette().button());
        painter->setPen(palette().buttonText().color());
        if (OnDrawSection)
            OnDrawSection(const_cast<TExHeader*>(this), s, painter, rect, pressed);
        else
            painter->fillRect(rect, palette().button());
        painter->restore();
        return;
    }
    QHeaderView::paintSection(painter, rect, logicalIndex);
    if (s->SortMark != 0) {
        // A small triangle right of the caption: up for 2, down for any other mark.
        const int cx = rect.right() - 8, cy = rect.center().y();
        QPolygon tri;
        if (s->SortMark == 2)
            tri << QPoint(cx - 4, cy + 2) << QPoint(cx + 4, cy + 2) << QPoint(cx, cy - 3);
        else
            tri << QPoint(cx - 4, cy - 2) << QPoint(cx + 4, cy - 2) << QPoint(cx, cy + 3);
        painter->save();
        painter->setPen(palette().shadow().color());
        painter->setBrush(palette().mid());
        painter->drawPolygon(tri);
        painter->restore();
    }
}

void TExHeader::paintEvent(QPaintEvent* event) {
    QHeaderView::paintEvent(event);
    if (!mSections.FrameShown()) return;
    QPainter p(viewport());
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(
        QRect(mSections.FrameLeft() - offset(), 0, mSections.FrameRight() - mSections.FrameLeft() - 1, height() - 1));
}

void TExHeader::mousePressEvent(QMouseEvent* e) {
    const int x = e->position().toPoint().x(), y = e->position().toPoint().y();
    if (e->button() == Qt::LeftButton) {
        unsigned flags = 0;
        TExSection* s = GetSectionAt(x, y, &flags);
        if (s && (flags & (ehOnDivider | ehOnDivOpen))) {
            mSections.BeginTrack(s, HeaderX(x));
        } else {
            if (!mSections.Press(HeaderX(x), y, height())) return; // swallowed: no press, no event
            mPressed = (flags & ehOnHeader) ? s : nullptr;
            viewport()->update();
        }
    }
    if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), x, y);
}

void TExHeader::mouseMoveEvent(QMouseEvent* e) {
    const int x = e->position().toPoint().x(), y = e->position().toPoint().y();
    if (mSections.TrackedSection()) {
        mSections.TrackTo(HeaderX(x));
    } else if ((e->buttons() & Qt::LeftButton) && mSections.MovingSection()) {
        mSections.Move(HeaderX(x));
        viewport()->update();
    } else {
        unsigned flags = 0;
        GetSectionAt(x, y, &flags);
        if (flags & (ehOnDivider | ehOnDivOpen))
            setCursor(Qt::SplitHCursor);
        else
            unsetCursor();
    }
    if (OnMouseMove) OnMouseMove(this, e->buttons(), e->modifiers(), x, y);
}

void TExHeader::mouseReleaseEvent(QMouseEvent* e) {
    const int x = e->position().toPoint().x(), y = e->position().toPoint().y();
    if (e->button() == Qt::LeftButton) {
        if (mSections.TrackedSection()) {
            mSections.EndTrack();
        } else if (mPressed || mSections.MovingSection()) {
            TExSection* pressed = mPressed;
            const bool click = mSections.Release();
            mPressed = nullptr;
            viewport()->update();
            if (click && pressed && OnSectionClick) OnSectionClick(this, pressed);
        }
    }
    if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), x, y);
}

void TExHeader::leaveEvent(QEvent* e) {
    QHeaderView::leaveEvent(e);
    if (OnMouseLeave) OnMouseLeave(this);
}

void TExHeader::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint pt = e->position().toPoint();
    unsigned flags = 0;
    TExSection* s = GetSectionAt(pt.x(), pt.y(), &flags);
    if (e->button() == Qt::LeftButton && s && (flags & ehOnDivider) && OnDividerDblClick) {
        OnDividerDblClick(this, s);
        return;
    }
    mousePressEvent(e);
}

void TExHeader::resizeEvent(QResizeEvent* event) {
    QHeaderView::resizeEvent(event);
    mSections.ClientWidth = width();
    mSections.AutoSizeSections(-1);
}

} // namespace quillo
