// APIControl.h: objects for the standard Windows controls (push button, check box, radio
// buttons, edits, memos and combo boxes), each a TSelfSubClass that owns its window.
// - Create them with the factories below or NewControl<T>(parent, ...): the object belongs to its
//   windows and is freed at the parent's or its own WM_DESTROY, never by the program.
// - Each hears its own window's messages (ControlWndProc) and the parent's WM_COMMAND, from which
//   it takes the notifications whose lParam is its own window.
// - The hook library's build carries TAPIControl only. Everything runs on the windows' thread.
#pragma once

#include "Config.h"
#include "UtilClass.h"

#include <string>

// Common operations of every standard control, all on its own Window.
class TAPIControl : public TSelfSubClass {
public:
    explicit TAPIControl(HWND parent);

    void SetText(const std::string& s);
    void SetBounds(int x, int y, int width, int height);
    // Window rectangle's corner in the parent's client coordinates.
    int GetLeft() const;
    int GetTop() const;
    void SetLeft(int x);
    void SetTop(int y);
    int Width() const;
    int Height() const;
    bool IsEnabled() const;
    void SetEnabled(bool enabled);
    void SetVisible(bool visible);

protected:
    // Listens for the parent's WM_COMMAND.
    void AfterCreate() override;
    // True when the record is a WM_COMMAND sent about this control's own window.
    bool IsOwnCommand(const TMessageRecord& message) const;
};

#if !PELMIRA_HOOKLIB
// Controller build only: the buttons, check boxes, radio buttons, edits and combo boxes of the
// main window and its dialogs. The colour dialog brings its own controls; the hook library
// only subclasses them through TAPIControl.

class TAPIButton : public TAPIControl {
public:
    explicit TAPIButton(HWND parent);
    void DefaultHandler(TMessageRecord& message) override;

    TEventProc OnClick = nullptr;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
};

// A three-state button that the framework only ever sets to checked or unchecked.
class TAPICheckBox : public TAPIControl {
public:
    explicit TAPICheckBox(HWND parent);
    void DefaultHandler(TMessageRecord& message) override;
    void SetChecked(bool checked);

    bool Checked = false;  // what the framework last sent with BM_SETCHECK
    bool Locked = false;   // while set, clicks change nothing and call nothing
    TEventProc OnClick = nullptr;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
    void AfterCreate() override;
};

// A radio button whose group is a number: at a click the buttons of the same Group among the
// parent's children are unchecked; Group 0 makes it a toggle.
class TAPIRadioButton : public TAPIControl {
public:
    explicit TAPIRadioButton(HWND parent);
    ~TAPIRadioButton() override;
    void DefaultHandler(TMessageRecord& message) override;
    bool GetChecked() const;
    void SetChecked(bool checked);

    // The radio button bound to `window`, or null when the window holds none.
    static TAPIRadioButton* FromWindow(HWND window);

    int Group = 0;
    TEventProc OnClick = nullptr;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
    void AfterCreate() override;
};

// A radio button drawn as a push button that stays down.
class TAPIPushRadio : public TAPIRadioButton {
public:
    explicit TAPIPushRadio(HWND parent);

protected:
    void GetCreateParams(TAPICreateParams& params) override;
};

// Shared behaviour of the edit controls: focus, change and update notifications, key or mouse
// releases on the edit itself, and the warning when the edit runs out of room.
class TAPIEditBase : public TAPIControl {
public:
    explicit TAPIEditBase(HWND parent);
    void DefaultHandler(TMessageRecord& message) override;

    int TextLength() const;
    std::string GetText() const;
    void SetText(const std::string& s);
    void SetCaret(int position);

    COLORREF BackColor = 0;  // COLOR_WINDOW after creation
    COLORREF TextColor = 0;  // COLOR_WINDOWTEXT after creation
    TEventProc OnSetFocus = nullptr;
    TEventProc OnKillFocus = nullptr;
    TEventProc OnChange = nullptr;
    TEventProc OnUpdate = nullptr;
    TEventProc OnKeyOrMouseUp = nullptr;  // receives the record unchanged (Msg = the message)

protected:
    void AfterCreate() override;
    // EN_CHANGE; TAPIMemoNext tags it.
    virtual void FireChange(const TMessageRecord& message);
};

// A read-only edit that reports a left-button release (used as a link).
class TAPIEditAbout : public TAPIControl {
public:
    explicit TAPIEditAbout(HWND parent);
    void DefaultHandler(TMessageRecord& message) override;
    void SetText(const std::string& s);

    // Receives Msg = WM_LBUTTONUP and LParam = the edit's window.
    TEventProc OnClick = nullptr;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
};

// A multi-line edit whose text limit is raised to the largest the control allows.
class TAPIMemo : public TAPIEditBase {
public:
    explicit TAPIMemo(HWND parent);
    void ScrollCaret();

protected:
    void GetCreateParams(TAPICreateParams& params) override;
    void AfterCreate() override;
};

// A memo with the caller's styles whose OnChange receives WParam = Tag, so that one procedure
// can serve several memos.
class TAPIMemoNext : public TAPIMemo {
public:
    TAPIMemoNext(HWND parent, DWORD style, DWORD exStyle);

    INT_PTR Tag = 0;
    DWORD CreationStyle;
    DWORD CreationExStyle;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
    void FireChange(const TMessageRecord& message) override;
};

class TAPIComboBoxBase : public TAPIControl {
public:
    explicit TAPIComboBoxBase(HWND parent);

    std::string Text;  // the selected item after a selection, the edit's text after typing
    TEventProc OnSelChange = nullptr;
};

// A combo box with its list always shown; TAPIDDCombo drops the list down.
class TAPISMPCombo : public TAPIComboBoxBase {
public:
    explicit TAPISMPCombo(HWND parent);
    void DefaultHandler(TMessageRecord& message) override;

    int AddString(const std::string& s);
    int InsertString(const std::string& s, int index);
    int DeleteString(int index);
    int ItemCount() const;
    int CurSel() const;
    std::string GetItemText(int index) const;  // empty for an index with no item
    std::string SelectedText() const;
    std::string WindowText() const;  // at most 255 characters
    // Selects `index` and reports it exactly like a selection by the user; nothing at all
    // when `index` is already selected.
    void SetCurSel(int index);

    TEventProc OnEditChange = nullptr;

protected:
    void GetCreateParams(TAPICreateParams& params) override;
};

class TAPIDDCombo : public TAPISMPCombo {
public:
    explicit TAPIDDCombo(HWND parent);

protected:
    void GetCreateParams(TAPICreateParams& params) override;
};

// Factories: construct on `parent`, SetBounds, then the rest. The objects belong to their windows.
TAPIButton* CreateButton(HWND parent, int x, int y, int width, int height, const std::string& caption,
                         TEventProc onClick);
TAPICheckBox* CreateCheckBox(HWND parent, int x, int y, int width, int height, const std::string& caption,
                             TEventProc onClick);
TAPIPushRadio* CreatePushRadio(HWND parent, int x, int y, int width, int height, const std::string& caption,
                               int group, TEventProc onClick);
TAPIMemoNext* CreateMemoNext(HWND parent, int x, int y, int width, int height, DWORD style, DWORD exStyle,
                             INT_PTR tag);
TAPIEditAbout* CreateEditAbout(HWND parent, int x, int y, int width, int height);
TAPIDDCombo* CreateDropDownCombo(HWND parent, int x, int y, int width, int height, TEventProc onSelChange);

#endif  // !PELMIRA_HOOKLIB
