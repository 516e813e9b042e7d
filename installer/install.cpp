/*
** The installation run: headers into INCLUDE, "mandelf.h" back to the top,
** libraries into LIB, then one closing message.
**
** A file is deleted from the package directory only after its copy has been
** made; anything that cannot be placed stays where it was and is counted,
** so that the closing message never calls a partial install a success.
*/
#include "installer/install.h"

#include "platform/wildcard.h"
#include "report/report.h"

enum { PATH_SIZE = 500, MESSAGE_SIZE = 160 };

static char start_dir[PATH_SIZE];
static char install_root[PATH_SIZE];
static char target_path[PATH_SIZE];
static char *target_tail;
static char source_path[PATH_SIZE];

static unsigned left_behind;  // matched files that could not be placed
static bool stranded;         // the package directory could not be entered again

static const struct {
    void (*run)(LPCSTR, LPCSTR);
    LPCSTR name;
    LPCSTR subdir;
} steps[] = {
    {relocate_files, "*.h", "\\INCLUDE"},
    {move_back, "mandelf.h", "\\INCLUDE"},
    {relocate_files, "*.lib", "\\LIB"},
};

/*
** Copies text to `at`, never past `last`. Returns the new end, or nullptr
** when the text did not fit (or `at` was already nullptr); the copy is
** terminated either way.
*/
static char *append(char *at, const char *last, LPCSTR text)
{
    if (!at)
        return nullptr;
    while (*text) {
        if (at == last) {
            *at = '\0';
            return nullptr;
        }
        *at++ = *text++;
    }
    *at = '\0';
    return at;
}

/* Appends text at `at` inside the path buffer buf. */
static char *put(char *buf, char *at, LPCSTR text)
{
    return append(at, buf + PATH_SIZE - 1, text);
}

static bool has_backslash(LPCSTR name)
{
    for (; *name; ++name)
        if (*name == '\\')
            return true;
    return false;
}

static bool same_text(LPCSTR a, LPCSTR b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

/* Whether a later step of the run brings this file back out of subdir. */
static bool brought_back(LPCSTR name, LPCSTR subdir)
{
    for (const auto &step : steps)
        if (step.run == move_back && same_text(step.subdir, subdir) && wildcard_match(step.name, name))
            return true;
    return false;
}

/* Whether a read-only file stands at target_path. */
static bool read_only_at_target(void)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(target_path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) ==
           FILE_ATTRIBUTE_READONLY;
}

/* Places one search result; returns 1 when it was left behind. */
static unsigned relocate_one(LPCSTR pattern, LPCSTR subdir, const WIN32_FIND_DATAA *found)
{
    LPCSTR name = found->cFileName;

    // Searches on Windows also match a short 8.3 alias (foo.library shows as
    // FOO~1.LIB); only a long name that matches is ours to move.
    if (!wildcard_match(pattern, name))
        return 0;
    // A directory named like a header is not part of the package's files.
    if (found->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;
    // A name no Windows path can spell cannot be copied by its name.
    if (has_backslash(name))
        return 1;
    if (!put(target_path, target_tail, name))
        return brought_back(name, subdir) ? 0 : 1;
    if (!CopyFileA(name, target_path, FALSE)) {
        // "mandelf.h" belongs at the top, where a failed copy leaves it; a
        // read-only file placed by an earlier run refuses replacement, and
        // read-only protection is the user's to lift.
        bool in_place = (found->dwFileAttributes & FILE_ATTRIBUTE_READONLY) && read_only_at_target();
        return brought_back(name, subdir) || in_place ? 0 : 1;
    }
    // A read-only file refuses deletion; it is then in both places and
    // nothing is lost, so this stays silent.
    DeleteFileA(name);
    return 0;
}

static bool search_ended_normally(void)
{
    DWORD error = GetLastError();
    return error == ERROR_NO_MORE_FILES || error == ERROR_FILE_NOT_FOUND;
}

void relocate_files(LPCSTR pattern, LPCSTR subdir)
{
    char *dir_end = put(target_path, put(target_path, target_path, install_root), subdir);
    if (dir_end && !SetCurrentDirectoryA(target_path))
        CreateDirectoryA(target_path, nullptr);

    // Copies are named relative to the package directory: if it cannot be
    // entered again, no name found from here on would mean the right file.
    if (!SetCurrentDirectoryA(start_dir)) {
        stranded = true;
        return;
    }
    target_tail = put(target_path, dir_end, "\\");

    // A search that breaks off cannot tell what it did not reach, so it is
    // run once more from the start; files already placed are gone from it.
    unsigned left = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        left = 0;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(pattern, &found);
        if (search == INVALID_HANDLE_VALUE) {
            if (search_ended_normally())
                return;
            continue;
        }
        do
            left += relocate_one(pattern, subdir, &found);
        while (FindNextFileA(search, &found));
        bool complete = search_ended_normally();
        FindClose(search);
        if (complete) {
            left_behind += left;
            return;
        }
    }
    // Still broken: report at least one file, since some went unseen.
    left_behind += left ? left : 1;
}

