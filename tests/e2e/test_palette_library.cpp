// The palette library end to end: the real vorlund.exe with a palette folder of real files,
// driven through its list, its commands, its message boxes and the mouse, and judged by the
// files on disk, the list's rows, the status text and the colours on the screen.
#include <gtest/gtest.h>

#include "Config.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ClipboardText.h"
#include "ControllerHarness.h"
#include "PaletteFormats.h"
#include "../../controller/PaletteExchange.h"
#include "ScreenPicture.h"

using namespace harness;

namespace {


std::string Lines(const char* rgb, int count = 16) {
    std::string text;
    for (int k = 0; k < count; ++k) text += std::to_string(k) + "=" + rgb + "\r\n";
    return text;
}

// Memory in the controller's process, for the list and status-bar messages that carry pointers.
class TRemoteMemory {
public:
    TRemoteMemory(DWORD pid, std::size_t size) : size_(size) {
        process_ = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_ != nullptr)
            base_ = static_cast<char*>(::VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    }
    ~TRemoteMemory() {
        if (base_ != nullptr) ::VirtualFreeEx(process_, base_, 0, MEM_RELEASE);
        if (process_ != nullptr) ::CloseHandle(process_);
    }
    TRemoteMemory(const TRemoteMemory&) = delete;
    TRemoteMemory& operator=(const TRemoteMemory&) = delete;

    char* At(std::size_t offset) const { return base_ + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        ::WriteProcessMemory(process_, base_ + offset, data, size, nullptr);
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        ::ReadProcessMemory(process_, base_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* base_ = nullptr;
    std::size_t size_;
};

// One controller started on a palette folder, with the extended view open.
class PaletteLibrary : public ::testing::Test {
protected:
    PaletteLibrary() : program_("library_prog"), Palettes("library_pal") {}

    ~PaletteLibrary() override {
        if (!process_.Running()) return;
        for (HWND box : TopWindows(process_.Id, "#32770")) ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        ::PostMessageA(Main, WM_COMMAND, MAKEWPARAM(kCmdExit, 0), 0);
        process_.WaitExit(10000);
    }

    void Start(int listSelect = 0) {
        ASSERT_TRUE(InstallController(program_));
        ::CopyFileA((TestFolder() + "\\vorlundLang.ini").c_str(), program_.File("vorlundLang.ini").c_str(), FALSE);
        ASSERT_TRUE(WriteTextFile(program_.File("vorlund.ini"),
                                  "[Pelmira]\r\nX=0\r\nY=0\r\nExtension=1\r\nSuspend=1\r\nShow=1\r\n"
                                  "[List]\r\nSelect=" + std::to_string(listSelect) + "\r\n"
                                  "[Folder]\r\nEnable=1\r\nCount=1\r\n1=" + Palettes.Path + "\r\nSelect=0\r\n"));
        ASSERT_TRUE(process_.Start(program_));
        Main = WaitForMainWindow(process_);
        ASSERT_NE(Main, nullptr);
        List = ::FindWindowExA(Main, nullptr, WC_LISTVIEWA, nullptr);
        Status = ::FindWindowExA(Main, nullptr, STATUSCLASSNAMEA, nullptr);
        ReWrite = ::FindWindowExA(Main, nullptr, "Button", "Re&Write");
        ASSERT_NE(List, nullptr);
        ASSERT_NE(Status, nullptr);
        ASSERT_NE(ReWrite, nullptr);
        memory_ = std::make_unique<TRemoteMemory>(process_.Id, 4096);
        // A pick is cancelled when the window loses the activation: start active, as a user
        // who works in the window is.
        ::SetForegroundWindow(Main);
        WaitFor([&] { return ::GetForegroundWindow() == Main; }, 5000);
        // The fill runs when the window is shown; it has answered a message since.
        Sync();
    }

    // Waits until the controller has handled everything posted to it so far: a sent message
    // would overtake them, so a posted one with a visible effect (the width of the Date
    // column, which nothing else changes) closes the queue.
    void Sync() const {
        static int serial = 0;
        const int width = 150 + (++serial % 2);
        ::PostMessageA(List, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(width, 0));
        WaitFor([&] { return ::SendMessageA(List, LVM_GETCOLUMNWIDTH, 1, 0) == width; });
    }

    void Command(UINT id) const { ::PostMessageA(Main, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

    int RowCount() const { return static_cast<int>(::SendMessageA(List, LVM_GETITEMCOUNT, 0, 0)); }

    std::string RowText(int row, int column = 0) const {
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = memory_->At(1024);
        item.cchTextMax = 1024;
        memory_->Write(0, &item, sizeof item);
        ::SendMessageA(List, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_->At(0)));
        char text[1025] = {};
        memory_->Read(1024, text, 1024);
        return text;
    }

    std::vector<std::string> Rows(int column = 0) const {
        std::vector<std::string> rows;
        for (int i = 0; i < RowCount(); ++i) rows.push_back(RowText(i, column));
        return rows;
    }

    std::vector<int> SelectedRows() const {
        std::vector<int> rows;
        for (int i = 0; i < RowCount(); ++i)
            if (::SendMessageA(List, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED) != 0) rows.push_back(i);
        return rows;
    }

    void SetSelected(int row, bool selected) const {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        memory_->Write(0, &item, sizeof item);
        ::SendMessageA(List, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_->At(0)));
    }

    std::string StatusText() const {
        ::SendMessageA(Status, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(memory_->At(1024)));
        char text[1025] = {};
        memory_->Read(1024, text, 1024);
        return text;
    }

    // Drops `paths` on the folder combo the way the shell does: a WM_DROPFILES whose drop
    // handle is a DROPFILES block in the controller's memory (a fixed block is its own handle).
    void DropOnFolderCombo(const std::vector<std::string>& paths) {
        DropOn(::FindWindowExA(Main, nullptr, "ComboBox", nullptr), paths);
    }

    void DropOn(HWND target, const std::vector<std::string>& paths) {
        std::string block(sizeof(DROPFILES), '\0');
        auto* header = reinterpret_cast<DROPFILES*>(block.data());
        header->pFiles = sizeof(DROPFILES);
        for (const std::string& path : paths) block += path + '\0';
        block += '\0';
        drops_.push_back(std::make_unique<TRemoteMemory>(process_.Id, block.size()));
        drops_.back()->Write(0, block.data(), block.size());
        ::PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(drops_.back()->At(0)), 0);
        Sync();
    }

    int FolderCount() const {
        return static_cast<int>(::SendMessageA(::FindWindowExA(Main, nullptr, "ComboBox", nullptr), CB_GETCOUNT, 0, 0));
    }

    // FolderEdit, laid over the combo's own edit.
    HWND FolderEdit() const {
        HWND combo = ::FindWindowExA(Main, nullptr, "ComboBox", nullptr);
        HWND comboEdit = ::FindWindowExA(combo, nullptr, "Edit", nullptr);
        return comboEdit != nullptr ? ::FindWindowExA(comboEdit, nullptr, "Edit", nullptr) : nullptr;
    }

    // The full path FolderEdit shows.
    std::string FolderEditText() const {
        HWND edit = FolderEdit();
        return edit != nullptr ? TextOf(edit) : "<none>";
    }

    // Types a folder into FolderEdit and presses Enter there, on the keyboard.
    void TypeFolder(const std::string& text) const {
        HWND edit = FolderEdit();
        ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ClickAt(edit, 5, 5);
        Sync();
        INPUT keys[2] = {};
        keys[0].type = keys[1].type = INPUT_KEYBOARD;
        keys[0].ki.wVk = keys[1].ki.wVk = VK_RETURN;
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, keys, sizeof(INPUT));
        // Input comes after posted messages: wait for the key's effect on the field or the status.
        const std::string status = StatusText();
        WaitFor([&] { return FolderEditText() != text || StatusText() != status; });
        Sync();
    }

