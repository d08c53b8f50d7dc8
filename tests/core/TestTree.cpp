// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/TestTree.h"

#include "base/StrUtil.h"
#include "model/ScheduleFormat.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quillo::test {

std::string Tabs(const std::string& s) {
    return ReplaceAll(s, "|", "\t");
}

TDate D(int y, int m, int d) {
    return EncodeDate(y, m, d);
}

TTestDocument::TTestDocument(TDate today) : Ctx{today, &Calendar, &Chart} {
    Chart.SetChartDate(today - 7);
}

void TTestDocument::Load(const std::string& lines) {
    Doc.New("test");
    ReadItemLines(Doc.Nodes(), Doc.Root(), Tabs(lines), nullptr);
    FinishScheduleLoad(Doc.Nodes(), Ctx);
    Doc.History.Clear();
}

TTreeNode* TTestDocument::Find(const std::string& name, int nth) const {
    for (TTreeNode* n = Doc.Root(); n; n = n->GetNext())
        if (n->Text() == name && nth-- == 0) return n;
    return nullptr;
}

std::string TTestDocument::Lines() const {
    std::string s;
    WriteItemLines(Doc.Root(), s);
    return s;
}

TTestSchedule::TTestSchedule(TDate today) {
    Ctx = {today, &Calendar, &Chart};
    Nodes.SetOwnsData(true);
    SetChart(today - 7);
}

void TTestSchedule::SetChart(TDate first) {
    Chart.SetChartDate(first);
}

TTreeNode* TTestSchedule::Load(const std::string& lines) {
    Nodes.Clear();
    TTreeNode* root = CreateScheduleRoot(Nodes, "test");
    std::string text = Tabs(lines);
    ReadItemLines(Nodes, root, text, nullptr);
    FinishScheduleLoad(Nodes, Ctx);
    return root;
}

TTreeNode* TTestSchedule::Find(const std::string& name) const {
    for (TTreeNode* n = Nodes.GetFirstNode(); n; n = n->GetNext())
        if (n->Text() == name) return n;
    throw std::runtime_error("no node " + name);
}

TTempDir::TTempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quillo-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    mPath = tmpl;
}

TTempDir::~TTempDir() {
    std::error_code ec;
    std::filesystem::permissions(mPath, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(mPath, ec);
}

int RunInReadOnlyFolder(const std::string& dir, const std::function<int()>& body) {
    if (geteuid() != 0) {
        chmod(dir.c_str(), 0500);
        int rc = body();
        chmod(dir.c_str(), 0700);
        return rc;
    }
    chmod(dir.c_str(), 0755); // readable, but only root may write
    pid_t pid = fork();
    if (pid < 0) return kCannotDropRights;
    if (pid == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(kCannotDropRights);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    chmod(dir.c_str(), 0700);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace quillo::test
