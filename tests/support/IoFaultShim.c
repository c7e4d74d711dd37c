// A library loaded into korvane-cli with LD_PRELOAD that counts the program's file-system calls on
// the files below one folder and makes one of them fail, the way a disk that fills up or goes
// bad would. Calls on other files (the settings, the system's libraries, the terminal, sockets)
// are neither counted nor failed. Driven by the environment:
//   KORVANE_FAULT_ROOT   absolute folder whose files are watched (required, else nothing happens)
//   KORVANE_FAULT_AT     the number (from 1) of the watched call that fails; unset: none fails
//   KORVANE_FAULT_ERRNO  the error it fails with (a number; EIO when unset)
//   KORVANE_FAULT_LOG    a file that gets one line per watched call, "kind<TAB>path", and
//                        "FAULT<TAB>kind<TAB>path" for the call that failed
// A test program can link this file instead, and arm faults itself (IoFaults.h).
// The kinds: open and close (with "+w" when the file may be created or written), read, write,
// sync, rename, link, unlink, mkdir, rmdir, opendir, readdir, stat, chmod, access, readlink, copy.
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
static atomic_uchar g_tracked[MAX_FD];
static char* _Atomic g_paths[MAX_FD];

// The next definition of a function: the system's, or a sanitiser's preloaded before this one.
#define REAL(name)                                                                                 \
    static __typeof__(&name) real_##name;                                                          \
    if (!real_##name)                                                                              \
        real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name);

