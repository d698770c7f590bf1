// The thread calls the hook library answers for the C++ runtime: mutexes from their static
// initialisers (also when many threads take one first at once), recursion, conditions, a
// once-flag met by several threads, and keys whose destructors run at a thread's end.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <functional>
#include <vector>

#include "ThreadPrimitives.h"

namespace threads = pelmira::threads;

namespace {

struct TStart {
    const std::function<void(int)>* Body;
    int Index;
    HANDLE Go;
};

// A thread procedure has the system's calling convention (stdcall on 32-bit), which a lambda lacks.
DWORD WINAPI StartThread(LPVOID parameter) {
    auto* start = static_cast<TStart*>(parameter);
    ::WaitForSingleObject(start->Go, INFINITE);
    (*start->Body)(start->Index);
    return 0;
}

// Runs `body(i)` on `count` plain system threads started together and waits for them all.
void RunThreads(int count, const std::function<void(int)>& body) {
    HANDLE go = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::vector<TStart> starts(count);
    std::vector<HANDLE> handles;
    for (int i = 0; i < count; ++i) {
        starts[i] = {&body, i, go};
        handles.push_back(::CreateThread(nullptr, 0, StartThread, &starts[i], 0, nullptr));
    }
    ::SetEvent(go);
    ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), TRUE, 30000);
    for (HANDLE h : handles) ::CloseHandle(h);
    ::CloseHandle(go);
}

}  // namespace

TEST(ThreadMutex, StaticInitialisersLockRecursivelyAndExcludeOtherThreads) {
    for (threads::TMutexWord initialiser : {threads::TMutexWord{-1}, threads::TMutexWord{-3}}) {
        threads::TMutexWord mutex = initialiser;
        EXPECT_EQ(threads::MutexUnlock(&mutex), EPERM) << "never locked";
        ASSERT_EQ(threads::MutexLock(&mutex), 0);
        ASSERT_EQ(threads::MutexLock(&mutex), 0) << "a recursive mutex is locked again by its owner";
        EXPECT_EQ(threads::MutexUnlock(&mutex), 0);
        EXPECT_EQ(threads::MutexUnlock(&mutex), 0);

        // Eight threads meet the fresh word at once: one critical section must win for all.
        threads::TMutexWord fresh = initialiser;
        long counter = 0;
        RunThreads(8, [&](int) {
            for (int i = 0; i < 2000; ++i) {
                threads::MutexLock(&fresh);
                const long seen = counter;
                if (i % 97 == 0) ::Sleep(0);
                counter = seen + 1;
                threads::MutexUnlock(&fresh);
            }
        });
        EXPECT_EQ(counter, 8 * 2000);
        EXPECT_EQ(threads::MutexDestroy(&fresh), 0);
        EXPECT_EQ(fresh, -1);
        EXPECT_EQ(threads::MutexLock(&fresh), 0) << "a destroyed mutex made again by init works";
        EXPECT_EQ(threads::MutexUnlock(&fresh), 0);
        threads::MutexDestroy(&fresh);
        threads::MutexDestroy(&mutex);
    }
}

TEST(ThreadCondition, BroadcastWakesEveryWaiterOfAStaticCondition) {
    threads::TMutexWord mutex = -1;
    threads::TCondWord cond = -1;
    bool open = false;
    std::atomic<int> waiting{0};
    std::atomic<int> woken{0};
    RunThreads(5, [&](int index) {
        if (index == 0) {
            while (waiting.load() < 4) ::Sleep(1);
            threads::MutexLock(&mutex);
            open = true;
            threads::CondBroadcast(&cond);
            threads::MutexUnlock(&mutex);
            return;
        }
        threads::MutexLock(&mutex);
        ++waiting;
        while (!open) EXPECT_EQ(threads::CondWait(&cond, &mutex), 0);
        ++woken;
        threads::MutexUnlock(&mutex);
    });
    EXPECT_EQ(woken.load(), 4);
    threads::MutexDestroy(&mutex);
}

TEST(ThreadOnce, RunsOnceAndNobodyReturnsBeforeItHasFinished) {
    static threads::TOnceWord once = 0;
    static std::atomic<int> runs{0};
    static std::atomic<bool> finished{false};
    std::atomic<int> early{0};
    RunThreads(8, [&](int) {
        threads::Once(&once, [] {
            ++runs;
            ::Sleep(50);
            finished = true;
        });
        if (!finished.load()) ++early;
    });
    EXPECT_EQ(runs.load(), 1);
    EXPECT_EQ(early.load(), 0);
}

namespace {
std::atomic<int> gDestroyed{0};
std::atomic<std::intptr_t> gLastDestroyed{0};
void CountDestroy(void* value) {
    ++gDestroyed;
    gLastDestroyed = reinterpret_cast<std::intptr_t>(value);
}
}  // namespace

TEST(ThreadKeys, DestructorRunsAtThreadEndForSetValuesOnly) {
    gDestroyed = 0;
    threads::TKey key = 0;
    ASSERT_EQ(threads::KeyCreate(&key, CountDestroy), 0);
    RunThreads(3, [&](int index) {
        EXPECT_EQ(threads::GetSpecific(key), nullptr) << "a new thread starts empty";
        if (index > 0) threads::SetSpecific(key, reinterpret_cast<void*>(std::intptr_t{100 + index}));
        ::SetLastError(1234);
        threads::GetSpecific(key);
        EXPECT_EQ(::GetLastError(), 1234u) << "looking up a value keeps the thread's last error";
    });
    EXPECT_EQ(gDestroyed.load(), 2) << "the thread that set nothing has nothing to destroy";
    EXPECT_GE(gLastDestroyed.load(), 101);

    // Deleting a key calls no destructor, even for a value still set.
    threads::SetSpecific(key, &key);
    EXPECT_EQ(threads::KeyDelete(key), 0);
    EXPECT_EQ(gDestroyed.load(), 2);
}

TEST(ThreadKeys, TableIsBoundedAndReleasedWhole) {
    std::vector<threads::TKey> keys(threads::kMaxKeys);
    for (threads::TKey& key : keys) ASSERT_EQ(threads::KeyCreate(&key, CountDestroy), 0);
    threads::TKey extra = 0;
    EXPECT_EQ(threads::KeyCreate(&extra, CountDestroy), EAGAIN);
    ASSERT_EQ(threads::KeyCreate(&extra, nullptr), 0) << "keys without destructor need no table entry";
    EXPECT_EQ(threads::KeyDelete(extra), 0);

    EXPECT_EQ(threads::KeyDelete(keys[1]), 0);
    ASSERT_EQ(threads::KeyCreate(&keys[1], CountDestroy), 0) << "a deleted key's entry is free again";

    // Releasing frees every entry, handing this thread's value to its destructor.
    gDestroyed = 0;
    threads::SetSpecific(keys[0], &keys);
    threads::ReleaseKeys();
    EXPECT_EQ(gDestroyed.load(), 1);
    for (threads::TKey& key : keys) EXPECT_EQ(threads::KeyCreate(&key, CountDestroy), 0);
    threads::ReleaseKeys();
}
