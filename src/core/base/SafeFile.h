// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-file reading that refuses what is not a schedule-sized regular file, and writing that
// replaces a file atomically: either the old or the new contents survive, never a torn file.
#include "base/Exceptions.h"

#include <string>
#include <string_view>

namespace quillo {

constexpr size_t kMaxReadBytes = 64u << 20;
extern const char* const kTooLargeText; // why a file over the cap is refused

// False (with a reason in `error`) for a missing file, a directory, a FIFO or device, a file
// larger than `maxBytes`, or a read error. Never blocks on a FIFO.
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error, size_t maxBytes = kMaxReadBytes);
// The rest of what an open descriptor gives (a pipe, a terminal, a file), up to `maxBytes`; `out`
// may come pre-sized to the expected length. False with the system's reason in `error`.
bool ReadStream(int fd, std::string& out, std::string& error, size_t maxBytes = kMaxReadBytes);

class EFileWriteError : public EQuilloError {
public:
    EFileWriteError(const std::string& what, int error, std::string keptTemp = {})
        : EQuilloError(what), Error(error), KeptTemp(std::move(keptTemp)) {}
    int Error;            // the system's errno of the step that failed
    std::string KeptTemp; // set when the new contents survive only in this file
};

// The system's reason for an errno, in the words the program shows (Japanese).
std::string SystemReason(int error);

// The file a save replaces: a symbolic link is followed (also through a chain of links) to the
// file it names, so that the link itself stays a link.
std::string ResolveWriteTarget(const std::string& path);

// Writes through "<prefix>XXXX.tmp" in the folder of the file the target names, fsyncs, renames
// over it and syncs the folder. The new file keeps the old one's permission bits; a file this
// process may not write is refused. On a failure before the rename the temporary file is removed
// and the target is untouched. When the rename itself fails the temporary file is kept if
// `keepTempOnRenameFailure`. Temporary files of the same prefix that a killed save left behind
// (no live process holds their lock) are removed first.
void WriteFileAtomic(const std::string& target, std::string_view data, const std::string& prefix,
                     bool keepTempOnRenameFailure = false);

} // namespace quillo
