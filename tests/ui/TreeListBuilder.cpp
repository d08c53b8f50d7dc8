// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/TreeListBuilder.h"

#include <QApplication>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace quillo::test {

TTreeListBuilder::TTreeListBuilder(const std::string& header, const std::string& tree, int width, int height)
    : Host(std::make_unique<QWidget>()) {
    auto* layout = new QVBoxLayout(Host.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Header = new TExHeader(Host.get());
    List = new TTreeList(Nodes, Host.get());
    layout->addWidget(Header);
    layout->addWidget(List, 1);
    std::istringstream hs(header);
    std::string part;
    while (hs >> part) {
        TExSection* s = Header->Sections().Add();
        size_t colon = part.find(':');
        s->Text = part.substr(0, colon);
        if (colon != std::string::npos) s->SetWidth(std::stoi(part.substr(colon + 1)));
    }
    List->SetHeaderControl(Header);

    std::vector<TTreeNode*> parents;
    std::istringstream ts(tree);
    std::string line;
    while (std::getline(ts, line)) {
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        size_t depth = line.find_first_not_of(' ') / 2;
        std::vector<std::string> cells;
        std::string rest = line.substr(depth * 2);
        size_t start = 0;
        while (true) {
            size_t bar = rest.find('|', start);
            cells.push_back(rest.substr(start, bar - start));
            if (bar == std::string::npos) break;
            start = bar + 1;
        }
        parents.resize(depth);
        TTreeNode* parent = depth ? parents[depth - 1] : nullptr;
        TTreeNode* n = List->Items().AddChild(parent, cells[0]);
        for (size_t i = 1; i < cells.size(); ++i)
            n->SubItems()->Add(cells[i]);
        parents.push_back(n);
    }
    Host->resize(width, height);
    Host->show();
    QApplication::processEvents();
}

TTreeNode* TTreeListBuilder::Node(const std::string& text) const {
    for (TTreeNode* n = List->Items().GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == text) return n;
    throw std::runtime_error("no node " + text);
}

} // namespace quillo::test
