/*
** The Win32 file, directory and search operations, built on POSIX.
**
** Each one behaves, as far as its caller can see, like the Win32 function of
** the same name: a backslash in a path is a separator, failures set the
** Win32 error code that GetLastError returns, a read-only file (owner write
** bit clear) cannot be deleted or replaced, even by root, and a copy is
** never left half-written in place of its target.
**
** A deleted source never outlives its copy across a power loss: deletions
** that follow copies are held back until the copies' data and names are on
** stable storage (see complete_held). Building with BRELK_NO_FLUSH drops the
** flushes; it exists only to measure what they cost.
*/
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include "platform/platform.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>  // renameat, renameat2
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

#include "platform/wildcard.h"

/* Temporary name of a copy in progress; no pattern of the run matches it. */
static const char copy_temp[] = ".brelk-install.tmp";

static thread_local DWORD last_error;

extern "C" DWORD GetLastError(void)
{
    return last_error;
}

extern "C" void SetLastError(DWORD code)
{
    last_error = code;
}

static DWORD from_errno(int e)
{
    switch (e) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
    case ENOTEMPTY:
        return ERROR_ALREADY_EXISTS;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case EIO:
        return ERROR_WRITE_FAULT;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

static BOOL fail(DWORD code)
{
    last_error = code;
    return FALSE;
}

static BOOL fail_errno(void)
{
    return fail(from_errno(errno));
}

/* A Win32 path in POSIX spelling; false (and the error set) when it cannot be. */
static bool to_posix(LPCSTR path, char out[PATH_MAX])
{
    if (!path || !*path) {
        last_error = ERROR_PATH_NOT_FOUND;
        return false;
    }
    size_t n = 0;
    for (; path[n]; ++n) {
        if (n == PATH_MAX - 1) {
            last_error = ERROR_FILENAME_EXCED_RANGE;
            return false;
        }
        out[n] = path[n] == '\\' ? '/' : path[n];
    }
    out[n] = '\0';
    return true;
}

/*
** Splits a POSIX path in place into its directory and its last component.
** "name" gives ".", "/name" gives "/".
*/
static const char *split_path(char *path, const char **dir)
{
    char *slash = strrchr(path, '/');
    if (!slash) {
        *dir = ".";
        return path;
    }
    if (slash == path) {
        *dir = "/";
        return path + 1;
    }
    *slash = '\0';
    *dir = path;
    return slash + 1;
}

/*
** The directory copies go to, kept open from one copy to the next.
*/
static char target_dir_name[PATH_MAX];
static int target_dir = -1;

/*
** Deletions held back until the copies they follow are on stable storage.
** Flushing each copy on its own costs two journal commits a file; instead a
** deletion waits here while a search runs through its copies and deletions,
** and one flush of the target's filesystem (syncfs) precedes the unlinks.
** Every other operation completes the held deletions first, so no caller can
** tell them from immediate ones; a crash only leaves sources in place.
*/
static struct {
    char names[128 * 1024];
    size_t used;
    unsigned count;
    dev_t dir_dev;  // the one directory all held names are in
    ino_t dir_ino;
} held;

static void complete_held(void)
{
    if (!held.count)
        return;
    bool durable = true;
#ifndef BRELK_NO_FLUSH
    durable = target_dir >= 0 && syncfs(target_dir) == 0;
#endif
    // Without the flush the sources stay: a file in two places is not lost.
    for (const char *name = held.names; durable && held.count; name += strlen(name) + 1, --held.count)
        unlink(name);
    held.count = 0;
    held.used = 0;
}

static void close_target_dir(void)
{
    complete_held();
    if (target_dir >= 0)
        close(target_dir);
    target_dir = -1;
    target_dir_name[0] = '\0';
}

static int open_target_dir(const char *name)
{
    if (target_dir >= 0 && strcmp(name, target_dir_name) == 0)
        return target_dir;
    close_target_dir();
    target_dir = open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (target_dir >= 0)
        strcpy(target_dir_name, name);
    return target_dir;
}

extern "C" DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer)
{
    close_target_dir();
    char cwd[PATH_MAX];
    if (!getcwd(cwd, sizeof cwd)) {
        last_error = from_errno(errno);
        return 0;
    }
    size_t length = strlen(cwd);
    if (length + 1 > size)
        return static_cast<DWORD>(length + 1);
    memcpy(buffer, cwd, length + 1);
    return static_cast<DWORD>(length);
}

extern "C" BOOL SetCurrentDirectoryA(LPCSTR path)
{
    close_target_dir();
    char p[PATH_MAX];
    if (!to_posix(path, p))
        return FALSE;
    return chdir(p) == 0 ? TRUE : fail_errno();
}

