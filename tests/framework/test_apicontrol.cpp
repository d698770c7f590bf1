// Standard control objects on a real parent window: clicks, typing and selections go through the
// controls' own window procedures and reach the objects as the parent's WM_COMMAND.
#include <gtest/gtest.h>

#include "Config.h"
#include "APIControl.h"
#include "WindowTestSupport.h"

#include <string>
#include <vector>

namespace {

// One top-level window for the run (destroying top-level windows is slow under Wine without a
// window manager); each test builds its controls on a child "form" of it.
HWND Stage() {
    static HWND stage = [] {
        HWND window = CreateStageWindow("PelmiraControlForm", ButtonFaceBrush(), 0, "stage", WS_POPUP | WS_VISIBLE,
                                        30, 30, 420, 320);
        ::UpdateWindow(window);
        return window;
    }();
    return stage;
}

class Form {
public:
    Form() {
        handle_ = ::CreateWindowExA(WS_EX_CONTROLPARENT, "PelmiraControlForm", "", WS_CHILD | WS_VISIBLE, 0, 0, 400,
                                    300, Stage(), nullptr, ::GetModuleHandleA(nullptr), nullptr);
        Pump();
    }
    ~Form() {
        if (::IsWindow(handle_)) ::DestroyWindow(handle_);
        Pump();
    }
    operator HWND() const { return handle_; }

private:
    HWND handle_;
};

// Callback bookkeeping: every call is kept with the record it received.
std::vector<std::pair<std::string, TMessageRecord>> gCalls;
void Note(const char* name, const TMessageRecord* m) { gCalls.emplace_back(name, *m); }
void OnClickProc(TMessageRecord* m) { Note("click", m); }
void OnSelChangeProc(TMessageRecord* m) { Note("selchange", m); }
void OnEditChangeProc(TMessageRecord* m) { Note("editchange", m); }
void OnChangeProc(TMessageRecord* m) { Note("change", m); }
void OnUpdateProc(TMessageRecord* m) { Note("update", m); }
void OnSetFocusProc(TMessageRecord* m) { Note("setfocus", m); }
void OnKillFocusProc(TMessageRecord* m) { Note("killfocus", m); }
void OnKeyOrMouseUpProc(TMessageRecord* m) { Note("keyormouseup", m); }

int CallCount(const char* name) {
    int n = 0;
    for (const auto& call : gCalls)
        if (call.first == name) ++n;
    return n;
}

const TMessageRecord& LastCall(const char* name) {
    static const TMessageRecord none{};
    for (auto it = gCalls.rbegin(); it != gCalls.rend(); ++it)
        if (it->first == name) return it->second;
    return none;
}

template <class T>
T* Sender(const TMessageRecord& m) {
    return reinterpret_cast<T*>(m.Msg);
}

// Answers every message box "Warning" that this thread opens (its modal loop runs our thread
// timer), keeping the texts it showed.
class WarningCatcher {
public:
    WarningCatcher() {
        seen().clear();
        timer_ = ::SetTimer(nullptr, 0, 30, &WarningCatcher::Tick);
    }
    ~WarningCatcher() { ::KillTimer(nullptr, timer_); }
    static std::vector<std::string>& seen() {
        static std::vector<std::string> texts;
        return texts;
    }

private:
    static BOOL CALLBACK CollectText(HWND child, LPARAM text) noexcept {
        char buffer[256] = {};
        ::GetWindowTextA(child, buffer, sizeof(buffer));
        *reinterpret_cast<std::string*>(text) += std::string(buffer) + "|";
        return TRUE;
    }
    static BOOL CALLBACK CloseWarning(HWND window, LPARAM) noexcept {
        char title[64] = {};
        ::GetWindowTextA(window, title, sizeof(title));
        if (std::string(title) != "Warning" || !::IsWindowVisible(window)) return TRUE;
        std::string text;
        ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&text));
        seen().push_back(text);
        ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
        ::EnumThreadWindows(::GetCurrentThreadId(), &CloseWarning, 0);
    }
    UINT_PTR timer_;
};

