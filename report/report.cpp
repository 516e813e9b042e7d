/*
** The message box reporter: derives the caption from the process command
** line and shows one box.
*/
#include "report/report.h"

#include "report/fpguard.h"

static bool is_space(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

static bool is_digit(char c)
{
    return c >= '0' && c <= '9';
}

/*
** The name starts after the last backslash, searched from where a base-10
** integer read of the command line would stop; a program started as
** "12setup.exe" is therefore captioned "setup.exe".
*/
void make_caption(LPCSTR command_line, char *caption)
{
    const char *scan = command_line;
    const char *p = command_line;
    while (is_space(*p))
        ++p;
    if (*p == '+' || *p == '-')
        ++p;
    if (is_digit(*p)) {
        while (is_digit(*p))
            ++p;
        scan = p;
    }

    const char *name = scan;
    for (const char *q = scan; *q; ++q)
        if (*q == '\\')
            name = q + 1;

    int n = 0;
    while (n < CAPTION_SIZE - 1 && name[n]) {
        caption[n] = name[n];
        ++n;
    }
    caption[n] = '\0';

    // A quoted program path leaves its closing quote, and often a space
    // after it, behind the name.
    if (n > 0 && caption[n - 1] == ' ')
        caption[--n] = '\0';
    if (n > 0 && caption[n - 1] == '"')
        caption[--n] = '\0';

    if (n == 0) {
        const char fallback[] = "Error";
        for (unsigned i = 0; i < sizeof fallback; ++i)
            caption[i] = fallback[i];
    }
}

void report_message(LPCSTR text, UINT style)
{
    char caption[CAPTION_SIZE];
    make_caption(GetCommandLineA(), caption);

    // The box's code may change the floating-point unit's settings; the
    // caller's state waits here, and the lock is never held across the box.
    unsigned char fp_image[512];
    EnterCriticalSection(&fp_lock);
    vsavefp(fp_image);
    LeaveCriticalSection(&fp_lock);

    MessageBoxA(nullptr, text, caption, style);

    EnterCriticalSection(&fp_lock);
    vrestorefp(fp_image);
    LeaveCriticalSection(&fp_lock);
}