extern "C" BOOL CreateDirectoryA(LPCSTR path, void *)
{
    close_target_dir();
    char p[PATH_MAX];
    if (!to_posix(path, p))
        return FALSE;
    return mkdir(p, 0777) == 0 ? TRUE : fail_errno();
}

/* ---- Directory search ---------------------------------------------------- */

namespace {
struct search {
    DIR *dir;
    char pattern[NAME_MAX + 1];
};
}  // namespace

/*
** The next entry matching the search's pattern. False at the end (error
** ERROR_NO_MORE_FILES) or when reading the directory failed (its error).
*/
static bool next_match(search *s, WIN32_FIND_DATAA *found)
{
    for (;;) {
        errno = 0;
        struct dirent *entry = readdir(s->dir);
        if (!entry) {
            last_error = errno ? from_errno(errno) : ERROR_NO_MORE_FILES;
            return false;
        }
        const char *name = entry->d_name;
        if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0)
            continue;
        if (!wildcard_match(s->pattern, name))
            continue;
        if (strlen(name) >= sizeof found->cFileName)
            continue;

        struct stat st;
        int fd = dirfd(s->dir);
        // A link shows what it points to, as on Windows; a dangling one
        // shows as a plain file that no copy can read.
        if (fstatat(fd, name, &st, 0) != 0 && fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since readdir saw it
        DWORD attributes = 0;
        if (S_ISDIR(st.st_mode))
            attributes |= FILE_ATTRIBUTE_DIRECTORY;
        if (!(st.st_mode & S_IWUSR))
            attributes |= FILE_ATTRIBUTE_READONLY;
        found->dwFileAttributes = attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
        strcpy(found->cFileName, name);
        return true;
    }
}

extern "C" HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA *found)
{
    close_target_dir();
    char p[PATH_MAX];
    if (!to_posix(pattern, p))
        return INVALID_HANDLE_VALUE;
    const char *dir;
    const char *name = split_path(p, &dir);
    if (!*name || strlen(name) > NAME_MAX) {
        last_error = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    search *s = new (std::nothrow) search;
    if (!s) {
        last_error = ERROR_NOT_ENOUGH_MEMORY;
        return INVALID_HANDLE_VALUE;
    }
    strcpy(s->pattern, name);
    s->dir = opendir(dir);
    if (!s->dir) {
        last_error = errno == ENOENT ? ERROR_PATH_NOT_FOUND : from_errno(errno);
        delete s;
        return INVALID_HANDLE_VALUE;
    }
    if (!next_match(s, found)) {
        if (last_error == ERROR_NO_MORE_FILES)
            last_error = ERROR_FILE_NOT_FOUND;
        closedir(s->dir);
        delete s;
        return INVALID_HANDLE_VALUE;
    }
    return s;
}

extern "C" BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA *found)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return fail(ERROR_INVALID_PARAMETER);
    return next_match(static_cast<search *>(handle), found) ? TRUE : FALSE;
}

extern "C" BOOL FindClose(HANDLE handle)
{
    close_target_dir();
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return fail(ERROR_INVALID_PARAMETER);
    search *s = static_cast<search *>(handle);
    closedir(s->dir);
    delete s;
    return TRUE;
}

/* ---- Copy, delete, move -------------------------------------------------- */

static bool copy_bytes(int from, int to)
{
    // The kernel's copy shares blocks where the filesystem can.
    for (bool first = true;; first = false) {
        ssize_t n = copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n > 0)
            continue;
        if (n == 0)
            return true;
        if (!first || (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP &&
                       errno != EINVAL && errno != EBADF))
            return false;
        break;
    }
    static char buffer[1 << 17];
    for (;;) {
        ssize_t got = read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(to, buffer + done, static_cast<size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += put;
        }
    }
}

/* Creates the temporary copy exclusively, clearing one a crash left behind. */
static int create_temp(int dir)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(dir, copy_temp, flags, 0600);
    if (fd < 0 && errno == EEXIST && unlinkat(dir, copy_temp, 0) == 0)
        fd = openat(dir, copy_temp, flags, 0600);
    return fd;
}

