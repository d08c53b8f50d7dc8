#include "base/SafeFile.h"

#include "base/FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quillo {

namespace {
std::string Errno(int e) {
    return std::strerror(e);
}

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
        error = "file too large";
        return false;
    }
    out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    while (true) {
        ssize_t n = ::read(f.fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR) continue;
            error = Errno(errno);
            out.clear();
            return false;
        }
        if (n == 0) break;
        out.append(buf, static_cast<size_t>(n));
        if (out.size() > maxBytes) { // grew while we read
            error = "file too large";
            out.clear();
            return false;
        }
    }
    return true;
}

void WriteFileAtomic(const std::string& target, std::string_view data, const std::string& prefix,
                     bool keepTempOnRenameFailure) {
    const std::string dir = ExtractFileDir(target);
    const std::string temp = MakeTempFileName(dir, prefix);
    if (temp.empty()) throw EFileWriteError("cannot create a temporary file in " + dir + ": " + Errno(errno), "");

    auto fail = [&](const std::string& what, int e) {
        ::unlink(temp.c_str());
        throw EFileWriteError(what + ": " + Errno(e), "");
    };

    TFd f;
    f.fd = ::open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (f.fd < 0) fail("cannot open " + temp, errno);
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) ::fchmod(f.fd, old.st_mode & 07777);

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

    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int e = errno;
        if (!keepTempOnRenameFailure) {
            ::unlink(temp.c_str());
            throw EFileWriteError("cannot rename " + temp + " to " + target + ": " + Errno(e), "");
        }
        throw EFileWriteError("cannot rename " + temp + " to " + target + ": " + Errno(e), temp);
    }
    // Make the rename itself durable; the new contents are already in place, so a folder that
    // cannot be synced is not a failed save.
    TFd d;
    d.fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (d.fd >= 0) ::fsync(d.fd);
}

} // namespace quillo
