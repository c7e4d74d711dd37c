// A library loaded into korvane-cli with LD_PRELOAD that counts the program's file-system calls on
// the files below one folder and makes one of them fail, the way a disk that fills up or goes
// bad would. Calls on other files (the settings, the system's libraries, the terminal, sockets)
// are neither counted nor failed. Driven by the environment:
//   KORVANE_FAULT_ROOT   absolute folder whose files are watched (required, else nothing happens)
//   KORVANE_FAULT_AT     the number (from 1) of the watched call that fails; unset: none fails
//   KORVANE_FAULT_ERRNO  the error it fails with (a number; EIO when unset)
//   KORVANE_FAULT_LOG    a file that gets one line per watched call, "kind<TAB>path", and
//                        "FAULT<TAB>kind<TAB>path" for the call that failed
// A test program can link this file instead, and arm faults or count calls itself (IoFaults.h).
// The kinds: open and close (with "+w" when the file may be created or written), read, write,
// sync, rename, link, unlink, mkdir, opendir, readdir, stat, chmod, access, readlink, copy.
// Only the calls the program and its libraries make on its folders are wrapped.
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdarg.h>
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#define MAX_FD 65536

static char g_root[PATH_MAX];
static size_t g_rootSize;
static long g_failAt;
static int g_errno = EIO;
static int g_log = -1;
static atomic_long g_calls;
// The fault a test program armed: a watched call of the kind whose path holds the part (or ends
// with it, given with a trailing '$'), once skip such calls have passed.
static atomic_int g_armed;
static atomic_int g_armedSkip;
static char g_armedKind[32];
static char g_armedPart[PATH_MAX];
static int g_armedErrno;
// The calls a test program counts: of the kind, on a path that holds the part (as for a fault).
static atomic_int g_counting;
static atomic_long g_counted;
static char g_countedKind[32];
static char g_countedPart[PATH_MAX];
static atomic_uchar g_tracked[MAX_FD];
static char* _Atomic g_paths[MAX_FD];

// The next definition of a function: the system's, or a sanitiser's preloaded before this one.
#define REAL(name)                                                                                 \
    static __typeof__(&name) real_##name;                                                          \
    if (!real_##name)                                                                              \
        real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name);

// A call passed on to the next definition unless fails holds: then it returns failed, with errno
// set by Fails.
#define PASS_ON(type, name, parameters, arguments, fails, failed)                                  \
    type name parameters                                                                           \
    {                                                                                              \
        REAL(name);                                                                                \
        if (fails)                                                                                 \
            return failed;                                                                         \
        return real_##name arguments;                                                              \
    }

void korvane_io_fault_watch(const char* root)
{
    snprintf(g_root, sizeof g_root, "%s", root ? root : "");
    g_rootSize = strlen(g_root);
    while (g_rootSize > 1 && g_root[g_rootSize - 1] == '/')
        g_root[--g_rootSize] = '\0';
}