    // A real click at a point of a window's client area.
    static void ClickAt(HWND window, int x, int y) {
        POINT p{x, y};
        ::ClientToScreen(window, &p);
        ::SetCursorPos(p.x, p.y);
        ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    }

    // Clicks row `row` of the list as a user does (the list's NM_CLICK loads it), `x` pixels into
    // its label: a second click on the same row goes elsewhere, or it would be a double click.
    void ClickRow(int row, int x = 5) const {
        RECT r{};
        r.left = LVIR_LABEL;
        memory_->Write(0, &r, sizeof r);
        ::SendMessageA(List, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(memory_->At(0)));
        memory_->Read(0, &r, sizeof r);
        ClickAt(List, r.left + x, (r.top + r.bottom) / 2);
    }

    // Screen point at the middle of colour button i (0-7 top row, 8-15 bottom row).
    POINT ButtonPoint(int i) const {
        POINT p{10 + (i % 8) * 38 + 18, (i < 8 ? 190 : 208) + 8};
        ::ClientToScreen(Main, &p);
        return p;
    }

    COLORREF ButtonColor(int i) const {
        const POINT p = ButtonPoint(i);
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, p.x, p.y);
        ::ReleaseDC(nullptr, screen);
        return c;
    }

    // The pixel at the top left corner of button i: its edge, sunken while it is pressed.
    COLORREF EdgePixel(int i) const {
        POINT p = ButtonPoint(i);
        p.x -= 18;
        p.y -= 8;
        HDC screen = ::GetDC(nullptr);
        const COLORREF c = ::GetPixel(screen, p.x, p.y);
        ::ReleaseDC(nullptr, screen);
        return c;
    }

    // The buttons are read from the screen, which shows a change only once the controller has
    // painted it, after the message that made the change: a check waits for the colours it
    // expects (and answers at once when they are there already).
    bool ButtonsShow(const std::function<COLORREF(int)>& expected) const {
        return WaitFor([&] {
            for (int i = 0; i < 16; ++i)
                if (ButtonColor(i) != expected(i)) return false;
            return true;
        });
    }

