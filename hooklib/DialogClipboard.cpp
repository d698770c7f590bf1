// DialogClipboard.cpp: Ctrl+C and Ctrl+V in the taken-over dialog (see DialogClipboard.h).
#include "DialogClipboard.h"

#include "ClipboardText.h"
#include "ColorText.h"
#include "DialogState.h"
#include "SharedNames.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

// The focus in one of the six number boxes (hue to blue) of this dialog.
bool FocusInNumberBox(const TDialogState& s) {
    HWND focus = ::GetFocus();
    if (focus == nullptr || ::GetParent(focus) != s.Dialog) return false;
    const int id = ::GetDlgCtrlID(focus);
    return id >= kHueBoxId && id <= kBlueBoxId;
}

std::uint8_t BoxValue(HWND box) {
    char text[16] = {};
    ::GetWindowTextA(box, text, sizeof text);
    return static_cast<std::uint8_t>(std::clamp(std::atoi(text), 0, 255));
}

}  // namespace

TClipboardKey ClipboardKeyOf(const TDialogState& s, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || (msg.wParam != 'C' && msg.wParam != 'V')) return TClipboardKey::None;
    // Ctrl+Alt is AltGr on many keyboards: a character, not a command.
    if (!KeyDown(VK_CONTROL) || KeyDown(VK_MENU) || KeyDown(VK_SHIFT)) return TClipboardKey::None;
    if (msg.hwnd != s.Dialog && ::GetAncestor(msg.hwnd, GA_ROOT) != s.Dialog) return TClipboardKey::None;
    if (msg.wParam == 'C') return TClipboardKey::Copy;
    if (FocusInNumberBox(s)) {
        const auto text = ReadClipboardText(s.Dialog);
        if (text && pelmira::IsPlainNumber(*text)) return TClipboardKey::None;
    }
    return TClipboardKey::Paste;
}

void CopyDialogColor(const TDialogState& s) {
    const pelmira::TTextColor color{BoxValue(s.Control(kListRed)), BoxValue(s.Control(kListGreen)),
                                    BoxValue(s.Control(kListBlue))};
    WriteClipboardText(s.Dialog, pelmira::HexColorText(color));
}

void PasteDialogColor(const TDialogState& s) {
    const auto text = ReadClipboardText(s.Dialog);
    const auto color = text ? pelmira::ParseColorText(*text) : std::nullopt;
    if (!color) {
        ShowStatus(s, s.Settings.NotColor);
        return;
    }
    SendColor(s, static_cast<COLORREF>(pelmira::ColorRefOf(*color)));
}
