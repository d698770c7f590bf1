// PaletteList.cpp: the palette folder, the folder row and the palette list (see PaletteList.h).
#include "PaletteList.h"

#include "APIWindow.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "PaletteOps.h"
#include "PaletteRules.h"
#include "PaletteStore.h"
#include "PaletteText.h"
#include "Placement.h"
#include "Program.h"
#include "ScopedHandles.h"
#include "UtilFunc.h"

#include <unordered_map>

namespace {

constexpr std::uint8_t kFolderEntryWidth = 22;  // display width of the folder combo's entries
constexpr const char* kPaletteExtensionNoDot = "pli";

bool FolderCheckChecked() { return State.MainForm.FolderCheck != nullptr && State.MainForm.FolderCheck->Checked; }

std::string FolderEditText() { return State.MainForm.FolderEdit != nullptr ? State.MainForm.FolderEdit->GetText() : std::string(); }

// The list's own window procedure, called directly for the per-row messages of a fill or a sort.
// A SendMessage would also run every WH_CALLWNDPROC hook on the system, the hook library's
// among them, and each of those calls is a round trip to the wineserver under Wine: tens of
// thousands of them for a big folder. The messages and their answers are the same.
class TListCalls {
public:
    explicit TListCalls(HWND list)
        : list_(list), proc_(reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(list, GWLP_WNDPROC))) {}
    LRESULT operator()(UINT message, WPARAM wParam, const void* lParam) const {
        return ::CallWindowProcA(proc_, list_, message, wParam, reinterpret_cast<LPARAM>(lParam));
    }

private:
    HWND list_;
    WNDPROC proc_;
};

// Redrawing stays off while the list is refilled and is switched on (with one repaint) at the end,
// exceptions included.
class TRedrawOff {
public:
    explicit TRedrawOff(HWND window) : window_(window) { ::SendMessageA(window_, WM_SETREDRAW, FALSE, 0); }
    ~TRedrawOff() {
        ::SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(window_, nullptr, TRUE);
    }
    TRedrawOff(const TRedrawOff&) = delete;
    TRedrawOff& operator=(const TRedrawOff&) = delete;

private:
    HWND window_;
};

// The date column's text for a found file's write time, as FileDateText gives it for the file.
std::string ListedDateText(const FILETIME& written) {
    FILETIME local{};
    SYSTEMTIME time{};
    if (!::FileTimeToLocalFileTime(&written, &local) || !::FileTimeToSystemTime(&local, &time)) return {};
    return FormatFileDate(time);
}

// Every row's column-0 text, in row order.
std::vector<std::string> RowTexts(const TAPIListView& list) {
    std::vector<std::string> texts;
    const int count = list.ItemCount();
    for (int i = 0; i < count; ++i) texts.push_back(list.GetItemText(i, 0));
    return texts;
}

// One row as a sort sees it: its item parameter and the texts of column 0 and the sorted column.
struct TSortRow {
    std::string Name;
    std::string Key;
};

// The texts a column sort compares, read once per sort instead of twice per comparison; keyed
// by item parameter, the first row holding a parameter counts, as a search from the top finds it.
struct TSortCache {
    std::unordered_map<LPARAM, TSortRow> Rows;
    bool Unique = true;  // false: two rows share a parameter, and only messages tell them apart
    bool Numeric = false;
    int Direction = 1;
};

TSortCache ReadSortCache(HWND list, const TSortParams& params) {
    const TListCalls call(list);
    TSortCache cache;
    cache.Numeric = params.Numeric;
    cache.Direction = params.Direction;
    const int count = static_cast<int>(call(LVM_GETITEMCOUNT, 0, nullptr));
    cache.Rows.reserve(static_cast<std::size_t>(count));
    char text[TAPIListView::kTextBuffer];
    const auto readText = [&](int row, int column) {
        text[0] = '\0';
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = TAPIListView::kTextBuffer;
        call(LVM_GETITEMTEXTA, static_cast<WPARAM>(row), &item);
        text[TAPIListView::kTextBuffer - 1] = '\0';
        return std::string(text);
    };
    for (int row = 0; row < count; ++row) {
        LVITEMA item{};
        item.mask = LVIF_PARAM;
        item.iItem = row;
        if (!call(LVM_GETITEMA, 0, &item)) continue;
        if (cache.Rows.count(item.lParam) != 0) {
            cache.Unique = false;
            continue;
        }
        TSortRow& entry = cache.Rows[item.lParam];
        entry.Name = readText(row, 0);
        entry.Key = params.Column == 0 ? entry.Name : readText(row, params.Column);
    }
    return cache;
}

// LVM_SORTITEMS callback over a TSortCache: the order CompareItems gives, without a message.
int CALLBACK CompareCachedRows(LPARAM first, LPARAM second, LPARAM cacheParam) noexcept {
    const auto* cache = reinterpret_cast<const TSortCache*>(cacheParam);
    const auto a = cache->Rows.find(first);
    const auto b = cache->Rows.find(second);
    if (a == cache->Rows.end() || b == cache->Rows.end()) return 0;
    return CompareColumnTexts(a->second.Key.c_str(), b->second.Key.c_str(), cache->Numeric, cache->Direction);
}