class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { gCalls.clear(); }
    Form form;
};

DWORD StyleOf(HWND window) { return static_cast<DWORD>(::GetWindowLongPtrA(window, GWL_STYLE)); }

// --- buttons ----------------------------------------------------------------------------------

TEST_F(ControlTest, ButtonClickReachesOnlyItsOwnObject) {
    auto* first = CreateButton(form, 10, 10, 80, 24, "&First", &OnClickProc);
    auto* second = CreateButton(form, 100, 10, 80, 24, "Second", &OnClickProc);
    HWND plain = ::CreateWindowExA(0, "BUTTON", "plain", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 200, 10, 80, 24, form,
                                   reinterpret_cast<HMENU>(99), nullptr, nullptr);
    EXPECT_EQ(second->ID, first->ID + 1) << "ids come from one counter";
    EXPECT_EQ(::GetDlgCtrlID(first->Window), first->ID);
    char caption[32] = {};
    ::GetWindowTextA(first->Window, caption, sizeof(caption));
    EXPECT_STREQ(caption, "&First");
    EXPECT_EQ(first->Width(), 80);

    ::SendMessageA(first->Window, BM_CLICK, 0, 0);
    ASSERT_EQ(gCalls.size(), 1u);
    EXPECT_EQ(Sender<TAPIButton>(gCalls[0].second), first);
    EXPECT_EQ(gCalls[0].second.LParam, reinterpret_cast<LPARAM>(first->Window));

    ::SendMessageA(plain, BM_CLICK, 0, 0);
    // Notifications of every kind from a window that is not theirs.
    for (WORD code : {WORD(BN_CLICKED), WORD(CBN_SELCHANGE), WORD(EN_CHANGE), WORD(EN_SETFOCUS)})
        ::SendMessageA(form, WM_COMMAND, MAKEWPARAM(99, code), reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(gCalls.size(), 1u);
}

TEST_F(ControlTest, ControlsStartWithTheirOwnCaptionAndPlace) {
    auto* box = NewControl<TAPICheckBox>(static_cast<HWND>(form));
    char caption[32] = {};
    ::GetWindowTextA(box->Window, caption, sizeof(caption));
    EXPECT_STREQ(caption, "APICheckBox");
    EXPECT_EQ(box->GetLeft(), 50);
    EXPECT_EQ(box->GetTop(), 50);
    EXPECT_EQ(box->Width(), 150);
    EXPECT_EQ(box->Height(), 32);
    EXPECT_EQ(StyleOf(box->Window) & 0xFFFF000Fu, 0x54010005u);

    box->SetBounds(5, 6, 70, 25);
    box->SetLeft(20);
    EXPECT_EQ(box->GetLeft(), 20);
    EXPECT_EQ(box->GetTop(), 6);
    EXPECT_EQ(box->Width(), 70);
    box->SetTop(9);
    EXPECT_EQ(box->GetLeft(), 20);
    EXPECT_EQ(box->GetTop(), 9);
    box->SetEnabled(false);
    EXPECT_FALSE(box->IsEnabled());
    box->SetVisible(false);
    EXPECT_FALSE(::IsWindowVisible(box->Window));
}

namespace {
// Text changes and moves or resizes sent to windows of this thread while the hook is in.
struct TLateChange {
    HWND Window;
    UINT Message;
};
std::vector<TLateChange> gChanges;
LRESULT CALLBACK NoteChange(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        const bool placed = call->message == WM_WINDOWPOSCHANGING &&
                            (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & (SWP_NOMOVE | SWP_NOSIZE)) !=
                                (SWP_NOMOVE | SWP_NOSIZE);
        if (placed || call->message == WM_SETTEXT) gChanges.push_back({call->hwnd, call->message});
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}  // namespace

TEST_F(ControlTest, FactoryControlsAreMadeAtTheirPlaceWithTheirTextNotMovedOrRetitledAfter) {
    // Every move or retitle after creation is another round of messages and a redraw, for each of
    // the controller's controls at its start.
    gChanges.clear();
    HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, NoteChange, nullptr, ::GetCurrentThreadId());
    auto* button = CreateButton(form, 12, 14, 90, 24, "Load", nullptr);
    auto* box = CreateCheckBox(form, 12, 44, 90, 20, "Folder", nullptr);
    auto* memo = CreateMemoNext(form, 110, 14, 120, 40, WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 3);
    ::UnhookWindowsHookEx(hook);
    for (const TLateChange& change : gChanges) {
        EXPECT_NE(change.Window, button->Window) << "message " << change.Message;
        EXPECT_NE(change.Window, box->Window) << "message " << change.Message;
        EXPECT_NE(change.Window, memo->Window) << "message " << change.Message;
    }
    EXPECT_EQ(TextOf(button->Window), "Load");
    EXPECT_EQ(TextOf(box->Window), "Folder");
    EXPECT_EQ(button->GetLeft(), 12);
    EXPECT_EQ(button->GetTop(), 14);
    EXPECT_EQ(button->Width(), 90);
    EXPECT_EQ(button->Height(), 24);
    EXPECT_EQ(box->GetTop(), 44);
    EXPECT_EQ(memo->GetLeft(), 110);
    EXPECT_EQ(memo->Height(), 40);
    EXPECT_EQ(memo->Tag, 3);
}

TEST_F(ControlTest, CheckBoxTogglesOnEveryClickAndNeverShowsIndeterminate) {
    auto* box = CreateCheckBox(form, 10, 10, 120, 24, "Check", &OnClickProc);
    EXPECT_FALSE(box->Checked);
    for (int i = 1; i <= 3; ++i) {
        ::SendMessageA(box->Window, BM_CLICK, 0, 0);
        const LRESULT shown = ::SendMessageA(box->Window, BM_GETCHECK, 0, 0);
        EXPECT_EQ(shown, i % 2 == 1 ? BST_CHECKED : BST_UNCHECKED) << "click " << i;
    }
    EXPECT_TRUE(box->Checked);
    EXPECT_EQ(CallCount("click"), 3);
    EXPECT_EQ(Sender<TAPICheckBox>(LastCall("click")), box);
}

TEST_F(ControlTest, LockedCheckBoxIgnoresClicks) {
    auto* box = CreateCheckBox(form, 10, 10, 120, 24, "Check", &OnClickProc);
    box->SetChecked(true);
    box->Locked = true;
    ::SendMessageA(box->Window, BM_CLICK, 0, 0);
    EXPECT_TRUE(box->Checked);
    EXPECT_EQ(::SendMessageA(box->Window, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(CallCount("click"), 0);
    box->Locked = false;
    ::SendMessageA(box->Window, BM_CLICK, 0, 0);
    EXPECT_FALSE(box->Checked);
    EXPECT_EQ(CallCount("click"), 1);
}

// --- radio buttons ----------------------------------------------------------------------------

TEST_F(ControlTest, PushRadioGroupsKeepOneDownPerGroup) {
    TAPIPushRadio* five[3];
    for (int i = 0; i < 3; ++i) five[i] = CreatePushRadio(form, 10 + 60 * i, 10, 55, 24, "5", 5, &OnClickProc);
    auto* six = CreatePushRadio(form, 200, 10, 55, 24, "6", 6, &OnClickProc);
    auto* plainButton = CreateButton(form, 260, 10, 55, 24, "b", nullptr);
    EXPECT_NE(StyleOf(five[0]->Window) & BS_PUSHLIKE, 0u);

    ::SendMessageA(six->Window, BM_CLICK, 0, 0);
    ::SendMessageA(five[0]->Window, BM_CLICK, 0, 0);
    ::SendMessageA(five[2]->Window, BM_CLICK, 0, 0);
    EXPECT_FALSE(five[0]->GetChecked());
    EXPECT_FALSE(five[1]->GetChecked());
    EXPECT_TRUE(five[2]->GetChecked());
    EXPECT_TRUE(six->GetChecked()) << "another group is left alone";
    EXPECT_EQ(::SendMessageA(plainButton->Window, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(CallCount("click"), 3);
    EXPECT_EQ(Sender<TAPIPushRadio>(LastCall("click")), five[2]);

    ::SendMessageA(five[2]->Window, BM_CLICK, 0, 0);
    EXPECT_TRUE(five[2]->GetChecked()) << "clicking the button that is down keeps it down";
}

TEST_F(ControlTest, RadioButtonWithoutGroupIsAToggle) {
    auto* radio = NewControl<TAPIRadioButton>(static_cast<HWND>(form));
    auto* other = NewControl<TAPIRadioButton>(static_cast<HWND>(form));
    other->SetChecked(true);
    EXPECT_EQ(radio->Group, 0);
    ::SendMessageA(radio->Window, BM_CLICK, 0, 0);
    EXPECT_TRUE(radio->GetChecked());
    ::SendMessageA(radio->Window, BM_CLICK, 0, 0);
    EXPECT_FALSE(radio->GetChecked());
    EXPECT_TRUE(other->GetChecked());
}

// --- edits ----------------------------------------------------------------------------------

TEST_F(ControlTest, MemoTakesMoreThanTheDefault32767Characters) {
    WarningCatcher warnings;
    auto* memo = NewControl<TAPIMemo>(static_cast<HWND>(form));
    memo->SetBounds(10, 10, 300, 100);
    // Short lines keep the edit's word wrapping cheap.
    std::string lines;
    while (lines.size() < 32000) lines += std::string(78, 'x') + "\r\n";
    // WM_SETTEXT is not bound by the limit; typing and pasting (EM_REPLACESEL) are.
    memo->SetText(lines);
    memo->SetCaret(32000);
    ::SendMessageA(memo->Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(lines.substr(0, 8000).c_str()));
    Pump();
    EXPECT_EQ(memo->TextLength(), 40000);
    EXPECT_EQ(memo->GetText().size(), 40000u);
    EXPECT_TRUE(WarningCatcher::seen().empty());
    memo->SetCaret(5);
    memo->ScrollCaret();
    DWORD start = 0;
    ::SendMessageA(memo->Window, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    EXPECT_EQ(start, 5u);
}

TEST_F(ControlTest, EditAtItsLimitAndComboOutOfSpaceWarn) {
    WarningCatcher warnings;
    auto* memo = NewControl<TAPIMemo>(static_cast<HWND>(form));
    ::SendMessageA(memo->Window, EM_LIMITTEXT, 10, 0);
    ::SendMessageA(memo->Window, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("12345678901234567890"));
    Pump();
    ASSERT_EQ(WarningCatcher::seen().size(), 1u);
    EXPECT_NE(WarningCatcher::seen()[0].find("Edit Control Buffer Full!"), std::string::npos)
        << WarningCatcher::seen()[0];
    EXPECT_LE(memo->TextLength(), 10);

    // A combo box that runs out of memory says so the same way.
    auto* combo = NewControl<TAPIDDCombo>(static_cast<HWND>(form));
    ::SendMessageA(form, WM_COMMAND, MAKEWPARAM(combo->ID, static_cast<WORD>(CBN_ERRSPACE)),
                   reinterpret_cast<LPARAM>(combo->Window));
    Pump();
    ASSERT_EQ(WarningCatcher::seen().size(), 2u);
    EXPECT_NE(WarningCatcher::seen()[1].find("ComboBox Control Buffer Full!"), std::string::npos)
        << WarningCatcher::seen()[1];
}

TEST_F(ControlTest, MemoNextTellsItsTagOnChange) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_MULTILINE;
    auto* a = CreateMemoNext(form, 10, 10, 100, 40, style, 0, 1);
    auto* b = CreateMemoNext(form, 120, 10, 100, 40, style, WS_EX_CLIENTEDGE, 2);
    a->OnChange = b->OnChange = &OnChangeProc;
    a->OnUpdate = &OnUpdateProc;
    EXPECT_NE(StyleOf(a->Window) & ES_MULTILINE, 0u);
    EXPECT_EQ(StyleOf(a->Window) & WS_VSCROLL, 0u) << "the caller's style, not the memo's";
    EXPECT_NE(::GetWindowLongPtrA(b->Window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);

    ::SendMessageA(a->Window, WM_CHAR, 'q', 0);
    ::SendMessageA(b->Window, WM_CHAR, 'r', 0);
    std::vector<TMessageRecord> changes;
    for (const auto& call : gCalls)
        if (call.first == "change") changes.push_back(call.second);
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(Sender<TAPIMemoNext>(changes[0]), a);
    EXPECT_EQ(changes[0].WParam, 1u);
    EXPECT_EQ(Sender<TAPIMemoNext>(changes[1]), b);
    EXPECT_EQ(changes[1].WParam, 2u);
    EXPECT_EQ(CallCount("update"), 1);
    EXPECT_EQ(Sender<TAPIMemoNext>(LastCall("update")), a);
    EXPECT_EQ(a->GetText(), "q");
}

TEST_F(ControlTest, EditReportsFocusAndKeyOrMouseReleases) {
    auto* memo = NewControl<TAPIMemo>(static_cast<HWND>(form));
    auto* button = CreateButton(form, 250, 10, 60, 24, "x", nullptr);
    memo->OnSetFocus = &OnSetFocusProc;
    memo->OnKillFocus = &OnKillFocusProc;
    memo->OnKeyOrMouseUp = &OnKeyOrMouseUpProc;
    EXPECT_EQ(memo->BackColor, ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(memo->TextColor, ::GetSysColor(COLOR_WINDOWTEXT));

    ::SetFocus(memo->Window);
    ::SetFocus(button->Window);
    EXPECT_EQ(CallCount("setfocus"), 1);
    EXPECT_EQ(CallCount("killfocus"), 1);
    EXPECT_EQ(Sender<TAPIMemo>(LastCall("killfocus")), memo);

    ::SendMessageA(memo->Window, WM_KEYUP, 'A', 0);
    ::SendMessageA(memo->Window, WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    ASSERT_EQ(CallCount("keyormouseup"), 2);
    EXPECT_EQ(LastCall("keyormouseup").Msg, static_cast<UINT_PTR>(WM_LBUTTONUP)) << "the record is unchanged";
    EXPECT_EQ(LastCall("keyormouseup").LParam, MAKELPARAM(3, 4));
}

TEST_F(ControlTest, EditAboutReportsTheReleaseWithItsWindow) {
    auto* link = CreateEditAbout(form, 10, 10, 200, 20);
    link->OnClick = &OnClickProc;
    link->SetText("http://example.invalid/");
    char text[64] = {};
    ::GetWindowTextA(link->Window, text, sizeof(text));
    EXPECT_STREQ(text, "http://example.invalid/");
    EXPECT_NE(StyleOf(link->Window) & ES_READONLY, 0u);

    ::SendMessageA(link->Window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::SendMessageA(link->Window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(CallCount("click"), 1);
    EXPECT_EQ(LastCall("click").Msg, static_cast<UINT_PTR>(WM_LBUTTONUP));
    EXPECT_EQ(LastCall("click").LParam, reinterpret_cast<LPARAM>(link->Window));
}

// --- combo boxes ------------------------------------------------------------------------------

TEST_F(ControlTest, SetCurSelReportsOnceAndNeverForTheSameIndex) {
    auto* combo = CreateDropDownCombo(form, 10, 10, 150, 120, &OnSelChangeProc);
    EXPECT_EQ(combo->AddString("red"), 0);
    EXPECT_EQ(combo->AddString("green"), 1);
    EXPECT_EQ(combo->AddString("blue"), 2);
    EXPECT_EQ(combo->ItemCount(), 3);
    EXPECT_EQ(combo->CurSel(), -1);

    combo->SetCurSel(1);
    EXPECT_EQ(CallCount("selchange"), 1);
    EXPECT_EQ(combo->Text, "green");
    EXPECT_EQ(Sender<TAPIDDCombo>(LastCall("selchange")), combo);
    EXPECT_EQ(LastCall("selchange").WParam, MAKEWPARAM(combo->ID, CBN_SELCHANGE));
    combo->SetCurSel(1);
    EXPECT_EQ(CallCount("selchange"), 1);
    combo->SetCurSel(2);
    EXPECT_EQ(CallCount("selchange"), 2);
    EXPECT_EQ(combo->Text, "blue");
    EXPECT_EQ(combo->SelectedText(), "blue");
    EXPECT_EQ(combo->WindowText(), "blue");

    combo->SetCurSel(-1);  // clearing the selection leaves no item text to read
    EXPECT_EQ(CallCount("selchange"), 3);
    EXPECT_EQ(combo->Text, "");
    combo->SetCurSel(-1);
    EXPECT_EQ(CallCount("selchange"), 3);
}

TEST_F(ControlTest, ComboListOperations) {
    auto* combo = NewControl<TAPISMPCombo>(static_cast<HWND>(form));
    combo->AddString("a");
    combo->AddString("c");
    combo->InsertString("b", 1);
    EXPECT_EQ(combo->GetItemText(1), "b");
    EXPECT_EQ(combo->GetItemText(7), "") << "no item there";
    combo->DeleteString(0);
    EXPECT_EQ(combo->ItemCount(), 2);
    EXPECT_EQ(combo->GetItemText(0), "b");
    EXPECT_EQ(combo->WindowText(), "");
    EXPECT_NE(StyleOf(combo->Window) & CBS_SIMPLE, 0u);
}

TEST_F(ControlTest, TypingInADropDownComboUpdatesTextOnEveryChange) {
    auto* combo = CreateDropDownCombo(form, 10, 10, 150, 120, &OnSelChangeProc);
    combo->OnEditChange = &OnEditChangeProc;
    HWND edit = ::FindWindowExA(combo->Window, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    for (char c : std::string("teal")) ::SendMessageA(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    EXPECT_EQ(CallCount("editchange"), 4);
    EXPECT_EQ(combo->Text, "teal");
    EXPECT_EQ(Sender<TAPIDDCombo>(LastCall("editchange")), combo);
    EXPECT_EQ(CallCount("selchange"), 0);
}

TEST_F(ControlTest, ArrowKeyInADropDownComboSelectsAndReports) {
    auto* combo = CreateDropDownCombo(form, 10, 10, 150, 120, &OnSelChangeProc);
    combo->AddString("one");
    combo->AddString("two");
    HWND edit = ::FindWindowExA(combo->Window, nullptr, "Edit", nullptr);
    ASSERT_NE(edit, nullptr);
    ::SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
    ::SendMessageA(edit, WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(combo->CurSel(), 1);
    EXPECT_GE(CallCount("selchange"), 1);
    EXPECT_EQ(combo->Text, "two");
}

// --- lifetime ----------------------------------------------------------------------------------

TEST(ControlLifetime, ObjectsEndWithTheirParentOrTheirOwnWindow) {
    const long before = TObject::LiveObjectCount();
    {
        Form form;
        auto* button = CreateButton(form, 0, 0, 50, 20, "b", &OnClickProc);
        CreateCheckBox(form, 0, 20, 50, 20, "c", nullptr);
        CreatePushRadio(form, 0, 40, 50, 20, "r", 1, nullptr);
        CreateMemoNext(form, 0, 60, 50, 20, WS_CHILD | WS_VISIBLE, 0, 0);
        CreateEditAbout(form, 0, 80, 50, 20);
        CreateDropDownCombo(form, 0, 100, 50, 80, nullptr);
        NewControl<TAPISMPCombo>(static_cast<HWND>(form));
        NewControl<TAPIMemo>(static_cast<HWND>(form));
        const long built = TObject::LiveObjectCount();
        EXPECT_EQ(built - before, 8);

        HWND buttonWindow = button->Window;
        ::DestroyWindow(buttonWindow);
        EXPECT_EQ(TObject::LiveObjectCount(), built - 1);
        gCalls.clear();
        ::SendMessageA(form, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(buttonWindow));
        EXPECT_TRUE(gCalls.empty());
    }
    EXPECT_EQ(TObject::LiveObjectCount(), before);
}

}  // namespace