    bool ButtonsAre(COLORREF c) const {
        return ButtonsShow([c](int) { return c; });
    }

    // The eyedropper: press colour button i, move to the screen point `to`, release there.
    // Real input is handled after posted messages, so Sync cannot tell when it has been: each
    // step waits for what it shows on the screen before the next one moves the pointer (the
    // press's sunken edge, the colour under the pointer, the edge raised like any other's).
    void PickColour(int i, POINT to) const {
        const POINT from = ButtonPoint(i);
        const int other = (i + 1) % 16;
        const COLORREF target = ScreenPixel(to);
        MovePointer(from);
        ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
        WaitFor([&] { return EdgePixel(i) != EdgePixel(other); });
        MovePointer(to);
        ::mouse_event(MOUSEEVENTF_MOVE, 0, 0, 0, 0);
        WaitFor([&] { return ButtonColor(i) == target; });
        ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
        WaitFor([&] { return ButtonColor(i) == target && EdgePixel(i) == EdgePixel(other); });
        Sync();
    }

    // The label edit the list opened, once it is there.
    HWND WaitForLabelEdit() const {
        HWND edit = nullptr;
        WaitFor([&] {
            edit = ::FindWindowExA(List, nullptr, "Edit", nullptr);
            return edit != nullptr && ::IsWindowVisible(edit);
        });
        return edit;
    }

    // Types a name into the running label edit and presses Enter (or Esc).
    void TypeName(const std::string& name, WPARAM key = VK_RETURN) const {
        HWND edit = WaitForLabelEdit();
        ASSERT_NE(edit, nullptr);
        ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
        ::PostMessageA(edit, WM_KEYDOWN, key, 0);
        Sync();
    }

    // The visible message box, its text, and the answer given with `button`.
    std::string Answer(int button) const {
        HWND box = WaitForMessageBox(process_);
        if (box == nullptr) return "<no box>";
        const std::string text = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        WaitFor([&] { return !::IsWindow(box); });
        Sync();
        return text;
    }

    bool NoMessageBox() const {
        for (HWND w : TopWindows(process_.Id, "#32770"))
            if (::IsWindowVisible(w)) return false;
        return true;
    }

    // Message n of the shipped language file: its lines joined, messages ended by empty keys.
    static std::string LangMessage(int n) {
        std::vector<std::string> messages(1);
        for (int key = 0; key < 100 && static_cast<int>(messages.size()) <= n + 1; ++key) {
            const std::string line = IniString(TestFolder() + "\\vorlundLang.ini", "MessageBox", std::to_string(key));
            if (line == "<missing>" || line.empty()) {
                messages.emplace_back();
            } else {
                std::string& m = messages.back();
                m += (m.empty() ? "" : "\r\n") + line;
            }
        }
        return messages[static_cast<std::size_t>(n)];
    }
    std::string LangStatus(const char* key) const {
        std::string text = IniString(TestFolder() + "\\vorlundLang.ini", "StatusMessage", key);
        return text;
    }

    TTempFolder program_;
    TControllerProcess process_;
    std::unique_ptr<TRemoteMemory> memory_;
    std::vector<std::unique_ptr<TRemoteMemory>> drops_;

public:
    TTempFolder Palettes;
    HWND Main = nullptr;
    HWND List = nullptr;
    HWND Status = nullptr;
    HWND ReWrite = nullptr;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Filling the list
// ---------------------------------------------------------------------------------------------

TEST_F(PaletteLibrary, AnEmptyFolderGivesAnEmptyEnabledListAndWhiteColours) {
    ASSERT_TRUE(WriteTextFile(Palettes.File(".pli"), Lines("1,2,3")));
    Start();
    EXPECT_EQ(RowCount(), 0);  // ".pli" alone names no palette
    EXPECT_TRUE(::IsWindowEnabled(List));
    EXPECT_TRUE(ButtonsAre(0xFFFFFF));
    EXPECT_FALSE(::IsWindowEnabled(ReWrite));
}

TEST_F(PaletteLibrary, TheSavedRowIsSelectedAndLoadedWhenItExists) {
    const char* names[5] = {"e", "b", "d", "a", "c"};
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(WriteTextFile(Palettes.File(std::string(names[i]) + ".pli"),
                                  Lines((std::to_string(i * 10) + ",0,0").c_str())));
    Start(2);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(SelectedRows(), std::vector<int>{2});
    EXPECT_EQ(StatusText(), "c.pli");
    EXPECT_TRUE(ButtonsAre(RGB(40, 0, 0)));
    // Every row shows its file's date.
    EXPECT_EQ(RowText(0, 1).size(), std::string("2003/02/12 09:05:07").size());
    const std::string shots = ScreenshotFolder();
    EXPECT_TRUE(SaveWindowPicture(Main, shots + "\\palette_library.bmp"));
}

TEST_F(PaletteLibrary, ASavedRowPastTheEndSelectsNothingAndWhitensTheColours) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("0,0,255")));
    Start(2);
    EXPECT_EQ(RowCount(), 2);
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_TRUE(ButtonsAre(0xFFFFFF));
    EXPECT_EQ(StatusText(), "");
}

