// PaletteList.cpp: the palette folder, the folder row and the palette list (see PaletteList.h).
#include "PaletteList.h"

#include "APIWindow.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "PaletteOps.h"
#include "PaletteRules.h"
#include "PaletteStore.h"
#include "Program.h"
#include "UtilFunc.h"

namespace {

constexpr std::uint8_t kFolderEntryWidth = 22;  // display width of the folder combo's entries
constexpr const char* kPaletteExtensionNoDot = "pli";

bool FolderCheckChecked() { return State.MainForm.FolderCheck != nullptr && State.MainForm.FolderCheck->Checked; }

std::string FolderEditText() { return State.MainForm.FolderEdit != nullptr ? State.MainForm.FolderEdit->GetText() : std::string(); }

// Every row's column-0 text, in row order.
std::vector<std::string> RowTexts(const TAPIListView& list) {
    std::vector<std::string> texts;
    const int count = list.ItemCount();
    for (int i = 0; i < count; ++i) texts.push_back(list.GetItemText(i, 0));
    return texts;
}

void PaletteListClicked(TMessageRecord*) noexcept { LoadSelectedPalette(); }
void PaletteListBeginEdit(TMessageRecord* message) noexcept {
    // The notification names the row being edited, which the list has made the selected one.
    const auto* info = reinterpret_cast<const NMLVDISPINFOA*>(message->LParam);
    State.EditRowNotified = info != nullptr ? info->item.iItem : -1;
    BeginNameEdit();
}
void PaletteListEndEdit(TMessageRecord*) noexcept { EndNameEdit(); }

}  // namespace

std::string GetPaletteFolder() {
    const std::string edit = FolderEditText();
    if (!edit.empty() && State.FolderList && State.FolderList->Count() > 0 && FolderCheckChecked()) return edit;
    return State.ProgramFolder;
}

void PublishPaletteFolder() {
    const std::string folder = GetPaletteFolder();
    {
        TLibraryBlock block;
        if (!block) return;
        // The first 260 bytes only, so at most 259 characters: the field stays zero-terminated
        // for every reader.
        WriteBlockText(block->PaletteFolder, folder, kPublishedFolderFill);
    }
    RefreshPaletteList(folder);
}

bool FolderUsable(const std::string& path) {
    if (PathMatches(path)) return true;
    const UINT type = ::GetDriveTypeA((path + "\\").c_str());
    return type == DRIVE_FIXED || type == DRIVE_REMOVABLE;
}

void RefreshPaletteList(const std::string& requested) {
    TAPIListView* list = State.MainForm.FileList;
    if (list == nullptr) return;
    list->DeleteItems(0, 0);
    // A refill drops unsaved colour changes without asking.
    SetPaletteChanged(false);
    list->SetEnabled(false);

    const std::string folder = WithoutTrailingBackslash(requested);
    State.ListedFolder = folder;
    if (!FolderUsable(folder)) {
        ShowStatusMessage(1);
        return;
    }
    list->SetEnabled(true);
    if (!::IsWindowVisible(list->Window) || !ExtensionButtonDown()) return;

    TStringArray names;
    if (!ListFiles(folder, kPaletteExtensionNoDot, names)) {
        FillAllColors(0xFFFFFF);
        ShowStatusMessage(0);
        return;
    }
    names.Sort();

    // Rows are numbered as they are inserted: a skipped name (".pli" alone) leaves no gap, so
    // the date goes to the row just inserted and every item parameter is unique.
    TStringArray rowFiles;
    for (int i = 0; i < names.Count(); ++i) {
        const std::string name = names.Get(i);
        const std::string text = RowTextOf(name);
        if (text.empty()) continue;
        const int row = rowFiles.Count();
        list->SetItem(0, row, text);
        list->SetItem(1, row, FileDateText(JoinPath(folder, name)));
        rowFiles.Add(name);
    }

    if (State.CurrentRow == -2) State.CurrentRow = rowFiles.IndexOf(State.PendingName);
    if (State.CurrentRow < 0) {
        SetStatusText("");
    } else {
        // Loads the row's palette, or clears the current palette when the row does not exist.
        list->SelectItem(State.CurrentRow);
    }
}

void AddFolder(const std::string& requested) {
    if (!FolderUsable(requested)) return;
    std::string path = requested;
    if (path.find('~') != std::string::npos) {
        const std::string longPath = LongPathOf(path);
        if (!longPath.empty()) path = longPath;
    }
    path = TidyFolderPath(path);

    TAPIDDCombo* combo = State.MainForm.FolderCombo;
    if (State.FolderList->Count() == 0) {
        State.FolderList->Add(path);
        combo->AddString(ShortenPath(path, kFolderEntryWidth));
        combo->SetCurSel(0);
    } else if (State.FolderList->IndexOf(path) < 0) {
        State.FolderList->Insert(0, path);
        combo->InsertString(ShortenPath(path, kFolderEntryWidth), 0);
        // The combo moved its selection down with the entry it was on, so entry 0 is a change
        // and runs FolderSelected.
        combo->SetCurSel(0);
    }
}

