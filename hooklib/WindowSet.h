// WindowSet.h: the per-process set of windows that may be colour dialogs (windows with a child
// whose id is 720), so that the hook can pass every other message on without asking the window
// manager anything. Lock-free: the hook runs on every thread of the process at once.
#pragma once

#include "Config.h"

#include <atomic>
#include <cstdint>

class TWindowSet {
public:
    static constexpr std::uint32_t kCapacity = 64;

    // True when `window` is in the set, or when the set overflowed (then every window counts).
    bool Contains(HWND window) const noexcept {
        const std::uint32_t used = used_.load(std::memory_order_acquire);
        if (used == 0 || window == nullptr) return false;
        if (overflow_.load(std::memory_order_relaxed)) return true;
        for (std::uint32_t i = 0; i < used; ++i)
            if (slots_[i].load(std::memory_order_relaxed) == window) return true;
        return false;
    }

    void Add(HWND window) noexcept {
        if (window == nullptr || Contains(window)) return;
        const std::uint32_t used = used_.load(std::memory_order_acquire);
        for (std::uint32_t i = 0; i < used; ++i) {
            HWND empty = nullptr;
            if (slots_[i].compare_exchange_strong(empty, window, std::memory_order_acq_rel)) return;
        }
        for (;;) {
            std::uint32_t index = used_.load(std::memory_order_acquire);
            if (index >= kCapacity) {
                // Beyond the capacity the set no longer filters; the full tests then decide.
                overflow_.store(true, std::memory_order_relaxed);
                used_.store(kCapacity, std::memory_order_release);
                return;
            }
            HWND empty = nullptr;
            if (slots_[index].compare_exchange_strong(empty, window, std::memory_order_acq_rel)) {
                std::uint32_t expected = index;
                // Publish the new slot; another adder may have published past it already.
                while (expected <= index &&
                       !used_.compare_exchange_weak(expected, index + 1, std::memory_order_acq_rel)) {
                }
                return;
            }
            // Slot taken by another adder: make sure it is counted, then try the next one.
            std::uint32_t expected = index;
            used_.compare_exchange_strong(expected, index + 1, std::memory_order_acq_rel);
        }
    }

    // Answers whether the window held a slot.
    bool Remove(HWND window) noexcept {
        bool found = false;
        const std::uint32_t used = used_.load(std::memory_order_acquire);
        for (std::uint32_t i = 0; i < used; ++i) {
            HWND expected = window;
            if (slots_[i].compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel)) found = true;
        }
        return found;
    }

    bool Overflowed() const noexcept { return overflow_.load(std::memory_order_relaxed); }

    // Ends the overflow (answers whether there was one); the caller then adds the windows that
    // are still possible dialogs again, which overflows anew only if they still do not fit.
    bool ResetOverflow() noexcept { return overflow_.exchange(false, std::memory_order_acq_rel); }

private:
    std::atomic<HWND> slots_[kCapacity]{};
    std::atomic<std::uint32_t> used_{0};
    std::atomic<bool> overflow_{false};
};