TEST_F(PaletteLibrary, ShortAndLfOnlyFilesLoadWithZerosWhereTextIsMissing) {
    std::string lfOnly;
    for (int k = 0; k < 16; ++k) lfOnly += std::to_string(k) + "=255,255,255\n";
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), lfOnly));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("255,0,0", 10)));
    Start(0);
    EXPECT_TRUE(ButtonsAre(RGB(255, 255, 255)));  // LF alone ends a line as CR LF does
    ClickRow(1);
    EXPECT_TRUE(WaitFor([&] { return StatusText() == "b.pli"; }));
    ButtonsShow([](int i) { return i < 10 ? RGB(255, 0, 0) : 0u; });
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ButtonColor(i), RGB(255, 0, 0)) << i;
    for (int i = 10; i < 16; ++i) EXPECT_EQ(ButtonColor(i), 0u) << i;
}

TEST_F(PaletteLibrary, TheDateHeaderSortsNewestFirstThenOldestFirst) {
    const char* names[3] = {"old", "mid", "new"};
    for (int i = 0; i < 3; ++i) {
        const std::string path = Palettes.File(std::string(names[i]) + ".pli");
        ASSERT_TRUE(WriteTextFile(path, Lines("1,1,1")));
        HANDLE f = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        SYSTEMTIME st{};
        st.wYear = static_cast<WORD>(2001 + i);
        st.wMonth = 3;
        st.wDay = 4;
        FILETIME ft{};
        ::SystemTimeToFileTime(&st, &ft);
        ::SetFileTime(f, nullptr, nullptr, &ft);
        ::CloseHandle(f);
    }
    Start(0);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"mid", "new", "old"}));
    HWND header = reinterpret_cast<HWND>(::SendMessageA(List, LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    const int dateX = static_cast<int>(::SendMessageA(List, LVM_GETCOLUMNWIDTH, 0, 0)) + 20;
    ClickAt(header, dateX, 5);
    WaitFor([&] { return Rows() == std::vector<std::string>{"new", "mid", "old"}; });
    EXPECT_EQ(Rows(), (std::vector<std::string>{"new", "mid", "old"}));
    // Away from the first click, so that the header sees no double click.
    ClickAt(header, dateX + 60, 5);
    WaitFor([&] { return Rows() == std::vector<std::string>{"old", "mid", "new"}; });
    EXPECT_EQ(Rows(), (std::vector<std::string>{"old", "mid", "new"}));
    // The current palette ("mid", loaded at start) keeps its selection through the sorts.
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
}

TEST_F(PaletteLibrary, DroppedFilesAndFoldersChooseTheFolderOrThePalette) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("1,1,1")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("2,2,2")));
    TTempFolder other("library_other");
    ASSERT_TRUE(WriteTextFile(other.File("x.pli"), Lines("3,3,3")));
    ASSERT_TRUE(WriteTextFile(other.File("y.pli"), Lines("4,4,4")));
    Start(0);
    ASSERT_EQ(FolderCount(), 1);

    // A palette of a folder not listed yet: the folder comes on top and is listed; the file is
    // not preselected (the saved row 0 is).
    DropOnFolderCombo({other.File("y.pli")});
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(FolderEditText(), other.Path);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(StatusText(), "1" + LangStatus("18"));

    // A palette of the listed folder: the list is read again and shows that palette.
    DropOnFolderCombo({other.File("y.pli")});
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(StatusText(), "y.pli");
    EXPECT_TRUE(ButtonsAre(RGB(4, 4, 4)));

    // Two new folders at once: both are added, the last on top and chosen.
    TTempFolder first("library_first");
    TTempFolder second("library_second");
    DropOnFolderCombo({first.Path, second.Path});
    EXPECT_EQ(FolderCount(), 4);
    EXPECT_EQ(FolderEditText(), second.Path);
    EXPECT_EQ(StatusText(), "2" + LangStatus("18"));
}

// ---------------------------------------------------------------------------------------------
// New, Duplicate, ReName
// ---------------------------------------------------------------------------------------------

TEST_F(PaletteLibrary, NewWritesAWhitePaletteAndEscLeavesNone) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("red.pli"), Lines("255,0,0")));
    Start(0);
    ASSERT_TRUE(ButtonsAre(RGB(255, 0, 0)));

    Command(kCmdListNew);
    TypeName("", VK_ESCAPE);
    EXPECT_EQ(Rows(), std::vector<std::string>{"red"});
    EXPECT_EQ(StatusText(), LangStatus("2"));

    Command(kCmdListNew);
    TypeName("Blue");
    EXPECT_EQ(FileText(Palettes.File("Blue.pli")), Lines("255,255,255"));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"red", "Blue"}));
    EXPECT_FALSE(RowText(1, 1).empty());
    EXPECT_EQ(StatusText(), "[Blue.pli]" + LangStatus("4"));
    EXPECT_TRUE(ButtonsAre(0xFFFFFF));
    EXPECT_TRUE(NoMessageBox());
}