void FolderSelected() {
    TAPIDDCombo* combo = State.MainForm.FolderCombo;
    const int selected = combo->CurSel();
    // No selection (a saved index past the list's end) names no folder.
    State.CurrentFolder = combo->ItemCount() > 0 && selected >= 0 && selected < State.FolderList->Count()
                        ? State.FolderList->Get(selected)
                        : std::string();
    TAPIMemoNext* edit = State.MainForm.FolderEdit;
    edit->SetText(State.CurrentFolder);
    edit->SetCaret(static_cast<int>(State.CurrentFolder.size()));
    edit->ScrollCaret();
    PublishPaletteFolder();
    ::SetFocus(edit->Window);
}

void BrowseFolder() {
    const std::string edit = FolderEditText();
    State.CurrentFolder = edit.empty() ? State.ProgramFolder : edit;
    std::string chosen = State.CurrentFolder;
    {
        TModalScope modal;
        if (!BrowseForFolder(Window(), State.FolderBrowseTitle, chosen, false)) return;
    }
    State.CurrentFolder = chosen;
    AddFolder(State.CurrentFolder);
}

void RemoveFolder() {
    TAPIDDCombo* combo = State.MainForm.FolderCombo;
    if (combo->ItemCount() == 0) return;
    const std::string question =
        "[" + combo->GetItemText(combo->CurSel()) + "]" + "\r\n" + "\r\n" + MessageText(10);
    if (ShowMessageBox(question, State.AppTitle, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    const int selected = combo->CurSel();
    const int next = selected >= 1 ? selected - 1 : 0;
    if (selected >= 0) {
        State.FolderList->Delete(selected);
        combo->DeleteString(selected);
    }
    combo->SetCurSel(next);
}

void FolderCheckChanged() {
    PublishPaletteFolder();
    EnableFolderControls(FolderCheckChecked());
}

void EnableFolderControls(bool on) {
    State.MainForm.FolderCombo->SetEnabled(on);
    State.MainForm.New->SetEnabled(on);
    State.MainForm.Delete->SetEnabled(on);
    State.MainForm.FolderEdit->SetEnabled(on);
}

void DropOnFolderList(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    TAPIDDCombo* combo = State.MainForm.FolderCombo;
    const int before = combo->ItemCount();
    bool allFiles = true;
    std::string candidate;
    for (const std::string& path : paths) {
        if (FolderExists(path)) {
            candidate = path;
            allFiles = false;
        } else {
            candidate = DirectoryOf(path);
        }
        AddFolder(candidate);
    }
    const int added = combo->ItemCount() - before;
    if (added > 0) {
        SetStatusText(IntToText(added) + StatusText(18));
    } else {
        if (allFiles) {
            State.PendingName = FileNameOf(paths.back());
            State.CurrentRow = -2;
        }
        RefreshPaletteList(candidate);
    }
    ::SetForegroundWindow(Window());
    ::SetFocus(Window());
}

void ApplyExtendedView() {
    // Client width, height for the view, and the list shown or hidden.
    ApplyViewSize();
    if (ExtensionButtonDown()) {
        FolderSelected();
    } else {
        State.CurrentPaletteFile.clear();
        SetStatusText("");
    }
}

void ApplyViewSize() {
    TSDIMainWindow* w = State.MainWindow;
    if (w == nullptr) return;
    const bool extended = ExtensionButtonDown();
    w->SetClientWidth(State.MainSize.Width);
    w->SetClientHeight(extended ? State.MainSize.ExtendedHeight : State.MainSize.NormalHeight);
    if (State.MainForm.FileList != nullptr) State.MainForm.FileList->SetVisible(extended);
}

void AttachPaletteListHandlers(TAPIListView* list) {
    list->OnClick = PaletteListClicked;
    list->OnColumnClick = PaletteListColumnClick;
    list->OnBeginLabelEdit = PaletteListBeginEdit;
    list->OnEndLabelEdit = PaletteListEndEdit;
}

void PaletteListKeyUp(TMessageRecord* message) {
    // Page up/down, End, Home and the arrows move the selection: load the row it lands on.
    if (message->WParam >= VK_PRIOR && message->WParam <= VK_DOWN) LoadSelectedPalette();
}

void PaletteListColumnClick(TMessageRecord* message) {
    auto* block = reinterpret_cast<TColumnClickBlock*>(message);
    TAPIListView* list = State.MainForm.FileList;
    const HWND edit = reinterpret_cast<HWND>(::SendMessageA(list->Window, LVM_GETEDITCONTROL, 0, 0));
    if (edit != nullptr && ::GetFocus() == edit) {
        // An empty name ends the edit the way Esc on a new row or an emptied name does.
        ::SetWindowTextA(edit, "");
        ::SetFocus(list->Window);
        block->Record.WParam = 1;
        return;
    }
    // The sort the list would run next, run here so that State.CurrentRow can follow it; the list is
    // then told not to sort a second time.
    ::SendMessageA(list->Window, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&block->Params),
                   reinterpret_cast<LPARAM>(&CompareItems));
    block->Record.WParam = 1;
    State.CurrentRow = RowOfFile(RowTexts(*list), State.CurrentPaletteFile);
}
