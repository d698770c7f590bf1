// Eyedropper.h: the taken-over dialog's eyedropper button (drag it to pick the colour under the
// cursor, optionally rounded to web-safe values, with a magnifier beside the pointer) and
// set-colour button (put the picked colour into a custom cell). Event procedures for the framework's controls; they run on the dialog's thread
// and never throw.
#pragma once

#include "UtilClass.h"

void OnSpuitDrag(TMessageRecord* record) noexcept;
void OnSpuitRelease(TMessageRecord* record) noexcept;
// A key typed while the eyedropper is dragged: the arrow keys move the pointer and the pick by one
// pixel (with Shift, ten); Esc drops the press as a deactivation does (the button shows its saved
// colour again). True when the key was one of these and is used up.
bool OnSpuitKey(const MSG& msg) noexcept;
void OnSetColorClick(TMessageRecord* record) noexcept;
void OnApplyTimer(TMessageRecord* record) noexcept;
