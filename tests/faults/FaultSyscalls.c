// Fault injection under the engines: this test program's own definitions of the file-system
// calls that write, sync, create or rename take precedence over the C library's. While armed
// they count the calls of the chosen kinds and, from call number N on, fail them with the
// chosen errno (a disk that fills up and stays full); disarmed they pass every call through.
#undef _FORTIFY_SOURCE
#define _GNU_SOURCE 1

#include "FaultSyscalls.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
#define HV_FAULT_NO_INTERPOSE 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HV_FAULT_NO_INTERPOSE 1
#endif

static atomic_uint g_mask;
static atomic_long g_failFrom = -1;
static atomic_int g_errno = ENOSPC;
static atomic_long g_count;
static atomic_long g_failed;
#define HV_FAULT_LOG 512
static const char* g_log[HV_FAULT_LOG];

void hvfault_arm(unsigned mask, long failFrom, int err)
{
    atomic_store(&g_count, 0);
    atomic_store(&g_failed, 0);
    atomic_store(&g_errno, err);
    atomic_store(&g_failFrom, failFrom);
    atomic_store(&g_mask, mask);
}

long hvfault_disarm(void)
{
    atomic_store(&g_mask, 0u);
    return atomic_load(&g_count);
}

long hvfault_failed(void)
{
    return atomic_load(&g_failed);
}

const char* hvfault_call_name(long index)
{
    return index >= 0 && index < HV_FAULT_LOG && index < atomic_load(&g_count) ? g_log[index] : "?";
}

int hvfault_available(void)
{
#ifdef HV_FAULT_NO_INTERPOSE
    return 0;
#else
    return 1;
#endif
}

#ifndef HV_FAULT_NO_INTERPOSE

// 1 when this call is to fail (errno is then set).
static int Fails(unsigned kind, const char* name)
{
    if ((atomic_load(&g_mask) & kind) == 0) {
        return 0;
    }
    const long n = atomic_fetch_add(&g_count, 1);
    if (n < HV_FAULT_LOG) {
        g_log[n] = name;
    }
    const long from = atomic_load(&g_failFrom);
    if (from < 0 || n < from) {
        return 0;
    }
    atomic_fetch_add(&g_failed, 1);
    errno = atomic_load(&g_errno);
    return 1;
}

static void* Next(const char* name)
{
    return dlsym(RTLD_NEXT, name);
}