TEST_F(PaletteLibrary, DuplicateAfterTwoPicksWritesThePickedColoursAndKeepsTheOriginal) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("abc.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("def.pli"), Lines("0,255,0")));
    Start(0);
    ASSERT_TRUE(ButtonsAre(RGB(0, 0, 255)));
    // The eyedropper takes the white of the list's background into buttons 0 and 1.
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    const POINT white{listRect.right - 10, listRect.bottom - 10};
    PickColour(0, white);
    PickColour(1, white);
    EXPECT_EQ(ButtonColor(0), ButtonColor(1));
    EXPECT_NE(ButtonColor(0), RGB(0, 0, 255));
    EXPECT_TRUE(::IsWindowEnabled(ReWrite));
    const COLORREF picked = ButtonColor(0);

    Command(kCmdDuplicate);
    TypeName("copy");
    const std::string copy = FileText(Palettes.File("copy.pli"));
    char line0[32];
    std::snprintf(line0, sizeof line0, "0=%u,%u,%u\r\n1=", GetRValue(picked), GetGValue(picked), GetBValue(picked));
    EXPECT_EQ(copy.substr(0, std::strlen(line0)), line0);
    EXPECT_NE(copy.find("2=0,0,255\r\n"), std::string::npos);
    EXPECT_EQ(FileText(Palettes.File("abc.pli")), Lines("0,0,255"));
}

TEST_F(PaletteLibrary, RenamingChangesCaseButRefusesAnExistingName) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("abc.pli"), Lines("1,2,3")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("def.pli"), Lines("4,5,6")));
    Start(0);
    Command(kCmdListReName);
    TypeName("ABC");
    EXPECT_TRUE(NoMessageBox());
    EXPECT_EQ(Palettes.Names(), (std::vector<std::string>{"ABC.pli", "def.pli"}));
    EXPECT_EQ(StatusText(), "abc" + LangStatus("5") + "ABC.pli" + LangStatus("8"));

    Command(kCmdListReName);
    TypeName("def");
    EXPECT_EQ(Answer(IDOK), LangMessage(5));
    // The edit is open again on the old name.
    HWND edit = WaitForLabelEdit();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(TextOf(edit), "ABC");
    EXPECT_EQ(StatusText(), LangStatus("9"));
    ::PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Sync();
    EXPECT_EQ(FileText(Palettes.File("def.pli")), Lines("4,5,6"));
    EXPECT_EQ(FileText(Palettes.File("ABC.pli")), Lines("1,2,3"));
}

TEST_F(PaletteLibrary, LongNamesCommasAndDeviceNamesAreRefusedBeforeAnythingIsWritten) {
    Start(0);
    struct {
        std::string name;
        int message;
    } const refused[] = {{std::string(250, 'a'), 8},
                         // Short enough as a name, but not in this folder: no file could be opened.
                         {std::string(MAX_PATH - Palettes.Path.size() - 4, 'c'), 8},
                         {"a,b", 7},
                         {"con", 7},
                         {"dot.", 7}};
    for (const auto& c : refused) {
        Command(kCmdListNew);
        TypeName(c.name);
        EXPECT_EQ(Answer(IDOK), LangMessage(c.message)) << c.name;
        TypeName("", VK_ESCAPE);
        EXPECT_EQ(RowCount(), 0) << c.name;
    }
    // The longest name the folder takes is written.
    const std::string longest(MAX_PATH - Palettes.Path.size() - 6, 'b');
    Command(kCmdListNew);
    TypeName(longest);
    EXPECT_TRUE(NoMessageBox());
    EXPECT_EQ(FileText(Palettes.File(longest + ".pli")), Lines("255,255,255"));
}

// ---------------------------------------------------------------------------------------------
// Unsaved colours, ReWrite, Delete
// ---------------------------------------------------------------------------------------------

TEST_F(PaletteLibrary, SwitchingRowsAsksToSaveAndNoDiscards) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("0,255,0")));
    Start(0);
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    PickColour(3, POINT{listRect.right - 10, listRect.bottom - 10});
    ASSERT_TRUE(::IsWindowEnabled(ReWrite));

    ClickRow(1);
    EXPECT_EQ(Answer(IDNO), "[a.pli]" + LangMessage(13));
    EXPECT_EQ(StatusText(), "b.pli");
    EXPECT_TRUE(ButtonsAre(RGB(0, 255, 0)));
    EXPECT_FALSE(::IsWindowEnabled(ReWrite));
    EXPECT_EQ(FileText(Palettes.File("a.pli")), Lines("0,0,255"));
}

TEST_F(PaletteLibrary, AWriteToAReadOnlyPaletteIsReportedAndTheFileStaysIntact) {
    const std::string path = Palettes.File("locked.pli");
    ASSERT_TRUE(WriteTextFile(path, Lines("0,0,255")));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Start(0);
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    PickColour(0, POINT{listRect.right - 10, listRect.bottom - 10});
    ASSERT_TRUE(::IsWindowEnabled(ReWrite));

    ::PostMessageA(ReWrite, BM_CLICK, 0, 0);
    const std::string report = Answer(IDOK);
    EXPECT_EQ(report.rfind("[locked.pli]\r\n" + LangMessage(14), 0), 0u) << report;
    EXPECT_TRUE(::IsWindowEnabled(ReWrite));
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(FileText(path), Lines("0,0,255"));
}

