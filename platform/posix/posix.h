/*
** What the POSIX layer adds beyond the Win32 names: recording the
** process's arguments, which Windows keeps for a process by itself.
*/
#ifndef BRELK_POSIX_H
#define BRELK_POSIX_H

/*
** Builds the command line GetCommandLineA returns from argv, and returns
** the command tail: the arguments after the program path.
*/
char *posix_set_command_line(int argc, char **argv);

#endif
