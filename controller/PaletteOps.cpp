// PaletteOps.cpp: the current palette, its file, the colour buttons and the list commands
// (see PaletteOps.h).
#include "PaletteOps.h"

#include "PaletteExchange.h"

#include <windowsx.h>

#include <vector>

#include "CommandIds.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "PaletteRules.h"
#include "PaletteStore.h"
#include "UtilFunc.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
// [MessageBox] 14: a palette file could not be written. Older language files end before it.
constexpr int kWriteFailedMessage = 14;
constexpr const char* kWriteFailedDefault = "The palette file could not be written.";

// Name-edit state.
int EditRow = -1;
std::string EditOldName;
bool NewResetsColors = true;
bool EditStartsFresh = true;
bool ComboWasEnabled = true;
bool ReWriteWasEnabled = false;
// The colour button last pressed (eyedropper).
int PickButton = -1;

TAPIListView* List() { return State.MainForm.FileList; }

int FirstSelectedRow() { return List() != nullptr ? List()->FirstSelected() : -1; }

pelmira::TPaletteColors CurrentColors() {
    pelmira::TPaletteColors colors{};
    for (int i = 0; i < pelmira::kPaletteEntries; ++i) colors[i] = State.PaletteColors[i];
    return colors;
}

void ShowPaletteColors() {
    for (int i = 0; i < pelmira::kPaletteEntries; ++i)
        if (State.MainForm.Paletto[i] != nullptr) State.MainForm.Paletto[i]->SetColor(State.PaletteColors[i]);
}

// Message n of the language file, or `fallback` when the file has fewer messages.
std::string MessageOr(int n, const char* fallback) {
    return n < State.ShowHideBase - State.MessageBase ? MessageText(n) : std::string(fallback);
}

void ReportWriteFailure(const std::string& path, DWORD error) {
    const std::string text = "[" + FileNameOf(path) + "]\r\n" + MessageOr(kWriteFailedMessage, kWriteFailedDefault) +
                             "\r\n\r\n" + SystemErrorText(error);
    ShowMessageBox(text, State.AppTitle, MB_OK | MB_ICONERROR);
}

void NameErrorBox(int message, UINT icon) {
    ShowMessageBox(MessageText(message), MessageText(1), MB_OK | icon);
}

// The row keeps its selection when a write failed: back to the row of the current palette,
// without loading it again.
void ReselectCurrentRow() {
    TAPIListView* list = List();
    list->SelectItem(-1);
    if (State.CurrentRow < 0) return;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageA(list->Window, LVM_SETITEMSTATE, static_cast<WPARAM>(State.CurrentRow), reinterpret_cast<LPARAM>(&state));
}

// While a name is edited, everything that could change the folder, the palette or the program
// under it is off; afterwards each control is as it was (the folder row only when it was on).
void SetNameEditControls(bool enabled) {
    State.MainForm.FolderCombo->SetEnabled(enabled && ComboWasEnabled);
    State.MainForm.New->SetEnabled(enabled && ComboWasEnabled);
    State.MainForm.Delete->SetEnabled(enabled && ComboWasEnabled);
    State.MainForm.FolderCheck->SetEnabled(enabled);
    State.MainForm.Exit->SetEnabled(enabled);
    State.MainForm.Suspend->SetEnabled(enabled);
    State.MainForm.Extension->SetEnabled(enabled);
}

void ColorPressed(TMessageRecord* message) noexcept { PickButton = static_cast<int>(message->WParam); }

void PickPreview(TMessageRecord* message) noexcept {
    const int i = static_cast<int>(message->WParam);
    TVxrinkBtn* button = State.MainForm.Paletto[i];
    if (button == nullptr) return;
    // The position is in the window's client coordinates and negative left of or above it.
    const POINT at{GET_X_LPARAM(message->LParam), GET_Y_LPARAM(message->LParam)};
    COLORREF colour = State.PaletteColors[i];
    int status = 14;
    if (!::PtInRect(&button->BoundsRect, at)) {
        const COLORREF pixel = PixelUnderCursor(MenuItemChecked(kCmdWebSafe));
        if (pixel == CLR_INVALID) return;
        colour = pixel;
        status = colour == State.PaletteColors[i] ? 15 : 16;
    }
    ShowStatusMessage(status);
    button->SetColor(colour);
}

