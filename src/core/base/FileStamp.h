// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a file was when the program last read or wrote it, to tell whether another program (a
// synchronised folder, a second machine) has changed it since. The size and modification time
// answer cheaply; only when they differ is the content read and its hash compared, so a file
// touched but not changed counts as the same.
#include <cstdint>
#include <string>
#include <string_view>

namespace quillo {

struct TFileStamp {
    bool Known = false; // taken from a file read or written
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::uint64_t Device = 0, Inode = 0;
    std::uint64_t Hash = 0; // of the content
    bool operator==(const TFileStamp&) const = default;
};

std::uint64_t ContentHash(std::string_view bytes);
// The stamp of the regular file at `path` (links followed) whose content is `content`; not
// Known when there is no such file.
TFileStamp StampOf(const std::string& path, std::string_view content);

enum TDiskChange { dcSame, dcChanged, dcGone };
// The file at `path` now against `known`: gone (a save writes it again), the same (also when only
// its time changed: `known` then takes the new time, so the content is read once), or changed.
// A file that cannot be read counts as changed.
TDiskChange CompareWithDisk(const std::string& path, TFileStamp& known);

} // namespace quillo
