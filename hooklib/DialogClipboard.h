// DialogClipboard.h: the taken-over dialog's colour as clipboard text. Ctrl+C puts the colour
// of the red, green and blue boxes on the clipboard as "#RRGGBB"; Ctrl+V types a colour text
// from the clipboard into the three boxes, and a text that names no colour changes nothing but
// the status bar. The keys come from the panel's key hook (PanelKeys.cpp); the work runs on the
// dialog's thread outside the hook call.
#pragma once

#include "Config.h"

struct TDialogState;

enum class TClipboardKey { None, Copy, Paste };

// Which of the two keys the message is, in the dialog. A plain number on the clipboard with the
// focus in one of the dialog's number boxes is None: the box pastes it as its own text.
TClipboardKey ClipboardKeyOf(const TDialogState& state, const MSG& msg);

void CopyDialogColor(const TDialogState& state);
void PasteDialogColor(const TDialogState& state);