TEST_F(PaletteLibrary, DeletingThreeRowsAsksOnceAndLoadsTheFollowingRow) {
    for (const char* name : {"a", "b", "c", "d", "e"})
        ASSERT_TRUE(WriteTextFile(Palettes.File(std::string(name) + ".pli"), Lines(*name == 'e' ? "9,9,9" : "1,1,1")));
    Start(0);
    for (int row : {1, 2, 3}) SetSelected(row, true);
    SetSelected(0, false);
    Command(kCmdListDelete);
    EXPECT_EQ(Answer(IDYES), LangMessage(9));
    EXPECT_TRUE(NoMessageBox());
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a", "e"}));
    for (const char* name : {"b", "c", "d"}) EXPECT_FALSE(FileExists(Palettes.File(std::string(name) + ".pli"))) << name;
    // Row 1 is now "e", the row that followed the deleted ones.
    EXPECT_EQ(SelectedRows(), std::vector<int>{1});
    EXPECT_EQ(StatusText(), "e.pli");
    EXPECT_TRUE(ButtonsAre(RGB(9, 9, 9)));
}

// ---------------------------------------------------------------------------------------------
// Nothing overwritten, re-created or lost
// ---------------------------------------------------------------------------------------------

TEST_F(PaletteLibrary, APaletteThatCannotBeReadSaysWhyAndLeavesNothingToWriteOverIt) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("0,255,0")));
    Start(0);
    ASSERT_TRUE(ButtonsAre(RGB(0, 0, 255)));

    // Held open by someone else, as a colour dialog's load holds it.
    HANDLE held = ::CreateFileA(Palettes.File("b.pli").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ClickRow(1);
    EXPECT_TRUE(WaitFor([&] { return StatusText().rfind("[b.pli] ", 0) == 0; })) << StatusText();
    EXPECT_TRUE(SelectedRows().empty());
    EXPECT_TRUE(ButtonsAre(RGB(0, 0, 255)));
    // A pick now changes no palette, so neither ReWrite nor a save question can write b.pli.
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    PickColour(0, POINT{listRect.right - 10, listRect.bottom - 10});
    EXPECT_FALSE(::IsWindowEnabled(ReWrite));
    ::CloseHandle(held);
    EXPECT_EQ(FileText(Palettes.File("b.pli")), Lines("0,255,0"));

    // A row whose file vanished says so at the first click.
    ASSERT_TRUE(::DeleteFileA(Palettes.File("a.pli").c_str()));
    ClickRow(0);
    EXPECT_TRUE(WaitFor([&] { return StatusText().rfind("[a.pli] ", 0) == 0; })) << StatusText();
    EXPECT_TRUE(NoMessageBox());
}

TEST_F(PaletteLibrary, NewNeverReplacesAFileAFolderOrAFileAnsweringToTheShortName) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("mycolours.pli"), Lines("1,2,3")));
    ASSERT_TRUE(::CreateDirectoryA(Palettes.File("sub.pli").c_str(), nullptr));
    char shortPath[MAX_PATH + 1] = {};
    ::GetShortPathNameA(Palettes.File("mycolours.pli").c_str(), shortPath, MAX_PATH);
    std::string alias = shortPath;
    alias = alias.substr(alias.find_last_of('\\') + 1);
    ASSERT_GT(alias.size(), 4u);
    alias.resize(alias.size() - 4);  // the row name: less ".PLI"
    ASSERT_NE(alias, "mycolours") << "the file system keeps no short names";
    Start(0);

    struct {
        std::string name;
        int message;
    } const taken[] = {{"mycolours", 5}, {"sub", 4}, {alias, 5}};
    for (const auto& c : taken) {
        Command(kCmdListNew);
        TypeName(c.name);
        EXPECT_EQ(Answer(IDOK), LangMessage(c.message)) << c.name;
        TypeName("", VK_ESCAPE);
        EXPECT_EQ(Rows(), std::vector<std::string>{"mycolours"}) << c.name;
    }
    EXPECT_EQ(FileText(Palettes.File("mycolours.pli")), Lines("1,2,3"));
    EXPECT_EQ(Palettes.Names(), std::vector<std::string>{"mycolours.pli"});
}

TEST_F(PaletteLibrary, DeletingTheChangedCurrentPaletteForgetsItsChanges) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("0,255,0")));
    Start(0);
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    PickColour(3, POINT{listRect.right - 10, listRect.bottom - 10});
    ASSERT_TRUE(::IsWindowEnabled(ReWrite));

    Command(kCmdListDelete);
    EXPECT_EQ(Answer(IDYES), LangMessage(9));
    // No question to save the deleted palette, whose "Yes" would bring it back.
    EXPECT_TRUE(NoMessageBox());
    EXPECT_FALSE(FileExists(Palettes.File("a.pli")));
    EXPECT_EQ(Rows(), std::vector<std::string>{"b"});
    EXPECT_EQ(StatusText(), "b.pli");
    EXPECT_EQ(FileText(Palettes.File("b.pli")), Lines("0,255,0"));
}