void PickCommit(TMessageRecord* message) noexcept {
    const int i = static_cast<int>(message->WParam);
    TVxrinkBtn* button = State.MainForm.Paletto[i];
    if (button == nullptr) return;
    const COLORREF shown = button->Color;
    if (FirstSelectedRow() < 0 || shown == State.PaletteColors[i]) {
        SetStatusText(State.CurrentPaletteFile);
    } else {
        SetPaletteChanged(true);
        ShowStatusMessage(17);
    }
    State.PaletteColors[i] = shown;
}

void ForgetCurrentPalette() {
    SetPaletteChanged(false);
    State.CurrentPaletteFile.clear();
    State.CurrentRow = -1;
}

// The row that shows the current palette now, -1 when none does.
int CurrentPaletteRow() {
    std::vector<std::string> rows;
    for (int i = 0; i < List()->ItemCount(); ++i) rows.push_back(List()->GetItemText(i, 0));
    return RowOfFile(rows, State.CurrentPaletteFile);
}

void ColorRightClick(TMessageRecord* message) noexcept { ColorButtonMenu(static_cast<int>(message->WParam)); }

// The end of a name edit that is not refused: the controls as they were, keys back on.
void FinishNameEdit() {
    SetNameEditControls(true);
    SetPaletteChanged(ReWriteWasEnabled);
    List()->SetEditMode(false);
    HoldKeys(TKeyHolder::NameEdit, false);
}

// The name was refused: the old name back, and the same row edited again. The new edit is
// posted: the list is still inside the end of the current one, which it closes on return.
void RefuseName() {
    TAPIListView* list = List();
    list->SetItemText(EditRow, 0, EditOldName);
    ::SetFocus(list->Window);
    const int row = list->FirstSelected();
    if (row >= 0) ::PostMessageA(list->Window, LVM_EDITLABELA, static_cast<WPARAM>(row), 0);
    ShowStatusMessage(9);
}

// The shell's rename, with undo. A change of letter case alone goes through the file system
// in two steps instead, by way of a passing name: a shell or file system that looks names up
// without regard to case takes "abc.pli" to "ABC.pli" for a rename onto itself and does
// nothing (Wine's does so and reports success).
bool RenamePaletteFile(const std::string& from, const std::string& to) {
    if (UpperText(from) != UpperText(to)) return ShellRename(Window(), from, to);
    const std::string passing = from + "~";
    if (!::MoveFileA(from.c_str(), passing.c_str())) return false;
    if (::MoveFileA(passing.c_str(), to.c_str())) return true;
    ::MoveFileA(passing.c_str(), from.c_str());
    return false;
}

// The checks a changed name must pass, in order; answers the refusing message and icon, or 0.
int NameRefusal(const std::string& folder, const std::string& name, UINT& icon) {
    const std::string file = name + kPaletteExtension;
    icon = MB_ICONERROR;
    // A name the file functions cannot reach in this folder is as much too long as a long name.
    if (name.size() >= kMaxPaletteNameLength || PathTooLong(JoinPath(folder, file))) return 8;
    if (!IsValidPaletteName(name)) return 7;
    icon = MB_ICONINFORMATION;
    const std::string root = WithoutRootBackslash(folder);
    TStringArray files;
    ListFilesUpper(root, "pli", files);
    const std::string upper = UpperText(file);
    if (files.IndexOf(upper) >= 0 && upper != UpperText(EditOldName + kPaletteExtension)) return 5;
    TStringArray folders;
    ListSubfolders(root, folders);
    if (folders.IndexOf(upper) >= 0) return 4;
    return 0;
}

}  // namespace

bool PaletteChanged() { return State.MainForm.ReWrite != nullptr && State.MainForm.ReWrite->IsEnabled(); }

void SetPaletteChanged(bool changed) {
    if (State.MainForm.ReWrite != nullptr) State.MainForm.ReWrite->SetEnabled(changed);
}

