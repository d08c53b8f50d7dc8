// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/QtDesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

namespace quillo {

void TQtDesktop::Sound(TSound) {
    QApplication::beep();
}

TMsgResult TQtDesktop::MessageBox(const std::string& text, TMsgType type, unsigned buttons) {
    QMessageBox box(mParent);
    box.setWindowTitle(QString::fromUtf8(MsgTypeTitle(type)));
    box.setText(QString::fromUtf8(text.c_str()));
    switch (type) {
    case mtError:
        box.setIcon(QMessageBox::Critical);
        break;
    case mtWarning:
        box.setIcon(QMessageBox::Warning);
        break;
    case mtInformation:
        box.setIcon(QMessageBox::Information);
        break;
    case mtConfirmation:
        box.setIcon(QMessageBox::Question);
        break;
    }
    struct TButton {
        unsigned Flag;
        const char* Caption;
        QMessageBox::ButtonRole Role;
        TMsgResult Result;
    };
    static const TButton kButtons[] = {{mbYes, "はい(&Y)", QMessageBox::YesRole, mrYes},
                                       {mbNo, "いいえ(&N)", QMessageBox::NoRole, mrNo},
                                       {mbOK, "OK", QMessageBox::AcceptRole, mrOK},
                                       {mbOverwrite, "上書き保存(&O)", QMessageBox::DestructiveRole, mrOverwrite},
                                       {mbReload, "読み込み直す(&R)", QMessageBox::ResetRole, mrReload},
                                       {mbSaveAs, "別名で保存(&A)...", QMessageBox::ActionRole, mrSaveAs},
                                       {mbCancel, "キャンセル", QMessageBox::RejectRole, mrCancel},
                                       {mbAbort, "中止(&A)", QMessageBox::DestructiveRole, mrAbort}};
    std::vector<std::pair<QAbstractButton*, TMsgResult>> made;
    for (const TButton& b : kButtons)
        if (buttons & b.Flag) made.emplace_back(box.addButton(QString::fromUtf8(b.Caption), b.Role), b.Result);
    // Enter must not write over another program's changes.
    if (buttons & mbOverwrite)
        for (auto& [button, result] : made)
            if (result == mrCancel) box.setDefaultButton(static_cast<QPushButton*>(button));
    box.exec();
    for (auto& [button, result] : made)
        if (box.clickedButton() == button) return result;
    return mrNone;
}

} // namespace quillo

namespace quillo {

QString FileDialogFolder(const std::string& schedulePath) {
    if (!schedulePath.empty()) {
        const QFileInfo schedule(QString::fromStdString(schedulePath));
        if (schedule.absoluteDir().exists()) return schedule.absolutePath();
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

std::string TQtDesktop::FileDialog(const TFileDialog& d) {
    QFileDialog dialog(mParent, QString::fromStdString(d.Title));
    // Never the process's working folder, which a log-on start or a file manager chose.
    dialog.setDirectory(FileDialogFolder(mSchedulePath ? mSchedulePath() : std::string()));
    QStringList filters;
    const QStringList parts = QString::fromStdString(d.Filter).split('|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        // Qt shows a filter as written: a description that names its pattern already needs no second copy.
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        filters << (parts[i].endsWith("(" + pattern + ")") ? parts[i] : parts[i] + " (" + pattern + ")");
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(d.DefaultExt));
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (d.Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.selectFile(QString::fromStdString(d.FileName));
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(d.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return dialog.selectedFiles().front().toStdString();
}

std::string TQtDesktop::FolderDialog(const std::string& title, const std::string& root, const std::string& initial) {
    QFileDialog dialog(mParent, QString::fromStdString(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    const QString start =
        QString::fromStdString(QDir(QString::fromStdString(initial)).exists() && !initial.empty() ? initial : root);
    dialog.setDirectory(start);
    if (!root.empty()) dialog.setSidebarUrls({QUrl::fromLocalFile(QString::fromStdString(root))});
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return "";
    return dialog.selectedFiles().front().toStdString();
}

std::string TQtDesktop::ClipboardText() {
    return QGuiApplication::clipboard()->text().toStdString();
}

void TQtDesktop::SetClipboardText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

void TQtDesktop::OpenDocument(const std::string& target) {
    const QString t = QString::fromStdString(target);
    const QUrl url = t.startsWith('/') ? QUrl::fromLocalFile(t) : QUrl::fromUserInput(t);
    QDesktopServices::openUrl(url);
}

} // namespace quillo
