/*
** The installer: sorts the package directory that is current at start.
*/
#ifndef BRELK_INSTALL_H
#define BRELK_INSTALL_H

#include "platform/platform.h"

/*
** The GUI entry routine. None of the four entry arguments is used. Returns
** the exit status: 0 when everything is in place, 1 when anything was left
** behind or the package directory could not be read.
*/
int install_main(HINSTANCE instance, HINSTANCE previous, LPSTR command_tail, int show);

/* Moves every file of the package directory matching pattern into subdir. */
void relocate_files(LPCSTR pattern, LPCSTR subdir);

/* Moves the first entry of subdir matching name back up to the package directory. */
void move_back(LPCSTR name, LPCSTR subdir);

#endif
