// Eyedropper.h: the taken-over dialog's eyedropper button (drag it to pick the colour under the
// cursor, optionally rounded to web-safe values) and set-colour button (put the picked colour into
// a custom cell). Event procedures for the framework's controls; they run on the dialog's thread
// and never throw.
#pragma once

#include "UtilClass.h"

void OnSpuitDrag(TMessageRecord* record) noexcept;
void OnSpuitRelease(TMessageRecord* record) noexcept;
void OnSetColorClick(TMessageRecord* record) noexcept;
void OnApplyTimer(TMessageRecord* record) noexcept;
