// SPDX-License-Identifier: GPL-3.0-or-later
#include "main/MainCommands.h"

#include "base/Desktop.h"
#include "base/Exceptions.h"
#include "base/StrUtil.h"
#include "main/Images.h"

#include <QAction>
#include <QWidget>

namespace quillo {

namespace {
// Setting a property to the value it has would still post an update of every button that shows
// the action, which wakes the idle loop again: change only what differs.
void SetText(QAction* a, const QString& text) {
    if (a->text() != text) a->setText(text);
}

void SetHint(QAction* a, const char* hint) {
    const auto [tip, status] = SplitHint(hint);
    const QString t = QString::fromStdString(tip), s = QString::fromStdString(status);
    if (a->toolTip() != t) a->setToolTip(t);
    if (a->statusTip() != s) a->setStatusTip(s);
}

void SetImage(QAction* a, int image) {
    if (a->property("ImageIndex").isValid() && a->property("ImageIndex").toInt() == image) return;
    a->setProperty("ImageIndex", image);
    const auto& images = ToolbarImages();
    a->setIcon(image >= 0 && image < int(images.size()) ? images[size_t(image)] : QIcon());
}

QList<QKeySequence> KeysOf(const TCommandRow& row) {
    QList<QKeySequence> keys;
    for (QKeyCombination key : {row.Key, row.AltKey})
        if (key != QKeyCombination()) keys << QKeySequence(key);
    return keys;
}
} // namespace

void SetLook(QAction* a, const char* caption, const char* hint, int image) {
    SetText(a, QString::fromUtf8(caption));
    SetHint(a, hint);
    SetImage(a, image);
}

TMainCommands::TMainCommands(QWidget& window, IDesktop& desktop)
    : QObject(&window), mWindow(window), mDesktop(desktop) {}

TMainCommands::~TMainCommands() = default;

void TMainCommands::Add(std::span<const TCommandRow> rows) {
    for (const TCommandRow& row : rows) {
        auto* a = new QAction(QString::fromUtf8(row.Caption), &mWindow);
        a->setObjectName(QString::fromUtf8(row.Name));
        SetHint(a, row.Hint);
        a->setShortcuts(KeysOf(row));
        SetImage(a, row.Image);
        a->setEnabled(false);
        const std::string name = row.Name;
        connect(a, &QAction::triggered, this, [this, name] { Invoke(name.c_str()); });
        mWindow.addAction(a);
        mCommands.push_back({&row, a, {}, {}});
    }
}

TMainCommands::TCommand* TMainCommands::Entry(std::string_view name) {
    for (TCommand& c : mCommands)
        if (c.Row->Name == name) return &c;
    return nullptr;
}

void TMainCommands::Bind(const char* name, std::function<void()> handler, std::function<bool()> enabled) {
    if (TCommand* c = Entry(name)) {
        c->Handler = std::move(handler);
        c->Enabled = std::move(enabled);
    }
}

void TMainCommands::AddLook(std::function<void()> update) {
    mLooks.push_back(std::move(update));
}

QAction* TMainCommands::Find(std::string_view name) const {
    for (const TCommand& c : mCommands)
        if (c.Row->Name == name) return c.Action;
    return nullptr;
}

bool TMainCommands::Bound(std::string_view name) const {
    for (const TCommand& c : mCommands)
        if (c.Row->Name == name) return bool(c.Handler);
    return false;
}

int TMainCommands::ImageOf(const QAction* action) {
    return action->property("ImageIndex").toInt();
}

void TMainCommands::Run(const std::function<void()>& command) {
    try {
        command();
    } catch (const EQuilloError& e) {
        mDesktop.Sound(sndError);
        mDesktop.MessageBox(e.what(), mtError, mbOK);
    }
    Update();
}

void TMainCommands::Invoke(const char* name) {
    const TCommand* c = Entry(name);
    if (c && c->Handler) Run(c->Handler);
}

void TMainCommands::Execute(const char* name) {
    Update();
    if (QAction* a = Find(name); a && a->isEnabled()) a->trigger();
}

void TMainCommands::Update() {
    for (const TCommand& c : mCommands) {
        const bool enabled = c.Handler && (!c.Enabled || c.Enabled());
        if (c.Action->isEnabled() != enabled) c.Action->setEnabled(enabled);
    }
    for (const auto& look : mLooks)
        look();
}

void TMainCommands::SetEditingKeys(bool given) {
    for (const TCommand& c : mCommands)
        if (c.Row->Use == kuEditing) c.Action->setShortcuts(given ? KeysOf(*c.Row) : QList<QKeySequence>());
}

void TMainCommands::Fill(QWidget* target, std::initializer_list<const char*> names) const {
    for (const char* name : names) {
        if (std::string_view(name) != "-") {
            target->addAction(Find(name));
            continue;
        }
        auto* separator = new QAction(target); // what a menu's or tool bar's addSeparator makes
        separator->setSeparator(true);
        target->addAction(separator);
    }
}

} // namespace quillo
