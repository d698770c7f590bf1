// ThreadPrimitives.cpp: mutexes, conditions, once-flags and keys over the system's own locks.
#include "ThreadPrimitives.h"

#include <atomic>
#include <cerrno>

namespace pelmira::threads {

namespace {

bool IsInitialiser(TMutexWord value) noexcept {
    // Zero too: a zero-filled mutex is taken as a plain one rather than as a pointer.
    return value >= kMutexInitialiserLowest && value <= 0;
}

// The mutex's critical section; made and published on first use when `create`, else null
// while the word still holds its initialiser.
CRITICAL_SECTION* SectionOf(TMutexWord* mutex, bool create) noexcept {
    std::atomic_ref<TMutexWord> word(*mutex);
    TMutexWord value = word.load(std::memory_order_acquire);
    if (!IsInitialiser(value)) {
        return reinterpret_cast<CRITICAL_SECTION*>(value);
    }
    if (!create) {
        return nullptr;
    }
    auto* made = static_cast<CRITICAL_SECTION*>(::HeapAlloc(::GetProcessHeap(), 0, sizeof(CRITICAL_SECTION)));
    if (!made) {
        return nullptr;
    }
    ::InitializeCriticalSection(made);
    // Two first lockers may race: the loser drops its section and takes the winner's.
    while (IsInitialiser(value)) {
        if (word.compare_exchange_weak(value, reinterpret_cast<TMutexWord>(made), std::memory_order_acq_rel)) {
            return made;
        }
    }
    ::DeleteCriticalSection(made);
    ::HeapFree(::GetProcessHeap(), 0, made);
    return reinterpret_cast<CRITICAL_SECTION*>(value);
}

CONDITION_VARIABLE* VariableOf(TCondWord* cond) noexcept {
    static_assert(sizeof(CONDITION_VARIABLE) == sizeof(TCondWord));
    std::atomic_ref<TCondWord> word(*cond);
    TCondWord initialiser = -1;
    word.compare_exchange_strong(initialiser, 0, std::memory_order_acq_rel);
    return reinterpret_cast<CONDITION_VARIABLE*>(cond);
}

constexpr TOnceWord kOnceRunning = 1;
constexpr TOnceWord kOnceDone = 2;

// Key table: the destructor each fibre-local callback calls, and the slot it was made with.
SRWLOCK gKeyLock = SRWLOCK_INIT;
TKeyDestructor gDestructors[kMaxKeys];
DWORD gKeyIndex[kMaxKeys] = {FLS_OUT_OF_INDEXES, FLS_OUT_OF_INDEXES, FLS_OUT_OF_INDEXES, FLS_OUT_OF_INDEXES};
static_assert(sizeof gKeyIndex / sizeof gKeyIndex[0] == kMaxKeys);

// The system calls back with its own calling convention (stdcall on 32-bit), the runtime's
// destructors have the C one: one trampoline per table entry.
template <int Entry>
VOID WINAPI RunDestructor(PVOID value) {
    if (value && gDestructors[Entry]) {
        gDestructors[Entry](value);
    }
}
constexpr PFLS_CALLBACK_FUNCTION kTrampolines[kMaxKeys] = {RunDestructor<0>, RunDestructor<1>, RunDestructor<2>,
                                                           RunDestructor<3>};

}  // namespace

int MutexInit(TMutexWord* mutex) {
    *mutex = -1;
    return 0;
}

int MutexLock(TMutexWord* mutex) {
    CRITICAL_SECTION* section = SectionOf(mutex, true);
    if (!section) {
        return ENOMEM;
    }
    ::EnterCriticalSection(section);
    return 0;
}

int MutexUnlock(TMutexWord* mutex) {
    CRITICAL_SECTION* section = SectionOf(mutex, false);
    if (!section) {
        return EPERM;  // never locked
    }
    ::LeaveCriticalSection(section);
    return 0;
}

int MutexDestroy(TMutexWord* mutex) {
    const TMutexWord value = std::atomic_ref<TMutexWord>(*mutex).exchange(-1, std::memory_order_acq_rel);
    if (!IsInitialiser(value)) {
        auto* section = reinterpret_cast<CRITICAL_SECTION*>(value);
        ::DeleteCriticalSection(section);
        ::HeapFree(::GetProcessHeap(), 0, section);
    }
    return 0;
}

int CondInit(TCondWord* cond) {
    *cond = 0;
    return 0;
}

int CondWait(TCondWord* cond, TMutexWord* mutex) {
    CRITICAL_SECTION* section = SectionOf(mutex, false);
    if (!section) {
        return EPERM;  // the caller must hold the mutex
    }
    return ::SleepConditionVariableCS(VariableOf(cond), section, INFINITE) ? 0 : EINVAL;
}

int CondSignal(TCondWord* cond) {
    ::WakeConditionVariable(VariableOf(cond));
    return 0;
}

int CondBroadcast(TCondWord* cond) {
    ::WakeAllConditionVariable(VariableOf(cond));
    return 0;
}

int Once(TOnceWord* once, void (*init)()) {
    std::atomic_ref<TOnceWord> state(*once);
    if (state.load(std::memory_order_acquire) == kOnceDone) {
        return 0;
    }
    TOnceWord expected = 0;
    if (state.compare_exchange_strong(expected, kOnceRunning, std::memory_order_acq_rel)) {
        init();
        state.store(kOnceDone, std::memory_order_release);
        return 0;
    }
    // Another thread runs it; initialisers are short, so yielding beats a kernel object per flag.
    while (state.load(std::memory_order_acquire) != kOnceDone) {
        if (!::SwitchToThread()) {
            ::Sleep(1);
        }
    }
    return 0;
}

int KeyCreate(TKey* key, TKeyDestructor destructor) {
    if (!destructor) {
        const DWORD index = ::FlsAlloc(nullptr);
        if (index == FLS_OUT_OF_INDEXES) {
            return EAGAIN;
        }
        *key = index;
        return 0;
    }
    ::AcquireSRWLockExclusive(&gKeyLock);
    int result = EAGAIN;
    for (int entry = 0; entry < kMaxKeys; ++entry) {
        if (gKeyIndex[entry] != FLS_OUT_OF_INDEXES) {
            continue;
        }
        gDestructors[entry] = destructor;
        const DWORD index = ::FlsAlloc(kTrampolines[entry]);
        if (index != FLS_OUT_OF_INDEXES) {
            gKeyIndex[entry] = index;
            *key = index;
            result = 0;
        }
        break;
    }
    ::ReleaseSRWLockExclusive(&gKeyLock);
    return result;
}

namespace {
// Frees the slot; with `runDestructors` false its entry forgets the destructor first, so the
// callbacks the system makes while freeing find nothing to call.
int FreeKey(TKey key, bool runDestructors) {
    ::AcquireSRWLockExclusive(&gKeyLock);
    for (int entry = 0; entry < kMaxKeys; ++entry) {
        if (gKeyIndex[entry] == key) {
            gKeyIndex[entry] = FLS_OUT_OF_INDEXES;
            if (!runDestructors) {
                gDestructors[entry] = nullptr;
            }
        }
    }
    ::ReleaseSRWLockExclusive(&gKeyLock);
    return ::FlsFree(key) ? 0 : EINVAL;
}
}  // namespace

int KeyDelete(TKey key) {
    return FreeKey(key, false);
}

void* GetSpecific(TKey key) {
    const DWORD error = ::GetLastError();
    void* value = ::FlsGetValue(key);
    ::SetLastError(error);
    return value;
}

int SetSpecific(TKey key, const void* value) {
    return ::FlsSetValue(key, const_cast<void*>(value)) ? 0 : EINVAL;
}

void ReleaseKeys() {
    for (int entry = 0; entry < kMaxKeys; ++entry) {
        ::AcquireSRWLockShared(&gKeyLock);
        const DWORD index = gKeyIndex[entry];
        ::ReleaseSRWLockShared(&gKeyLock);
        if (index != FLS_OUT_OF_INDEXES) {
            FreeKey(index, true);
        }
    }
}

}  // namespace pelmira::threads
