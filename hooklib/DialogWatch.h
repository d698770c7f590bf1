// DialogWatch.h: TDialogWatch, the subclass that watches a taken-over dialog's own messages and
// owns its state. Made at the end of the take-over, on the dialog's thread; the framework frees it
// at the dialog's WM_DESTROY, which ends the take-over whether or not the hook is still installed.
#pragma once

#include "UtilClass.h"

#include <memory>

struct TDialogState;

// A deactivation to another thread drops any press of the panel buttons (their capture would
// otherwise outlive the dialog's focus), every add is counted, and a resize repaints the whole
// status bar.
class TDialogWatch : public TSubClass {
public:
    // Binds the state to the dialog for as long as the watch lives.
    TDialogWatch(HWND dialog, std::unique_ptr<TDialogState> state);
    // Ends the take-over (EndTakeOver) if the hook has not, then unbinds and frees the state.
    ~TDialogWatch() override;

    void DefaultHandler(TMessageRecord& message) override;

private:
    std::unique_ptr<TDialogState> state_;
};
