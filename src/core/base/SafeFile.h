#pragma once
// Whole-file reading that refuses what is not a schedule-sized regular file, and writing that
// replaces a file atomically: either the old or the new contents survive, never a torn file.
#include "base/Exceptions.h"

#include <string>
#include <string_view>

namespace quillo {

constexpr size_t kMaxReadBytes = 64u << 20;

// False (with a reason in `error`) for a missing file, a directory, a FIFO or device, a file
// larger than `maxBytes`, or a read error. Never blocks on a FIFO.
bool ReadWholeFile(const std::string& path, std::string& out, std::string& error, size_t maxBytes = kMaxReadBytes);

class EFileWriteError : public EQuilloError {
public:
    EFileWriteError(const std::string& what, std::string keptTemp)
        : EQuilloError(what), KeptTemp(std::move(keptTemp)) {}
    std::string KeptTemp; // set when the new contents survive only in this file
};

// Writes through "<prefix>XXXX.tmp" in the target's folder, fsyncs, renames over the target and
// syncs the folder. On a failure before the rename the temporary file is removed and the target
// is untouched. When the rename itself fails the temporary file is kept if `keepTempOnRenameFailure`.
void WriteFileAtomic(const std::string& target, std::string_view data, const std::string& prefix,
                     bool keepTempOnRenameFailure = false);

} // namespace quillo
