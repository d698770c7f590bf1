// SharedBlock.h: the 992-byte record shared by the controller and every hooked process through
// the named section "PelmiraXP", with its texts and its dialog counter as plain memory work.
// Reaching the block is elsewhere: BlockAccess.h for one operation, the hook library's own view
// for code that runs inside the hook.
// The block has no lock. DialogCount is only changed through the interlocked helpers below; texts
// are only read through BlockText, which never reads past the field, and only written through
// WriteBlockText, which never writes past it.
#pragma once

#include "Config.h"
#include "SharedNames.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::size_t kBlockTextSize = 261;
inline constexpr int kChildRectCount = 27;
// DialogCount values at or above this mark the geometry probe; a take-over never counts up to it.
inline constexpr std::uint8_t kProbeMark = 254;
inline constexpr std::uint8_t kProbePending = 255;

// One recorded window rectangle: left and top, then width and height.
struct TBlockRect {
    std::int32_t Left;
    std::int32_t Top;
    std::int32_t Width;
    std::int32_t Height;
};

#pragma pack(push, 1)
// Handles are stored as 32-bit values in both builds: window, cursor and hook handles are 32-bit
// on 64-bit Windows too, and the block is shared with 32-bit processes. Use the conversions below.
struct TSharedBlock {
    std::uint32_t HookHandle;   // HHOOK of the system-wide WH_CALLWNDPROC hook
    std::uint32_t OwnerWindow;  // HWND of the controller's main window
    std::uint32_t PickCursor;   // HCURSOR of the eyedropper cursor "spuit"
    std::uint16_t HookMessage;  // low 16 bits of the registered message "Vorlundhook"
    std::uint8_t DialogCount;   // taken-over dialogs; 254/255: geometry probe pending
    std::uint8_t OnTop;
    std::uint8_t Dialog;
    std::uint8_t WebSafe;
    char SettingsBase[kBlockTextSize];
    char PaletteFolder[kBlockTextSize];
    TBlockRect DialogRect;                  // screen left/top, width, height of the standard dialog
    TBlockRect ChildRects[kChildRectCount]; // first 27 children, parent-client coordinates
    std::uint8_t Reserved[4];
};
#pragma pack(pop)

static_assert(sizeof(TBlockRect) == 16);
static_assert(offsetof(TSharedBlock, HookHandle) == 0);
static_assert(offsetof(TSharedBlock, OwnerWindow) == 4);
static_assert(offsetof(TSharedBlock, PickCursor) == 8);
static_assert(offsetof(TSharedBlock, HookMessage) == 12);
static_assert(offsetof(TSharedBlock, DialogCount) == 14);
static_assert(offsetof(TSharedBlock, OnTop) == 15);
static_assert(offsetof(TSharedBlock, Dialog) == 16);
static_assert(offsetof(TSharedBlock, WebSafe) == 17);
static_assert(offsetof(TSharedBlock, SettingsBase) == 18);
static_assert(offsetof(TSharedBlock, PaletteFolder) == 279);
static_assert(offsetof(TSharedBlock, DialogRect) == 540);
static_assert(offsetof(TSharedBlock, ChildRects) == 556);
static_assert(offsetof(TSharedBlock, Reserved) == 988);
static_assert(sizeof(TSharedBlock) == 992);

// ---------------------------------------------------------------------------------------------
// Handle fields: 32 bits in the block, pointer-sized in a 64-bit process. Windows sign-extends
// such handles (LongToHandle), so the conversion back does too.
// ---------------------------------------------------------------------------------------------
template <class H>
inline H BlockHandle(std::uint32_t value) noexcept {
    return reinterpret_cast<H>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

template <class H>
inline std::uint32_t ToBlockHandle(H handle) noexcept {
    return static_cast<std::uint32_t>(reinterpret_cast<ULONG_PTR>(handle));
}

// ---------------------------------------------------------------------------------------------
// Texts: at most 260 characters up to the first NUL, and never past the 261 bytes of the field,
// whatever another process wrote there.
// ---------------------------------------------------------------------------------------------
std::string BlockText(const char (&field)[kBlockTextSize]);

// Zero-fills the first `fillCount` bytes of the field and copies at most `fillCount` - 1
// characters of text, so the text always ends inside the zero-filled part. The library fills the
// whole field (up to 260 characters); the controller publishes its folder with a fill of 260
// (up to 259 characters) and leaves the last byte as it is.
void WriteBlockText(char (&field)[kBlockTextSize], std::string_view text,
                    std::size_t fillCount = kBlockTextSize) noexcept;
// The controller's fill when it publishes its palette folder.
inline constexpr std::size_t kPublishedFolderFill = kBlockTextSize - 1;

// ---------------------------------------------------------------------------------------------
// DialogCount: every change is an interlocked compare-exchange on the aligned 32-bit word at
// offset 12 (HookMessage, DialogCount, OnTop), so updates from several processes are never lost
// and the neighbouring fields are never overwritten with stale values.
// ---------------------------------------------------------------------------------------------
std::uint8_t ReadDialogCount(const TSharedBlock& block) noexcept;
void StoreDialogCount(TSharedBlock& block, std::uint8_t value) noexcept;
// +1 for a taken-over dialog; refuses (returns false, count unchanged) when the result would
// reach the probe mark 254, so a user's dialog is never destroyed as a probe.
bool CountDialogIn(TSharedBlock& block) noexcept;
// -1 for a taken-over dialog that ends; never below 0, and never from the probe mark.
void CountDialogOut(TSharedBlock& block) noexcept;
// Drops the dialogs of hosts that ended without counting out (killed, crashed): when the count
// still reads `counted` and only `alive` taken-over dialogs exist, it becomes `alive`. Never
// raises the count, never touches the probe mark, and leaves a count that moved meanwhile alone.
// Answers the count as it stands afterwards.
std::uint8_t ForgetEndedDialogs(TSharedBlock& block, std::uint8_t counted, int alive) noexcept;
// At WM_INITDIALOG: when the count is at 254 or above, sets it to 0 and returns true (this dialog
// is the probe); otherwise leaves it alone and returns false (this dialog is to be taken over).
bool ClaimProbe(TSharedBlock& block) noexcept;
