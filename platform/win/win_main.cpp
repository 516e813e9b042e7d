/*
** The Windows entry: the GUI start-up calls WinMain with the module's
** instance and the command tail, and makes its result the exit status.
*/
#include "installer/install.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int show)
{
    return install_main(instance, previous, tail, show);
}
