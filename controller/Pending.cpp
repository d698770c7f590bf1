// Pending.cpp: stand-ins for palette-library and palette-file functions that are not written
// yet, so the controller links and runs. Each does nothing (or answers the neutral value).
// Whoever writes one of these removes its stand-in here in the same commit.
#include "PaletteList.h"
#include "PaletteOps.h"

#include "MainWindow.h"
