// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An output buffer over a file descriptor that keeps the system's reason for the first failed
// write: the standard file buffers keep only a failed state, and a full disk or a closed pipe
// must be reported with its cause.
#include <streambuf>

namespace quillo {

class TFdOutBuf : public std::streambuf {
public:
    explicit TFdOutBuf(int fd) : mFd(fd) { setp(mBuf, mBuf + sizeof mBuf); }
    TFdOutBuf(const TFdOutBuf&) = delete;
    TFdOutBuf& operator=(const TFdOutBuf&) = delete;
    ~TFdOutBuf() override { Drain(); }
    int Error() const { return mError; } // errno of the first failed write, 0 while none failed

protected:
    int_type overflow(int_type c) override;
    // -1 once any write has failed, with errno set to that failure's reason.
    int sync() override;

private:
    bool Drain();
    int mFd;
    int mError = 0;
    char mBuf[1 << 16];
};

} // namespace quillo
