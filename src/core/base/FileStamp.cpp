// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FileStamp.h"

#include "base/SafeFile.h"

#include <sys/stat.h>

namespace quillo {

namespace {
bool StatOf(const std::string& path, TFileStamp& stamp) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    stamp.Size = static_cast<std::uint64_t>(st.st_size);
    stamp.ModifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.Device = st.st_dev;
    stamp.Inode = st.st_ino;
    return true;
}

bool SameStat(const TFileStamp& a, const TFileStamp& b) {
    return a.Size == b.Size && a.ModifiedNs == b.ModifiedNs && a.Device == b.Device && a.Inode == b.Inode;
}
} // namespace

// FNV-1a: enough to tell one version of a schedule from another; nothing here is secret.
std::uint64_t ContentHash(std::string_view bytes) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 0x100000001b3ULL;
    }
    return h;
}

TFileStamp StampOf(const std::string& path, std::string_view content) {
    TFileStamp stamp;
    if (!StatOf(path, stamp)) return {};
    stamp.Known = true;
    stamp.Hash = ContentHash(content);
    return stamp;
}

TDiskChange CompareWithDisk(const std::string& path, TFileStamp& known) {
    TFileStamp now;
    if (!StatOf(path, now)) return dcGone;
    if (!known.Known || SameStat(now, known)) return dcSame;
    std::string content, error;
    if (!ReadWholeFile(path, content, error) || ContentHash(content) != known.Hash) return dcChanged;
    now.Known = true;
    now.Hash = known.Hash;
    known = now;
    return dcSame;
}

} // namespace quillo
