#include "wildcard.h"

static char fold(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

/*
** Greedy scan that remembers the last '*' and, on a mismatch, lets it
** swallow one more character. No recursion, so a hostile pattern costs
** at most pattern length times name length steps and no stack.
*/
bool wildcard_match(const char *pattern, const char *name)
{
    const char *star = nullptr;
    const char *resume = nullptr;

    while (*name) {
        if (*pattern == '*') {
            star = pattern++;
            resume = name;
        } else if (*pattern && (*pattern == '?' || fold(*pattern) == fold(*name))) {
            ++pattern;
            ++name;
        } else if (star) {
            pattern = star + 1;
            name = ++resume;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    return *pattern == '\0';
}