/*
** The copy is written under a temporary name in the target's directory and
** renamed over the target only when complete. A file that stood there is
** replaced only by a copy already on stable storage; a new name needs no
** flush of its own, since its source is deleted only after the next one.
*/
static DWORD copy_file(const char *source, char *target, bool fail_if_exists)
{
    // Refused before opening: reading a FIFO or a device could block or
    // have effects of its own.
    struct stat st;
    if (stat(source, &st) != 0)
        return from_errno(errno);
    if (!S_ISREG(st.st_mode))
        return ERROR_ACCESS_DENIED;

    const char *dir_name;
    const char *base = split_path(target, &dir_name);
    if (!*base)
        return ERROR_PATH_NOT_FOUND;
    int dir = open_target_dir(dir_name);
    if (dir < 0)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : from_errno(errno);
    // A copy into the directory of held deletions could land on a name about
    // to be unlinked: those deletions go first.
    struct stat dir_st;
    if (held.count &&
        (fstat(dir, &dir_st) != 0 || (dir_st.st_dev == held.dir_dev && dir_st.st_ino == held.dir_ino)))
        complete_held();

    bool replacing = false;
    struct stat existing;
    if (fstatat(dir, base, &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (fail_if_exists)
            return ERROR_FILE_EXISTS;
        if (S_ISDIR(existing.st_mode) || !(existing.st_mode & S_IWUSR))
            return ERROR_ACCESS_DENIED;
        if (existing.st_dev == st.st_dev && existing.st_ino == st.st_ino)
            return ERROR_SHARING_VIOLATION;  // a file copied onto itself
        replacing = true;
    } else if (errno != ENOENT) {
        return from_errno(errno);
    }

    int in = open(source, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (in < 0)
        return from_errno(errno);
    struct stat opened;
    if (fstat(in, &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_ino != st.st_ino ||
        opened.st_dev != st.st_dev) {
        close(in);
        return ERROR_ACCESS_DENIED;
    }
    int out = create_temp(dir);
    if (out < 0) {
        DWORD error = from_errno(errno);
        close(in);
        return error;
    }

    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = copy_bytes(in, out) && fchmod(out, st.st_mode & 07777) == 0 && futimens(out, times) == 0;
#ifndef BRELK_NO_FLUSH
    ok = ok && (!replacing || fdatasync(out) == 0);
#else
    (void)replacing;
#endif
    DWORD error = ok ? 0 : from_errno(errno);
    if (close(out) != 0 && ok) {
        ok = false;
        error = from_errno(errno);
    }
    close(in);
    if (ok && renameat(dir, copy_temp, dir, base) != 0) {
        ok = false;
        error = from_errno(errno);
    }
    if (!ok)
        unlinkat(dir, copy_temp, 0);
    return error;
}

extern "C" BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists)
{
    char source[PATH_MAX], target[PATH_MAX], again[PATH_MAX];
    if (!to_posix(from, source) || !to_posix(to, target))
        return FALSE;
    strcpy(again, target);
    DWORD error = copy_file(source, target, fail_if_exists);
    // Held deletions free space: complete them and try once more.
    if (error == ERROR_DISK_FULL && held.count) {
        complete_held();
        error = copy_file(source, again, fail_if_exists);
    }
    return error ? fail(error) : TRUE;
}

extern "C" BOOL DeleteFileA(LPCSTR path)
{
    char p[PATH_MAX];
    if (!to_posix(path, p))
        return FALSE;
    struct stat st;
    if (lstat(p, &st) != 0)
        return fail_errno();
    if (S_ISDIR(st.st_mode))
        return fail(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        return fail(ERROR_ACCESS_DENIED);
    char parent[PATH_MAX];
    const char *parent_name;
    struct stat parent_st;
    strcpy(parent, p);
    split_path(parent, &parent_name);
    if (target_dir < 0 || stat(parent_name, &parent_st) != 0)
        return unlink(p) == 0 ? TRUE : fail_errno();

    // After a copy: held until that copy is on stable storage.
    size_t size = strlen(p) + 1;
    bool same_dir = parent_st.st_dev == held.dir_dev && parent_st.st_ino == held.dir_ino;
    if (held.used + size > sizeof held.names || (held.count && !same_dir))
        complete_held();
    held.dir_dev = parent_st.st_dev;
    held.dir_ino = parent_st.st_ino;
    memcpy(held.names + held.used, p, size);
    held.used += size;
    ++held.count;
    return TRUE;
}

extern "C" BOOL MoveFileA(LPCSTR from, LPCSTR to)
{
    close_target_dir();
    char source[PATH_MAX], target[PATH_MAX];
    if (!to_posix(from, source) || !to_posix(to, target))
        return FALSE;
    // One call, so nothing can appear at the target between a check and the rename.
    if (renameat2(AT_FDCWD, source, AT_FDCWD, target, RENAME_NOREPLACE) == 0)
        return TRUE;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
        return fail_errno();
    // Filesystems without it: a hard link fails just as well on an existing target.
    if (link(source, target) != 0)
        return fail_errno();
    if (unlink(source) != 0) {
        int e = errno;
        unlink(target);
        return fail(from_errno(e));
    }
    return TRUE;
}
