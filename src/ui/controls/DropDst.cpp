// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/DropDst.h"

#include "base/Exceptions.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace quillo {

TDropDst::TDropDst(QObject* parent) : QObject(parent) {}

TDropDst::~TDropDst() {
    HookOff();
}

void TDropDst::SetControl(QWidget* control) {
    HookOff();
    mControl = control;
    HookOn();
}

void TDropDst::SetTarget(THookTarget target) {
    HookOff();
    mTarget = target;
    HookOn();
}

void TDropDst::SetAcceptDrop(bool accept) {
    if (accept == mAcceptDrop) return;
    mAcceptDrop = accept;
    Apply();
}

void TDropDst::HookOn() {
    QWidget* widget = mControl;
    if (mTarget == htForm) {
        if (!widget) // the widget this component belongs to
            for (QObject* o = parent(); o && !widget; o = o->parent())
                widget = qobject_cast<QWidget*>(o);
        if (!widget) throw EQuilloError("フック先を特定できません。");
        widget = widget->window();
    }
    if (!widget) return;
    mHooked = widget;
    widget->installEventFilter(this);
    Apply();
}

void TDropDst::HookOff() {
    if (!mHooked) return;
    mHooked->removeEventFilter(this);
    mHooked->setAcceptDrops(false);
    mHooked = nullptr;
}

void TDropDst::Apply() {
    if (mHooked) mHooked->setAcceptDrops(mAcceptDrop);
}

namespace {
bool CarriesFiles(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return false;
    for (const QUrl& u : mime->urls())
        if (u.isLocalFile()) return true;
    return false;
}
} // namespace

bool TDropDst::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mHooked || !mAcceptDrop) return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!CarriesFiles(e->mimeData())) return false;
        e->setDropAction(Qt::CopyAction);
        e->accept();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        if (!CarriesFiles(e->mimeData())) return false;
        e->setDropAction(Qt::CopyAction);
        e->accept();
        if (!OnFileDrop) return true; // released without a call
        std::vector<std::string> files;
        for (const QUrl& u : e->mimeData()->urls())
            if (u.isLocalFile()) files.push_back(u.toLocalFile().toStdString());
        const QPoint at = e->position().toPoint();
        try {
            OnFileDrop(this, files, at.x(), at.y());
        } catch (const std::exception& error) {
            if (OnError) OnError(error.what());
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

} // namespace quillo
