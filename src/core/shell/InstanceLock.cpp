// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/InstanceLock.h"

#include "base/FileNames.h"
#include "base/SafeFile.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo {

const char* const kInstanceName = "ToDo_Scheduler_Instance";

namespace {
const char* const kLockFile = "二重起動を防ぐためのロックファイル";

// Only a folder this user owns and nobody else may enter: another user could otherwise hold the
// lock for us (a false "already running"), or point it elsewhere.
bool IsPrivateFolder(const std::string& dir, bool followLink, std::string& why) {
    struct stat st {};
    if ((followLink ? ::stat(dir.c_str(), &st) : ::lstat(dir.c_str(), &st)) != 0) {
        why = SystemReason(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode))
        why = "フォルダではありません。";
    else if (st.st_uid != ::getuid())
        why = "ほかのユーザーのフォルダです。";
    else if ((st.st_mode & 077) != 0)
        why = "ほかのユーザーも使えるフォルダです。";
    else
        return true;
    return false;
}
} // namespace

std::string RuntimeDirectory(std::string* error) {
    std::string why;
    if (const std::string v = XdgDirVariable("XDG_RUNTIME_DIR"); !v.empty() && IsPrivateFolder(v, true, why)) return v;
    const std::string dir = "/tmp/quillo-runtime-" + std::to_string(::getuid());
    ::mkdir(dir.c_str(), 0700);
    if (IsPrivateFolder(dir, false, why)) return dir;
    if (error) *error = std::string(kLockFile) + "を置くフォルダを使えません。\r\n" + dir + "\r\n" + why;
    return "";
}

TInstanceLock::~TInstanceLock() {
    if (mFd >= 0) ::close(mFd);
}

TInstanceLock::TResult TInstanceLock::Acquire(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        const int e = errno;
        error = std::string(kLockFile) + "を開けません。\r\n" + path + "\r\n" +
                (e == ELOOP ? "シンボリックリンクになっています。" : SystemReason(e));
        return ilFailed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK) return ilHeldElsewhere;
        error = std::string(kLockFile) + "をロックできません。\r\n" + path + "\r\n" + SystemReason(e);
        return ilFailed;
    }
    // For a person looking: who holds it.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0 && ::write(fd, pid.data(), pid.size()) < 0) {
        // Informational only.
    }
    if (mFd >= 0) ::close(mFd);
    mFd = fd;
    return ilAcquired;
}

} // namespace quillo
