// HookBlock.cpp: the view of the shared block that the process keeps for hook-side code.
#include "HookBlock.h"

#include "Library.h"
#include "ScopedHandles.h"

#include <atomic>

namespace {

std::atomic<TSharedBlock*> gHookView{nullptr};

TSharedBlock* MapHookView() noexcept {
    HANDLE section = LibrarySection();
    // A view keeps the section alive by itself, so an opened handle is not needed beyond here.
    TScopedHandle opened;
    if (section == nullptr) {
        opened.Reset(::OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kSectionName));
        section = opened.Get();
    }
    void* view = section ? ::MapViewOfFile(section, FILE_MAP_ALL_ACCESS, 0, 0, 0) : nullptr;
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