// The first row, after a sort, whose column-0 text names `currentFile` (RowOfFile's answer for
// the list's rows), found through the cached rows and one search per matching row.
int SortedRowOf(HWND list, const TSortCache& cache, const std::string& currentFile) {
    const std::string name = RowTextOf(currentFile);
    if (name.empty()) return -1;
    const TListCalls call(list);
    int best = -1;
    for (const auto& [param, row] : cache.Rows) {
        if (row.Name != name) continue;
        LVFINDINFOA find{};
        find.flags = LVFI_PARAM;
        find.lParam = param;
        const int at = static_cast<int>(call(LVM_FINDITEMA, static_cast<WPARAM>(-1), &find));
        if (at >= 0 && (best < 0 || at < best)) best = at;
    }
    return best;
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
    // The selected entry, not the field's text: what is typed there is listed (as a full path)
    // only once it proves to be a folder, and only listed folders are published.
    const TAPIDDCombo* combo = State.MainForm.FolderCombo;
    const int selected = combo != nullptr ? combo->CurSel() : -1;
    if (State.FolderList && selected >= 0 && selected < State.FolderList->Count() && FolderCheckChecked())
        return State.FolderList->Get(selected);
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

    // One search gives the names and their dates: no second look at each file.
    TStringArray names;
    std::unordered_map<std::string, FILETIME> written;
    {
        WIN32_FIND_DATAA data{};
        const TScopedFind search((folder + "\\*." + kPaletteExtensionNoDot).c_str(), data);
        if (!search) {
            FillAllColors(0xFFFFFF);
            ShowStatusMessage(0);
            return;
        }
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
            names.Add(data.cFileName);
            written.emplace(data.cFileName, data.ftLastWriteTime);
        } while (search.Next(data));
    }
    names.Sort();

    // Rows are numbered as they are inserted: a skipped name (".pli" alone) leaves no gap, so
    // the date goes to the row just inserted and every item parameter is unique.
    TStringArray rowFiles;
    {
        const TRedrawOff quiet(list->Window);
        const TListCalls call(list->Window);
        call(LVM_SETITEMCOUNT, static_cast<WPARAM>(names.Count()), nullptr);
        for (int i = 0; i < names.Count(); ++i) {
            const std::string name = names.Get(i);
            std::string text = RowTextOf(name);
            // The search also matches short names: "x.pli2" answers to "*.pli" as X~1.PLI, but its
            // row would name a file that is not there.
            if (text.empty() || !pelmira::HasPaletteExtension(name)) continue;
            const int row = rowFiles.Count();
            const auto date = written.find(name);
            std::string dateText = date != written.end() ? ListedDateText(date->second) : std::string();
            // What TAPIListView::SetItem sends for column 0 and for column 1.
            LVITEMA item{};
            item.mask = LVIF_TEXT | LVIF_PARAM;
            item.iItem = row;
            item.lParam = row;
            item.pszText = text.data();
            call(LVM_INSERTITEMA, 0, &item);
            item.mask = LVIF_TEXT;
            item.iSubItem = 1;
            item.pszText = dateText.data();
            call(LVM_SETITEMA, 0, &item);
            rowFiles.Add(name);
        }
    }

    if (State.CurrentRow == -2) State.CurrentRow = rowFiles.IndexOf(State.PendingName);
    if (State.CurrentRow < 0) {
        SetStatusText("");
    } else {
        // Loads the row's palette, or clears the current palette when the row does not exist.
        list->SelectItem(State.CurrentRow);
    }
}

std::string ExistingFolderPath(const std::string& requested) {
    // A wildcard would pass the existence test (it finds whatever matches) and mean something
    // else to every program that reads the published folder.
    if (requested.empty() || requested.find_first_of("*?") != std::string::npos) return {};
    std::string path = requested;
    // "D:" alone is the current folder of drive D to GetFullPathName; typed, it means the root.
    if (path.size() == 2 && path[1] == ':') path += '\\';
    // Relative to the controller's current folder now, not to each hooked program's own.
    char full[MAX_PATH + 1] = {};
    const DWORD length = ::GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length > MAX_PATH) return {};
    path = full;
    const bool root = path.size() == 3 && path[1] == ':' && path[2] == '\\';
    if (root ? !FolderUsable(path.substr(0, 2)) : !FolderExists(path)) return {};
    return path;
}

bool AddFolder(const std::string& requested) {
    std::string path = ExistingFolderPath(requested);
    if (path.empty()) return false;
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
    return true;
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
        // Without a listed folder the field keeps showing the program folder the list shows.
        if (State.MainForm.FolderCombo->ItemCount() > 0) FolderSelected();
        else PublishPaletteFolder();
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
    // The extended view grows downward from where the normal view was: at large scales that can
    // run past the bottom of the screen.
    if (extended) KeepBottomInWorkArea(w->Handle);
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
    // then told not to sort a second time. The compared texts are read once, not per comparison.
    const TSortCache cache = ReadSortCache(list->Window, block->Params);
    block->Record.WParam = 1;
    if (!cache.Unique) {
        ::SendMessageA(list->Window, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&block->Params),
                       reinterpret_cast<LPARAM>(&CompareItems));
        State.CurrentRow = RowOfFile(RowTexts(*list), State.CurrentPaletteFile);
        return;
    }
    ::SendMessageA(list->Window, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&cache),
                   reinterpret_cast<LPARAM>(&CompareCachedRows));
    State.CurrentRow = SortedRowOf(list->Window, cache, State.CurrentPaletteFile);
}
