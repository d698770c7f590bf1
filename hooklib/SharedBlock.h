// SharedBlock.h: the 992-byte record shared by the controller and every hooked process through
// the named section "PelmiraXP", and the ways to reach it.
// - HookBlock(): the one view each process keeps for code that runs inside the hook (the hook
//   procedure and the dialog take-over); mapped on first use, unmapped when the library unloads.
// - TBlockAccess: open, map, release around one operation (GetFMObj / ReleaseFMObj), for exports.
// The block has no lock. DialogCount is only changed through the interlocked helpers below; texts
// are only read through BlockText, which never reads past the field.
#pragma once

#include "Config.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr char kSectionName[] = "PelmiraXP";
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

// Zero-fills the first `fillCount` bytes of the field and copies at most 260 characters of text.
void WriteBlockText(char (&field)[kBlockTextSize], std::string_view text,
                    std::size_t fillCount = kBlockTextSize) noexcept;

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
// -1 for a taken-over dialog that ends; never below 0.
void CountDialogOut(TSharedBlock& block) noexcept;
// At WM_INITDIALOG: when the count is at 254 or above, sets it to 0 and returns true (this dialog
// is the probe); otherwise leaves it alone and returns false (this dialog is to be taken over).
bool ClaimProbe(TSharedBlock& block) noexcept;

// ---------------------------------------------------------------------------------------------
// Reaching the block
// ---------------------------------------------------------------------------------------------

// The process's long-lived view for hook-side code (any thread). Null when the section can
// neither be created nor opened. Never unmap it; the library does so when it unloads.
TSharedBlock* HookBlock() noexcept;

// One operation on the block: GetFMObj in the constructor, ReleaseFMObj in the destructor.
class TBlockAccess {
public:
    TBlockAccess() noexcept;
    ~TBlockAccess();
    TBlockAccess(const TBlockAccess&) = delete;
    TBlockAccess& operator=(const TBlockAccess&) = delete;

    // 0 when opened; -1 no section; -2 the view could not be mapped (GetFMObj's values).
    std::int32_t Status() const noexcept { return status_; }
    TSharedBlock* Block() const noexcept { return view_; }
    explicit operator bool() const noexcept { return view_ != nullptr; }
    TSharedBlock* operator->() const noexcept { return view_; }

private:
    HANDLE section_ = nullptr;
    TSharedBlock* view_ = nullptr;
    std::int32_t status_ = -1;
};
