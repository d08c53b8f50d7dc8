// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-instance guard: a lock file named after the program's instance name in the user's
// runtime folder. The lock is the kernel's (flock), so a copy that was killed releases it at
// once, and whatever the file holds never matters.
#include <string>

namespace quillo {

extern const char* const kInstanceName; // ToDo_Scheduler_Instance

// $XDG_RUNTIME_DIR when it is this user's own and private; else a private folder of this user
// below the temporary folder. Empty when no safe folder can be had; `error` then says why.
std::string RuntimeDirectory(std::string* error = nullptr);

class TInstanceLock {
public:
    TInstanceLock() = default;
    ~TInstanceLock();
    TInstanceLock(const TInstanceLock&) = delete;
    TInstanceLock& operator=(const TInstanceLock&) = delete;

    enum TResult { ilAcquired, ilHeldElsewhere, ilFailed };
    // Takes the lock of `path` for the life of this object; `error` tells why it failed, in
    // words for the user with the path.
    TResult Acquire(const std::string& path, std::string& error);

private:
    int mFd = -1;
};

} // namespace quillo
