// ThreadPrimitives.h: the few POSIX thread calls the C++ runtime makes, over the system's own
// locks. With the posix-thread toolchain, exception handling (per-thread exception state, the
// emergency buffer's lock) and thread-safe local statics call pthread_once, pthread_key_*,
// pthread_mutex_* and pthread_cond_*; the toolchain's library that answers them also brings
// thread creation, cancellation, read-write locks and timers: an eighth of the hook library,
// mapped into every program on the desktop. ThreadPrimitives.cpp gives these calls to the
// runtime under their C names; the functions here hold the work so tests can run it beside the
// toolchain's own versions.
//
// The handle types keep the toolchain's layout (its headers compiled the runtime): a mutex or
// condition is one pointer-sized word whose static initialisers are small negative numbers, a
// once-flag is a long, a key an unsigned number.
#pragma once

#include <cstdint>

#include "Config.h"

namespace pelmira::threads {

using TMutexWord = std::intptr_t;
using TCondWord = std::intptr_t;
using TOnceWord = long;
using TKey = unsigned;
using TKeyDestructor = void (*)(void*);

// The toolchain's static initialisers: -1 plain (also a condition's), -2 error-checking, -3 recursive.
inline constexpr TMutexWord kMutexInitialiserLowest = -3;

// Every mutex is a critical section, made at its first lock. A critical section is recursive,
// which a recursive mutex needs and a plain one may be (relocking a plain one is undefined).
// The error-checking kind, which nothing in the runtime asks for, is served the same way.
int MutexInit(TMutexWord* mutex);
int MutexLock(TMutexWord* mutex);
int MutexUnlock(TMutexWord* mutex);
int MutexDestroy(TMutexWord* mutex);

// A condition is a system condition variable: a pointer-sized word that starts as zero, so the
// static initialiser only has to be turned into zero once.
int CondInit(TCondWord* cond);
int CondWait(TCondWord* cond, TMutexWord* mutex);
int CondSignal(TCondWord* cond);
int CondBroadcast(TCondWord* cond);

// Runs `init` once per flag; callers that meet it running wait until it has returned.
int Once(TOnceWord* once, void (*init)());

// Keys are fibre-local slots, whose callback the system runs at each thread's end with that
// thread's non-null value: the POSIX destructor call. At most kMaxKeys keys with destructors
// (the runtime makes one); a further one gets EAGAIN, as POSIX allows.
inline constexpr int kMaxKeys = 4;
int KeyCreate(TKey* key, TKeyDestructor destructor);
// As in POSIX, deleting a key calls no destructor.
int KeyDelete(TKey key);
// Leave the thread's last-error value as it was: the runtime looks up thread-local data in the
// middle of code that may still read it.
void* GetSpecific(TKey key);
int SetSpecific(TKey key, const void* value);
// Frees every key still held, so that no slot keeps a callback into a library being unloaded;
// the system then hands each thread's value to its destructor, which frees what the runtime
// allocated for threads that will not run the library again.
void ReleaseKeys();

}  // namespace pelmira::threads
