// SharedBlock.cpp: the block's texts and its interlocked dialog counter (plain memory work).
#include "SharedBlock.h"

#include <cstring>

namespace {

// The 32-bit word at offset 12 holds HookMessage (bytes 0-1), DialogCount (byte 2) and OnTop
// (byte 3). Views start on a page boundary, so the word is aligned for interlocked access.
constexpr std::size_t kCountWordOffset = offsetof(TSharedBlock, HookMessage);
constexpr int kCountShift = 8 * (offsetof(TSharedBlock, DialogCount) - kCountWordOffset);
static_assert(kCountWordOffset % 4 == 0);

volatile LONG* CountWord(const TSharedBlock& block) noexcept {
    auto* base = reinterpret_cast<const volatile char*>(&block);
    return reinterpret_cast<volatile LONG*>(const_cast<volatile char*>(base + kCountWordOffset));
}

std::uint8_t CountOf(LONG word) noexcept {
    return static_cast<std::uint8_t>(static_cast<ULONG>(word) >> kCountShift);
}

LONG WithCount(LONG word, std::uint8_t count) noexcept {
    const ULONG mask = 0xFFul << kCountShift;
    return static_cast<LONG>((static_cast<ULONG>(word) & ~mask) |
                             (static_cast<ULONG>(count) << kCountShift));
}

// Applies `next` (old count -> new count, or false to leave it) atomically; returns whether
// the count was changed.
template <class Next>
bool UpdateCount(TSharedBlock& block, Next next) noexcept {
    volatile LONG* word = CountWord(block);
    LONG seen = *word;
    for (;;) {
        std::uint8_t count = CountOf(seen);
        if (!next(count)) return false;
        const LONG wanted = WithCount(seen, count);
        const LONG found = ::InterlockedCompareExchange(word, wanted, seen);
        if (found == seen) return true;
        seen = found;
    }
}

}  // namespace

std::string BlockText(const char (&field)[kBlockTextSize]) {
    // Copy first: another process may be rewriting the field while we measure it.
    char copy[kBlockTextSize];
    std::memcpy(copy, field, sizeof copy);
    return std::string(copy, ::strnlen(copy, kBlockTextSize - 1));
}

void WriteBlockText(char (&field)[kBlockTextSize], std::string_view text,
                    std::size_t fillCount) noexcept {
    if (fillCount > kBlockTextSize) fillCount = kBlockTextSize;
    if (fillCount == 0) return;  // no room for even the terminating NUL
    std::memset(field, 0, fillCount);
    const std::size_t length = text.size() < fillCount - 1 ? text.size() : fillCount - 1;
    std::memcpy(field, text.data(), length);
}

std::uint8_t ReadDialogCount(const TSharedBlock& block) noexcept { return CountOf(*CountWord(block)); }

void StoreDialogCount(TSharedBlock& block, std::uint8_t value) noexcept {
    UpdateCount(block, [value](std::uint8_t& count) {
        count = value;
        return true;
    });
}

bool CountDialogIn(TSharedBlock& block) noexcept {
    return UpdateCount(block, [](std::uint8_t& count) {
        if (count + 1 >= kProbeMark) return false;
        ++count;
        return true;
    });
}

void CountDialogOut(TSharedBlock& block) noexcept {
    UpdateCount(block, [](std::uint8_t& count) {
        // A pending probe's mark is no number of dialogs: dialogs that end meanwhile must not
        // bring it below 254, or the probe would be taken over as a user's dialog and SetHook
        // would wait for its modal dialog to be closed by hand.
        if (count == 0 || count >= kProbeMark) return false;
        --count;
        return true;
    });
}

bool ClaimProbe(TSharedBlock& block) noexcept {
    return UpdateCount(block, [](std::uint8_t& count) {
        if (count < kProbeMark) return false;
        count = 0;
        return true;
    });
}

std::uint8_t ForgetEndedDialogs(TSharedBlock& block, std::uint8_t counted, int alive) noexcept {
    if (alive < 0 || alive >= counted || counted >= kProbeMark) return ReadDialogCount(block);
    UpdateCount(block, [counted, alive](std::uint8_t& count) {
        if (count != counted) return false;
        count = static_cast<std::uint8_t>(alive);
        return true;
    });
    return ReadDialogCount(block);
}
