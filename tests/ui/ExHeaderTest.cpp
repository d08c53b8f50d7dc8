// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TreeListBuilder.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace quillo;
using namespace quillo::test;

TEST(ExHeader, ShowsTheCollectionOrder) {
    TTreeListBuilder b("a:100 b:50 c:50 d:50", "");
    TExHeader* h = b.Header;
    h->Sections().Items(3)->SetPosition(1);
    EXPECT_EQ(h->visualIndex(3), 1);
    EXPECT_EQ(h->visualIndex(1), 2);
    EXPECT_EQ(h->sectionSize(1), 50);
    h->Sections().Items(2)->SetPosition(-1);
    EXPECT_TRUE(h->isSectionHidden(2));
    h->Sections().Items(2)->SetPosition(1);
    EXPECT_FALSE(h->isSectionHidden(2));
    EXPECT_EQ(h->visualIndex(2), 1);
    h->Sections().Items(0)->SetWidth(120);
    EXPECT_EQ(h->sectionSize(0), 120);
    EXPECT_EQ(h->model()->headerData(1, Qt::Horizontal).toString(), QString("b"));
}

TEST(ExHeader, PressOnANonClickableSectionFiresNothing) {
    TTreeListBuilder b("a:100 b:80", "");
    std::vector<std::string> log;
    b.Header->OnMouseDown = [&](TExHeader*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
        log.push_back("down");
    };
    b.Header->OnSectionClick = [&](TExHeader*, TExSection* s) { log.push_back("click " + s->Text); };
    b.Header->Sections().Items(1)->AllowClick = false;
    QTest::mouseClick(b.Header->viewport(), Qt::LeftButton, {}, QPoint(140, 5));
    EXPECT_TRUE(log.empty());
    QTest::mouseClick(b.Header->viewport(), Qt::LeftButton, {}, QPoint(50, 5));
    EXPECT_EQ(log, (std::vector<std::string>{"down", "click a"}));
}

TEST(ExHeader, DividerDragTracksAndDrawsTheLine) {
    TTreeListBuilder b("a:100 b:80", "");
    std::vector<std::string> log;
    b.Header->OnSectionTrack = [&](TExHeader*, TExSection* s, int w, TSectionTrackState st) {
        log.push_back(std::to_string(s->Index()) + ":" + std::to_string(w) + ":" + std::to_string(st));
        b.List->DrawTrackLine(s, w, st);
    };
    b.Header->Sections().Items(0)->SetMaxWidth(130);
    QWidget* vp = b.Header->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(100, 5));
    QTest::mouseMove(vp, QPoint(120, 5));
    EXPECT_TRUE(b.List->TrackLineShown());
    EXPECT_EQ(b.List->TrackLineX(), 120);
    QTest::mouseMove(vp, QPoint(200, 5));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(200, 5));
    EXPECT_FALSE(b.List->TrackLineShown());
    EXPECT_EQ(b.Header->Sections().Items(0)->Width(), 130);
    EXPECT_EQ(log.front(), "0:100:0");
    EXPECT_EQ(log.back(), "0:130:2");
}

TEST(ExHeader, DraggingASectionMovesItButNotPastTheFixedColumn) {
    TTreeListBuilder b("a:100 b:60 c:60", "");
    int changes = 0;
    bool clicked = false;
    b.Header->OnColumnChange = [&](TExHeader*, TExSection*) { ++changes; };
    b.Header->OnSectionClick = [&](TExHeader*, TExSection*) { clicked = true; };
    QWidget* vp = b.Header->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, QPoint(190, 5));
    for (int x = 190; x >= 0; x -= 10)
        QTest::mouseMove(vp, QPoint(x, 5));
    QTest::mouseRelease(vp, Qt::LeftButton, {}, QPoint(0, 5));
    EXPECT_EQ(b.Header->Sections().Items(2)->Position(), 1); // never before section 0
    EXPECT_EQ(b.Header->Sections().Items(0)->Position(), 0);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(clicked);
}

TEST(ExHeader, OwnerDrawnSectionsArePaintedByTheEvent) {
    TTreeListBuilder b("a:100 b:40", "");
    b.Header->Sections().Items(1)->Style = hsOwnerDraw;
    int calls = 0;
    b.Header->OnDrawSection = [&](TExHeader*, TExSection* s, QPainter* p, const QRect& r, bool pressed) {
        ++calls;
        EXPECT_EQ(s->Index(), 1);
        EXPECT_FALSE(pressed);
        p->fillRect(r, QColor(255, 255, 153));
    };
    QImage img = b.Header->viewport()->grab().toImage();
    EXPECT_GE(calls, 1);
    EXPECT_EQ(img.pixelColor(120, 5), QColor(255, 255, 153));
}
