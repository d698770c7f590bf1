// APIControl.cpp: the standard controls. Every handler works on a copy of the record and hands
// callbacks a copy whose Msg names the sender; nothing flows back into the window's answer.
#include "APIControl.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------------------------------------
// TAPIControl
// ---------------------------------------------------------------------------------------------

TAPIControl::TAPIControl(HWND parent) : TSelfSubClass(parent) {}

void TAPIControl::AfterCreate() { Listen(WM_COMMAND); }

bool TAPIControl::IsOwnCommand(const TMessageRecord& message) const {
    return message.Msg == WM_COMMAND && Window != nullptr &&
           reinterpret_cast<HWND>(message.LParam) == Window;
}

void TAPIControl::SetText(const std::string& s) { ::SetWindowTextA(Window, s.c_str()); }

void TAPIControl::SetBounds(int x, int y, int width, int height) {
    ::MoveWindow(Window, x, y, width, height, TRUE);
}

int TAPIControl::GetLeft() const {
    RECT r{};
    ::GetWindowRect(Window, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(Handle, &p);
    return p.x;
}

int TAPIControl::GetTop() const {
    RECT r{};
    ::GetWindowRect(Window, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(Handle, &p);
    return p.y;
}

void TAPIControl::SetLeft(int x) {
    ::SetWindowPos(Window, nullptr, x, GetTop(), 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TAPIControl::SetTop(int y) {
    ::SetWindowPos(Window, nullptr, GetLeft(), y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
}

int TAPIControl::Width() const {
    RECT r{};
    ::GetWindowRect(Window, &r);
    return r.right - r.left;
}

int TAPIControl::Height() const {
    RECT r{};
    ::GetWindowRect(Window, &r);
    return r.bottom - r.top;
}

bool TAPIControl::IsEnabled() const { return ::IsWindowEnabled(Window) != FALSE; }

void TAPIControl::SetEnabled(bool enabled) { ::EnableWindow(Window, enabled ? TRUE : FALSE); }

void TAPIControl::SetVisible(bool visible) { ::ShowWindow(Window, visible ? SW_SHOWNORMAL : SW_HIDE); }

#if !PELMIRA_HOOKLIB
// Controller build only: the buttons, check boxes, radio buttons, edits and combo boxes of the
// main window and its dialogs. The colour dialog brings its own controls; the hook library
// only subclasses them through TAPIControl.

namespace {

// Every standard control is a visible, clipped child that takes part in tab order.
constexpr DWORD kChildStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP;  // 0x54010000

void FillParams(TAPICreateParams& params, const char* caption, DWORD style, DWORD exStyle, int x, int y,
                int width, int height, const char* className) {
    params.Caption = caption;
    params.Style = style;
    params.ExStyle = exStyle;
    params.X = x;
    params.Y = y;
    params.Width = width;
    params.Height = height;
    lstrcpynA(params.ClassName, className, sizeof(params.ClassName));
}

WORD NotifyCode(const TMessageRecord& message) { return HIWORD(message.WParam); }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Buttons
// ---------------------------------------------------------------------------------------------

TAPIButton::TAPIButton(HWND parent) : TAPIControl(parent) {}

void TAPIButton::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "APIButton", kChildStyle | BS_PUSHBUTTON, 0, 0, 0, 0, 0, "BUTTON");
}

void TAPIButton::DefaultHandler(TMessageRecord& message) {
    if (IsOwnCommand(message) && NotifyCode(message) == BN_CLICKED) FireEvent(OnClick, message, this);
}

TAPICheckBox::TAPICheckBox(HWND parent) : TAPIControl(parent) {}

void TAPICheckBox::GetCreateParams(TAPICreateParams& params) {
    // BS_3STATE does not check itself: the mark shows what SetChecked last sent.
    FillParams(params, "APICheckBox", kChildStyle | BS_3STATE, 0, 50, 50, 150, 32, "BUTTON");
}

void TAPICheckBox::AfterCreate() {
    TAPIControl::AfterCreate();
    Checked = false;
    Locked = false;
}

void TAPICheckBox::SetChecked(bool checked) {
    Checked = checked;
    ::SendMessageA(Window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TAPICheckBox::DefaultHandler(TMessageRecord& message) {
    if (Locked) return;
    if (IsOwnCommand(message) && NotifyCode(message) == BN_CLICKED) {
        SetChecked(!Checked);
        FireEvent(OnClick, message, this);
    }
}

namespace {

// The radio buttons alive in this process. A window property only tells that some framework
// object is bound to a window; this list tells which of those objects are radio buttons.
std::vector<TAPIRadioButton*>& RadioButtons() {
    static std::vector<TAPIRadioButton*> buttons;
    return buttons;
}

struct GroupClear {
    int Group;
};

BOOL CALLBACK UncheckGroupMember(HWND child, LPARAM lParam) noexcept {
    const auto* clear = reinterpret_cast<const GroupClear*>(lParam);
    TAPIRadioButton* button = TAPIRadioButton::FromWindow(child);
    if (button != nullptr && button->Group == clear->Group)
        ::SendMessageA(child, BM_SETCHECK, BST_UNCHECKED, 0);
    return TRUE;
}

}  // namespace

TAPIRadioButton::TAPIRadioButton(HWND parent) : TAPIControl(parent) { RadioButtons().push_back(this); }

TAPIRadioButton::~TAPIRadioButton() {
    auto& buttons = RadioButtons();
    buttons.erase(std::remove(buttons.begin(), buttons.end(), this), buttons.end());
}

TAPIRadioButton* TAPIRadioButton::FromWindow(HWND window) {
    HANDLE bound = ::GetPropA(window, "OBJECT");
    if (bound == nullptr) return nullptr;
    for (TAPIRadioButton* button : RadioButtons())
        if (static_cast<TSelfSubClass*>(button) == bound && button->Window == window) return button;
    return nullptr;
}

void TAPIRadioButton::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "APIRadioButton", kChildStyle | BS_RADIOBUTTON, 0, 50, 50, 150, 32, "BUTTON");
}

void TAPIRadioButton::AfterCreate() {
    TAPIControl::AfterCreate();
    Group = 0;
}

bool TAPIRadioButton::GetChecked() const {
    return ::SendMessageA(Window, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TAPIRadioButton::SetChecked(bool checked) {
    ::SendMessageA(Window, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TAPIRadioButton::DefaultHandler(TMessageRecord& message) {
    if (!IsOwnCommand(message) || NotifyCode(message) != BN_CLICKED) return;
    if (Group != 0) {
        // Groups are found anew at each click, so buttons may join or leave at any time.
        GroupClear clear{Group};
        ::EnumChildWindows(Handle, &UncheckGroupMember, reinterpret_cast<LPARAM>(&clear));
        SetChecked(true);
    } else {
        SetChecked(!GetChecked());
    }
    FireEvent(OnClick, message, this);
}

TAPIPushRadio::TAPIPushRadio(HWND parent) : TAPIRadioButton(parent) {}

void TAPIPushRadio::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "APIPushRadio", kChildStyle | BS_RADIOBUTTON | BS_PUSHLIKE, 0, 50, 50, 150, 32,
               "BUTTON");
}

// ---------------------------------------------------------------------------------------------
// Edits
// ---------------------------------------------------------------------------------------------

TAPIEditBase::TAPIEditBase(HWND parent) : TAPIControl(parent) {}

void TAPIEditBase::AfterCreate() {
    TAPIControl::AfterCreate();
    BackColor = ::GetSysColor(COLOR_WINDOW);
    TextColor = ::GetSysColor(COLOR_WINDOWTEXT);
}

int TAPIEditBase::TextLength() const {
    return static_cast<int>(::SendMessageA(Window, WM_GETTEXTLENGTH, 0, 0));
}

std::string TAPIEditBase::GetText() const {
    const int length = TextLength();
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto copied = ::SendMessageA(Window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void TAPIEditBase::SetText(const std::string& s) {
    ::SendMessageA(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TAPIEditBase::SetCaret(int position) { ::SendMessageA(Window, EM_SETSEL, position, position); }

void TAPIEditBase::FireChange(const TMessageRecord& message) { FireEvent(OnChange, message, this); }

void TAPIEditBase::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_KEYUP || message.Msg == WM_LBUTTONUP) {
        // Only the parent's WM_COMMAND is heard through the dispatcher, so these are the edit's own.
        TMessageRecord local = message;
        if (OnKeyOrMouseUp != nullptr) OnKeyOrMouseUp(&local);
        return;
    }
    if (!IsOwnCommand(message)) return;
    switch (NotifyCode(message)) {
    case EN_SETFOCUS: FireEvent(OnSetFocus, message, this); break;
    case EN_KILLFOCUS: FireEvent(OnKillFocus, message, this); break;
    case EN_CHANGE: FireChange(message); break;
    case EN_UPDATE: FireEvent(OnUpdate, message, this); break;
    case EN_ERRSPACE:
    case EN_MAXTEXT:
        ::MessageBoxA(Handle, "Edit Control Buffer Full!", "Warning", MB_OK);
        break;
    default: break;
    }
}

TAPIEditAbout::TAPIEditAbout(HWND parent) : TAPIControl(parent) {}

void TAPIEditAbout::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "", kChildStyle | ES_READONLY, 0, 50, 50, 150, 32, "EDIT");
}

void TAPIEditAbout::SetText(const std::string& s) {
    ::SendMessageA(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.c_str()));
}

void TAPIEditAbout::DefaultHandler(TMessageRecord& message) {
    if (message.Msg != WM_LBUTTONUP) return;
    TMessageRecord local = message;
    local.LParam = reinterpret_cast<LPARAM>(Window);
    if (OnClick != nullptr) OnClick(&local);
}

TAPIMemo::TAPIMemo(HWND parent) : TAPIEditBase(parent) {}

void TAPIMemo::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "", kChildStyle | WS_VSCROLL | ES_WANTRETURN | ES_NOHIDESEL | ES_AUTOVSCROLL | ES_MULTILINE,
               WS_EX_CLIENTEDGE, 50, 50, 150, 32, "EDIT");
}

void TAPIMemo::AfterCreate() {
    TAPIEditBase::AfterCreate();
    // 0 asks for the largest limit the control allows instead of the default 32,767 characters.
    ::SendMessageA(Window, EM_LIMITTEXT, 0, 0);
}

void TAPIMemo::ScrollCaret() { ::SendMessageA(Window, EM_SCROLLCARET, 0, 0); }

TAPIMemoNext::TAPIMemoNext(HWND parent, DWORD style, DWORD exStyle)
    : TAPIMemo(parent), CreationStyle(style), CreationExStyle(exStyle) {}

void TAPIMemoNext::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "", CreationStyle, CreationExStyle, 50, 50, 150, 32, "EDIT");
}

void TAPIMemoNext::FireChange(const TMessageRecord& message) {
    TMessageRecord local = message;
    local.Msg = reinterpret_cast<UINT_PTR>(this);
    local.WParam = static_cast<WPARAM>(Tag);
    if (OnChange != nullptr) OnChange(&local);
}

// ---------------------------------------------------------------------------------------------
// Combo boxes
// ---------------------------------------------------------------------------------------------

TAPIComboBoxBase::TAPIComboBoxBase(HWND parent) : TAPIControl(parent) {}

TAPISMPCombo::TAPISMPCombo(HWND parent) : TAPIComboBoxBase(parent) {}

void TAPISMPCombo::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "", kChildStyle | WS_VSCROLL | CBS_SIMPLE | CBS_AUTOHSCROLL | CBS_HASSTRINGS,
               WS_EX_CLIENTEDGE, 50, 50, 150, 32, "COMBOBOX");
}

