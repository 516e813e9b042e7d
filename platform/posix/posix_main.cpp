/*
** The POSIX entry: records the arguments for GetCommandLineA, then starts
** the GUI entry routine the way Windows' start-up would.
*/
#include <signal.h>

#include "installer/install.h"
#include "platform/posix/posix.h"

int main(int argc, char **argv)
{
    // A closed standard output must not end the run before its exit status.
    signal(SIGPIPE, SIG_IGN);
    char *tail = posix_set_command_line(argc, argv);
    return install_main(nullptr, nullptr, tail, SW_SHOWDEFAULT);
}
