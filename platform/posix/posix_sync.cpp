/*
** Win32 critical sections, built on POSIX mutexes.
*/
#include "platform/platform.h"

extern "C" void InitializeCriticalSection(CRITICAL_SECTION *lock)
{
    pthread_mutex_init(&lock->mutex, nullptr);
}

extern "C" void EnterCriticalSection(CRITICAL_SECTION *lock)
{
    pthread_mutex_lock(&lock->mutex);
}

extern "C" void LeaveCriticalSection(CRITICAL_SECTION *lock)
{
    pthread_mutex_unlock(&lock->mutex);
}

extern "C" void DeleteCriticalSection(CRITICAL_SECTION *lock)
{
    pthread_mutex_destroy(&lock->mutex);
}