static void Setup(void) __attribute__((constructor));
static void Setup(void)
{
    const char* root = getenv("KORVANE_FAULT_ROOT");
    if (root && root[0] == '/' && strlen(root) < sizeof g_root) {
        strcpy(g_root, root);
        g_rootSize = strlen(g_root);
        while (g_rootSize > 1 && g_root[g_rootSize - 1] == '/')
            g_root[--g_rootSize] = '\0';
    }
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

static int HoldsPart(const char* path)
{
    const size_t size = strlen(g_armedPart);
    if (size > 0 && g_armedPart[size - 1] == '$') {
        const size_t pathSize = strlen(path);
        return pathSize >= size - 1 &&
               strncmp(path + pathSize - (size - 1), g_armedPart, size - 1) == 0;
    }
    return strstr(path, g_armedPart) != NULL;
}

static int MatchesArmed(const char* kind, const char* path)
{
    if (!atomic_load(&g_armed) || strncmp(kind, g_armedKind, strlen(g_armedKind)) != 0 ||
        !HoldsPart(path))
        return 0;
    return atomic_fetch_sub(&g_armedSkip, 1) <= 0 && atomic_exchange(&g_armed, 0);
}

// Counts one watched call; true when it is the one to fail, with errno set.
static int Fails(const char* kind, const char* path)
{
    const long number = atomic_fetch_add(&g_calls, 1) + 1;
    if (number == g_failAt || MatchesArmed(kind, path)) {
        Log("FAULT\t", kind, path);
        errno = number == g_failAt ? g_errno : g_armedErrno;
        return 1;
    }
    Log("", kind, path);
    return 0;
}

void korvane_io_fault_watch(const char* root)
{
    snprintf(g_root, sizeof g_root, "%s", root ? root : "");
    g_rootSize = strlen(g_root);
    while (g_rootSize > 1 && g_root[g_rootSize - 1] == '/')
        g_root[--g_rootSize] = '\0';
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

int open64(const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenAt(AT_FDCWD, path, flags, mode);
}

int openat(int dirFd, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenAt(dirFd, path, flags, mode);
}

int openat64(int dirFd, const char* path, int flags, ...)
{
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = ModeOf(flags, arguments);
    va_end(arguments);
    return OpenAt(dirFd, path, flags, mode);
}

int __open_2(const char* path, int flags)
{
    return OpenAt(AT_FDCWD, path, flags, 0);
}

int __open64_2(const char* path, int flags)
{
    return OpenAt(AT_FDCWD, path, flags, 0);
}

int __openat_2(int dirFd, const char* path, int flags)
{
    return OpenAt(dirFd, path, flags, 0);
}

int __openat64_2(int dirFd, const char* path, int flags)
{
    return OpenAt(dirFd, path, flags, 0);
}

int creat(const char* path, mode_t mode)
{
    return OpenAt(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

int creat64(const char* path, mode_t mode)
{
    return OpenAt(AT_FDCWD, path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

static FILE* OpenStream(FILE* (*real)(const char*, const char*), const char* path, const char* mode)
{
    char full[PATH_MAX];
    const int watched = Watched(AT_FDCWD, path, full);
    const int writes = strpbrk(mode, "wa+") != NULL;
    if (watched && Fails(writes ? "open+w" : "open", full))
        return NULL;
    FILE* file = real(path, mode);
    if (watched && file)
        Track(fileno(file), full, writes ? kWritten : kRead);
    return file;
}

FILE* fopen(const char* path, const char* mode)
{
    REAL(fopen);
    return OpenStream(real_fopen, path, mode);
}

FILE* fopen64(const char* path, const char* mode)
{
    REAL(fopen64);
    return OpenStream(real_fopen64, path, mode);
}

// A close that fails has still closed the descriptor, as the system's does.
int close(int fd)
{
    REAL(close);
    const int fails = FailsOnFd(CloseKind(fd), fd);
    Untrack(fd);
    const int closed = real_close(fd);
    if (fails) {
        errno = g_errno;
        return -1;
    }
    return closed;
}

int fclose(FILE* file)
{
    REAL(fclose);
    const int fd = file ? fileno(file) : -1;
    const int fails = FailsOnFd(CloseKind(fd), fd);
    Untrack(fd);
    const int closed = real_fclose(file);
    if (fails) {
        errno = g_errno;
        return EOF;
    }
    return closed;
}

// ---- reading and writing

ssize_t read(int fd, void* buffer, size_t size)
{
    REAL(read);
    if (FailsOnFd("read", fd))
        return -1;
    return real_read(fd, buffer, size);
}

ssize_t __read_chk(int fd, void* buffer, size_t size, size_t bufferSize)
{
    (void)bufferSize;
    return read(fd, buffer, size);
}

ssize_t pread64(int fd, void* buffer, size_t size, off_t offset)
{
    REAL(pread64);
    if (FailsOnFd("read", fd))
        return -1;
    return real_pread64(fd, buffer, size, offset);
}

ssize_t write(int fd, const void* buffer, size_t size)
{
    REAL(write);
    if (FailsOnFd("write", fd))
        return -1;
    return real_write(fd, buffer, size);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset)
{
    REAL(pwrite64);
    if (FailsOnFd("write", fd))
        return -1;
    return real_pwrite64(fd, buffer, size, offset);
}

size_t fread(void* buffer, size_t size, size_t count, FILE* file)
{
    REAL(fread);
    if (file && FailsOnFd("read", fileno(file)))
        return 0;
    return real_fread(buffer, size, count, file);
}

size_t fwrite(const void* buffer, size_t size, size_t count, FILE* file)
{
    REAL(fwrite);
    if (FailsOnFd("write", fileno(file)))
        return 0;
    return real_fwrite(buffer, size, count, file);
}

int fflush(FILE* file)
{
    REAL(fflush);
    if (file && FailsOnFd("write", fileno(file)))
        return EOF;
    return real_fflush(file);
}

int fsync(int fd)
{
    REAL(fsync);
    if (FailsOnFd("sync", fd))
        return -1;
    return real_fsync(fd);
}

int fdatasync(int fd)
{
    REAL(fdatasync);
    if (FailsOnFd("sync", fd))
        return -1;
    return real_fdatasync(fd);
}

ssize_t sendfile(int out, int in, off_t* offset, size_t count)
{
    REAL(sendfile);
    if (WatchedFd(out) && Fails("copy", FdPath(out)))
        return -1;
    return real_sendfile(out, in, offset, count);
}

ssize_t sendfile64(int out, int in, off_t* offset, size_t count)
{
    return sendfile(out, in, offset, count);
}

ssize_t copy_file_range(int in, off_t* inOffset, int out, off_t* outOffset, size_t count,
                        unsigned flags)
{
    REAL(copy_file_range);
    if (WatchedFd(out) && Fails("copy", FdPath(out)))
        return -1;
    return real_copy_file_range(in, inOffset, out, outOffset, count, flags);
}

int ftruncate(int fd, off_t size)
{
    REAL(ftruncate);
    if (FailsOnFd("write", fd))
        return -1;
    return real_ftruncate(fd, size);
}

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

int renameat(int fromDir, const char* from, int toDir, const char* to)
{
    REAL(renameat);
    if (FailsAt("rename", toDir, to))
        return -1;
    return real_renameat(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags)
{
    REAL(renameat2);
    if (FailsAt("rename", toDir, to))
        return -1;
    return real_renameat2(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to)
{
    REAL(link);
    if (FailsAt("link", AT_FDCWD, to))
        return -1;
    return real_link(from, to);
}

int linkat(int fromDir, const char* from, int toDir, const char* to, int flags)
{
    REAL(linkat);
    if (FailsAt("link", toDir, to))
        return -1;
    return real_linkat(fromDir, from, toDir, to, flags);
}

int unlink(const char* path)
{
    REAL(unlink);
    if (FailsAt("unlink", AT_FDCWD, path))
        return -1;
    return real_unlink(path);
}

int unlinkat(int dirFd, const char* path, int flags)
{
    REAL(unlinkat);
    if (FailsAt((flags & AT_REMOVEDIR) ? "rmdir" : "unlink", dirFd, path))
        return -1;
    return real_unlinkat(dirFd, path, flags);
}

int remove(const char* path)
{
    REAL(remove);
    if (FailsAt("unlink", AT_FDCWD, path))
        return -1;
    return real_remove(path);
}

int rmdir(const char* path)
{
    REAL(rmdir);
    if (FailsAt("rmdir", AT_FDCWD, path))
        return -1;
    return real_rmdir(path);
}

int mkdir(const char* path, mode_t mode)
{
    REAL(mkdir);
    if (FailsAt("mkdir", AT_FDCWD, path))
        return -1;
    return real_mkdir(path, mode);
}

int mkdirat(int dirFd, const char* path, mode_t mode)
{
    REAL(mkdirat);
    if (FailsAt("mkdir", dirFd, path))
        return -1;
    return real_mkdirat(dirFd, path, mode);
}

int chmod(const char* path, mode_t mode)
{
    REAL(chmod);
    if (FailsAt("chmod", AT_FDCWD, path))
        return -1;
    return real_chmod(path, mode);
}

int fchmodat(int dirFd, const char* path, mode_t mode, int flags)
{
    REAL(fchmodat);
    if (FailsAt("chmod", dirFd, path))
        return -1;
    return real_fchmodat(dirFd, path, mode, flags);
}

int fchmod(int fd, mode_t mode)
{
    REAL(fchmod);
    if (FailsOnFd("chmod", fd))
        return -1;
    return real_fchmod(fd, mode);
}

ssize_t readlink(const char* path, char* buffer, size_t size)
{
    REAL(readlink);
    if (FailsAt("readlink", AT_FDCWD, path))
        return -1;
    return real_readlink(path, buffer, size);
}

int access(const char* path, int mode)
{
    REAL(access);
    if (FailsAt("access", AT_FDCWD, path))
        return -1;
    return real_access(path, mode);
}

int faccessat(int dirFd, const char* path, int mode, int flags)
{
    REAL(faccessat);
    if (FailsAt("access", dirFd, path))
        return -1;
    return real_faccessat(dirFd, path, mode, flags);
}

// ---- status

int stat(const char* path, struct stat* status)
{
    REAL(stat);
    if (FailsAt("stat", AT_FDCWD, path))
        return -1;
    return real_stat(path, status);
}

int stat64(const char* path, struct stat64* status)
{
    REAL(stat64);
    if (FailsAt("stat", AT_FDCWD, path))
        return -1;
    return real_stat64(path, status);
}

int lstat(const char* path, struct stat* status)
{
    REAL(lstat);
    if (FailsAt("stat", AT_FDCWD, path))
        return -1;
    return real_lstat(path, status);
}

int lstat64(const char* path, struct stat64* status)
{
    REAL(lstat64);
    if (FailsAt("stat", AT_FDCWD, path))
        return -1;
    return real_lstat64(path, status);
}

int fstat(int fd, struct stat* status)
{
    REAL(fstat);
    if (FailsOnFd("stat", fd))
        return -1;
    return real_fstat(fd, status);
}

int fstat64(int fd, struct stat64* status)
{
    REAL(fstat64);
    if (FailsOnFd("stat", fd))
        return -1;
    return real_fstat64(fd, status);
}

int fstatat(int dirFd, const char* path, struct stat* status, int flags)
{
    REAL(fstatat);
    if ((path[0] == '\0' && (flags & AT_EMPTY_PATH)) ? FailsOnFd("stat", dirFd)
                                                     : FailsAt("stat", dirFd, path))
        return -1;
    return real_fstatat(dirFd, path, status, flags);
}

int fstatat64(int dirFd, const char* path, struct stat64* status, int flags)
{
    REAL(fstatat64);
    if ((path[0] == '\0' && (flags & AT_EMPTY_PATH)) ? FailsOnFd("stat", dirFd)
                                                     : FailsAt("stat", dirFd, path))
        return -1;
    return real_fstatat64(dirFd, path, status, flags);
}

int statx(int dirFd, const char* path, int flags, unsigned mask, struct statx* status)
{
    REAL(statx);
    if ((path[0] == '\0' && (flags & AT_EMPTY_PATH)) ? FailsOnFd("stat", dirFd)
                                                     : FailsAt("stat", dirFd, path))
        return -1;
    return real_statx(dirFd, path, flags, mask, status);
}

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

DIR* fdopendir(int fd)
{
    REAL(fdopendir);
    if (FailsOnFd("opendir", fd))
        return NULL;
    return real_fdopendir(fd);
}

int closedir(DIR* folder)
{
    REAL(closedir);
    Untrack(dirfd(folder));
    return real_closedir(folder);
}

struct dirent* readdir(DIR* folder)
{
    REAL(readdir);
    if (FailsOnFd("readdir", dirfd(folder)))
        return NULL;
    return real_readdir(folder);
}

struct dirent64* readdir64(DIR* folder)
{
    REAL(readdir64);
    if (FailsOnFd("readdir", dirfd(folder)))
        return NULL;
    return real_readdir64(folder);
}