TEST_F(PaletteLibrary, CancelKeepsTheChangesAndTheRowYesAndReWriteWriteTheFile) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("a.pli"), Lines("0,0,255")));
    ASSERT_TRUE(WriteTextFile(Palettes.File("b.pli"), Lines("0,255,0")));
    Start(0);
    RECT listRect{};
    ::GetWindowRect(List, &listRect);
    const POINT white{listRect.right - 10, listRect.bottom - 10};
    PickColour(3, white);
    const COLORREF picked = ButtonColor(3);
    ASSERT_NE(picked, RGB(0, 0, 255));
    char line3[32];
    std::snprintf(line3, sizeof line3, "3=%u,%u,%u\r\n", GetRValue(picked), GetGValue(picked), GetBValue(picked));

    ClickRow(1);
    EXPECT_EQ(Answer(IDCANCEL), "[a.pli]" + LangMessage(13));
    EXPECT_EQ(SelectedRows(), std::vector<int>{0});
    EXPECT_TRUE(::IsWindowEnabled(ReWrite));
    EXPECT_EQ(ButtonColor(3), picked);
    EXPECT_EQ(FileText(Palettes.File("a.pli")), Lines("0,0,255"));

    ClickRow(1, 30);
    EXPECT_EQ(Answer(IDYES), "[a.pli]" + LangMessage(13));
    EXPECT_NE(FileText(Palettes.File("a.pli")).find(line3), std::string::npos);
    EXPECT_EQ(StatusText(), "b.pli");
    EXPECT_TRUE(ButtonsAre(RGB(0, 255, 0)));

    // ReWrite: the file, its row's date and the status text.
    const std::string before = RowText(1, 1);
    ::Sleep(1100);  // the date shows seconds
    PickColour(3, white);
    ::PostMessageA(ReWrite, BM_CLICK, 0, 0);
    Sync();
    EXPECT_NE(FileText(Palettes.File("b.pli")).find(line3), std::string::npos);
    EXPECT_NE(RowText(1, 1), before);
    EXPECT_EQ(StatusText(), "[b.pli]" + LangStatus("11"));
    EXPECT_FALSE(::IsWindowEnabled(ReWrite));
    EXPECT_TRUE(NoMessageBox());
}

TEST_F(PaletteLibrary, ExitAndSuspendWaitWhileTheControllersOwnBoxIsOpen) {
    Start(0);
    Command(kCmdListNew);
    TypeName("a,b");
    HWND box = WaitForMessageBox(process_);
    ASSERT_NE(box, nullptr);
    // What the tray menu sends while the box is up: the code after the box still needs the window.
    Command(kCmdExit);
    Command(kCmdSuspend);
    Sync();
    EXPECT_TRUE(process_.Running());
    EXPECT_TRUE(::IsWindow(box));
    EXPECT_EQ(Answer(IDOK), LangMessage(7));
    // The refused name is edited again, as it is without the interruption.
    EXPECT_NE(WaitForLabelEdit(), nullptr);
    EXPECT_EQ(StatusText(), LangStatus("9"));
    TypeName("", VK_ESCAPE);
    Command(kCmdExit);
    EXPECT_EQ(process_.WaitExit(10000), 0);
}

// ---------------------------------------------------------------------------------------------
// Folders typed, folders gone
// ---------------------------------------------------------------------------------------------

TEST_F(PaletteLibrary, TypedFoldersAreListedAndPublishedAsFullPathsOfExistingFoldersOnly) {
    Start(0);
    // Relative to the controller's folder (its current directory), not to each hooked program's.
    ASSERT_TRUE(::CreateDirectoryA(program_.File("rel").c_str(), nullptr));
    TypeFolder("rel");
    EXPECT_EQ(FolderCount(), 2);
    EXPECT_EQ(FolderEditText(), program_.File("rel"));
    TSharedBlock block{};
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(std::string(block.PaletteFolder), program_.File("rel"));

    // A wildcard and a folder that is not there: not listed, the reason shown, the field back.
    for (const std::string& bad : {Palettes.Path + "\\*", Palettes.File("none")}) {
        TypeFolder(bad);
        EXPECT_EQ(FolderCount(), 2) << bad;
        EXPECT_EQ(StatusText(), "[" + bad + "] " + LangStatus("1")) << bad;
        EXPECT_EQ(FolderEditText(), program_.File("rel")) << bad;
    }
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(std::string(block.PaletteFolder), program_.File("rel"));

    // The listed folder removed behind the controller's back: the first F5 says so.
    ASSERT_TRUE(::RemoveDirectoryA(program_.File("rel").c_str()));
    Command(kCmdReLoad);
    Sync();
    EXPECT_EQ(StatusText(), LangStatus("1"));
}

