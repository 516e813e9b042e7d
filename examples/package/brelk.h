/* BRELK sample package: main header. */
#ifndef BRELK_H
#define BRELK_H
#include "brelkio.h"
int brelk_version(void);
#endif
