// DialogPalette.h: the taken-over dialog's palette load and save: the load and save buttons,
// files dropped on the button panel, and the timer tick that types a loaded palette in. Event
// procedures for the framework's controls; they run on the dialog's thread and never throw.
#pragma once

#include "PaletteText.h"
#include "UtilClass.h"

struct TDialogState;

void OnReadClick(TMessageRecord* record) noexcept;
void OnWriteClick(TMessageRecord* record) noexcept;
void OnDropFiles(TMessageRecord* record) noexcept;
void OnLoadTimer(TMessageRecord* record) noexcept;

// The sixteen custom colours as the dialog painted them (cell k at k); false when a cell cannot be
// read truly.
bool ReadCustomCells(const TDialogState& s, pelmira::TPaletteColors& colors);
