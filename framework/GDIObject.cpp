// GDIObject.cpp: painting and mouse handling of the windowless controls.
//
// The owner window's own procedure has already answered every message before these handlers run
// (the dispatcher calls it first), so a WM_PAINT arrives here after the owner has validated and
// erased its client area: the objects then draw on top through GetDC.
#include "GDIObject.h"

#include "ScopedHandles.h"

#include <windowsx.h>

namespace {

void FillSolid(HDC dc, const RECT& rect, COLORREF colour) {
    const TScopedBrush brush = MakeSolidBrush(colour);
    if (brush) ::FillRect(dc, &rect, brush);
}

// Single line, centred both ways.
constexpr UINT kCaptionFormat = DT_SINGLELINE | DT_VCENTER | DT_CENTER;  // 0x25
// Word breaks, tabs and the font's external leading.
constexpr UINT kLabelFormat = DT_WORDBREAK | DT_EXPANDTABS | DT_EXTERNALLEADING;  // 0x250

void DrawCaption(HDC dc, const std::string& caption, RECT rect, int shift) {
    ::OffsetRect(&rect, shift, shift);
    ::DrawTextA(dc, caption.c_str(), -1, &rect, kCaptionFormat);
}

std::unique_ptr<TAPIGFont> NewSystemFont() {
    auto font = std::make_unique<TAPIGFont>();
    // The stock font's face name is "System" on Windows; stating it keeps the face-less path
    // (draw in the context's current font) whatever the platform reports.
    font->FaceName = "System";
    font->Size = 12;
    return font;
}

// The panel button of either build (TVxrinkBtn for the controller, TVxOriginBtn for the hook
// library) made and set up in one call, as the factories below answer it.
template <class TButton>
TButton* NewPanelButton(HWND owner, int x, int y, int width, int height, const std::string& caption,
                        TEventProc onClick, TEventProc onDrag, TEventProc onRightClick, INT_PTR tag,
                        int edge) {
    auto* button = new TButton(owner);
    button->SetBounds(x, y, width, height);
    button->SetCaption(caption);
    button->OnClick = onClick;
    button->OnDrag = onDrag;
    button->OnRightClick = onRightClick;
    button->Tag = tag;
    button->SetEdge(edge);
    return button;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TGDIObject
// ---------------------------------------------------------------------------------------------

TGDIObject::TGDIObject(HWND owner) : TSubClass(owner) {
    Visible = true;
    Enabled = true;
    SetBounds(0, 0, 0, 0);
}

TGDIObject::~TGDIObject() { Invalidate(); }

void TGDIObject::SetBounds(int x, int y, int width, int height) {
    ::InvalidateRect(Handle, &BoundsRect, TRUE);
    X = x;
    Y = y;
    Width = width;
    Height = height;
    BoundsRect = RECT{x, y, x + width, y + height};
    Repaint();
}

void TGDIObject::Repaint() {
    TMessageRecord record{WM_PAINT, 0, 0, 0};
    Dispatch(record);
}

void TGDIObject::Invalidate() { ::InvalidateRect(Handle, &BoundsRect, TRUE); }

bool TGDIObject::HitTest(const TMessageRecord& message) const {
    // Signed: while the mouse is captured, a point left of or above the client area is negative.
    const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    return ::PtInRect(&BoundsRect, point) != FALSE;
}

// ---------------------------------------------------------------------------------------------
// TAPISpeedBtn
// ---------------------------------------------------------------------------------------------

TAPISpeedBtn::TAPISpeedBtn(HWND owner) : TGDIObject(owner), Font(NewSystemFont()) {
    Listen(WM_PAINT);
    Listen(WM_MOUSEMOVE);
    Listen(WM_LBUTTONDOWN);
    Listen(WM_LBUTTONUP);
}

TAPISpeedBtn::~TAPISpeedBtn() = default;

void TAPISpeedBtn::SetCaption(const std::string& text) {
    Caption = text;
    Repaint();
}

void TAPISpeedBtn::PaintFace(HDC dc, COLORREF face) const {
    FillSolid(dc, BoundsRect, face);
    RECT edge = BoundsRect;  // DrawEdge takes a writable rectangle
    ::DrawEdge(dc, &edge, static_cast<UINT>(EdgeStyle), BF_RECT);
}

void TAPISpeedBtn::PaintCaption(HDC dc, int shift) {
    if (!Enabled) ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    ::SetBkMode(dc, TRANSPARENT);
    const TScopedFontSelection font(*Font, dc);
    DrawCaption(dc, Caption, BoundsRect, shift);
}

void TAPISpeedBtn::Paint() {
    const TScopedDC dc(Handle);
    if (!dc) return;
    const TScopedDCState state(dc);
    PaintFace(dc, ::GetSysColor(COLOR_BTNFACE));
    if (Caption.empty()) return;
    PaintCaption(dc, EdgeStyle == EDGE_RAISED ? TextOffset : TextOffset - 1);
}

void TAPISpeedBtn::HandleMouse(TMessageRecord& message) {
    if (!Enabled) return;
    switch (message.Msg) {
    case WM_LBUTTONDOWN:
        if (!HitTest(message)) return;
        EdgeStyle = EDGE_SUNKEN;
        Pressed = true;
        Repaint();
        break;
    case WM_LBUTTONUP:
        if (!Pressed || !HitTest(message)) return;
        EdgeStyle = EDGE_RAISED;
        Pressed = false;
        Repaint();
        FireEvent(OnClick, message, this);
        break;
    case WM_MOUSEMOVE:
        // Leaving drops the press for good: coming back does not press again.
        if (!Pressed || HitTest(message)) return;
        EdgeStyle = EDGE_RAISED;
        Pressed = false;
        Repaint();
        break;
    default: break;
    }
}

void TAPISpeedBtn::DefaultHandler(TMessageRecord& message) {
    if (!Visible) return;
    if (message.Msg == WM_PAINT)
        Paint();
    else
        HandleMouse(message);
}

// ---------------------------------------------------------------------------------------------
// TAPIColorBtn
// ---------------------------------------------------------------------------------------------

TAPIColorBtn::TAPIColorBtn(HWND owner) : TAPISpeedBtn(owner), Color(::GetSysColor(COLOR_BTNFACE)) {}

void TAPIColorBtn::SetColor(COLORREF colour) {
    Color = colour;
    Repaint();
}

void TAPIColorBtn::Paint() {
    const TScopedDC dc(Handle);
    if (!dc) return;
    const TScopedDCState state(dc);
    PaintFace(dc, Enabled ? Color : ::GetSysColor(COLOR_BTNFACE));
    if (Caption.empty()) return;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, Enabled ? TextColor : ::GetSysColor(COLOR_GRAYTEXT));
    // In the context's current font: this button does not select its Font.
    DrawCaption(dc, Caption, BoundsRect, EdgeStyle == EDGE_RAISED ? 1 : -1);
}

// ---------------------------------------------------------------------------------------------
// TVxPlusBtn
// ---------------------------------------------------------------------------------------------

TVxPlusBtn::TVxPlusBtn(HWND owner) : TAPIColorBtn(owner), SavedColor(::GetSysColor(COLOR_BTNFACE)) {
    Listen(WM_RBUTTONUP);
}

void TVxPlusBtn::SetEdge(int style) {
    EdgeStyle = style;
    NormalEdge = style;
}

bool TVxPlusBtn::CancelPress() {
    const bool wasPressed = Pressed;
    if (Pressed) {
        ::ReleaseCapture();
        EdgeStyle = NormalEdge;
        Pressed = false;
        Color = SavedColor;
        Repaint();
    }
    return wasPressed;
}

void TVxPlusBtn::Fire(TEventProc proc, const TMessageRecord& message) {
    if (proc == nullptr) return;
    TMessageRecord local = message;
    local.Msg = reinterpret_cast<UINT_PTR>(this);
    local.WParam = static_cast<WPARAM>(Tag);
    proc(&local);
}

void TVxPlusBtn::Paint() {
    const TScopedDC dc(Handle);
    if (!dc) return;
    const TScopedDCState state(dc);
    PaintFace(dc, Enabled ? Color : ::GetSysColor(COLOR_BTNFACE));
    if (!Caption.empty()) PaintCaption(dc, CaptionShift());
    if (DoubleEdge) {
        RECT inner{BoundsRect.left + 1, BoundsRect.top + 1, BoundsRect.right - 2, BoundsRect.bottom - 2};
        ::DrawEdge(dc, &inner, static_cast<UINT>(EdgeStyle), BF_RECT);
    }
}

int TVxPlusBtn::CaptionShift() const {
    const bool atRest = EdgeStyle == EDGE_RAISED || EdgeStyle == EDGE_ETCHED;
    return atRest ? TextOffset : TextOffset - 1;
}

void TVxPlusBtn::LeftButtonDown(const TMessageRecord& message) {
    if (!Enabled || !HitTest(message)) return;
    EdgeStyle = EDGE_SUNKEN;
    Pressed = true;
    SavedColor = Color;
    Repaint();
    // The owner keeps the mouse until the release, wherever the pointer goes.
    ::SetCapture(Handle);
    if (DragCursor != nullptr) ::SetCursor(DragCursor);
    Fire(OnPress, message);
}

bool TVxPlusBtn::Release() {
    ::ReleaseCapture();
    if (!Pressed) return false;
    EdgeStyle = NormalEdge;
    Pressed = false;
    Repaint();
    return true;
}

void TVxPlusBtn::LeftButtonUp(const TMessageRecord& message) {
    if (!Enabled) return;
    if (Release() && HitTest(message)) Fire(OnClick, message);
}

void TVxPlusBtn::DefaultHandler(TMessageRecord& message) {
    if (!Visible) return;
    switch (message.Msg) {
    case WM_PAINT: Paint(); break;
    case WM_LBUTTONDOWN: LeftButtonDown(message); break;
    case WM_LBUTTONUP: LeftButtonUp(message); break;
    case WM_MOUSEMOVE:
        if (Enabled && Pressed && OnDrag != nullptr) {
            if (DragCursor != nullptr) ::SetCursor(DragCursor);
            Fire(OnDrag, message);
        }
        break;
    case WM_RBUTTONUP:
        // Not gated by Enabled: a disabled colour button still offers its context action.
        if (HitTest(message)) Fire(OnRightClick, message);
        break;
    default: break;
    }
}

#if !PELMIRA_HOOKLIB
// Controller build only: its colour cells and text labels, which the colour-dialog panel has no
// use for.

// ---------------------------------------------------------------------------------------------
// TVxrinkBtn
// ---------------------------------------------------------------------------------------------

TVxrinkBtn::TVxrinkBtn(HWND owner) : TVxPlusBtn(owner) {}

void TVxrinkBtn::Paint() {
    const TScopedDC dc(Handle);
    if (!dc) return;
    const TScopedDCState state(dc);
    const int edge = DoubleEdge && !Pressed ? EDGE_RAISED : EdgeStyle;
    ::DrawEdge(dc, &BoundsRect, static_cast<UINT>(edge), BF_RECT);
    const RECT face{BoundsRect.left + 1, BoundsRect.top + 1, BoundsRect.right - 1, BoundsRect.bottom - 1};
    FillSolid(dc, face, Enabled ? Color : ::GetSysColor(COLOR_BTNFACE));
    if (Caption.empty()) return;
    PaintCaption(dc, CaptionShift());
}

void TVxrinkBtn::LeftButtonDown(const TMessageRecord& message) {
    if (!Enabled || !HitTest(message)) return;
    EdgeStyle = PressedEdge;
    Pressed = true;
    SavedColor = Color;
    Repaint();
    TMessageRecord local = message;
    local.Msg = reinterpret_cast<UINT_PTR>(this);
    local.WParam = static_cast<WPARAM>(Tag);
    local.Result = 0;
    if (OnPress != nullptr) OnPress(&local);
    // A non-zero answer takes the press over: no capture, no cursor.
    if (local.Result != 0) return;
    ::SetCapture(Handle);
    if (DragCursor != nullptr) ::SetCursor(DragCursor);
}

void TVxrinkBtn::LeftButtonUp(const TMessageRecord& message) {
    if (!Enabled) return;
    if (Release()) Fire(OnClick, message);
}

// ---------------------------------------------------------------------------------------------
// TAPILabel
// ---------------------------------------------------------------------------------------------

TAPILabel::TAPILabel(HWND owner) : TGDIObject(owner), Font(NewSystemFont()) {
    Listen(WM_PAINT);
    Repaint();
}

TAPILabel::~TAPILabel() = default;

void TAPILabel::SetCaption(const std::string& text) {
    Caption = text;
    Repaint();
}

void TAPILabel::SetBackMode(int mode) {
    BackMode = mode;
    Repaint();
}

void TAPILabel::DefaultHandler(TMessageRecord& message) {
    if (!Visible || message.Msg != WM_PAINT) return;
    const TScopedDC dc(Handle);
    if (!dc) return;
    const TScopedDCState state(dc);
    if (BackMode == 2) FillSolid(dc, BoundsRect, BackColor);
    if (Framed) {
        const TScopedBrush frame = MakeSolidBrush(FrameColor);
        if (frame) ::FrameRect(dc, &BoundsRect, frame);
    }
    ::SetBkMode(dc, TRANSPARENT);
    const TScopedFontSelection font(*Font, dc);
    RECT text = BoundsRect;
    ::InflateRect(&text, -Margin, -Margin);
    ::DrawTextA(dc, Caption.c_str(), -1, &text, TextFormat | kLabelFormat);
}

// ---------------------------------------------------------------------------------------------
// Factories
// ---------------------------------------------------------------------------------------------

TVxrinkBtn* CreateVxrinkBtn(HWND owner, int x, int y, int width, int height, const std::string& caption,
                            TEventProc onClick, TEventProc onDrag, TEventProc onRightClick, INT_PTR tag,
                            int edge) {
    return NewPanelButton<TVxrinkBtn>(owner, x, y, width, height, caption, onClick, onDrag, onRightClick,
                                      tag, edge);
}

TAPILabel* CreateLabel(HWND owner, int x, int y, int width, int height, const std::string& caption) {
    auto* label = new TAPILabel(owner);
    label->SetBounds(x, y, width, height);
    label->SetCaption(caption);
    return label;
}

#else
// Hook library build only: the buttons of the colour-dialog panel; the controller's cells
// behave differently at a press.

// ---------------------------------------------------------------------------------------------
// TVxOriginBtn
// ---------------------------------------------------------------------------------------------

TVxOriginBtn::TVxOriginBtn(HWND owner) : TVxPlusBtn(owner) {}

void TVxOriginBtn::LeftButtonUp(const TMessageRecord& message) {
    if (!Enabled) return;
    // The panel's buttons act on the release wherever it happens (the eyedropper is released
    // over another window).
    if (Release()) Fire(OnClick, message);
}

TVxOriginBtn* CreateVxOriginBtn(HWND owner, int x, int y, int width, int height, const std::string& caption,
                                TEventProc onClick, TEventProc onDrag, TEventProc onRightClick, INT_PTR tag,
                                int edge) {
    return NewPanelButton<TVxOriginBtn>(owner, x, y, width, height, caption, onClick, onDrag, onRightClick,
                                        tag, edge);
}

#endif  // PELMIRA_HOOKLIB
