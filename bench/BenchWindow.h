// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The real window for the window benchmarks: shown at one size, a schedule opened as the user
// opens it, a to-do in its middle selected and in sight.
#include "controls/TreeList.h"
#include "main/FormMain.h"
#include "model/Document.h"

#include <QApplication>
#include <string>

namespace quillo::bench {

// The schedule holds at least 6 folders of 51 folders of 51 items.
inline TTreeNode* OpenInWindow(TFormMain& form, const std::string& file) {
    form.resize(1280, 800);
    form.show();
    form.Run([&] { form.Shared().Files.OpenNamed(file); });
    QApplication::processEvents();
    TTreeList* list = form.TreeList();
    TTreeNode* item = form.Shared().Document.Root()->Item(5)->Item(50)->Item(50);
    list->SetSelected(item);
    list->scrollTo(list->Model().IndexOf(item));
    QApplication::processEvents();
    return item;
}

} // namespace quillo::bench
