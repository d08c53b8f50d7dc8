// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/InstanceLock.h"

#include "base/FileNames.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo {

const char* const kInstanceName = "ToDo_Scheduler_Instance";

std::string RuntimeDirectory() {
    if (const char* v = std::getenv("XDG_RUNTIME_DIR"); v && *v) return v;
    return PrivateFolder("/tmp/quillo-runtime-" + std::to_string(::getuid()));
}

std::string PrivateFolder(const std::string& dir) {
    // Only a folder this user owns and nobody else may enter: another user could otherwise
    // hold the lock for us, or point it elsewhere.
    ::mkdir(dir.c_str(), 0700);
    struct stat st {};
    if (::lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 077) != 0)
        return "";
    return dir;
}

TInstanceLock::~TInstanceLock() {
    if (mFd >= 0) ::close(mFd);
}

TInstanceLock::TResult TInstanceLock::Acquire(const std::string& path, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = path + ": " + std::strerror(errno);
        return ilFailed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK) return ilHeldElsewhere;
        error = path + ": " + std::strerror(e);
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