static void Setup(void) __attribute__((constructor));
static void Setup(void)
{
    const char* root = getenv("KORVANE_FAULT_ROOT");
    if (root && root[0] == '/' && strlen(root) < sizeof g_root)
        korvane_io_fault_watch(root);
    const char* at = getenv("KORVANE_FAULT_AT");
    g_failAt = at ? atol(at) : 0;
    const char* error = getenv("KORVANE_FAULT_ERRNO");
    if (error && atoi(error) > 0)
        g_errno = atoi(error);
    const char* log = getenv("KORVANE_FAULT_LOG");
    if (log && g_rootSize > 0) {
        REAL(open);
        g_log = real_open(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
}

static int Below(const char* path)
{
    return g_rootSize > 0 && strncmp(path, g_root, g_rootSize) == 0 &&
           (path[g_rootSize] == '/' || path[g_rootSize] == '\0');
}

// The path a call names, made absolute against the working folder or the folder of dirFd.
static int Watched(int dirFd, const char* path, char* full)
{
    if (!path || g_rootSize == 0)
        return 0;
    if (path[0] == '/') {
        if (snprintf(full, PATH_MAX, "%s", path) >= PATH_MAX)
            return 0;
    } else if (dirFd == AT_FDCWD) {
        char cwd[PATH_MAX];
        if (!getcwd(cwd, sizeof cwd) || snprintf(full, PATH_MAX, "%s/%s", cwd, path) >= PATH_MAX)
            return 0;
    } else {
        if (dirFd < 0 || dirFd >= MAX_FD || !g_tracked[dirFd])
            return 0;
        const char* folder = g_paths[dirFd] ? g_paths[dirFd] : "?";
        // A folder opened by a name that ends in a separator is joined without another.
        const char* separator = folder[strlen(folder) - 1] == '/' ? "" : "/";
        return snprintf(full, PATH_MAX, "%s%s%s", folder, separator, path) < PATH_MAX;
    }
    return Below(full);
}

static int WatchedFd(int fd)
{
    return fd >= 0 && fd < MAX_FD && g_tracked[fd];
}

enum
{
    kRead = 1,
    kWritten = 2,
};

static void Track(int fd, const char* path, int use)
{
    if (fd < 0 || fd >= MAX_FD)
        return;
    free(atomic_exchange(&g_paths[fd], strdup(path)));
    g_tracked[fd] = (unsigned char)use;
}

static const char* CloseKind(int fd)
{
    return fd >= 0 && fd < MAX_FD && g_tracked[fd] == kWritten ? "close+w" : "close";
}

static void Untrack(int fd)
{
    if (fd < 0 || fd >= MAX_FD || !g_tracked[fd])
        return;
    g_tracked[fd] = 0;
    free(atomic_exchange(&g_paths[fd], NULL));
}

static void Log(const char* prefix, const char* kind, const char* path)
{
    if (g_log < 0)
        return;
    char line[PATH_MAX + 64];
    const int size = snprintf(line, sizeof line, "%s%s\t%s\n", prefix, kind, path ? path : "?");
    REAL(write);
    if (size > 0)
        (void)!real_write(g_log, line, (size_t)size < sizeof line ? (size_t)size : sizeof line - 1);
}

static int HoldsPart(const char* path, const char* part)
{
    const size_t size = strlen(part);
    if (size > 0 && part[size - 1] == '$') {
        const size_t pathSize = strlen(path);
        return pathSize >= size - 1 && strncmp(path + pathSize - (size - 1), part, size - 1) == 0;
    }
    return strstr(path, part) != NULL;
}

static int MatchesArmed(const char* kind, const char* path)
{
    if (!atomic_load(&g_armed) || strncmp(kind, g_armedKind, strlen(g_armedKind)) != 0 ||
        !HoldsPart(path, g_armedPart))
        return 0;
    return atomic_fetch_sub(&g_armedSkip, 1) <= 0 && atomic_exchange(&g_armed, 0);
}

// Counts one watched call; true when it is the one to fail, with errno set.
static int Fails(const char* kind, const char* path)
{
    const long number = atomic_fetch_add(&g_calls, 1) + 1;
    if (atomic_load(&g_counting) && strncmp(kind, g_countedKind, strlen(g_countedKind)) == 0 &&
        HoldsPart(path, g_countedPart))
        atomic_fetch_add(&g_counted, 1);
    if (number == g_failAt || MatchesArmed(kind, path)) {
        Log("FAULT\t", kind, path);
        errno = number == g_failAt ? g_errno : g_armedErrno;
        return 1;
    }
    Log("", kind, path);
    return 0;
}

void korvane_io_fault_arm(const char* kind, const char* part, int error, int skip)
{
    atomic_store(&g_armed, 0);
    atomic_store(&g_armedSkip, skip);
    snprintf(g_armedKind, sizeof g_armedKind, "%s", kind);
    snprintf(g_armedPart, sizeof g_armedPart, "%s", part);
    g_armedErrno = error;
    atomic_store(&g_armed, 1);
}

void korvane_io_fault_count(const char* kind, const char* part)
{
    atomic_store(&g_counting, 0);
    snprintf(g_countedKind, sizeof g_countedKind, "%s", kind);
    snprintf(g_countedPart, sizeof g_countedPart, "%s", part);
    atomic_store(&g_counted, 0);
    atomic_store(&g_counting, kind[0] != '\0');
}

long korvane_io_fault_counted(void)
{
    return atomic_load(&g_counted);
}

int korvane_io_fault_pending(void)
{
    return atomic_load(&g_armed);
}

void korvane_io_fault_disarm(void)
{
    atomic_store(&g_armed, 0);
}

static const char* FdPath(int fd)
{
    const char* path = fd >= 0 && fd < MAX_FD ? g_paths[fd] : NULL;
    return path ? path : "?";
}

static int FailsOnFd(const char* kind, int fd)
{
    return WatchedFd(fd) && Fails(kind, FdPath(fd));
}

static int Writes(int flags)
{
    return (flags & (O_CREAT | O_WRONLY | O_RDWR | O_TRUNC)) != 0;
}

// ---- opening and closing

static int OpenAt(int dirFd, const char* path, int flags, mode_t mode)
{
    REAL(openat);
    char full[PATH_MAX];
    const int watched = Watched(dirFd, path, full);
    if (watched && Fails(Writes(flags) ? "open+w" : "open", full))
        return -1;
    const int fd = real_openat(dirFd, path, flags, mode);
    if (watched && fd >= 0)
        Track(fd, full, Writes(flags) ? kWritten : kRead);
    return fd;
}

static mode_t ModeOf(int flags, va_list arguments)
{
    return (flags & (O_CREAT | O_TMPFILE)) ? (mode_t)va_arg(arguments, int) : 0;
}

int open(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenAt(AT_FDCWD, path, flags, mode);
}

// Where files have 64-bit offsets, as on every system this library is built for, the 64-bit
// calls are the others.
_Static_assert(sizeof(off_t) == 8, "open64 and fopen64 differ from open and fopen");
int open64(const char* path, int flags, ...) __attribute__((alias("open")));

int openat(int dirFd, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenAt(dirFd, path, flags, mode);
}

FILE* fopen(const char* path, const char* mode)
{
    REAL(fopen);
    char full[PATH_MAX];
    const int watched = Watched(AT_FDCWD, path, full);
    const int writes = strpbrk(mode, "wa+") != NULL;
    if (watched && Fails(writes ? "open+w" : "open", full))
        return NULL;
    FILE* file = real_fopen(path, mode);
    if (watched && file)
        Track(fileno(file), full, writes ? kWritten : kRead);
    return file;
}

FILE* fopen64(const char* path, const char* mode) __attribute__((alias("fopen")));

// A close that fails has still closed the descriptor, as the system's does. The error of the
// close that is to fail, or 0.
static int CloseFault(int fd)
{
    const int error = FailsOnFd(CloseKind(fd), fd) ? errno : 0;
    Untrack(fd);
    return error;
}

int close(int fd)
{
    REAL(close);
    const int error = CloseFault(fd);
    const int closed = real_close(fd);
    return error ? (errno = error, -1) : closed;
}

int fclose(FILE* file)
{
    REAL(fclose);
    const int error = CloseFault(file ? fileno(file) : -1);
    const int closed = real_fclose(file);
    return error ? (errno = error, EOF) : closed;
}

// ---- reading and writing

PASS_ON(ssize_t, read, (int fd, void* buffer, size_t size), (fd, buffer, size),
        FailsOnFd("read", fd), -1)
PASS_ON(ssize_t, write, (int fd, const void* buffer, size_t size), (fd, buffer, size),
        FailsOnFd("write", fd), -1)
// clang-format off
PASS_ON(size_t, fwrite, (const void* buffer, size_t size, size_t count, FILE* file),
        (buffer, size, count, file), FailsOnFd("write", fileno(file)), 0)
PASS_ON(int, fflush, (FILE* file), (file), file && FailsOnFd("write", fileno(file)), EOF)
// clang-format on
PASS_ON(int, fsync, (int fd), (fd), FailsOnFd("sync", fd), -1)
PASS_ON(int, fdatasync, (int fd), (fd), FailsOnFd("sync", fd), -1)
PASS_ON(ssize_t, sendfile, (int out, int in, off_t* offset, size_t count), (out, in, offset, count),
        WatchedFd(out) && Fails("copy", FdPath(out)), -1)

// ---- names

static int FailsAt(const char* kind, int dirFd, const char* path)
{
    char full[PATH_MAX];
    return Watched(dirFd, path, full) && Fails(kind, full);
}

int rename(const char* from, const char* to)
{
    REAL(rename);
    char full[PATH_MAX];
    if (FailsAt("rename", AT_FDCWD, Watched(AT_FDCWD, to, full) ? to : from))
        return -1;
    return real_rename(from, to);
}

PASS_ON(int, link, (const char* from, const char* to), (from, to), FailsAt("link", AT_FDCWD, to),
        -1)
PASS_ON(int, unlink, (const char* path), (path), FailsAt("unlink", AT_FDCWD, path), -1)
PASS_ON(int, remove, (const char* path), (path), FailsAt("unlink", AT_FDCWD, path), -1)
PASS_ON(int, mkdir, (const char* path, mode_t mode), (path, mode), FailsAt("mkdir", AT_FDCWD, path),
        -1)
PASS_ON(int, fchmodat, (int dirFd, const char* path, mode_t mode, int flags),
        (dirFd, path, mode, flags), FailsAt("chmod", dirFd, path), -1)
PASS_ON(int, fchmod, (int fd, mode_t mode), (fd, mode), FailsOnFd("chmod", fd), -1)
PASS_ON(ssize_t, readlink, (const char* path, char* buffer, size_t size), (path, buffer, size),
        FailsAt("readlink", AT_FDCWD, path), -1)
PASS_ON(int, access, (const char* path, int mode), (path, mode), FailsAt("access", AT_FDCWD, path),
        -1)
PASS_ON(int, faccessat, (int dirFd, const char* path, int mode, int flags),
        (dirFd, path, mode, flags), FailsAt("access", dirFd, path), -1)

// ---- status

PASS_ON(int, stat, (const char* path, struct stat* status), (path, status),
        FailsAt("stat", AT_FDCWD, path), -1)
PASS_ON(int, lstat, (const char* path, struct stat* status), (path, status),
        FailsAt("stat", AT_FDCWD, path), -1)

// A look at dirFd's own file (an empty path) or at a path below it.
static int FailsStatAt(int dirFd, const char* path, int flags)
{
    return path[0] == '\0' && (flags & AT_EMPTY_PATH) ? FailsOnFd("stat", dirFd)
                                                      : FailsAt("stat", dirFd, path);
}

PASS_ON(int, fstatat, (int dirFd, const char* path, struct stat* status, int flags),
        (dirFd, path, status, flags), FailsStatAt(dirFd, path, flags), -1)
PASS_ON(int, statx, (int dirFd, const char* path, int flags, unsigned mask, struct statx* status),
        (dirFd, path, flags, mask, status), FailsStatAt(dirFd, path, flags), -1)

// ---- folders

DIR* opendir(const char* path)
{
    REAL(opendir);
    char full[PATH_MAX];
    const int watched = Watched(AT_FDCWD, path, full);
    if (watched && Fails("opendir", full))
        return NULL;
    DIR* folder = real_opendir(path);
    if (watched && folder)
        Track(dirfd(folder), full, kRead);
    return folder;
}

PASS_ON(DIR*, fdopendir, (int fd), (fd), FailsOnFd("opendir", fd), NULL)

int closedir(DIR* folder)
{
    REAL(closedir);
    Untrack(dirfd(folder));
    return real_closedir(folder);
}

PASS_ON(struct dirent*, readdir, (DIR * folder), (folder), FailsOnFd("readdir", dirfd(folder)),
        NULL)