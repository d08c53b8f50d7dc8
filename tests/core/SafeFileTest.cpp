// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/SafeFile.h"
#include "base/Clock.h"
#include "base/Exceptions.h"
#include "base/FileNames.h"
#include "core/TestTree.h"
#include "model/ScheduleFormat.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace quillo;
using namespace quillo::test;

namespace {

std::vector<std::string> Temporaries(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().filename().string().rfind("~ql", 0) == 0) out.push_back(e.path().string());
    return out;
}

std::string ScheduleOfSize(size_t items, char fill) {
    std::string s = "D\t2024\t5\t3\r\nA-\r\n{\r\n";
    for (size_t i = 0; i < items; ++i)
        s += "F\t" + std::string(40, fill) + "\t\t-\r\n";
    return s + "}\r\n\r\n# Quillory Plan Schedule File (ver0.15)\r\n# 2024/05/03 18:30:05\r\n";
}

// The item block of a schedule file, without the "D" line and the save time.
std::string Items(const std::string& file) {
    size_t from = file.find("{\r\n"), to = file.find("\r\n\r\n#");
    return from == std::string::npos ? "" : file.substr(from, to - from);
}

// Runs the save helper with a fault injected; returns its exit status and error text.
int SaveWithFault(const std::string& fault, const std::string& src, const std::string& dst, std::string& err) {
    std::string errFile = dst + ".err";
    std::string cmd = "env QUILLO_FAIL=" + fault +
                      " LD_PRELOAD=" QUILLO_FAULT_SHIM
                      " ASAN_OPTIONS=verify_asan_link_order=0:detect_leaks=0 " QUILLO_SAVE_HELPER " save '" +
                      src + "' '" + dst + "' 2>'" + errFile + "'";
    int rc = std::system(cmd.c_str());
    err = ReadFile(errFile);
    std::filesystem::remove(errFile);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

} // namespace

TEST(SafeFile, ReadRefusesWhatIsNoRegularFile) {
    TTempDir dir;
    std::string text, error;
    const std::string fifo = dir.File("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(fifo, text, error));
    EXPECT_FALSE(ReadWholeFile(dir.Path(), text, error));
    EXPECT_FALSE(ReadWholeFile("/dev/zero", text, error));
    WriteFile(dir.File("big"), std::string(2000, 'x'));
    EXPECT_FALSE(ReadWholeFile(dir.File("big"), text, error, 1000));
    EXPECT_TRUE(ReadWholeFile(dir.File("big"), text, error));
    EXPECT_EQ(text.size(), 2000u);
}

TEST(SafeFile, AtomicWriteReplacesAndKeepsThePermissions) {
    TTempDir dir;
    const std::string path = dir.File("a.txt");
    WriteFile(path, "old");
    chmod(path.c_str(), 0640);
    WriteFileAtomic(path, "new contents", "~qlp");
    EXPECT_EQ(ReadFile(path), "new contents");
    struct stat st {};
    stat(path.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(SafeFile, FailedWriteLeavesTheOldFileAndNoTemporary) {
    TTempDir dir;
    const std::string path = dir.File("a.txt");
    WriteFile(path, "old");
    int rc = RunInReadOnlyFolder(dir.Path(), [&] {
        try {
            WriteFileAtomic(path, "new", "~qlp");
        } catch (const EFileWriteError&) {
            return 0;
        }
        return 1;
    });
    if (rc == kCannotDropRights) GTEST_SKIP() << "cannot make a folder read-only for this process";
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

TEST(SafeFile, InjectedFaultsNeverTouchTheOldSchedule) {
    TTempDir dir;
    const std::string src = dir.File("src.qlp"), dst = dir.File("dst.qlp");
    WriteFile(src, ScheduleOfSize(50, 'n'));
    const std::string old = ScheduleOfSize(3, 'o');
    for (const char* fault : {"write", "fsync", "close", "rename"}) {
        WriteFile(dst, old);
        std::string err;
        EXPECT_EQ(SaveWithFault(fault, src, dst, err), 1) << fault;
        EXPECT_NE(err.find(dst + " の保存に失敗しました。"), std::string::npos) << fault << ": " << err;
        EXPECT_EQ(ReadFile(dst), old) << fault;
        auto temps = Temporaries(dir.Path());
        if (std::string(fault) == "rename") {
            // The new copy survives only in the temporary file: kept, and named in the message.
            ASSERT_EQ(temps.size(), 1u);
            EXPECT_NE(err.find(temps[0]), std::string::npos);
            EXPECT_EQ(Items(ReadFile(temps[0])), Items(ReadFile(src)));
            std::filesystem::remove(temps[0]);
        } else {
            EXPECT_TRUE(temps.empty()) << fault;
        }
    }
    std::string err;
    EXPECT_EQ(SaveWithFault("none", src, dst, err), 0) << err;
    EXPECT_EQ(Items(ReadFile(dst)), Items(ReadFile(src)));
}

TEST(SafeFile, KilledSavesLeaveTheOldOrTheNewFile) {
    TTempDir dir;
    const std::string a = dir.File("a.qlp"), b = dir.File("b.qlp"), dst = dir.File("dst.qlp");
    const std::string textA = ScheduleOfSize(20000, 'a'), textB = ScheduleOfSize(30000, 'b');
    WriteFile(a, textA);
    WriteFile(b, textB);
    WriteFile(dst, textA);
    std::mt19937 rng(4);
    // The longer reliability run of the test script asks for more rounds.
    const char* rounds = std::getenv("QUILLO_SAVE_KILLS");
    const int kills = rounds ? std::max(1, std::atoi(rounds)) : 15;
    for (int round = 0; round < kills; ++round) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 1);
            execl(QUILLO_SAVE_HELPER, QUILLO_SAVE_HELPER, "loop", dst.c_str(), a.c_str(), b.c_str(), nullptr);
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20 + rng() % 200));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        const std::string now = ReadFile(dst);
        ASSERT_TRUE(now == textA || now == textB) << "round " << round << ": torn file of " << now.size() << " bytes";
    }
    // The killed writers' leftovers go with the next save, once no live save can own them.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    WriteScheduleFile(dst, textB, false);
    EXPECT_EQ(ReadFile(dst), textB);
    EXPECT_TRUE(Temporaries(dir.Path()).empty());
}

