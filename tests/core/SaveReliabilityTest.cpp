// SPDX-License-Identifier: GPL-3.0-or-later
// What a save does around the file it replaces: links, permissions, long folders, leftovers of
// killed saves, and files too large to read back.
#include "base/Exceptions.h"
#include "base/SafeFile.h"
#include "core/TestTree.h"
#include "model/Document.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

using namespace quillo;
using namespace quillo::test;
namespace fs = std::filesystem;

namespace {
const char* const kOld = "D\t2024\t5\t3\r\nA-\r\n";
const char* const kNew = "D\t2024\t5\t4\r\nA-\r\n";

std::string SaveError(const std::string& path) {
    try {
        WriteScheduleFile(path, kNew, false);
    } catch (const ESaveError& e) {
        return e.what();
    }
    return "";
}

void Age(const std::string& path) {
    const timeval old[2] = {{1000000000, 0}, {1000000000, 0}};
    utimes(path.c_str(), old);
}
} // namespace

TEST(SaveReliability, SavingThroughALinkReplacesTheFileItNames) {
    TTempDir dir;
    fs::create_directory(dir.File("real"));
    WriteFile(dir.File("real/plan.qlp"), kOld);
    fs::create_symlink("real/plan.qlp", dir.File("middle.qlp"));
    fs::create_symlink(dir.File("middle.qlp"), dir.File("plan.qlp")); // a chain of two links
    EXPECT_EQ(SaveError(dir.File("plan.qlp")), "");
    EXPECT_TRUE(fs::is_symlink(dir.File("plan.qlp")));
    EXPECT_TRUE(fs::is_symlink(dir.File("middle.qlp")));
    EXPECT_EQ(ReadFile(dir.File("real/plan.qlp")), kNew);
    // A link to a file not made yet makes it where the link points.
    fs::create_symlink("real/later.qlp", dir.File("later.qlp"));
    EXPECT_EQ(SaveError(dir.File("later.qlp")), "");
    EXPECT_EQ(ReadFile(dir.File("real/later.qlp")), kNew);
}

TEST(SaveReliability, ReadOnlyFilesAreRefusedAndPermissionsKept) {
    TTempDir dir;
    const std::string ro = dir.File("ro.qlp"), shared = dir.File("shared.qlp");
    WriteFile(ro, kOld);
    chmod(ro.c_str(), 0444);
    EXPECT_EQ(SaveError(ro), ro + " の保存に失敗しました。\r\nアクセスが拒否されました。");
    EXPECT_EQ(ReadFile(ro), kOld);
    WriteFile(shared, kOld);
    chmod(shared.c_str(), 0640);
    EXPECT_EQ(SaveError(shared), "");
    struct stat st {};
    stat(shared.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(SaveReliability, AFolderPathLongerThanWindowsAllowsStillSaves) {
    TTempDir dir;
    std::string folder = dir.Path();
    while (folder.size() < 251)
        folder += "/" + std::string(std::min<size_t>(100, 251 - folder.size()), 'f');
    fs::create_directories(folder);
    EXPECT_EQ(SaveError(folder + "/plan.qlp"), "");
    EXPECT_EQ(ReadFile(folder + "/plan.qlp"), kNew);
}

TEST(SaveReliability, LeftoversOfKilledSavesGoButALiveSaveKeepsItsFile) {
    TTempDir dir;
    for (const char* name : {"~ql1A2B.tmp", "~qlF.tmp", "~ql0000.tmp"}) {
        WriteFile(dir.File(name), "half a save");
        Age(dir.File(name));
    }
    // Not ours, or not stale: another prefix, another shape, a fresh file, a file still locked.
    for (const char* name : {"~hl1A2B.tmp", "~qlXYZ.tmp", "~ql12345.tmp", "notes.tmp", "~ql77.tmp"})
        WriteFile(dir.File(name), "keep");
    for (const char* name : {"~hl1A2B.tmp", "~qlXYZ.tmp", "~ql12345.tmp", "notes.tmp"})
        Age(dir.File(name));
    WriteFile(dir.File("~qlBEEF.tmp"), "a save in progress");
    Age(dir.File("~qlBEEF.tmp"));
    const int live = open(dir.File("~qlBEEF.tmp").c_str(), O_RDONLY);
    ASSERT_EQ(flock(live, LOCK_EX), 0);

    EXPECT_EQ(SaveError(dir.File("plan.qlp")), "");
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.Path()))
        left.insert(e.path().filename().string());
    close(live);
    EXPECT_EQ(left, (std::set<std::string>{"plan.qlp", "~hl1A2B.tmp", "~qlXYZ.tmp", "~ql12345.tmp", "notes.tmp",
                                           "~ql77.tmp", "~qlBEEF.tmp"}));
}

TEST(SaveReliability, FilesBeyondTheReadersCapAreNeitherOpenedNorWritten) {
    TTempDir dir;
    const std::string big = dir.File("big.qlp");
    WriteFile(big, kOld);
    fs::resize_file(big, kMaxReadBytes + 1); // sparse: no disk used
    TDocument doc;
    doc.FileName = big;
    try {
        doc.Load(nullptr);
        ADD_FAILURE() << "a file over the cap was opened";
    } catch (const ELoadError& e) {
        EXPECT_EQ(std::string(e.what()), big + "\r\nファイルのオープン処理に失敗しました。\r\n" + kTooLargeText);
    }
    const std::string huge(kMaxReadBytes + 1, 'x');
    try {
        WriteScheduleFile(dir.File("out.qlp"), huge, false);
        ADD_FAILURE() << "wrote a file the reader refuses";
    } catch (const ESaveError& e) {
        EXPECT_EQ(std::string(e.what()), dir.File("out.qlp") + " の保存に失敗しました。\r\n" + kTooLargeText);
    }
    EXPECT_FALSE(fs::exists(dir.File("out.qlp")));
}