#define HV_REAL(type, name)                                                                                            \
    static type real_##name;                                                                                           \
    if (real_##name == NULL) {                                                                                         \
        void* p = Next(#name);                                                                                         \
        memcpy(&real_##name, &p, sizeof p);                                                                            \
    }

ssize_t write(int fd, const void* buf, size_t n)
{
    typedef ssize_t (*fn_t)(int, const void*, size_t);
    HV_REAL(fn_t, write);
    return Fails(HVFAULT_WRITE, "write") ? -1 : real_write(fd, buf, n);
}

ssize_t writev(int fd, const struct iovec* iov, int n)
{
    typedef ssize_t (*fn_t)(int, const struct iovec*, int);
    HV_REAL(fn_t, writev);
    return Fails(HVFAULT_WRITE, "writev") ? -1 : real_writev(fd, iov, n);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t off)
{
    typedef ssize_t (*fn_t)(int, const void*, size_t, off_t);
    HV_REAL(fn_t, pwrite);
    return Fails(HVFAULT_WRITE, "pwrite") ? -1 : real_pwrite(fd, buf, n, off);
}

int fsync(int fd)
{
    typedef int (*fn_t)(int);
    HV_REAL(fn_t, fsync);
    return Fails(HVFAULT_SYNC, "fsync") ? -1 : real_fsync(fd);
}

int fdatasync(int fd)
{
    typedef int (*fn_t)(int);
    HV_REAL(fn_t, fdatasync);
    return Fails(HVFAULT_SYNC, "fdatasync") ? -1 : real_fdatasync(fd);
}

int syncfs(int fd)
{
    typedef int (*fn_t)(int);
    HV_REAL(fn_t, syncfs);
    return Fails(HVFAULT_SYNC, "syncfs") ? -1 : real_syncfs(fd);
}

int ftruncate(int fd, off_t len)
{
    typedef int (*fn_t)(int, off_t);
    HV_REAL(fn_t, ftruncate);
    return Fails(HVFAULT_WRITE, "ftruncate") ? -1 : real_ftruncate(fd, len);
}

int renameat2(int olddir, const char* oldpath, int newdir, const char* newpath, unsigned int flags)
{
    typedef int (*fn_t)(int, const char*, int, const char*, unsigned int);
    HV_REAL(fn_t, renameat2);
    return Fails(HVFAULT_RENAME, "renameat2") ? -1 : real_renameat2(olddir, oldpath, newdir, newpath, flags);
}

int renameat(int olddir, const char* oldpath, int newdir, const char* newpath)
{
    typedef int (*fn_t)(int, const char*, int, const char*);
    HV_REAL(fn_t, renameat);
    return Fails(HVFAULT_RENAME, "renameat") ? -1 : real_renameat(olddir, oldpath, newdir, newpath);
}

int rename(const char* oldpath, const char* newpath)
{
    typedef int (*fn_t)(const char*, const char*);
    HV_REAL(fn_t, rename);
    return Fails(HVFAULT_RENAME, "rename") ? -1 : real_rename(oldpath, newpath);
}

int link(const char* oldpath, const char* newpath)
{
    typedef int (*fn_t)(const char*, const char*);
    HV_REAL(fn_t, link);
    return Fails(HVFAULT_CREATE, "link") ? -1 : real_link(oldpath, newpath);
}

int linkat(int olddir, const char* oldpath, int newdir, const char* newpath, int flags)
{
    typedef int (*fn_t)(int, const char*, int, const char*, int);
    HV_REAL(fn_t, linkat);
    return Fails(HVFAULT_RENAME, "linkat") ? -1 : real_linkat(olddir, oldpath, newdir, newpath, flags);
}

int fchmod(int fd, mode_t mode)
{
    typedef int (*fn_t)(int, mode_t);
    HV_REAL(fn_t, fchmod);
    return Fails(HVFAULT_MODE, "fchmod") ? -1 : real_fchmod(fd, mode);
}

int futimens(int fd, const struct timespec times[2])
{
    typedef int (*fn_t)(int, const struct timespec*);
    HV_REAL(fn_t, futimens);
    return Fails(HVFAULT_MODE, "futimens") ? -1 : real_futimens(fd, times);
}

int mkdir(const char* path, mode_t mode)
{
    typedef int (*fn_t)(const char*, mode_t);
    HV_REAL(fn_t, mkdir);
    return Fails(HVFAULT_CREATE, "mkdir") ? -1 : real_mkdir(path, mode);
}

int mkostemp(char* tmpl, int flags)
{
    typedef int (*fn_t)(char*, int);
    HV_REAL(fn_t, mkostemp);
    return Fails(HVFAULT_CREATE, "mkostemp") ? -1 : real_mkostemp(tmpl, flags);
}

int open(const char* path, int flags, ...)
{
    typedef int (*fn_t)(const char*, int, ...);
    HV_REAL(fn_t, open);
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = (mode_t)va_arg(ap, int);
        va_end(ap);
        if (Fails(HVFAULT_CREATE, "open(O_CREAT)")) {
            return -1;
        }
    }
    return real_open(path, flags, mode);
}

int openat(int dirfd, const char* path, int flags, ...)
{
    typedef int (*fn_t)(int, const char*, int, ...);
    HV_REAL(fn_t, openat);
    mode_t mode = 0;
    if ((flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE) {
        va_list ap;
        va_start(ap, flags);
        mode = (mode_t)va_arg(ap, int);
        va_end(ap);
        if (Fails(HVFAULT_CREATE, "openat(O_CREAT)")) {
            return -1;
        }
    }
    return real_openat(dirfd, path, flags, mode);
}

#endif
