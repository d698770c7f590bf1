// CmCtrl.h: objects for the common controls: status bar (TAPIStatusBar), tool tips (TToolTip),
// menu help texts in a status bar (TMenuHelp) and the report-style list view (TAPIListView).
// Each object watches its parent window through MessageDispatcher (it hears the parent's
// WM_NOTIFY and WM_SIZE) and leaves its own window's procedure alone. It belongs to the parent:
// freed at the parent's WM_DESTROY, it destroys its own window. GUI thread only.
// The hook library's build carries TCmCtrl, TAPIStatusBar and TToolTip only.
#pragma once

#include "UtilClass.h"

#include <commctrl.h>

#include <cstddef>
#include <string>

// Control ids of the common controls: starts at 1000, one per status bar, tool tip or list view
// created (a tool tip takes a number although its window has no id).
extern int NextCommonControlID;

// Base of the common controls. Construction is two-step like TSelfSubClass: the constructor
// registers the object on the parent and listens for WM_NOTIFY; CreateControlWindow() then runs
// the class's CreateControl. NewControl<T>(parent) (UtilClass.h) does both.
class TCmCtrl : public TSubClass {
public:
    explicit TCmCtrl(HWND parent);
    // Destroys Window.
    ~TCmCtrl() override;

    // Runs CreateControl once.
    void CreateControlWindow();

    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    bool IsVisible() const;
    void SetVisible(bool visible);

    HWND Window = nullptr;  // the control's own window
    int ID = 0;             // from NextCommonControlID
    // NM_CLICK, NM_DBLCLK, NM_RCLICK, NM_RDBLCLK. The status bar reports all four; the list view
    // reports the first two (they are its OnClick and OnDblClick).
    TEventProc OnClick = nullptr;
    TEventProc OnDblClick = nullptr;
    TEventProc OnRClick = nullptr;
    TEventProc OnRDblClick = nullptr;

protected:
    virtual void CreateControl() = 0;

    // The NMHDR of a WM_NOTIFY from Window, or null for any other message.
    const NMHDR* NotifyFromSelf(const TMessageRecord& message) const;

private:
    bool created_ = false;
};

// ---------------------------------------------------------------------------------------------
// Status bar
// ---------------------------------------------------------------------------------------------

class TAPIStatusBar : public TCmCtrl {
public:
    static constexpr int kPartCount = 10;

    explicit TAPIStatusBar(HWND parent);

    // Docks the bar at the top (CCS_TOP) or at the bottom of the parent, at once.
    void SetAtTop(bool atTop);
    // Lets the bar fit itself to the parent again (WM_SIZE 0, 0).
    void Relayout();
    // Parts 0 to 9 take the border style of PartStyles[part]; part 255 (SB_SIMPLEID) is the text
    // of the simple mode. Other part numbers are ignored.
    void SetText(int part, const std::string& text);

    void DefaultHandler(TMessageRecord& message) override;

    // Per part: 1 no borders, 2 pop-out, anything else the normal sunken border.
    BYTE PartStyles[kPartCount] = {};
    bool AtTop = true;  // the bar is created docked at the top
    TEventProc OnSize = nullptr;
    TEventProc OnSimpleModeChange = nullptr;

protected:
    void CreateControl() override;

private:
    void KeepAtTop();
};

// A status bar on `parent`, docked at the top or at the bottom.
TAPIStatusBar* CreateStatusBar(HWND parent, bool atTop);

// ---------------------------------------------------------------------------------------------
// Tool tips
// ---------------------------------------------------------------------------------------------

// The TOOLINFOA size we pass: up to and including lParam. comctl32 before version 6 refuses the
// full structure of newer headers (which ends in lpReserved); every version accepts this one. It
// is 44 bytes in the 32-bit build.
constexpr UINT kToolInfoSize = offsetof(TOOLINFOA, lpReserved);  // TTTOOLINFOA_V2_SIZE
#if !defined(_WIN64)
static_assert(kToolInfoSize == 44, "the 32-bit TOOLINFOA up to lParam");
#endif

class TToolTip : public TCmCtrl {
public:
    explicit TToolTip(HWND parent);

    // Registers a tool for a control with a window (TAPIControl, TCmCtrl: the tool is that
    // window) or for a windowless TGDIObject (the tool is its bounds on its window, its id the
    // object). Anything else registers nothing and answers 0. The object is recorded in Tools in
    // every case. Answers TTM_ADDTOOLA's result.
    LRESULT AddTool(TObject* object, const std::string& text);
    // uId of the tool at `index` (TTM_ENUMTOOLSA); 0 when there is none.
    UINT_PTR ToolId(int index) const;
    // The tool under the tip now (TTM_GETCURRENTTOOLA). `info` is cleared first and gets no text.
    bool GetCurrentTool(TOOLINFOA& info) const;
    // TTM_ACTIVATE, only when `active` differs from Active.
    void SetActive(bool active);
    int ToolCount() const;

    void DefaultHandler(TMessageRecord& message) override;

