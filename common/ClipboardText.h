// ClipboardText.h: plain text (CF_TEXT) on the clipboard, each call one short open-use-close of
// the clipboard on the calling thread, so that no other program is kept from it.
#pragma once

#include "Config.h"

#include <optional>
#include <string>

// The clipboard's text, or nothing when it holds none or another program has it open.
std::optional<std::string> ReadClipboardText(HWND owner);
// Replaces the clipboard's contents by the text; false when the clipboard could not be had.
bool WriteClipboardText(HWND owner, const std::string& text);
