// StandInDialog: a colour dialog that offers exactly the controls and behaviour the hook
// library relies on, so the take-over can be tested against a dialog that behaves as the
// Windows one does where Wine's differs (a click on a custom cell retargets the add button).
//
// A "#32770" dialog from an in-memory template: edits 703-708 (hue .. blue), push button 712
// (add to custom colours), grid 720 (basic colours, 8 x 6), a caption static right after 720,
// then grid 721 (custom colours, 8 x 2). Cells are filled solid so their pixels can be read.
#include "ClientArgs.h"

#include <cstring>
#include <vector>

namespace {

constexpr int kBasicGrid = 720;
constexpr int kCustomGrid = 721;
constexpr int kAddButton = 712;
constexpr char kGridClass[] = "StandInColourGrid";
constexpr UINT_PTR kTimeoutTimer = 0x7A11;

client::TArgs gArgs;
COLORREF gCustom[16];
int gTarget = 0;  // custom cell that the add button fills next
COLORREF gCurrent = 0;

COLORREF BasicColor(int cell) {
    // Six rows of eight distinct colours; cell 0 is a dark red, none is white.
    static const COLORREF kBasic[48] = {
        RGB(128, 0, 0),   RGB(255, 0, 0),   RGB(255, 128, 0), RGB(255, 255, 0), RGB(0, 255, 0),
        RGB(0, 128, 0),   RGB(0, 255, 255), RGB(0, 0, 255),   RGB(128, 0, 128), RGB(255, 0, 255),
        RGB(128, 128, 0), RGB(0, 128, 128), RGB(0, 0, 128),   RGB(64, 0, 0),    RGB(0, 64, 0),
        RGB(0, 0, 64),    RGB(192, 0, 0),   RGB(0, 192, 0),   RGB(0, 0, 192),   RGB(192, 192, 0),
        RGB(0, 192, 192), RGB(192, 0, 192), RGB(64, 64, 64),  RGB(128, 128, 128),
        RGB(192, 192, 192), RGB(255, 128, 128), RGB(128, 255, 128), RGB(128, 128, 255),
        RGB(255, 255, 128), RGB(128, 255, 255), RGB(255, 128, 255), RGB(32, 32, 32),
        RGB(96, 0, 0),    RGB(0, 96, 0),    RGB(0, 0, 96),    RGB(96, 96, 0),   RGB(0, 96, 96),
        RGB(96, 0, 96),   RGB(160, 80, 0),  RGB(80, 160, 0),  RGB(0, 80, 160),  RGB(160, 0, 80),
        RGB(80, 0, 160),  RGB(0, 160, 80),  RGB(224, 160, 96), RGB(96, 160, 224),
        RGB(160, 96, 224), RGB(16, 16, 16)};
    return kBasic[cell];
}

int Rows(HWND grid) { return GetDlgCtrlID(grid) == kBasicGrid ? 6 : 2; }

int CellAt(HWND grid, int x, int y) {
    RECT rc;
    GetClientRect(grid, &rc);
    const int cw = rc.right / 8, ch = rc.bottom / Rows(grid);
    if (cw <= 0 || ch <= 0 || x < 0 || y < 0) {
        return -1;
    }
    const int c = x / cw, r = y / ch;
    return c < 8 && r < Rows(grid) ? r * 8 + c : -1;
}

void SetBoxes(HWND dialog, COLORREF color) {
    SetDlgItemInt(dialog, 706, GetRValue(color), FALSE);
    SetDlgItemInt(dialog, 707, GetGValue(color), FALSE);
    SetDlgItemInt(dialog, 708, GetBValue(color), FALSE);
}

// The box's decimal number, any length (leading zeros included), above 255 read as 255; an empty
// box reads as 0.
int Component(HWND dialog, int id) {
    char text[1024] = {};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    unsigned value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 255) return 255;
    }
    return static_cast<int>(value);
}