    TIntegerList Tools;          // the objects given to AddTool
    bool Active = true;
    int CreatedToolCount = 0;    // read right after creation
    TEventProc OnPop = nullptr;  // TTN_POP
    TEventProc OnShow = nullptr; // TTN_SHOW

protected:
    void CreateControl() override;
};

#if !PELMIRA_HOOKLIB
// Controller build only: menu help and the palette list view. The hook library shows no menus
// of its own and lists no files.

// ---------------------------------------------------------------------------------------------
// Menu help
// ---------------------------------------------------------------------------------------------

// Shows a help text for the highlighted menu command in the simple pane of a status bar while a
// menu of the watched window is open.
class TMenuHelp : public TSubClass {
public:
    explicit TMenuHelp(HWND window);

    void DefaultHandler(TMessageRecord& message) override;

    HWND StatusWindow = nullptr;  // the status bar's window; set by the program
    TIntegerList CommandIds;      // command id at index i ...
    TStringArray HelpTexts;       // ... has the help text at index i

private:
    // The command id of WM_MENUSELECT; 0 for none (a separator, a closed menu).
    static UINT SelectedCommand(WPARAM wParam, LPARAM lParam);
};

// ---------------------------------------------------------------------------------------------
// List view
// ---------------------------------------------------------------------------------------------

// One column sort, handed to CompareItems through LVM_SORTITEMS.
struct TSortParams {
    HWND ListWindow;
    int StartIndex;  // where LVM_FINDITEMA starts (-1: from the first row)
    int Column;
    int Direction;   // 1 or 2
    bool Numeric;
};

// What OnColumnClick receives: the WM_NOTIFY record (Msg = the list view object, WParam = the
// list's id, LParam = the NMLISTVIEW) followed by the sort about to run. The callback allows the
// sort by writing 0 into Record.WParam and forbids it with any other value.
struct TColumnClickBlock {
    TMessageRecord Record;
    TSortParams Params;
};

// Order of two column texts for a sort. Numeric columns compare as signed decimal integers
// (text that is not a number counts as its numeric prefix, or 0, like strtol); other columns
// compare byte by byte. Direction 1 sorts text descending and numbers ascending, direction 2 the
// reverse.
int CompareColumnTexts(const char* first, const char* second, bool numeric, int direction);

// LVM_SORTITEMS callback: lParam1 and lParam2 are the rows' item parameters, params a
// TSortParams. Rows it cannot find compare equal.
int CALLBACK CompareItems(LPARAM lParam1, LPARAM lParam2, LPARAM params) noexcept;

class TAPIListView : public TCmCtrl {
public:
    static constexpr int kTextBuffer = 261;

    explicit TAPIListView(HWND parent);

    void SetBounds(int x, int y, int width, int height);
    // On: the extended style without full-row selection (while a label is edited); off: with it.
    void SetEditMode(bool on);
    // align: 0 left, 1 centre, 2 right. Answers the new column's index, -1 on failure.
    int AddColumn(int index, int width, const std::string& text, bool numeric, int align);
    int ColumnWidth(int index) const;
    // Column 0 inserts row `item` (its item parameter is `item`); other columns set that
    // sub-item of row `item`.
    void SetItem(int column, int item, const std::string& text);
    void SetItemText(int item, int column, const std::string& text);
    std::string GetItemText(int item, int column) const;
    // kind 0: every row; 1: column `index`; 2: row `index`.
    void DeleteItems(int index, int kind);
    int ItemCount() const;
    int SelectedCount() const;
    int FirstSelected() const;
    void EnsureVisible(int item, bool partialOk);
    HWND EditLabel(int item);
    // Focuses the list. -2 selects every row, -1 deselects every row; any other row becomes
    // selected and focused and OnClick runs (with a record whose Msg is 0).
    void SelectItem(int item);

    void DefaultHandler(TMessageRecord& message) override;

    struct {
        int X = 0;
        int Y = 0;
        int Width = 0;
        int Height = 0;
    } Bounds;                    // as last given to SetBounds
    DWORD BaseExStyle = 0;       // extended style while a label is edited
    LVCOLUMNA Column = {};       // the column record AddColumn fills
    TIntegerList SortOrders{16, 10};      // per column: 0 never sorted, else 1 or 2
    TIntegerList NumericColumns{16, 10};  // per column: 1 numeric, 0 text
    HWND EditControl = nullptr;  // the edit box of the last label edit
    TEventProc OnBeginLabelEdit = nullptr;
    TEventProc OnEndLabelEdit = nullptr;
    TEventProc OnColumnClick = nullptr;  // receives a TColumnClickBlock

protected:
    void CreateControl() override;
    virtual DWORD ControlStyle() const;

private:
    void ColumnClick(const TMessageRecord& message, int column);
};

// A list view on `parent` at the given bounds, with its column-click handler.
TAPIListView* CreateListView(HWND parent, int x, int y, int width, int height, TEventProc onColumnClick);

#endif  // !PELMIRA_HOOKLIB
