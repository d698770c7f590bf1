// About.cpp: the about box, its links and link cursor, and the help command.
//
// The box is a TModalDialogCursor from an empty template: its controls are made in AboutBuild
// (its WM_INITDIALOG) and every size comes from MeasureText in the box's own font, so longer
// texts or a larger font give a larger box. The dialog object, its labels and controls belong
// to the dialog window and are freed by the framework at its WM_DESTROY; this unit keeps only
// borrowed pointers to them, cleared at that same WM_DESTROY.
#include "About.h"

#include <shellapi.h>

#include <memory>

#include "APIControl.h"
#include "APIWindow.h"
#include "ControllerState.h"
#include "GDIObject.h"
#include "Placement.h"
#include "ScopedHandles.h"
#include "UtilClass.h"
#include "UtilFunc.h"

namespace {

constexpr int kTextLeft = 60;    // right of the icon drawn at (10, 10)
constexpr int kTextTop = 10;
constexpr int kRightMargin = 10;
constexpr int kOkBottomMargin = 30;
constexpr int kBoxOffset = 20;   // from the main window's top-left corner
constexpr int kHelpViewerCursor = 106;
constexpr COLORREF kLabelColor = 0x800000;  // dark blue
constexpr const char* kAboutFace = "Times New Roman";
constexpr int kAboutPoints = 12;

// The open box. All borrowed: the dialog window owns them.
bool AboutOpen = false;
TModalDialogCursor* AboutDialog = nullptr;
TAPIButton* OkButton = nullptr;
TAPIEditAbout* Link1 = nullptr;
TAPIEditAbout* Link2 = nullptr;
// Owned: made when the box opens, freed when it closes.
std::unique_ptr<TAPICFont> AboutFont;
// Whether State.LinkCursor is our own copy (to destroy) or a shared system cursor.
bool LinkCursorOwned = false;

SIZE Measure(const std::string& text) {
    return MeasureText(text, AboutFont ? AboutFont->Font : nullptr);
}

// A label in dark blue, in the face and size of the box's font but neither underlined nor
// filled, so it reads as text on the dialog's own background.
void CreateAboutLabel(HWND box, int x, int y, int width, int height, const std::string& text) {
    TAPILabel* label = CreateLabel(box, x, y, width, height, text);
    label->Font->FaceName = kAboutFace;
    label->Font->Size = kAboutPoints;
    label->Font->Bold = false;
    label->Font->Underline = false;
    label->Font->TextColor = kLabelColor;
    label->SetBackMode(TRANSPARENT);
}

TAPIEditAbout* CreateLink(HWND box, int x, int y, const SIZE& size, const std::string& address,
                          TEventProc onClick) {
    TAPIEditAbout* link = CreateEditAbout(box, x, y, size.cx, size.cy);
    link->SetText(address);
    link->OnClick = onClick;
    return link;
}

void PlaceNearMainWindow(TModalDialogCursor& box) {
    // From the main window's top-left corner; a minimised window's restored corner.
    POINT corner{0, 0};
    if (State.MainWindowHandle != nullptr) {
        const RECT main = RestoredWindowRect(State.MainWindowHandle);
        corner = POINT{main.left, main.top};
    }
    const SIZE screen = {::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    POINT p{KeepOnScreen(corner.x + kBoxOffset, box.GetWidth(), screen.cx),
            KeepOnScreen(corner.y + kBoxOffset, box.GetHeight(), screen.cy)};
    // The dialog keeps its position in the owner's client coordinates.
    if (box.Owner != nullptr) ::ScreenToClient(box.Owner, &p);
    box.SetLeft(p.x);
    box.SetTop(p.y);
}

void OkClick(TMessageRecord*) noexcept {
    if (AboutDialog != nullptr) AboutDialog->EndModal(kAboutClosedByOk);
}

void LinkClick(TMessageRecord* message) noexcept {
    const HWND released = reinterpret_cast<HWND>(message->LParam);
    const bool first = Link1 != nullptr && released == Link1->Window;
    const HWND box = AboutDialog != nullptr ? AboutDialog->Handle : nullptr;
    // The browser reports its own failures; there is nothing for the box to add.
    ::ShellExecuteA(box, "open", first ? kAboutHomePage : kAboutFrameworkPage, nullptr, nullptr, SW_SHOWNORMAL);
}

void AboutCommand(TMessageRecord* message) noexcept {
    // Esc and the close box arrive as IDCANCEL. Everything else, the OK button's own
    // notification among it, is answered elsewhere or not at all.
    if (message->WParam == IDCANCEL && AboutDialog != nullptr) AboutDialog->EndModal(kAboutCancelled);
}

void AboutSetCursor(TMessageRecord* message) noexcept {
    const HWND under = reinterpret_cast<HWND>(message->WParam);
    const HWND box = AboutDialog != nullptr ? AboutDialog->Handle : nullptr;
    const HWND ok = OkButton != nullptr ? OkButton->Window : nullptr;
    if (under == box || under == ok) {
        if (State.MainWindow != nullptr) ::SetCursor(State.MainWindow->Cursor);
    } else {
        ::SetCursor(State.LinkCursor);
    }
}

void AboutDestroy(TMessageRecord*) noexcept {
    AboutOpen = false;
    AboutDialog = nullptr;
    OkButton = nullptr;
    Link1 = nullptr;
    Link2 = nullptr;
    AboutFont.reset();
}

HICON MainWindowIcon() {
    if (State.MainWindowHandle == nullptr) return nullptr;
    return reinterpret_cast<HICON>(::GetClassLongPtrA(State.MainWindowHandle, GCLP_HICON));
}

// The box's WM_INITDIALOG: controls top to bottom at x = 60, each as large as its text.
void AboutBuild(TMessageRecord*) noexcept {
    TModalDialogCursor* box = AboutDialog;
    if (box == nullptr) return;
    const HWND w = box->Handle;
    box->PaintIcon = MainWindowIcon();

    const SIZE ok = Measure(kAboutOkCaption);
    OkButton = CreateButton(w, 0, 0, ok.cx, ok.cy, kAboutOkCaption, OkClick);

    const std::string productLine = kAboutProductLine;
    const SIZE line1 = Measure(productLine);
    // Label 1 holds two lines but is measured by the first: the copyright line is kept shorter.
    CreateAboutLabel(w, kTextLeft, kTextTop, line1.cx, 2 * line1.cy,
                     productLine + "\r\n" + kAboutCopyrightLine);
    int y = kTextTop + line1.cy + line1.cy / 2;

    const SIZE link1 = Measure(kAboutHomePage);
    Link1 = CreateLink(w, kTextLeft, y, link1, kAboutHomePage, LinkClick);

    // The home page address sets the width; the OK button keeps to the right edge.
    box->SetWidth(link1.cx + kTextLeft + kRightMargin);
    OkButton->SetLeft(box->GetWidth() - ok.cx - kRightMargin);
    y += link1.cy + link1.cy / 2;

    const SIZE credit = Measure(kAboutCreditLine);
    CreateAboutLabel(w, kTextLeft, y, credit.cx, credit.cy, kAboutCreditLine);
    y += credit.cy;

    const SIZE link2 = Measure(kAboutFrameworkPage);
    Link2 = CreateLink(w, kTextLeft, y, link2, kAboutFrameworkPage, LinkClick);

    box->SetHeight(3 * link2.cy + y);
    OkButton->SetTop(box->GetHeight() - ok.cy - kOkBottomMargin);

    if (AboutFont) {
        AboutFont->ApplyTo(Link1->Window);
        AboutFont->ApplyTo(Link2->Window);
    }
    PlaceNearMainWindow(*box);
}

}  // namespace

SIZE MeasureText(const std::string& text, HFONT font) {
    SIZE size{0, 0};
    const TScopedDC dc(nullptr);
    if (!dc) return size;
    const TScopedSelect selection(dc, font);
    // The terminating zero is measured as one more character, which leaves room for the
    // control's own border. The count is the full length: cut to a byte it would measure
    // long texts short and divide by zero at 255 characters.
    const int n = static_cast<int>(text.size()) + 1;
    ::GetTextExtentPoint32A(dc.Get(), text.c_str(), n, &size);
    size.cx += size.cx / n;
    size.cy += size.cy / 2;
    return size;
}

INT_PTR ShowAbout() {
    if (AboutOpen) {
        if (AboutDialog != nullptr) ::SetFocus(AboutDialog->Handle);
        return 0;
    }
    AboutOpen = true;
    TModalDialogCursor* box = CreateModalDialogCursor(State.MainWindowHandle, 0, 0, 0, 0, 0, AboutBuild);
    box->Style |= WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    box->PaintIcon = MainWindowIcon();
    box->SetCaption(kAboutCaption);
    box->OnCommand = AboutCommand;
    box->OnSetCursor = AboutSetCursor;
    box->OnDestroy = AboutDestroy;
    AboutDialog = box;

    AboutFont = std::make_unique<TAPICFont>();
    AboutFont->FaceName = kAboutFace;
    AboutFont->Size = kAboutPoints;
    AboutFont->Bold = false;
    AboutFont->Underline = true;
    AboutFont->Build();

    const INT_PTR result = box->ShowModal();
    // A dialog that could not be created never reaches WM_DESTROY: without this the box
    // would count as open for the rest of the run and About would never open again.
    if (AboutOpen) AboutDestroy(nullptr);
    return result;
}

void OpenHelp() {
    // The help file ships beside the program: resolving the bare name against the current
    // directory would miss it whenever the program is started from elsewhere, and could open
    // an unrelated file of that name there.
    const std::string path = HelpFilePath();
    ::ShellExecuteA(State.MainWindowHandle, "open", path.c_str(), nullptr, nullptr, SW_SHOW);
}

std::string HelpFilePath() {
    if (State.ProgramFolder.empty()) return kHelpFileName;
    return State.ProgramFolder + "\\" + kHelpFileName;
}

void UpdateAboutIcon(bool suspended) {
    if (!AboutOpen || AboutDialog == nullptr || !State.IconList) return;
    AboutDialog->PaintIcon = reinterpret_cast<HICON>(State.IconList->Get(suspended ? 1 : 0));
    // The box does not clip its children: erasing its background paints over the links, so
    // they are redrawn in the same pass.
    ::RedrawWindow(AboutDialog->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

bool AboutIsOpen() { return AboutOpen; }

HWND AboutWindow() { return AboutDialog != nullptr ? AboutDialog->Handle : nullptr; }

HCURSOR CopyModuleCursor(const std::string& path, int resourceId) {
    const HMODULE module = ::LoadLibraryA(path.c_str());
    if (module == nullptr) return nullptr;
    HCURSOR copy = nullptr;
    // A cursor loaded from a module lives only as long as the module: copy it before freeing.
    if (const HCURSOR cursor = ::LoadCursorA(module, MAKEINTRESOURCEA(resourceId)); cursor != nullptr)
        copy = reinterpret_cast<HCURSOR>(::CopyIcon(reinterpret_cast<HICON>(cursor)));
    ::FreeLibrary(module);
    return copy;
}

void LoadLinkCursor() {
    FreeLinkCursor();
    char folder[MAX_PATH + 1] = {};
    const UINT length = ::GetWindowsDirectoryA(folder, sizeof folder);
    if (length > 0 && length < sizeof folder) {
        State.LinkCursor = CopyModuleCursor(std::string(folder) + "\\winhlp32.exe", kHelpViewerCursor);
    }
    LinkCursorOwned = State.LinkCursor != nullptr;
    // Systems without the old help viewer (Wine among them) still have a hand for links.
    if (State.LinkCursor == nullptr) State.LinkCursor = ::LoadCursorA(nullptr, IDC_HAND);
    if (State.LinkCursor == nullptr) State.LinkCursor = ::LoadCursorA(nullptr, IDC_ARROW);
}

void FreeLinkCursor() {
    if (LinkCursorOwned && State.LinkCursor != nullptr) ::DestroyCursor(State.LinkCursor);
    State.LinkCursor = nullptr;
    LinkCursorOwned = false;
}
