/*
** Name matching for directory searches: '*' stands for any run of
** characters, '?' for exactly one, and ASCII letters match without regard
** to case. Only the long name is ever matched, so a short 8.3 alias can
** never pull a file into a pattern that does not name it.
*/
#ifndef BRELK_WILDCARD_H
#define BRELK_WILDCARD_H

bool wildcard_match(const char *pattern, const char *name);

#endif