static bool already_exists(void)
{
    DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
}

/*
** Named by full paths rather than by entering subdir, so that a subdirectory
** that cannot be entered is never mistaken for one without the file.
*/
void move_back(LPCSTR name, LPCSTR subdir)
{
    char *dir_end = put(source_path, put(source_path, source_path, install_root), subdir);
    char *name_at = put(source_path, dir_end, "\\");
    // Longer than any path relocate_files could have placed the file at.
    if (!put(source_path, name_at, name))
        return;

    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(source_path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    if (wildcard_match(name, found.cFileName) && put(source_path, name_at, found.cFileName) &&
        put(target_path, put(target_path, put(target_path, target_path, install_root), "\\"),
            found.cFileName)) {
        bool moved = MoveFileA(source_path, target_path);
        // A rename can fail where a copy works (INCLUDE on another volume).
        if (!moved && !already_exists() && CopyFileA(source_path, target_path, TRUE)) {
            DeleteFileA(source_path);  // refused, the file is in both places
            moved = true;
        }
        // A file already at the top (a read-only one that could not be
        // deleted) wins; any other failure leaves the file behind.
        if (!moved && !already_exists())
            ++left_behind;
    }
    FindClose(search);
}

int install_main(HINSTANCE, HINSTANCE, LPSTR, int)
{
    static char message[MESSAGE_SIZE];
    left_behind = 0;
    stranded = false;

    DWORD length = GetCurrentDirectoryA(PATH_SIZE - 1, start_dir);
    if (length == 0 || length >= PATH_SIZE - 1) {
        // Without its own directory the run could not name a single file.
        start_dir[0] = '\0';
        report_message("BRELK was not installed: the current directory could not be read.",
                       MB_OK | MB_ICONERROR);
        return 1;
    }
    put(install_root, install_root, start_dir);

    for (const auto &step : steps)
        step.run(step.name, step.subdir);
    SetCurrentDirectoryA(start_dir);

    if (stranded) {
        report_message("BRELK was not completely installed: the package directory could not be "
                       "entered again.",
                       MB_OK | MB_ICONERROR);
        return 1;
    }
    if (left_behind == 0) {
        report_message("BRELK successfully installed!", MB_OK);
        return 0;
    }
    // Built by hand: a formatted print would triple the Windows program's size.
    char number[12];
    char *digit = number + sizeof number - 1;
    *digit = '\0';
    for (unsigned n = left_behind; n || digit == number + sizeof number - 1; n /= 10)
        *--digit = static_cast<char>('0' + n % 10);
    const char *last = message + MESSAGE_SIZE - 1;
    char *end = append(message, last, "BRELK was not completely installed: ");
    end = append(end, last, digit);
    append(end, last,
           left_behind == 1 ? " file could not be moved and was left in place."
                            : " files could not be moved and were left in place.");
    report_message(message, MB_OK | MB_ICONERROR);
    return 1;
}
