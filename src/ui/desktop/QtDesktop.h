// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "base/Desktop.h"

#include <functional>

class QString;
class QWidget;

namespace quillo {

// The desktop seam for the real program: Qt message boxes with the program's own captions.
class TQtDesktop : public IDesktop {
public:
    explicit TQtDesktop(QWidget* parent = nullptr) : mParent(parent) {}
    void SetParent(QWidget* parent) { mParent = parent; }
    // The open schedule's path, where file dialogs start.
    void SetSchedulePath(std::function<std::string()> path) { mSchedulePath = std::move(path); }
    void Sound(TSound sound) override;
    TMsgResult MessageBox(const std::string& text, TMsgType type, unsigned buttons) override;
    std::string FileDialog(const TFileDialog& dialog) override;
    std::string FolderDialog(const std::string& title, const std::string& root, const std::string& initial) override;
    void OpenDocument(const std::string& target) override;
    std::string ClipboardText() override;
    void SetClipboardText(const std::string& text) override;

private:
    QWidget* mParent;
    std::function<std::string()> mSchedulePath;
};

// Where a file dialog starts: the schedule's folder, else the user's documents folder, else home.
QString FileDialogFolder(const std::string& schedulePath);

} // namespace quillo
