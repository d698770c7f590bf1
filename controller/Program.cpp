// Program.cpp: helpers over the controller's process-wide state.
#include "Program.h"

std::string TextAt(int index) {
    if (!TextList) return "index error";
    return TextList->Get(index);
}

TLibraryBlock::TLibraryBlock() noexcept {
    void* view = nullptr;
    // On failure the library has already closed what it opened; only a success is released.
    if (GetFMObj != nullptr && GetFMObj(&section_, &view) == 0) view_ = static_cast<TSharedBlock*>(view);
    if (view_ == nullptr) section_ = nullptr;
}

TLibraryBlock::~TLibraryBlock() {
    if (view_ != nullptr) ReleaseFMObj(section_, view_);
}
