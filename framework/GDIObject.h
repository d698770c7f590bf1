// GDIObject.h: windowless controls that paint themselves on the window they live on (their
// Handle) and react to that window's mouse messages: flat buttons, colour buttons, the drawn
// buttons of the controller and of the colour-dialog panel, and a text label.
// - Objects belong to their owner window: the dispatcher frees them at its WM_DESTROY.
// - Painting is immediate (GetDC) and runs after the owner's own WM_PAINT; nothing is cached.
// - TVxrinkBtn and TAPILabel are in the controller's build, TVxOriginBtn in the hook library's.
#pragma once

#include "Config.h"
#include "UtilClass.h"

#include <memory>
#include <string>

// Bounds and visibility shared by every windowless control.
class TGDIObject : public TSubClass {
public:
    explicit TGDIObject(HWND owner);
    ~TGDIObject() override;  // invalidates its area so the owner repaints it

    void SetBounds(int x, int y, int width, int height);
    // Runs the paint code at once (a WM_PAINT record dispatched to the object itself).
    void Repaint();
    void Invalidate();

    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    RECT BoundsRect{};
    bool Visible = true;  // when false the object neither paints nor reacts to the mouse
    bool Enabled = true;

protected:
    // The mouse position of a mouse message, unsigned 16-bit x and y, tested against BoundsRect.
    bool HitTest(const TMessageRecord& message) const;
};

// A flat push button with a caption. No capture: a press dragged out of the button is dropped.
class TAPISpeedBtn : public TGDIObject {
public:
    explicit TAPISpeedBtn(HWND owner);
    ~TAPISpeedBtn() override;
    void DefaultHandler(TMessageRecord& message) override;
    void SetCaption(const std::string& text);

    int EdgeStyle = EDGE_RAISED;  // EDGE_SUNKEN while pressed
    std::string Caption;
    bool Pressed = false;
    std::unique_ptr<TAPIGFont> Font;  // face "System", 12 points
    TEventProc OnClick = nullptr;
    int TextOffset = 1;  // caption shift in pixels, x and y alike

protected:
    virtual void Paint();
    // Press and release handling shared with TAPIColorBtn.
    void HandleMouse(TMessageRecord& message);
    // The painting steps the drawn buttons share: the face filled with `face` inside the
    // EdgeStyle edge, and the caption in Font (grey when disabled), moved by `shift` pixels.
    void PaintFace(HDC dc, COLORREF face) const;
    void PaintCaption(HDC dc, int shift);
};

// A speed button with a face colour and a caption colour.
class TAPIColorBtn : public TAPISpeedBtn {
public:
    explicit TAPIColorBtn(HWND owner);
    void SetColor(COLORREF colour);

    COLORREF Color;      // button face at creation
    COLORREF TextColor = 0;

protected:
    void Paint() override;
};

// A colour button that holds the mouse capture while pressed and reports drags and right clicks.
// Its handlers receive Msg = the button, WParam = Tag, LParam = the mouse position.
class TVxPlusBtn : public TAPIColorBtn {
public:
    explicit TVxPlusBtn(HWND owner);
    void DefaultHandler(TMessageRecord& message) override;
    void SetEdge(int style);  // the edge at rest; no repaint
    // Drops a press (capture, edge and face colour as before it); answers whether one was held.
    bool CancelPress();

    TEventProc OnDrag = nullptr;
    TEventProc OnPress = nullptr;
    TEventProc OnRightClick = nullptr;
    HCURSOR DragCursor = nullptr;  // borrowed
    INT_PTR Tag = 0;
    int NormalEdge = EDGE_RAISED;
    COLORREF SavedColor;  // Color at the last press
    bool DoubleEdge = false;

protected:
    void Paint() override;
    // TextOffset at rest (raised or etched edge), one pixel less while pressed.
    int CaptionShift() const;
    virtual void LeftButtonDown(const TMessageRecord& message);
    virtual void LeftButtonUp(const TMessageRecord& message);
    // Ends a press at the release; answers whether a press was held.
    bool Release();
    void Fire(TEventProc proc, const TMessageRecord& message);
};

#if !PELMIRA_HOOKLIB
// Controller build only: its colour cells and text labels, which the colour-dialog panel has no
// use for.

// The controller's colour cells: a press may be refused by OnPress, and the release clicks
// wherever the pointer is.
class TVxrinkBtn : public TVxPlusBtn {
public:
    explicit TVxrinkBtn(HWND owner);

    int PressedEdge = EDGE_SUNKEN;

protected:
    void Paint() override;
    void LeftButtonDown(const TMessageRecord& message) override;
    void LeftButtonUp(const TMessageRecord& message) override;
};

// A text label drawn with word breaks inside a margin.
class TAPILabel : public TGDIObject {
public:
    explicit TAPILabel(HWND owner);
    ~TAPILabel() override;
    void DefaultHandler(TMessageRecord& message) override;
    void SetCaption(const std::string& text);
    void SetBackMode(int mode);

    COLORREF BackColor = 0xFFFFFF;
    std::string Caption = "TAPILabel";
    UINT TextFormat = 0;  // DrawText flags added to the word-break ones
    std::unique_ptr<TAPIGFont> Font;
    int Margin = 4;
    int BackMode = 2;  // 2 fills the background, anything else leaves it
    bool Framed = false;
    COLORREF FrameColor = 0;
};

TVxrinkBtn* CreateVxrinkBtn(HWND owner, int x, int y, int width, int height, const std::string& caption,
                            TEventProc onClick, TEventProc onDrag, TEventProc onRightClick, INT_PTR tag,
                            int edge);
TAPILabel* CreateLabel(HWND owner, int x, int y, int width, int height, const std::string& caption);

#else
// Hook library build only: the buttons of the colour-dialog panel; the controller's cells
// behave differently at a press.

// The buttons of the colour-dialog panel: the release clicks wherever the pointer is.
class TVxOriginBtn : public TVxPlusBtn {
public:
    explicit TVxOriginBtn(HWND owner);

protected:
    void LeftButtonUp(const TMessageRecord& message) override;
};

TVxOriginBtn* CreateVxOriginBtn(HWND owner, int x, int y, int width, int height, const std::string& caption,
                                TEventProc onClick, TEventProc onDrag, TEventProc onRightClick, INT_PTR tag,
                                int edge);

#endif  // PELMIRA_HOOKLIB