// Another tool's palette of twenty colours dropped on the list becomes two palettes of sixteen,
// the second filled up with white; Export writes the current colours as a GIMP palette.
TEST_F(PaletteLibrary, ADroppedGimpPaletteIsImportedInSixteensAndExportWritesOne) {
    ASSERT_TRUE(WriteTextFile(Palettes.File("c.pli"), Lines("20,0,0")));
    Start(0);
    TTempFolder elsewhere("import");
    std::string gpl = "GIMP Palette\nName: warm\n#\n";
    for (int i = 0; i < 20; ++i) gpl += std::to_string(i * 10) + " " + std::to_string(200 - i) + " 7\tc" + std::to_string(i) + "\n";
    ASSERT_TRUE(WriteTextFile(elsewhere.File("warm.gpl"), gpl));

    DropOn(List, {elsewhere.File("warm.gpl")});
    ASSERT_TRUE(WaitFor([&] { return Rows().size() == 3; })) << Rows().size();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"c", "warm 1", "warm 2"}));
    std::string first, second;
    for (int k = 0; k < 16; ++k) {
        first += std::to_string(k) + "=" + std::to_string(k * 10) + "," + std::to_string(200 - k) + ",7\r\n";
        second += std::to_string(k) + "=" +
                  (k < 4 ? std::to_string(160 + k * 10) + "," + std::to_string(184 - k) + ",7" : "255,255,255") + "\r\n";
    }
    EXPECT_EQ(FileText(Palettes.File("warm 1.pli")), first);
    EXPECT_EQ(FileText(Palettes.File("warm 2.pli")), second);

    // The current palette (c: sixteen times 20,0,0) out through the save box as ".gpl".
    Command(kCmdExport);
    HWND box = WaitForMessageBox(process_);
    ASSERT_NE(box, nullptr) << "no save box";
    HWND name = ::GetDlgItem(box, 1148) != nullptr ? ::GetDlgItem(box, 1148) : ::GetDlgItem(box, 1152);
    const std::string out = Palettes.File("export.gpl");
    ::SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(out.c_str()));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(WaitFor([&] { return FileExists(out); }));
    const std::string text = FileText(out);
    EXPECT_EQ(text.rfind("GIMP Palette\n", 0), 0u) << text;
    const pelmira::formats::TReadResult back = pelmira::formats::ReadPalette(text, out);
    ASSERT_TRUE(back.Ok) << back.Error;
    EXPECT_EQ(back.Colors, pelmira::formats::TPalette(16, {20, 0, 0, ""}));
}

// The colour menu's clipboard items: "#RRGGBB" and "R, G, B" out, any colour text in, anything
// else refused in the status bar with the colour unchanged.
TEST_F(PaletteLibrary, TheColourMenuCopiesAndPastesColoursAsText) {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitFor([&] { return ButtonsAre(RGB(255, 255, 255)); }));
    // Item `item` of colour button i's menu (Edit, Init, Duplicate, Export, Copy as #RRGGBB,
    // Copy as R, G, B, Paste colour), chosen on the keyboard.
    auto choose = [&](int i, int item) {
        const POINT p = ButtonPoint(i);
        ::SetCursorPos(p.x, p.y);
        ::mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
        ::mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            menu = ::FindWindowA("#32768", nullptr);
            return menu != nullptr && ::IsWindowVisible(menu);
        }));
        // Home first: a pointer movement the menu saw before the keys may have selected an item
        // already, and counting down from it would land one further.
        ::PostMessageA(menu, WM_KEYDOWN, VK_HOME, 0);
        for (int k = 0; k < item; ++k) ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindowVisible(menu); }));
        Sync();
    };
    auto clip = [] { return ReadClipboardText(nullptr).value_or("<none>"); };

    ASSERT_TRUE(WriteClipboardText(nullptr, " rgb(18, 52, 86)\r\n"));
    choose(3, 6);
    EXPECT_TRUE(WaitFor([&] { return ButtonColor(3) == RGB(18, 52, 86); })) << std::hex << ButtonColor(3);
    EXPECT_EQ(ButtonColor(4), RGB(255, 255, 255)) << "only the button whose menu it was";

    choose(3, 4);
    EXPECT_TRUE(WaitFor([&] { return clip() == "#123456"; })) << clip();
    choose(3, 5);
    EXPECT_TRUE(WaitFor([&] { return clip() == "18, 52, 86"; })) << clip();

    // The copied text pastes back onto another button.
    choose(5, 6);
    EXPECT_TRUE(WaitFor([&] { return ButtonColor(5) == RGB(18, 52, 86); })) << std::hex << ButtonColor(5);

    ASSERT_TRUE(WriteClipboardText(nullptr, "18, 52"));
    choose(3, 6);
    EXPECT_TRUE(WaitFor([&] { return StatusText().find("no colour") != std::string::npos; })) << StatusText();
    EXPECT_EQ(ButtonColor(3), RGB(18, 52, 86));
}
