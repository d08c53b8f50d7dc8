// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/SafeFile.h"

#include "base/FileNames.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace quillo {

const char* const kTooLargeText = "ファイルが大きすぎます（64MBまで）。";

namespace {
std::string Errno(int e) {
    return std::strerror(e);
}

// A temporary file younger than this may belong to a save that has created it but not yet
// taken its lock.
constexpr time_t kStaleTempAge = 2;

struct TFd {
    int fd = -1;
    ~TFd() {
        if (fd >= 0) ::close(fd);
    }
};
} // namespace

bool ReadWholeFile(const std::string& path, std::string& out, std::string& error, size_t maxBytes) {
    out.clear();
    TFd f;
    f.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (f.fd < 0) {
        error = Errno(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(f.fd, &st) != 0) {
        error = Errno(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        error = "not a regular file";
        return false;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        error = kTooLargeText;
        return false;
    }
    out.resize(static_cast<size_t>(st.st_size));
    return ReadStream(f.fd, out, error, maxBytes);
}

bool ReadStream(int fd, std::string& out, std::string& error, size_t maxBytes) {
    // Straight into the string (pre-sized by the caller when the size is known); a file that grows
    // while it is read grows the string, within the cap.
    size_t got = 0;
    while (true) {
        if (got == out.size()) out.resize(got + 65536);
        ssize_t n = ::read(fd, &out[got], out.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = Errno(errno);
            out.clear();
            return false;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
        if (got > maxBytes) { // grew while we read
            error = kTooLargeText;
            out.clear();
            return false;
        }
    }
    out.resize(got);
    return true;
}

std::string SystemReason(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "ディスクの空き容量が足りません。";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました。";
    case EROFS:
        return "読み取り専用のファイルシステムです。";
    case EFBIG:
        return kTooLargeText;
    case ENAMETOOLONG:
        return "ファイル名が長すぎます。";
    case ENOENT:
    case ENOTDIR:
        return "フォルダが見つかりません。";
    case EISDIR:
        return "同じ名前のフォルダがあります。";
    default:
        return "システムのエラーです（" + Errno(error) + "）。";
    }
}

std::string ResolveWriteTarget(const std::string& path) {
    std::string current = path;
    for (int hop = 0; hop < 40; ++hop) { // the system's own limit on a chain of links
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string link(static_cast<size_t>(PATH_MAX), '\0');
        const ssize_t n = ::readlink(current.c_str(), link.data(), link.size());
        if (n <= 0) return current;
        link.resize(static_cast<size_t>(n));
        current = link[0] == '/' ? link : AddPathDelimiter(ExtractFileDir(current)) + link;
    }
    return current;
}

namespace {
bool IsOurTempName(const std::string& name, const std::string& stem) {
    if (name.size() < stem.size() + 5 || name.compare(0, stem.size(), stem) != 0) return false;
    if (name.compare(name.size() - 4, 4, ".tmp") != 0) return false;
    const size_t hexLength = name.size() - stem.size() - 4;
    if (hexLength < 1 || hexLength > 4) return false;
    for (size_t i = stem.size(); i < stem.size() + hexLength; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    return true;
}

// Removes "<stem>XXXX.tmp" files that no live save holds locked.
void RemoveStaleTemps(const std::string& dir, const std::string& stem) {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return;
    const time_t now = ::time(nullptr);
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (!IsOurTempName(name, stem)) continue;
        const std::string path = AddPathDelimiter(dir) + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || now - st.st_mtime < kStaleTempAge) continue;
        TFd f;
        f.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (f.fd >= 0 && ::flock(f.fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    }
    ::closedir(d);
}

// Creates "<stem><hex>.tmp" and locks it at once, so that no other save removes it as stale.
int CreateLockedTemp(const std::string& dir, const std::string& stem, std::string& name, int& error) {
    std::random_device rd;
    const unsigned start = rd() & 0xFFFFu;
    for (unsigned i = 0; i < 0x10000u; ++i) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", (start + i) & 0xFFFFu);
        name = AddPathDelimiter(dir) + stem + hex + ".tmp";
        const int fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_RDWR | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST) break;
    }
    error = errno;
    return -1;
}
} // namespace

void WriteFileAtomic(const std::string& target, std::string_view data, const std::string& prefix,
                     bool keepTempOnRenameFailure) {
    const std::string real = ResolveWriteTarget(target);
    const std::string dir = ExtractFileDir(real);
    const std::string stem = prefix.substr(0, 3);
    struct stat old {};
    const bool replacing = ::stat(real.c_str(), &old) == 0;
    // Root may write anything; a read-only file is still the user's word that it must not change.
    if (replacing && (::access(real.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        throw EFileWriteError("cannot write " + real + ": " + Errno(EACCES), EACCES);

    RemoveStaleTemps(dir, stem);
    std::string temp;
    int createError = 0;
    TFd f; // written through, then closed before the rename
    f.fd = CreateLockedTemp(dir, stem, temp, createError);
    if (f.fd < 0)
        throw EFileWriteError("cannot create a temporary file in " + dir + ": " + Errno(createError), createError);
    TFd lock; // a second open of the file holds the lock until the rename is done
    lock.fd = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (lock.fd >= 0) ::flock(lock.fd, LOCK_EX | LOCK_NB);

    auto fail = [&](const std::string& what, int e) {
        ::unlink(temp.c_str());
        throw EFileWriteError(what + ": " + Errno(e), e);
    };
    if (replacing) {
        ::fchmod(f.fd, old.st_mode & 07777);
        if (::fchown(f.fd, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own rights can be given; the bits above still apply.
        }
    }
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(f.fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail("cannot write " + temp, errno);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(f.fd) != 0) fail("cannot sync " + temp, errno);
    int fd = f.fd;
    f.fd = -1;
    if (::close(fd) != 0) fail("cannot close " + temp, errno);

    if (::rename(temp.c_str(), real.c_str()) != 0) {
        const int e = errno;
        if (!keepTempOnRenameFailure) ::unlink(temp.c_str());
        throw EFileWriteError("cannot rename " + temp + " to " + real + ": " + Errno(e), e,
                              keepTempOnRenameFailure ? temp : std::string());
    }
    // Make the rename itself durable; the new contents are already in place, so a folder that
    // cannot be synced is not a failed save.
    TFd d;
    d.fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d.fd >= 0) ::fsync(d.fd);
}

} // namespace quillo
