/*
** Message reporting: the program's only way of telling the user anything.
*/
#ifndef BRELK_REPORT_H
#define BRELK_REPORT_H

#include "platform/platform.h"

/* 32 characters of caption and the terminator. */
#define CAPTION_SIZE 33

/*
** Shows text in a modal box with no owner and a single OK button, captioned
** with the program's file name; returns once the box is dismissed. style is
** MB_OK, or MB_OK | MB_ICONERROR when the text tells of a failure. The text
** stays the caller's.
*/
void report_message(LPCSTR text, UINT style);

/* The caption report_message derives from a command line. */
void make_caption(LPCSTR command_line, char *caption);

#endif
