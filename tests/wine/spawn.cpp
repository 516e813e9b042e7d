// Starts a program with exactly the command line given, as a Windows shell
// would, waits for it and returns its exit status:
//   spawn.exe PROGRAM COMMAND-LINE
#include <windows.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 120;
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    if (!CreateProcessA(argv[1], argv[2], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 121;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 122;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(status);
}