int TAPISMPCombo::AddString(const std::string& s) {
    return static_cast<int>(::SendMessageA(Window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str())));
}

int TAPISMPCombo::InsertString(const std::string& s, int index) {
    return static_cast<int>(
        ::SendMessageA(Window, CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(s.c_str())));
}

int TAPISMPCombo::DeleteString(int index) {
    return static_cast<int>(::SendMessageA(Window, CB_DELETESTRING, static_cast<WPARAM>(index), 0));
}

int TAPISMPCombo::ItemCount() const { return static_cast<int>(::SendMessageA(Window, CB_GETCOUNT, 0, 0)); }

int TAPISMPCombo::CurSel() const { return static_cast<int>(::SendMessageA(Window, CB_GETCURSEL, 0, 0)); }

std::string TAPISMPCombo::GetItemText(int index) const {
    // CB_ERR (-1) for an index with no item, e.g. after a selection was cleared.
    const auto length = ::SendMessageA(Window, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) return std::string();
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const auto copied =
        ::SendMessageA(Window, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

std::string TAPISMPCombo::SelectedText() const { return GetItemText(CurSel()); }

std::string TAPISMPCombo::WindowText() const {
    char buffer[256] = {};
    ::SendMessageA(Window, WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer);
}

void TAPISMPCombo::SetCurSel(int index) {
    if (index == CurSel()) return;
    ::SendMessageA(Window, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // CB_SETCURSEL sends no CBN_SELCHANGE; report it the way the user's selection is reported.
    TMessageRecord record{WM_COMMAND, MAKEWPARAM(ID, CBN_SELCHANGE), reinterpret_cast<LPARAM>(Window), 0};
    Dispatch(record);
}

void TAPISMPCombo::DefaultHandler(TMessageRecord& message) {
    if (!IsOwnCommand(message)) return;
    switch (NotifyCode(message)) {
    case CBN_SELCHANGE:
        Text = SelectedText();
        FireEvent(OnSelChange, message, this);
        break;
    case CBN_EDITCHANGE:
        Text = WindowText();
        FireEvent(OnEditChange, message, this);
        break;
    case static_cast<WORD>(CBN_ERRSPACE):
        ::MessageBoxA(Handle, "ComboBox Control Buffer Full!", "Warning", MB_OK);
        break;
    default: break;
    }
}

TAPIDDCombo::TAPIDDCombo(HWND parent) : TAPISMPCombo(parent) {}

void TAPIDDCombo::GetCreateParams(TAPICreateParams& params) {
    FillParams(params, "", kChildStyle | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL | CBS_HASSTRINGS,
               WS_EX_CLIENTEDGE, 50, 50, 150, 32, "COMBOBOX");
}

// ---------------------------------------------------------------------------------------------
// Factories
// ---------------------------------------------------------------------------------------------

namespace {
// The set-up the factories of the clickable controls share: bounds, caption and click handler.
template <class TControl>
TControl* NewClickable(HWND parent, int x, int y, int width, int height, const std::string& caption,
                       TEventProc onClick) {
    auto* control = NewPlacedControl<TControl>(TControlPlace{x, y, width, height, caption.c_str()}, parent);
    control->OnClick = onClick;
    return control;
}
}  // namespace

TAPIButton* CreateButton(HWND parent, int x, int y, int width, int height, const std::string& caption,
                         TEventProc onClick) {
    return NewClickable<TAPIButton>(parent, x, y, width, height, caption, onClick);
}

TAPICheckBox* CreateCheckBox(HWND parent, int x, int y, int width, int height, const std::string& caption,
                             TEventProc onClick) {
    return NewClickable<TAPICheckBox>(parent, x, y, width, height, caption, onClick);
}

TAPIPushRadio* CreatePushRadio(HWND parent, int x, int y, int width, int height, const std::string& caption,
                               int group, TEventProc onClick) {
    auto* radio = NewClickable<TAPIPushRadio>(parent, x, y, width, height, caption, onClick);
    radio->Group = group;
    return radio;
}

TAPIMemoNext* CreateMemoNext(HWND parent, int x, int y, int width, int height, DWORD style, DWORD exStyle,
                             INT_PTR tag) {
    auto* memo = NewPlacedControl<TAPIMemoNext>(TControlPlace{x, y, width, height}, parent, style, exStyle);
    memo->Tag = tag;
    return memo;
}

TAPIEditAbout* CreateEditAbout(HWND parent, int x, int y, int width, int height) {
    auto* edit = NewPlacedControl<TAPIEditAbout>(TControlPlace{x, y, width, height}, parent);
    return edit;
}

TAPIDDCombo* CreateDropDownCombo(HWND parent, int x, int y, int width, int height, TEventProc onSelChange) {
    auto* combo = NewPlacedControl<TAPIDDCombo>(TControlPlace{x, y, width, height}, parent);
    combo->OnSelChange = onSelChange;
    return combo;
}

#endif  // !PELMIRA_HOOKLIB
