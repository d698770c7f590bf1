// RuntimeThreads.cpp: the POSIX thread calls of the C++ runtime, answered by ThreadPrimitives.
// Defined here, the linker takes these and leaves the toolchain's thread library out of the
// hook library (it would bring thread creation, cancellation and timers that nothing here uses).
// Should a later use need a call of that library that is not defined here, its object comes back
// and the linker reports the calls defined twice: add the call here rather than let it in.
#include <pthread.h>

#include "ThreadPrimitives.h"

namespace threads = pelmira::threads;

static_assert(sizeof(pthread_mutex_t) == sizeof(threads::TMutexWord));
static_assert(sizeof(pthread_cond_t) == sizeof(threads::TCondWord));
static_assert(sizeof(pthread_once_t) == sizeof(threads::TOnceWord));
static_assert(sizeof(pthread_key_t) == sizeof(threads::TKey));

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
    return threads::MutexInit(mutex);
}
int pthread_mutex_lock(pthread_mutex_t* mutex) {
    return threads::MutexLock(mutex);
}
int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    return threads::MutexUnlock(mutex);
}
int pthread_mutex_destroy(pthread_mutex_t* mutex) {
    return threads::MutexDestroy(mutex);
}

int pthread_cond_init(pthread_cond_t* cond, const pthread_condattr_t*) {
    return threads::CondInit(cond);
}
int pthread_cond_wait(pthread_cond_t* cond, pthread_mutex_t* mutex) {
    return threads::CondWait(cond, mutex);
}
int pthread_cond_signal(pthread_cond_t* cond) {
    return threads::CondSignal(cond);
}
int pthread_cond_broadcast(pthread_cond_t* cond) {
    return threads::CondBroadcast(cond);
}
// A system condition variable holds nothing to free.
int pthread_cond_destroy(pthread_cond_t*) {
    return 0;
}

int pthread_once(pthread_once_t* once, void (*init)(void)) {
    return threads::Once(once, init);
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    return threads::KeyCreate(key, destructor);
}
int pthread_key_delete(pthread_key_t key) {
    return threads::KeyDelete(key);
}
void* pthread_getspecific(pthread_key_t key) {
    return threads::GetSpecific(key);
}
int pthread_setspecific(pthread_key_t key, const void* value) {
    return threads::SetSpecific(key, value);
}

}  // extern "C"
