// SPDX-License-Identifier: GPL-3.0-or-later
// LD_PRELOAD shim: QUILLO_FAIL=fsync|close|rename|write makes that call fail with EIO (ENOSPC
// for write) for files whose path contains "~ql", the schedule writer's temporary files.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static int Armed(const char* call) {
    const char* v = getenv("QUILLO_FAIL");
    return v && strcmp(v, call) == 0;
}

static int FdIsTemp(int fd) {
    char link[64], path[4096];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, path, sizeof path - 1);
    if (n <= 0) return 0;
    path[n] = 0;
    return strstr(path, "~ql") != NULL;
}

int fsync(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "fsync");
    if (Armed("fsync") && FdIsTemp(fd)) {
        errno = EIO;
        return -1;
    }
    return real(fd);
}

int close(int fd) {
    static int (*real)(int);
    if (!real) real = (int (*)(int))dlsym(RTLD_NEXT, "close");
    if (Armed("close") && FdIsTemp(fd)) {
        real(fd);
        errno = EIO;
        return -1;
    }
    return real(fd);
}

ssize_t write(int fd, const void* buf, size_t count) {
    static ssize_t (*real)(int, const void*, size_t);
    if (!real) real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    if (Armed("write") && FdIsTemp(fd)) {
        if (count > 1) return real(fd, buf, count / 2); // a short write first, then the failure
        errno = ENOSPC;
        return -1;
    }
    return real(fd, buf, count);
}

int rename(const char* from, const char* to) {
    static int (*real)(const char*, const char*);
    if (!real) real = (int (*)(const char*, const char*))dlsym(RTLD_NEXT, "rename");
    if (Armed("rename") && strstr(from, "~ql")) {
        errno = EIO;
        return -1;
    }
    return real(from, to);
}
