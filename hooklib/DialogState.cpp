// DialogState.cpp: the taken-over dialog's state and the small actions its handlers share.
#include "DialogState.h"

std::unique_ptr<TDialogState> gDialog;

void ShowStatus(const std::string& text) {
    if (gDialog && gDialog->StatusBar != nullptr) gDialog->StatusBar->SetText(0, text);
}

void ShowPaletteName() {
    if (gDialog) ShowStatus(gDialog->CurrentPalette.FileName);
}

RECT DialogWindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void ClickAtCursor() {
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

void SendText(HWND control, const std::string& text) {
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SendColor(const TDialogState& state, COLORREF color) {
    SendText(state.Control(kListRed), IntToText(GetRValue(color)));
    SendText(state.Control(kListGreen), IntToText(GetGValue(color)));
    SendText(state.Control(kListBlue), IntToText(GetBValue(color)));
}

void PressAdd(const TDialogState& state) {
    ::SendMessageA(state.Control(kListAdd), BM_CLICK, 0, 0);
}