void LoadSelectedPalette() {
    TAPIListView* list = List();
    if (list == nullptr) return;
    const int row = list->FirstSelected();
    if (row >= 0) list->EnsureVisible(row, true);

    if (PaletteChanged()) {
        const std::string question = "[" + State.CurrentPaletteFile + "]" + MessageText(13);
        const int answer = ShowMessageBox(question, State.AppTitle, MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
        // Yes saves and No lets the changes go. Cancel takes back the click: the changed
        // colours stay, and so does their row. A save that fails keeps them the same way, so
        // nothing is lost without the user knowing.
        if (answer == IDCANCEL || (answer == IDYES && !RewritePalette())) {
            ReselectCurrentRow();
            return;
        }
    }

    std::string file;
    if (row < 0) {
        SetPaletteChanged(false);
        FillAllColors(kWhite);
    } else {
        file = list->GetItemText(row, 0) + kPaletteExtension;
        DWORD error = 0;
        if (!ReadPalette(JoinPath(State.ListedFolder, file), &error)) {
            // The colours shown are not this file's: nothing may be current that a ReWrite or
            // a "Yes" could write over the file with, so no row stays selected.
            list->SelectItem(-1);
            State.CurrentRow = -1;
            State.CurrentPaletteFile.clear();
            SetStatusText("[" + file + "] " + SystemErrorText(error));
            return;
        }
    }
    State.CurrentRow = row;
    SetStatusText(file);
    State.CurrentPaletteFile = file;
}

bool ReadPalette(const std::string& path, DWORD* error) {
    pelmira::TPaletteColors colors{};
    const bool read = LoadPaletteColors(path, colors, error);
    if (read) {
        for (int i = 0; i < pelmira::kPaletteEntries; ++i) State.PaletteColors[i] = colors[i];
        ShowPaletteColors();
    }
    SetPaletteChanged(false);
    return read;
}

bool WritePalette(const std::string& path) {
    const DWORD error = SavePaletteColors(path, CurrentColors());
    if (error != 0) ReportWriteFailure(path, error);
    return error == 0;
}

bool RewritePalette() {
    if (State.CurrentPaletteFile.empty()) return false;
    const std::string path = JoinPath(State.ListedFolder, State.CurrentPaletteFile);
    if (!WritePalette(path)) return false;
    TAPIListView* list = List();
    list->SetItemText(State.CurrentRow, 1, FileDateText(path));
    SetPaletteChanged(false);
    ::SetFocus(list->Window);
    SetStatusText("[" + State.CurrentPaletteFile + "]" + StatusText(11));
    return true;
}

void FillAllColors(COLORREF colour) {
    for (COLORREF& entry : State.PaletteColors) entry = colour;
    ShowPaletteColors();
}

void EditColor(int index) {
    if (index < 0 || index >= pelmira::kPaletteEntries) return;
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = State.PaletteColors[i];
    COLORREF colour = State.PaletteColors[index];
    {
        TModalScope modal;
        if (!PickColor(Window(), colour, custom)) return;
    }
    if (FirstSelectedRow() >= 0 && colour != State.PaletteColors[index]) SetPaletteChanged(true);
    State.PaletteColors[index] = colour;
    if (State.MainForm.Paletto[index] != nullptr) State.MainForm.Paletto[index]->SetColor(colour);
}

void ColorButtonMenu(int index) {
    if (index < 0 || index >= pelmira::kPaletteEntries || State.MainForm.ColorMenu == nullptr) return;
    POINT at{};
    ::GetCursorPos(&at);
    const UINT id = static_cast<UINT>(::TrackPopupMenuEx(State.MainForm.ColorMenu->Menu, TPM_RETURNCMD | TPM_NONOTIFY,
                                                         at.x, at.y, Window(), nullptr));
    switch (id) {
    case kCmdColorEdit: EditColor(index); break;
    case kCmdColorInit: FillAllColors(State.MainForm.Paletto[index]->Color); break;
    case kCmdDuplicate: ListCommand(kCmdListNew, true); break;
    case kCmdExport: ExportCurrentPalette(); break;
    default: break;
    }
}

void AttachColorButtonHandlers(TVxrinkBtn* button, int) {
    button->OnPress = ColorPressed;
    button->OnDrag = PickPreview;
    button->OnClick = PickCommit;
    button->OnRightClick = ColorRightClick;
}

void ListCommand(UINT id, bool duplicate) {
    TAPIListView* list = List();
    if (list == nullptr) return;
    switch (id) {
    case kCmdListNew:
    case kCmdDuplicate: {
        NewResetsColors = !duplicate && id == kCmdListNew;
        const int row = list->ItemCount();
        list->SetItem(0, row, "");
        list->EnsureVisible(row, false);
        list->EditLabel(row);
        break;
    }
    case kCmdListReName: {
        const int row = list->FirstSelected();
        if (row >= 0) list->EditLabel(row);
        break;
    }
    case kCmdListDelete: {
        const int following = list->FirstSelected();
        const int answer = ShowMessageBox(MessageText(9), State.AppTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2);
        if (answer == IDYES) {
            for (int row = list->FirstSelected(); row >= 0; row = list->FirstSelected()) {
                const std::string file = list->GetItemText(row, 0) + kPaletteExtension;
                const std::string path = JoinPath(State.ListedFolder, file);
                ShellDelete(Window(), path);
                if (PathMatches(path)) {
                    // The shell could not delete it (it said why): the file and its row stay.
                    LVITEMA state{};
                    state.stateMask = LVIS_SELECTED;
                    ::SendMessageA(list->Window, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                                   reinterpret_cast<LPARAM>(&state));
                } else {
                    list->DeleteItems(row, 2);
                    // The current palette is gone with its changes: nothing may ask to save
                    // it, which would bring the file back.
                    if (file == State.CurrentPaletteFile) ForgetCurrentPalette();
                }
            }
            // Rows above the current one may have gone.
            State.CurrentRow = CurrentPaletteRow();
        }
        list->SelectItem(following);
        break;
    }
    default: break;
    }
}

void BeginNameEdit() {
    const int notified = State.EditRowNotified;
    State.EditRowNotified = -1;
    if (!EditStartsFresh) return;
    HoldKeys(TKeyHolder::NameEdit, true);
    TAPIListView* list = List();
    EditRow = notified >= 0 ? notified : list->FirstSelected();
    EditOldName = list->GetItemText(EditRow, 0);
    ComboWasEnabled = State.MainForm.FolderCombo->IsEnabled();
    ReWriteWasEnabled = PaletteChanged();
    SetNameEditControls(false);
    list->SetEditMode(true);
}

void EndNameEdit() {
    TAPIListView* list = List();
    const std::string folder = State.ListedFolder;
    const std::string name = list->GetItemText(EditRow, 0);
    EditStartsFresh = true;

    if (name.empty()) {
        if (!EditOldName.empty()) {
            list->SetItemText(EditRow, 0, EditOldName);
            ShowStatusMessage(3);
        } else {
            list->DeleteItems(EditRow, 2);
            ShowStatusMessage(2);
        }
    } else if (name == EditOldName) {
        ShowStatusMessage(3);
    } else {
        EditStartsFresh = false;
        UINT icon = 0;
        if (const int refusal = NameRefusal(folder, name, icon); refusal != 0) {
            NameErrorBox(refusal, icon);
            RefuseName();
            return;
        }
        const std::string file = name + kPaletteExtension;
        const std::string path = JoinPath(folder, file);
        if (!EditOldName.empty()) {
            const std::string oldFile = EditOldName + kPaletteExtension;
            if (!RenamePaletteFile(JoinPath(folder, oldFile), path)) {
                NameErrorBox(6, MB_ICONINFORMATION);
                RefuseName();
                return;
            }
            SetStatusText(EditOldName + StatusText(5) + file + StatusText(8));
            if (oldFile == State.CurrentPaletteFile) State.CurrentPaletteFile = file;
        } else {
            // The colours the new file gets: white for New, the current ones for Duplicate.
            // They become the current palette only once the file holds them.
            pelmira::TPaletteColors colors = CurrentColors();
            if (NewResetsColors) colors.fill(kWhite);
            const DWORD error = CreatePaletteFile(path, colors);
            if (error == ERROR_FILE_EXISTS) {
                // Something took the name since the checks above, or answers to it under its
                // short alias: refused like any existing name, and nothing is replaced.
                NameErrorBox(FolderExists(path) ? 4 : 5, MB_ICONINFORMATION);
                RefuseName();
                return;
            }
            if (error != 0) {
                list->DeleteItems(EditRow, 2);
                ReportWriteFailure(path, error);
            } else {
                for (int i = 0; i < pelmira::kPaletteEntries; ++i) State.PaletteColors[i] = colors[i];
                list->SetItemText(EditRow, 1, FileDateText(path));
                SetStatusText("[" + file + "]" + StatusText(4));
                ShowPaletteColors();
                State.CurrentPaletteFile = file;
                State.CurrentRow = EditRow;
            }
        }
        EditStartsFresh = true;
        ::SetFocus(list->Window);
    }
    if (EditStartsFresh) FinishNameEdit();
}
