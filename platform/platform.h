/*
** The one door between the installer's routines and the operating system.
**
** The routines call the platform by its Win32 names. On Windows this header
** is the platform's own. Elsewhere it declares the small subset the routines
** use, written from what they need of it; platform/posix/ supplies it, and
** the tests link the same routines against doubles of it instead.
*/
#ifndef BRELK_PLATFORM_H
#define BRELK_PLATFORM_H

#ifdef _WIN32
#include <windows.h>
#else

#include <pthread.h>
#include <stdint.h>

typedef int BOOL;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef void *HANDLE;
typedef struct brelk_instance *HINSTANCE;
typedef struct brelk_window *HWND;

#define WINAPI
#define TRUE 1
#define FALSE 0
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

#define FILE_ATTRIBUTE_READONLY 0x01u
#define FILE_ATTRIBUTE_DIRECTORY 0x10u
#define FILE_ATTRIBUTE_NORMAL 0x80u

#define ERROR_FILE_NOT_FOUND 2u
#define ERROR_PATH_NOT_FOUND 3u
#define ERROR_ACCESS_DENIED 5u
#define ERROR_NOT_ENOUGH_MEMORY 8u
#define ERROR_NO_MORE_FILES 18u
#define ERROR_WRITE_FAULT 29u
#define ERROR_SHARING_VIOLATION 32u
#define ERROR_HANDLE_DISK_FULL 39u
#define ERROR_NOT_SUPPORTED 50u
#define ERROR_FILE_EXISTS 80u
#define ERROR_INVALID_PARAMETER 87u
#define ERROR_DISK_FULL 112u
#define ERROR_INVALID_NAME 123u
#define ERROR_ALREADY_EXISTS 183u
#define ERROR_FILENAME_EXCED_RANGE 206u

#define MB_OK 0x00u
#define MB_ICONERROR 0x10u
#define MB_ICONWARNING 0x30u
#define MB_ICONMASK 0xF0u
#define IDOK 1

#define SW_SHOWDEFAULT 10

typedef struct {
    DWORD dwFileAttributes;
    char cFileName[MAX_PATH];
} WIN32_FIND_DATAA;

typedef struct {
    pthread_mutex_t mutex;
} CRITICAL_SECTION;

#ifdef __cplusplus
extern "C" {
#endif

DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
BOOL CreateDirectoryA(LPCSTR path, void *security);
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA *found);
BOOL FindNextFileA(HANDLE search, WIN32_FIND_DATAA *found);
BOOL FindClose(HANDLE search);
BOOL CopyFileA(LPCSTR from, LPCSTR to, BOOL fail_if_exists);
BOOL DeleteFileA(LPCSTR path);
BOOL MoveFileA(LPCSTR from, LPCSTR to);
DWORD GetLastError(void);
void SetLastError(DWORD code);
LPSTR GetCommandLineA(void);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
void InitializeCriticalSection(CRITICAL_SECTION *lock);
void EnterCriticalSection(CRITICAL_SECTION *lock);
void LeaveCriticalSection(CRITICAL_SECTION *lock);
void DeleteCriticalSection(CRITICAL_SECTION *lock);

#ifdef __cplusplus
}
#endif

#endif /* _WIN32 */
#endif /* BRELK_PLATFORM_H */
