/*
** The floating-point state guard. Every save and restore passes through one
** 128-byte staging area under fp_lock; the state itself travels in the
** caller's own buffer, so threads never see each other's.
**
** On x86 the x87 full-state instructions do the work: fsave stores the
** environment and all eight registers (108 bytes) and then initialises the
** unit, frstor loads them back. Elsewhere the standard floating-point
** environment stands in for them.
*/
#include "report/fpguard.h"

#include <stdint.h>

#if !defined(__i386__) && !defined(__x86_64__)
#include <fenv.h>
#endif

CRITICAL_SECTION fp_lock;

static unsigned char fp_staging[128];

// Created before main and never destroyed, so that it exists before the
// first report and outlives the last, on any thread.
__attribute__((constructor)) static void fp_lock_create(void)
{
    InitializeCriticalSection(&fp_lock);
}

/* 128 bytes as 32 doublewords; the fixed-size copies compile to plain loads and stores. */
static void copy_dwords(void *to, const void *from)
{
    const unsigned char *f = static_cast<const unsigned char *>(from);
    unsigned char *t = static_cast<unsigned char *>(to);
    for (int i = 0; i < 32; ++i) {
        uint32_t d;
        __builtin_memcpy(&d, f + 4 * i, 4);
        __builtin_memcpy(t + 4 * i, &d, 4);
    }
}

void vsavefp(void *dest)
{
#if defined(__i386__) || defined(__x86_64__)
    // fsave waits for pending exceptions before storing; the fwait after it
    // lets the store complete before the area is read.
    __asm__ volatile("fsave %0\n\tfwait"
                     : "=m"(fp_staging)
                     :
                     : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
#else
    static_assert(sizeof(fenv_t) <= sizeof fp_staging, "environment larger than the staging area");
    fegetenv(reinterpret_cast<fenv_t *>(fp_staging));
    fesetenv(FE_DFL_ENV);
#endif
    copy_dwords(dest, fp_staging);
}

void vrestorefp(const void *src)
{
    copy_dwords(fp_staging, src);
#if defined(__i386__) || defined(__x86_64__)
    __asm__ volatile("fwait\n\tfrstor %0"
                     :
                     : "m"(fp_staging)
                     : "memory", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)");
#else
    fesetenv(reinterpret_cast<const fenv_t *>(fp_staging));
#endif
}
