// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/FdOutBuf.h"

#include <cerrno>
#include <unistd.h>

namespace quillo {

bool TFdOutBuf::Drain() {
    const char* p = pbase();
    while (mError == 0 && p < pptr()) {
        const ssize_t n = ::write(mFd, p, static_cast<size_t>(pptr() - p));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
            mError = n < 0 ? errno : EIO;
        else
            p += n;
    }
    // What could not be written is dropped: trying it again would only fail again.
    setp(mBuf, mBuf + sizeof mBuf);
    return mError == 0;
}

TFdOutBuf::int_type TFdOutBuf::overflow(int_type c) {
    if (!Drain()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int TFdOutBuf::sync() {
    if (Drain()) return 0;
    errno = mError;
    return -1;
}

} // namespace quillo