// A tiny tmpfs, nearly full and exactly full: the save fails and the old bytes stay.
TEST(SafeFile, FullDiskNeverLosesTheOldFile) {
    TTempDir dir;
    const std::string mnt = dir.File("mnt");
    mkdir(mnt.c_str(), 0700);
    if (mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << strerror(errno);
    struct TUnmount {
        std::string Path;
        ~TUnmount() { umount2(Path.c_str(), MNT_DETACH); }
    } unmount{mnt};

    const std::string path = mnt + "/plan.qlp";
    const std::string old = ScheduleOfSize(200, 'o'); // about 9 KB
    WriteFile(path, old);
    TTestSchedule s(D(2024, 5, 3));
    std::string big = "{\n";
    for (int i = 0; i < 3000; ++i)
        big += "F|" + std::string(40, 'n') + "||-\n";
    s.Load(big + "}");

    for (size_t leave : {size_t(4096), size_t(0)}) {
        // Fill the disk, leaving `leave` bytes (tmpfs counts whole pages).
        const std::string filler = mnt + "/filler";
        std::filesystem::remove(filler);
        {
            std::ofstream f(filler, std::ios::binary);
            std::string block(4096, 'f');
            while (f.write(block.data(), static_cast<long>(block.size())) && f.flush()) {
            }
        }
        if (leave) std::filesystem::resize_file(filler, std::filesystem::file_size(filler) - leave);
        TDate savedAt = 0;
        try {
            SaveSchedule(s.Nodes, path, D(2024, 5, 3), false, DefaultClock(), savedAt);
            FAIL() << "save on a full disk reported success";
        } catch (const ESaveError& e) {
            EXPECT_EQ(std::string(e.what()), path + " の保存に失敗しました。\r\nディスクの空き容量が足りません。");
        }
        EXPECT_EQ(ReadFile(path), old) << "leave " << leave;
        EXPECT_TRUE(Temporaries(mnt).empty());
    }
}

TEST(FileNames, TempFileNamesAreNewAndUnique) {
    TTempDir dir;
    std::set<std::string> names;
    for (int i = 0; i < 200; ++i) {
        std::string n = MakeTempFileName(dir.Path(), "~qlp");
        ASSERT_FALSE(n.empty());
        EXPECT_EQ(ExtractFileName(n).substr(0, 3), "~ql");
        EXPECT_EQ(n.substr(n.size() - 4), ".tmp");
        EXPECT_TRUE(IsRegularFile(n));
        EXPECT_TRUE(names.insert(n).second);
    }
    EXPECT_EQ(MakeTempFileName(dir.File("missing"), "~ql"), "");
    EXPECT_EQ(MakeTempFileName("/" + std::string(300, 'x'), "~ql"), ""); // over 260 characters
}
