// DialogWatch.h: TDialogWatch, the subclass that watches a taken-over dialog's own messages.
// Made at the take-over, on the dialog's thread; the framework frees it with the dialog.
#pragma once

#include "UtilClass.h"

// A deactivation to another thread drops any press of the panel buttons (their capture would
// otherwise outlive the dialog's focus), every add is counted, and a resize repaints the whole
// status bar.
class TDialogWatch : public TSubClass {
public:
    explicit TDialogWatch(HWND dialog);

    void DefaultHandler(TMessageRecord& message) override;
};
