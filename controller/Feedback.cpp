// Feedback.cpp: texts, status bar, accelerator switch and check states (see Feedback.h).
#include "Feedback.h"

#include "CommandIds.h"
#include "ControllerState.h"

std::string TextAt(int index) {
    if (!State.TextList) return "index error";
    return State.TextList->Get(index);
}

std::string StatusText(int k) { return TextAt(State.StatusBase + k); }

std::string MessageText(int n) { return TextAt(State.MessageBase + n); }

void SetStatusText(const std::string& text) {
    if (State.MainForm.StatusBar != nullptr) State.MainForm.StatusBar->SetText(0, text);
}

void ShowStatusMessage(int k) { SetStatusText(StatusText(k)); }

void SetAcceleratorsEnabled(bool on) {
    const TAccelTable* table = State.MainForm.Accelerators;
    State.CurrentAccel = on && table != nullptr ? table->AccelHandle : nullptr;
}

namespace {
int OpenModals = 0;
}  // namespace

TModalScope::TModalScope() noexcept { ++OpenModals; }
TModalScope::~TModalScope() { --OpenModals; }

bool ModalOpen() { return OpenModals > 0; }

bool DeferToOpenModal() {
    if (!ModalOpen()) return false;
    ::MessageBeep(0xFFFFFFFF);
    // The box is an owned popup of the main window, which is the last one active.
    const HWND owner = Window();
    const HWND box = owner != nullptr ? ::GetLastActivePopup(owner) : nullptr;
    if (box != nullptr && box != owner) ::SetForegroundWindow(box);
    return true;
}

int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
    TModalScope modal;
    return ::MessageBoxA(Window(), text.c_str(), caption.c_str(), type);
}

namespace {
unsigned KeyHolders = 0;
}  // namespace

void HoldKeys(TKeyHolder holder, bool held) {
    const auto bit = static_cast<unsigned>(holder);
    KeyHolders = held ? KeyHolders | bit : KeyHolders & ~bit;
    SetAcceleratorsEnabled(KeyHolders == 0);
}

bool MenuItemChecked(UINT id) {
    const TMainForm& form = State.MainForm;
    switch (id) {
    case kCmdOnTop:
    case kCmdSuspend:
        return form.TrayMenu != nullptr && form.TrayMenu->IsChecked(id);
    case kCmdDialog:
    case kCmdWebSafe:
    case kCmdTrayIcon:
        return form.SystemMenu != nullptr && form.SystemMenu->IsChecked(id);
    default:
        return false;
    }
}

bool ExtensionButtonDown() {
    return State.MainForm.Extension != nullptr && State.MainForm.Extension->GetChecked();
}

bool OnTopButtonDown() { return State.MainForm.OnTop != nullptr && State.MainForm.OnTop->GetChecked(); }
