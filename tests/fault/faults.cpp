#include "fault/faults.h"

#include "platform/platform.h"

namespace faults {

const char *const names[op_count] = {"CreateDirectoryA", "SetCurrentDirectoryA", "CopyFileA",
                                     "DeleteFileA",      "MoveFileA",            "FindNextFileA"};

static int counts[op_count];
static Op armed_op = op_count;
static int armed_k;
static bool did_fire;

void reset()
{
    for (int &c : counts)
        c = 0;
    armed_op = op_count;
    did_fire = false;
}

void arm(Op op, int k)
{
    armed_op = op;
    armed_k = k;
}

int calls(Op op)
{
    return counts[op];
}

bool fired()
{
    return did_fire;
}

/* Counts the call; true when it is the one to fail. */
static bool hit(Op op)
{
    if (++counts[op] == armed_k && op == armed_op) {
        did_fire = true;
        // An error no caller treats as a normal outcome.
        SetLastError(ERROR_ACCESS_DENIED);
        return true;
    }
    return false;
}

}  // namespace faults

using faults::hit;

extern "C" {
BOOL __real_CreateDirectoryA(LPCSTR, void *);
BOOL __real_SetCurrentDirectoryA(LPCSTR);
BOOL __real_CopyFileA(LPCSTR, LPCSTR, BOOL);
BOOL __real_DeleteFileA(LPCSTR);
BOOL __real_MoveFileA(LPCSTR, LPCSTR);
BOOL __real_FindNextFileA(HANDLE, WIN32_FIND_DATAA *);

BOOL __wrap_CreateDirectoryA(LPCSTR path, void *security)
{
    return hit(faults::create_directory) ? FALSE : __real_CreateDirectoryA(path, security);
}

BOOL __wrap_SetCurrentDirectoryA(LPCSTR path)
{
    return hit(faults::enter_directory) ? FALSE : __real_SetCurrentDirectoryA(path);
}

BOOL __wrap_CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists)
{
    return hit(faults::copy) ? FALSE : __real_CopyFileA(from, to, fail_if_exists);
}

BOOL __wrap_DeleteFileA(LPCSTR path)
{
    return hit(faults::remove) ? FALSE : __real_DeleteFileA(path);
}

BOOL __wrap_MoveFileA(LPCSTR from, LPCSTR to)
{
    return hit(faults::move) ? FALSE : __real_MoveFileA(from, to);
}

BOOL __wrap_FindNextFileA(HANDLE search, WIN32_FIND_DATAA *found)
{
    return hit(faults::next_entry) ? FALSE : __real_FindNextFileA(search, found);
}
}
