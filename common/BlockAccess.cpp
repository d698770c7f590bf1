// BlockAccess.cpp: one operation on the shared block (see BlockAccess.h).
#include "BlockAccess.h"

TBlockAccess::TBlockAccess(TOpenBlockProc open, TReleaseBlockProc release) noexcept : release_(release) {
    if (open == nullptr) return;
    void* view = nullptr;
    status_ = open(&section_, &view);
    // On failure the opener has already closed what it opened: only a success is released.
    if (status_ == 0) view_ = static_cast<TSharedBlock*>(view);
    if (view_ == nullptr) section_ = nullptr;
}

TBlockAccess::~TBlockAccess() {
    if (view_ != nullptr && release_ != nullptr) release_(section_, view_);
}
