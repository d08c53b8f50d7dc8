// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Accepts files dragged from the file manager onto one widget (or the window that holds it) and
// reports them, in the order given, with the drop point, through one event.
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace quillo {

enum THookTarget { htControl, htForm };

class TDropDst : public QObject {
    Q_OBJECT
public:
    explicit TDropDst(QObject* parent = nullptr);
    ~TDropDst() override;

    QWidget* Control() const { return mControl; }
    void SetControl(QWidget* control); // lets go of the previous widget first
    THookTarget Target() const { return mTarget; }
    void SetTarget(THookTarget target); // htForm with nothing to find: EQuilloError "フック先を特定できません。"
    bool AcceptDrop() const { return mAcceptDrop; }
    void SetAcceptDrop(bool accept);
    QWidget* Hooked() const { return mHooked; }

    // Sender, local paths, x and y in the hooked widget.
    std::function<void(TDropDst*, const std::vector<std::string>&, int, int)> OnFileDrop;
    std::function<void(const std::string&)> OnError; // what the handler threw

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HookOn();
    void HookOff();
    void Apply();

    QPointer<QWidget> mControl;
    QPointer<QWidget> mHooked;
    THookTarget mTarget = htControl;
    bool mAcceptDrop = true;
};

} // namespace quillo