LRESULT CALLBACK GridProc(HWND grid, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(grid, &ps);
        RECT rc;
        GetClientRect(grid, &rc);
        FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
        const bool custom = GetDlgCtrlID(grid) == kCustomGrid;
        const int rows = Rows(grid), cw = rc.right / 8, ch = rc.bottom / rows;
        for (int cell = 0; cell < rows * 8; ++cell) {
            const int c = cell % 8, r = cell / 8;
            RECT cellRect{c * cw + 3, r * ch + 3, (c + 1) * cw - 3, (r + 1) * ch - 3};
            HBRUSH brush = CreateSolidBrush(custom ? gCustom[cell] : BasicColor(cell));
            FillRect(dc, &cellRect, brush);
            DeleteObject(brush);
            if (custom && cell == gTarget) {
                RECT mark{c * cw + 1, r * ch + 1, (c + 1) * cw - 1, (r + 1) * ch - 1};
                FrameRect(dc, &mark, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            }
        }
        EndPaint(grid, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN: {
        const int cell = CellAt(grid, static_cast<short>(LOWORD(lParam)),
                                static_cast<short>(HIWORD(lParam)));
        if (cell < 0) {
            return 0;
        }
        HWND dialog = GetParent(grid);
        if (GetDlgCtrlID(grid) == kCustomGrid) {
            // As in Windows' dialog: the clicked cell becomes the add button's target and its
            // colour the current one.
            gTarget = cell;
            gCurrent = gCustom[cell];
        } else {
            gCurrent = BasicColor(cell);
        }
        SetBoxes(dialog, gCurrent);
        InvalidateRect(grid, nullptr, FALSE);
        return 0;
    }
    default:
        return DefWindowProcA(grid, msg, wParam, lParam);
    }
}

void AddToCustom(HWND dialog) {
    gCurrent = RGB(Component(dialog, 706), Component(dialog, 707), Component(dialog, 708));
    gCustom[gTarget] = gCurrent;
    // Down the column first: top of c, bottom of c, top of c + 1.
    gTarget = gTarget < 8 ? gTarget + 8 : (gTarget - 8 + 1) % 8;
    InvalidateRect(GetDlgItem(dialog, kCustomGrid), nullptr, FALSE);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) noexcept {
    if (msg == client::DropMessage() && msg != 0) {
        client::DropListedFiles(dialog, gArgs.DropList);
        return TRUE;
    }
    switch (msg) {
    case WM_INITDIALOG:
        SetBoxes(dialog, gCurrent);
        SetTimer(dialog, kTimeoutTimer, gArgs.TimeoutMs, nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam != kTimeoutTimer) return FALSE;  // other timers on the dialog are not ours
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case kAddButton:
            AddToCustom(dialog);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    case WM_CLOSE:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// In-memory dialog template (DLGTEMPLATE + DLGITEMTEMPLATEs, DWORD-aligned items).
class TemplateBuilder {
public:
    void Dialog(DWORD style, short cx, short cy, const char* title) {
        DLGTEMPLATE t{};
        t.style = style;
        t.cx = cx;
        t.cy = cy;
        Append(&t, sizeof t);
        Word(0);  // no menu
        Word(0);  // default class "#32770"
        Text(title);  // in the template, so the title is there before WM_INITDIALOG
    }
    void Item(WORD id, DWORD style, short x, short y, short cx, short cy, WORD atom,
              const char* className, const char* text) {
        Align();
        ++reinterpret_cast<DLGTEMPLATE*>(bytes_.data())->cdit;
        DLGITEMTEMPLATE t{};
        t.style = style | WS_CHILD | WS_VISIBLE;
        t.x = x;
        t.y = y;
        t.cx = cx;
        t.cy = cy;
        t.id = id;
        Append(&t, sizeof t);
        if (className) {
            Text(className);
        } else {
            Word(0xFFFF);
            Word(atom);
        }
        Text(text);
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

private:
    void Append(const void* p, size_t n) {
        const auto* b = static_cast<const unsigned char*>(p);
        bytes_.insert(bytes_.end(), b, b + n);
    }
    void Word(WORD w) { Append(&w, sizeof w); }
    void Text(const char* s) {
        do {
            Word(static_cast<WORD>(static_cast<unsigned char>(*s)));
        } while (*s++);
    }
    void Align() {
        while (bytes_.size() % 4) {
            bytes_.push_back(0);
        }
    }
    std::vector<unsigned char> bytes_;
};

}  // namespace

int main(int argc, char** argv) {
    gArgs = client::ParseArgs(argc, argv);
    std::memcpy(gCustom, gArgs.Custom, sizeof gCustom);
    gCurrent = gArgs.Color;

    WNDCLASSA wc{};
    wc.lpfnWndProc = GridProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kGridClass;
    RegisterClassA(&wc);

    constexpr WORD kButton = 0x80, kEdit = 0x81, kStatic = 0x82;
    TemplateBuilder b;
    b.Dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 300, 200,
             gArgs.Title.c_str());
    b.Item(0xFFFF, SS_LEFT, 4, 4, 140, 9, kStatic, nullptr, "Basic colours:");
    b.Item(kBasicGrid, 0, 4, 14, 140, 96, 0, kGridClass, "");
    b.Item(0xFFFF, SS_LEFT, 4, 112, 140, 9, kStatic, nullptr, "Custom colours:");
    b.Item(kCustomGrid, 0, 4, 122, 140, 34, 0, kGridClass, "");
    const char* labels[6] = {"Hue", "Sat", "Lum", "Red", "Green", "Blue"};
    for (int i = 0; i < 6; ++i) {
        const short y = static_cast<short>(14 + i * 16);
        b.Item(static_cast<WORD>(703 + i), ES_NUMBER | WS_BORDER | WS_TABSTOP, 190, y, 30, 12,
               kEdit, nullptr, "");
        b.Item(0xFFFF, SS_RIGHT, 150, static_cast<short>(y + 2), 36, 9, kStatic, nullptr, labels[i]);
    }
    b.Item(kAddButton, BS_PUSHBUTTON | WS_TABSTOP, 150, 122, 140, 14, kButton, nullptr,
           "Add to Custom Colours");
    b.Item(IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 150, 176, 60, 14, kButton, nullptr, "OK");
    b.Item(IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, 230, 176, 60, 14, kButton, nullptr, "Cancel");

    DialogBoxIndirectParamA(wc.hInstance, b.Get(), nullptr, DialogProc, 0);
    client::WriteColors(gArgs.Out, gCustom);
    return 0;
}
