/*
** The Win32 command line and message box, built on POSIX: the command line
** is made from the recorded arguments as Windows would show them, and the
** box is one line on the terminal.
*/
#include "platform/platform.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "platform/posix/posix.h"

static std::string command_line;

/* Appends one argument quoted the way Windows' argument parser reads it back. */
static void append_quoted(std::string &out, const char *arg)
{
    if (*arg && !strpbrk(arg, " \t\n\v\"")) {
        out += arg;
        return;
    }
    out += '"';
    for (const char *p = arg;; ++p) {
        size_t slashes = 0;
        while (*p == '\\') {
            ++slashes;
            ++p;
        }
        if (!*p) {
            out.append(slashes * 2, '\\');
            break;
        }
        if (*p == '"')
            out.append(slashes * 2 + 1, '\\');
        else
            out.append(slashes, '\\');
        out += *p;
    }
    out += '"';
}

char *posix_set_command_line(int argc, char **argv)
{
    command_line.clear();
    std::string program = argc > 0 && argv[0] ? argv[0] : "";
    for (char &c : program)
        if (c == '/')
            c = '\\';
    if (program.empty() || strpbrk(program.c_str(), " \t\n\v"))
        command_line = '"' + program + '"';
    else
        command_line = program;
    size_t tail = command_line.size();
    for (int i = 1; i < argc; ++i) {
        command_line += ' ';
        if (i == 1)
            tail = command_line.size();
        append_quoted(command_line, argv[i]);
    }
    return &command_line[tail];
}

extern "C" LPSTR GetCommandLineA(void)
{
    return &command_line[0];
}

extern "C" int MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT style)
{
    UINT icon = style & MB_ICONMASK;
    FILE *out = (icon == MB_ICONERROR || icon == MB_ICONWARNING) ? stderr : stdout;
    fprintf(out, "%s: %s\n", caption ? caption : "", text ? text : "");
    fflush(out);
    return IDOK;
}
