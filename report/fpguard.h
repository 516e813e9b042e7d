/*
** The floating-point state guard: the message box runs with the x87 unit
** freshly initialised, and its caller gets its exact state back afterwards.
*/
#ifndef BRELK_FPGUARD_H
#define BRELK_FPGUARD_H

#include "platform/platform.h"

/* Serialises every use of the process-wide staging area. */
extern CRITICAL_SECTION fp_lock;

/* Stores the floating-point state (128 bytes) at dest and initialises the unit. Hold fp_lock. */
void vsavefp(void *dest);

/* Loads the floating-point state from src, written by vsavefp. Hold fp_lock. */
void vrestorefp(const void *src);

#endif
