// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extended header: a QHeaderView that shows a TExSections collection (logical index =
// section index, visual index = Position) and does its own mouse handling for moving, tracking
// and owner drawing.
#include "model/ExSections.h"

#include <QHeaderView>
#include <QIcon>
#include <QStandardItemModel>
#include <functional>
#include <vector>

namespace quillo {

class TExHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit TExHeader(QWidget* parent = nullptr);

    TExSections& Sections() { return mSections; }
    const TExSections& Sections() const { return mSections; }
    TExSection* SectionByPosition(int position) const { return mSections.SectionByPosition(position); }
    int MaxPosition() const { return mSections.MaxPosition(); }
    // HitTests receives the TEHHitTest flags of the point.
    TExSection* GetSectionAt(int x, int y, unsigned* hitTests = nullptr) const;

    int FixColumn() const { return mSections.FixColumn(); }
    void SetFixColumn(int column) { mSections.SetFixColumn(column); }
    TAutoSizeMode AutoSizeMode() const { return mSections.AutoSizeMode; }
    void SetAutoSizeMode(TAutoSizeMode mode);
    bool DragMove() const { return mSections.DragMove; }
    void SetDragMove(bool on) { mSections.DragMove = on; }
    bool TrackRedraw() const { return mSections.TrackRedraw; }
    void SetTrackRedraw(bool on) { mSections.TrackRedraw = on; }
    void SetImages(const std::vector<QIcon>* images);
    void SetHeight(int height);

    std::function<void(TExHeader*, TExSection*)> OnColumnChange;
    std::function<void(TExHeader*, TExSection*)> OnDividerDblClick;
    std::function<void(TExHeader*, TExSection*)> OnSectionClick;
    std::function<void(TExHeader*, TExSection*)> OnSectionResize;
    std::function<void(TExHeader*, TExSection*, int, TSectionTrackState)> OnSectionTrack;
    std::function<void(TExHeader*, TExSection*, QPainter*, const QRect&, bool)> OnDrawSection;
    std::function<void(TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseDown;
    std::function<void(TExHeader*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int)> OnMouseMove;
    std::function<void(TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int)> OnMouseUp;
    std::function<void(TExHeader*)> OnMouseLeave;

    QSize sizeHint() const override;

signals:
    void GeometryChanged(); // widths or order: bound tree lists repaint

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void SyncFromSections();
    int HeaderX(int widgetX) const { return widgetX + offset(); }

    TExSections mSections;
    QStandardItemModel mModel;
    const std::vector<QIcon>* mImages = nullptr;
    TExSection* mPressed = nullptr;
    bool mSyncing = false;
    int mHeight = 17;
};

} // namespace quillo
