// Program.cpp: the operation on the hook library's shared block.
#include "Program.h"

TLibraryBlock::TLibraryBlock() noexcept {
    void* view = nullptr;
    // On failure the library has already closed what it opened; only a success is released.
    if (GetFMObj != nullptr && GetFMObj(&section_, &view) == 0) view_ = static_cast<TSharedBlock*>(view);
    if (view_ == nullptr) section_ = nullptr;
}

TLibraryBlock::~TLibraryBlock() {
    if (view_ != nullptr) ReleaseFMObj(section_, view_);
}
