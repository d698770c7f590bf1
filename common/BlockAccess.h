// BlockAccess.h: one operation on the shared block: the section opened and mapped in the
// constructor, unmapped and closed in the destructor, nothing kept mapped in between.
// Both sides go through the hook library's exports GetFMObj / ReleaseFMObj: the library calls its
// own, the controller the ones it bound by name, so each passes the pair it has. Any thread;
// one object is used by one thread.
#pragma once

#include "Config.h"
#include "SharedBlock.h"

#include <cstdint>

// GetFMObj: 0 opened and mapped; -1 no section (nothing open); -2 not mappable (the section
// handle closed again). On failure both outputs are null.
using TOpenBlockProc = std::int32_t(WINAPI*)(HANDLE* section, void** view);
using TReleaseBlockProc = void(WINAPI*)(HANDLE section, void* view);

class TBlockAccess {
public:
    // A null `open` (library not bound) gives an access without a block, status -1.
    TBlockAccess(TOpenBlockProc open, TReleaseBlockProc release) noexcept;
    ~TBlockAccess();
    TBlockAccess(const TBlockAccess&) = delete;
    TBlockAccess& operator=(const TBlockAccess&) = delete;

    // 0 when opened; otherwise GetFMObj's failure value.
    std::int32_t Status() const noexcept { return status_; }
    TSharedBlock* Block() const noexcept { return view_; }
    explicit operator bool() const noexcept { return view_ != nullptr; }
    TSharedBlock* operator->() const noexcept { return view_; }

private:
    TReleaseBlockProc release_;
    HANDLE section_ = nullptr;
    TSharedBlock* view_ = nullptr;
    std::int32_t status_ = -1;
};
