// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MainParts.h"

#include "main/Images.h"

#include <QAction>
#include <QVBoxLayout>

namespace quillo::test {

TMainParts::TMainParts(TDate today)
    : Clock(today + 0.5), Eval{today, &Calendar, &Chart},
      Files(Document, Desktop, Clock, Eval,
            {{},
             [this](const std::string& text) { Statuses.push_back(text); },
             {},
             [this](bool rebuilding) { rebuilding ? Tree->BeginUpdate() : Tree->EndUpdate(); },
             [this] { Tree->SetSelected(Document.Root()); }}),
      Window(std::make_unique<QMainWindow>()) {
    Chart.SetChartDate(today + kDefaultChartOffset);
    auto* central = new QWidget(Window.get());
    auto* layout = new QVBoxLayout(central);
    Header = new TExHeader(central);
    Tree = new TTreeList(Document.Nodes(), central);
    Tree->SetImages(&NodeImages());
    layout->addWidget(Header);
    layout->addWidget(Tree, 1);
    Hint = new QLabel(central);
    layout->addWidget(Hint);
    Window->setCentralWidget(central);
    Commands = new TMainCommands(*Window, Desktop);
    Commands->Add(kMainCommands);
    Context = std::make_unique<TMainContext>(TMainContext{Desktop, Clock, today, Calendar, Chart, Eval, Document,
                                                          Editor, Files, Watch, *Tree, *Header, *Commands,
                                                          [this](const QString& text) { Hint->setText(text); }});
}

TMainParts::~TMainParts() {
    Window.reset(); // the views go before the document
}

void TMainParts::Open(const std::string& text, const std::string& name) {
    WriteFile(Dir.File(name), text);
    Commands->Run([&] { Files.OpenNamed(Dir.File(name)); });
}

TTreeNode* TMainParts::Node(const std::string& name) const {
    for (TTreeNode* n = Document.Root(); n; n = n->GetNext())
        if (n->Text() == name) return n;
    return nullptr;
}

void TMainParts::Select(TTreeNode* node) {
    Tree->SetSelected(node);
    Commands->Update();
}

void TMainParts::Trigger(const char* command) {
    Commands->Execute(command);
    Commands->Update();
}

TTreeParts::TTreeParts(TDate today) : P(today) {
    P.Tree->SetHeaderControl(P.Header);
    P.Tree->OnMouseDown = [this](TTreeList*, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        Gestures.TreeList1MouseDown(b, x, y);
        Chart.TreeList1MouseDown(x, y);
    };
    P.Window->resize(900, 600);
    P.Window->show();
}

} // namespace quillo::test
