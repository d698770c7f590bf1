// BlockAccess.cpp: reaching the shared block, per operation (TBlockAccess) or through the view
// that the process keeps for hook-side code (HookBlock).
#include "SharedBlock.h"

#include "Exports.h"
#include "Library.h"

#include <atomic>

namespace {

std::atomic<TSharedBlock*> gHookView{nullptr};

TSharedBlock* MapHookView() noexcept {
    HANDLE section = LibrarySection();
    HANDLE opened = nullptr;
    if (section == nullptr) {
        opened = ::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kSectionName);
        section = opened;
    }
    void* view = section ? ::MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
    // A view keeps the section alive by itself, so an opened handle is not needed beyond here.
    if (opened) ::CloseHandle(opened);
    return static_cast<TSharedBlock*>(view);
}

}  // namespace

TSharedBlock* HookBlock() noexcept {
    TSharedBlock* view = gHookView.load(std::memory_order_acquire);
    if (view) return view;
    view = MapHookView();
    if (!view) return nullptr;
    TSharedBlock* expected = nullptr;
    if (!gHookView.compare_exchange_strong(expected, view, std::memory_order_acq_rel)) {
        // Another thread mapped it first: keep one view per process.
        ::UnmapViewOfFile(view);
        view = expected;
    }
    return view;
}

void ReleaseHookBlock() noexcept {
    if (TSharedBlock* view = gHookView.exchange(nullptr)) ::UnmapViewOfFile(view);
}

TBlockAccess::TBlockAccess() noexcept {
    void* view = nullptr;
    status_ = GetFMObj(&section_, &view);
    view_ = static_cast<TSharedBlock*>(view);
}

TBlockAccess::~TBlockAccess() { ReleaseFMObj(section_, view_); }
