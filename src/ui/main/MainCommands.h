// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's commands: one table of names, captions, hints, keys and pictures; the parts
// bind a handler and an enabling rule to a name, and look actions up by it. A new part adds rows
// and binds them; the window needs no field per command.
#include <QKeyCombination>
#include <QObject>
#include <functional>
#include <initializer_list>
#include <span>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace quillo {

class IDesktop;

// Sets an action's caption, hint ("short|long") and tool bar picture, each only when it changes.
void SetLook(QAction* action, const char* caption, const char* hint, int image);

// Fixed keys stay; editing keys are lent to the rename box while a name is typed.
enum TKeyUse { kuFixed, kuEditing };

struct TCommandRow {
    const char* Name; // the action's name, e.g. "ActionFileSave"
    const char* Caption;
    const char* Hint; // "short|long"
    int Image;        // a TToolImage
    QKeyCombination Key{};
    TKeyUse Use = kuFixed;
    QKeyCombination AltKey{}; // a second key for the same command
};

extern const std::span<const TCommandRow> kMainCommands;
class TMainCommands;
// The main window's menus and tool bar, from the commands of the table.
void BuildMainMenus(const TMainCommands& commands, QMenuBar& bar, QToolBar& tools);

class TMainCommands : public QObject {
    Q_OBJECT
public:
    // The actions live on `window`, so their keys work wherever the window has the focus.
    TMainCommands(QWidget& window, IDesktop& desktop);
    ~TMainCommands() override;

    void Add(std::span<const TCommandRow> rows); // every command starts disabled
    // A command's handler, run through Run, and its enabling rule (none: enabled once bound).
    void Bind(const char* name, std::function<void()> handler, std::function<bool()> enabled = {});
    // Captions, hints and pictures that follow the state, brought up to date with the rules.
    void AddLook(std::function<void()> update);

    QAction* Find(std::string_view name) const; // none for a name not in the table
    bool Bound(std::string_view name) const;    // a handler was bound to it
    static int ImageOf(const QAction* action);  // the tool bar picture it shows
    // Runs a command; what it throws is shown in an error box; the states follow.
    void Run(const std::function<void()>& command);
    void Execute(const char* name); // as its menu entry would: only when enabled
    void Invoke(const char* name);  // its handler, whatever its state
    void Update();                  // the enabling rules and looks, run when the event loop goes idle

    void SetEditingKeys(bool given); // false while the rename box needs them

    // Adds the commands to a menu or tool bar, in order; "-" is a separator.
    void Fill(QWidget* target, std::initializer_list<const char*> names) const;

private:
    struct TCommand {
        const TCommandRow* Row;
        QAction* Action;
        std::function<void()> Handler;
        std::function<bool()> Enabled;
    };
    TCommand* Entry(std::string_view name);

    QWidget& mWindow;
    IDesktop& mDesktop;
    std::vector<TCommand> mCommands;
    std::vector<std::function<void()>> mLooks;
};

} // namespace quillo
