// UtilClass.h: the object model every framework class stands on.
//
// - TMessageRecord / TEventProc: the event record and the callback convention.
// - TObject: the root of every framework object; Dispatch() routes a record to a handler
//   keyed by message number (nearest class first) or to the virtual DefaultHandler.
// - TIntegerList / TStringArray: the two containers used everywhere.
// - TMessageDispatcher / MessageDispatcher: one subclass procedure per watched window that
//   fans its messages out to TSubClass objects listening for them.
// - TSubClass / TSelfSubClass: objects that watch a window, and controls that own one.
//
// Threads: every object lives on the thread that owns its window, and its handlers run there.
// The dispatcher's lists are the one thing several GUI threads share (the hook library serves the
// dialogs of every thread of its host): they are guarded by a lock that is never held while a
// window procedure or a handler runs.
//
// Exceptions: none leaves a procedure that the system calls (window, dialog and subclass
// procedures, enumeration and picker callbacks). The system's callers are C code: an exception
// that reached them would end the process, and the hook library runs inside other people's
// programs, which nothing of ours may end. So handlers may use std::string and the containers
// freely; every such procedure is noexcept and runs whatever can throw through GuardedCall,
// whose fallback answers as if no handler had been there (each procedure says which value).
#pragma once

#include "Config.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Event record and callbacks
// ---------------------------------------------------------------------------------------------

// Four machine words: message number, the two parameters and the answer. Callbacks of
// TSubClass descendants receive a copy whose Msg holds the address of the sending object.
struct TMessageRecord {
    UINT_PTR Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};
static_assert(sizeof(TMessageRecord) == 4 * sizeof(void*), "TMessageRecord is four machine words");
#if defined(_WIN64)
static_assert(sizeof(TMessageRecord) == 32, "x86_64 record layout");
#else
static_assert(sizeof(TMessageRecord) == 16, "i686 record layout");
#endif

using TEventProc = void (*)(TMessageRecord*);

// Calls `proc` (when set) with a copy of `message` whose Msg names `sender`; returns the copy so
// that classes whose callbacks may answer can take its Result.
template <class T>
inline TMessageRecord FireEvent(TEventProc proc, const TMessageRecord& message, T* sender) {
    TMessageRecord local = message;
    local.Msg = reinterpret_cast<UINT_PTR>(sender);
    if (proc != nullptr) proc(&local);
    return local;
}

// Runs body() and answers its result; when it throws, answers `fallback` instead: a value, or a
// callable whose result is taken then (a window procedure falls back on DefWindowProcA).
template <class TFallback, class TBody>
auto GuardedCall(TFallback&& fallback, TBody&& body) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        if constexpr (std::is_invocable_v<TFallback&>)
            return fallback();
        else
            return fallback;
    }
}

// GuardedCall for a body without a result: answers whether it ran to its end.
template <class TBody>
bool GuardedRun(TBody&& body) noexcept {
    return GuardedCall(false, [&] {
        body();
        return true;
    });
}

// ---------------------------------------------------------------------------------------------
// Root object
// ---------------------------------------------------------------------------------------------

class TObject {
public:
    TObject() noexcept;
    virtual ~TObject();
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;

    // Routes the record: when the low 16 bits of Msg are neither 0 nor 0xC000 or above, the
    // keyed handlers are asked (nearest class first); otherwise, or when none takes it,
    // DefaultHandler runs.
    void Dispatch(TMessageRecord& message);

    // The base does nothing.
    virtual void DefaultHandler(TMessageRecord& message);

    // Number of TObject instances alive in this module (for leak checks).
    static long LiveObjectCount() noexcept;

protected:
    // Keyed handlers. An override handles the keys it owns and returns true; for any other key
    // it returns its base class's DispatchKeyed, which gives the nearest-class-first order.
    virtual bool DispatchKeyed(unsigned key, TMessageRecord& message);
};

// ---------------------------------------------------------------------------------------------
// Containers
// ---------------------------------------------------------------------------------------------

// A growable array of machine-word values (numbers, handles, object and procedure references).
class TIntegerList : public TObject {
public:
    // 0 in either argument means 16.
    explicit TIntegerList(int initialCapacity = 16, int growStep = 16);

    void Add(INT_PTR value);
    void Delete(int index);                 // ignored outside 0..last index
#if !PELMIRA_HOOKLIB
    void Clear();
    void Insert(int index, INT_PTR value);  // ignored outside 0..last index (cannot append)
#endif
    INT_PTR Get(int index) const;           // 0 outside 0..last index
    void Put(int index, INT_PTR value);     // any index >= 0; extends the list
    int Count() const { return lastIndex_ + 1; }
    int IndexOf(INT_PTR value) const;       // -1 when absent
    int Capacity() const { return static_cast<int>(items_.size()); }

private:
    void Grow();

    std::vector<INT_PTR> items_;  // sized to the capacity
    int lastIndex_ = -1;
    int growStep_;
    int initialCapacity_;
};

#if !PELMIRA_HOOKLIB
// dest.Clear, then dest.Put(i, source.Get(i)) for every index of the source.
void CopyIntegerList(const TIntegerList& source, TIntegerList& dest);

// CompareStringA in the user's default locale, case-sensitive: -1, 0 or 1.
int CompareLocale(const std::string& a, const std::string& b);
#endif

// Owned copies of zero-terminated strings.
class TStringArray : public TObject {
public:
    TStringArray() = default;
    ~TStringArray() override = default;

    void Add(const std::string& s);
    void Get(int index, std::string& s) const;  // "index error" outside 0..last index
    std::string Get(int index) const;
    int Count() const { return static_cast<int>(entries_.size()); }
    void Clear();
#if !PELMIRA_HOOKLIB
    void Put(int index, const std::string& s);     // only inside 0..last index
    void Insert(int index, const std::string& s);  // only inside 0..last index (cannot append)
    void Delete(int index);                        // only inside 0..last index
    int IndexOf(const std::string& s) const;  // ignores case; -1 when absent
    void Exchange(int a, int b);
    void Sort();  // ascending by CompareLocale, not stable
#endif

private:
    bool InRange(int index) const { return index >= 0 && index < Count(); }
#if !PELMIRA_HOOKLIB
    void QuickSort(int low, int high);
#endif

    std::vector<std::string> entries_;
};

// ---------------------------------------------------------------------------------------------
// Dispatcher and subclass objects
// ---------------------------------------------------------------------------------------------

class TSubClass;

// Watches windows for TSubClass objects. Reached only through MessageDispatcher.
class TMessageDispatcher : public TObject {
public:
    TMessageDispatcher() = default;
    // Frees the lists only: it neither restores window procedures nor frees subscribers.
    ~TMessageDispatcher() override = default;

    void Register(TSubClass* obj);
    void Unregister(TSubClass* obj);
    void Listen(UINT message, TSubClass* obj);
    bool IsSubclassed(HWND handle) const;
    WNDPROC SavedProc(HWND handle) const;
    bool IsSubscriber(const TSubClass* obj) const;

    // Delivery of one message of a watched window. On entry Result carries the window handle.
    void DefaultHandler(TMessageRecord& message) override;

    // Stops watching the window (its saved procedure is forgotten); the subclass procedure calls
    // it once the window no longer runs through it.
    void ForgetWindow(HWND handle);

private:
    // The objects of `window` listening for `message`, in the order they listened.
    std::vector<TSubClass*> Listeners(HWND window, UINT message) const;
    // Takes the newest subscriber watching `window` off the list; null when there is none.
    TSubClass* TakeNewestSubscriber(HWND window);
    // A subscriber still registered and watching `window` (checked together under the lock).
    bool IsSubscriberOf(const TSubClass* obj, HWND window) const;

    TIntegerList subscribers_;
    TIntegerList windows_;
    TIntegerList procs_;
    TIntegerList messages_;
    TIntegerList objects_;
};

// Created by the first TSubClass (of any thread); lives until the program (or library) shuts down.
extern TMessageDispatcher* MessageDispatcher;

// Control ids of the standard controls; starts at 400, one per TSelfSubClass constructed.
extern int NextControlID;
// The next id (taken under the dispatcher's lock, so two threads never get the same one).
int TakeControlID();

// The procedure installed on every watched window.
LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
// The procedure installed on the own window of every TSelfSubClass control.
LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;

// An object that receives the messages of the window in Handle. Freed by the dispatcher when that
// window receives WM_DESTROY (or earlier by the program). Descendants call
// MessageDispatcher->Listen(msg, this) for each message they want; those messages arrive in
// DefaultHandler (or a keyed handler) after the window's own procedure has answered, and a
// non-zero Result replaces that answer.
class TSubClass : public TObject {
public:
    explicit TSubClass(HWND window);
    ~TSubClass() override;

    // Shorthand for MessageDispatcher->Listen(message, this).
    void Listen(UINT message);

    HWND Handle = nullptr;
};

// The record GetCreateParams fills for CreateWindowExA.
struct TAPICreateParams {
    std::string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    char ClassName[64] = {};
};

// Where a control is made, in its parent's client coordinates, and its first text (none: the
// class's own).
struct TControlPlace {
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    const char* Caption = nullptr;
};

// A control that creates and owns its own window. It is registered on the parent (Handle), so it
// also hears the parent's WM_COMMAND/WM_NOTIFY about itself, and its own window runs through
// ControlWndProc, so it hears its own messages too. Freed at the first WM_DESTROY of either.
//
// A base-class constructor cannot reach an override, so construction is two-step: the
// constructors register the object, then CreateControlWindow() asks GetCreateParams for the
// window, creates it, and calls AfterCreate. NewControl<T>(args...) does both; use it.
class TSelfSubClass : public TSubClass {
public:
    explicit TSelfSubClass(HWND parent);
    ~TSelfSubClass() override;

    // Creates the window (once); the id is taken and AfterCreate runs even when creation fails.
    // A place, when given, replaces the bounds (and a non-null caption the text) that
    // GetCreateParams gives: the window is made where and as it is to stay, without a move and
    // a text change after it, each a round of messages and a redraw.
    void CreateControlWindow(const TControlPlace* place = nullptr);

    HWND Window = nullptr;
    int ID = 0;
    TEventProc OnContextMenu = nullptr;

protected:
    virtual void GetCreateParams(TAPICreateParams& params) = 0;
    virtual void AfterCreate() = 0;

    // WM_CONTEXTMENU: OnContextMenu when set, else the control's own procedure.
    bool DispatchKeyed(unsigned key, TMessageRecord& message) override;

private:
    friend LRESULT CALLBACK ControlWndProc(HWND, UINT, WPARAM, LPARAM) noexcept;
    bool created_ = false;
    // The control's own procedure, which ControlWndProc replaced (also kept in property "WNDPROC"
    // for a procedure left in the chain after the object is gone).
    WNDPROC ownProc_ = nullptr;
};

// new T(args...) followed by CreateControlWindow(). The object belongs to its windows.
template <class T, class... Args>
T* NewControl(Args&&... args) {
    T* obj = new T(std::forward<Args>(args)...);
    obj->CreateControlWindow();
    return obj;
}

// NewControl with the window made at `place`.
template <class T, class... Args>
T* NewPlacedControl(const TControlPlace& place, Args&&... args) {
    T* obj = new T(std::forward<Args>(args)...);
    obj->CreateControlWindow(&place);
    return obj;
}

// =============================================================================================
// Menus, accelerators, drag-drop, message traps, timer and fonts.
//
// The TSubClass objects below attach behaviour to an existing window and are freed with it.
// Each DefaultHandler works on a copy of the record whose Msg names the object (the traps keep
// the message number) and copies nothing back unless said. Menus, accelerators and traps are
// the controller's; the timer is the hook library's; drag-drop and fonts are in both.
// =============================================================================================

#if !PELMIRA_HOOKLIB
// Controller build only: menus, accelerators and message traps belong to the controller's own
// window; the hook library must not change the menus or keys of other people's programs.

// Menu items. `before` is -1 to append (by position, after the last item) or the command id of
// the item to insert before. The insert functions answer whether InsertMenuItemA succeeded.
bool MenuInsertItem(HMENU menu, int before, const std::string& text, UINT id);
bool MenuInsertRadioItem(HMENU menu, int before, const std::string& text, UINT id);
bool MenuInsertSeparator(HMENU menu, int before, UINT id);
bool MenuInsertSubmenu(HMENU menu, int before, const std::string& text, UINT id, HMENU submenu);
UINT MenuItemState(HMENU menu, UINT id);   // fState of the item with command id `id`
UINT MenuItemIdAt(HMENU menu, int position);  // wID of the item at `position`
bool IsChecked(HMENU menu, UINT id);
void SetChecked(HMENU menu, UINT id, bool checked);
// Greys (or un-greys) the item; its other state bits, the check mark among them, stay.
void SetEnabled(HMENU menu, UINT id, bool enabled);

class TMenuBase : public TSubClass {
public:
    explicit TMenuBase(HWND window) : TSubClass(window) {}

    bool AppendItem(const std::string& text, UINT id);
    bool InsertItem(int before, const std::string& text, UINT id);
    void RemoveItem(UINT id);

    HMENU Menu = nullptr;
};

// A menu that is never shown on the window itself: it routes the window's menu commands
// (WM_COMMAND with code 0 and no control) and is the parent of pop-ups attached with AttachTo.
class TAMainMenu : public TMenuBase {
public:
    explicit TAMainMenu(HWND window);
    ~TAMainMenu() override;  // destroys Menu unless the window owns it (GetMenu)

    void DefaultHandler(TMessageRecord& message) override;

    TEventProc OnCommand = nullptr;
    TEventProc OnInitMenu = nullptr;
    TEventProc OnEnterMenuLoop = nullptr;
    TEventProc OnExitMenuLoop = nullptr;
};

TAMainMenu* CreateMainMenu(HWND window, TEventProc onCommand);

class TAPopupMenu : public TMenuBase {
public:
    explicit TAPopupMenu(HWND window);
    ~TAPopupMenu() override;  // destroys Menu unless attached (its parent menu destroys it)

    bool AppendSeparator(UINT id);
    bool AppendRadioItem(const std::string& text, UINT id);
    bool InsertRadioItem(int before, const std::string& text, UINT id);
    // Inserts Menu as submenu `ItemId` of `parent` (once only); false when already attached.
    bool AttachTo(TMenuBase* parent, int before, const std::string& text);
    void CheckRadio(UINT first, UINT last, UINT id);
    bool IsChecked(UINT id) const;
    void SetChecked(UINT id, bool checked);
    void SetEnabled(UINT id, bool enabled);
    // Shows the menu at the position of a WM_CONTEXTMENU record (lParam -1: centre of `window`,
    // which defaults to Handle) and answers the chosen command id, 0 when dismissed. The choice
    // is not sent as WM_COMMAND; forward it with SendCommand when wanted.
    UINT Track(const TMessageRecord& record, HWND window = nullptr);
    void SendCommand(UINT id);

    void DefaultHandler(TMessageRecord& message) override;

    UINT ItemId = 0;
    HMENU AttachedTo = nullptr;
    TEventProc OnInitMenuPopup = nullptr;
};

TAPopupMenu* CreatePopupMenuObject(HWND window, UINT itemId, TEventProc onInitMenuPopup);

// The window's system menu, so the program can add commands to it. OnSysCommand observes every
// WM_SYSCOMMAND after the window's own procedure has carried it out.
class TWindowMenu : public TAPopupMenu {
public:
    explicit TWindowMenu(HWND window);
    ~TWindowMenu() override;  // the system menu belongs to the window: not destroyed here

    void DefaultHandler(TMessageRecord& message) override;

    TEventProc OnSysCommand = nullptr;
};

TWindowMenu* CreateWindowMenu(HWND window, TEventProc onSysCommand);

// Virtual-key accelerators. The handle that Build answers goes to the message loop, which turns
// key presses into WM_COMMAND with code 1; OnAccelerator sees those (SendCommand re-sends one as
// a menu command).
class TAccelTable : public TSubClass {
public:
    static constexpr int kMaxKeys = 61;

    explicit TAccelTable(HWND window);
    ~TAccelTable() override;

    // Ignored once kMaxKeys keys are stored. FVIRTKEY is always added to `flags`.
    void AddKey(BYTE flags, WORD key, WORD command);
    // Makes the table from the keys so far; a previous table of this object is destroyed.
    HACCEL Build();
    void SendCommand(const TMessageRecord& record);

    void DefaultHandler(TMessageRecord& message) override;

    ACCEL Entries[kMaxKeys] = {};
    HACCEL AccelHandle = nullptr;
    int AccelCount = 0;
    TEventProc OnAccelerator = nullptr;
};

TAccelTable* CreateAccelTable(HWND window, TEventProc onAccelerator);

// Hands chosen messages of a window to plain procedures. The procedures get a copy whose Msg is
// the message number; a non-zero Result becomes the window's answer (the last one wins).
class TMessageTrapper : public TSubClass {
public:
    explicit TMessageTrapper(HWND window);

    void Trap(UINT message, TEventProc proc);

    void DefaultHandler(TMessageRecord& message) override;

    TIntegerList TrapIds{1, 1};
    TIntegerList TrapProcs{1, 1};
    int TrapCount = 0;
};

#endif  // !PELMIRA_HOOKLIB

// Accepts files dropped from the shell on the window; OnDrop reads them with GetFile.
class TAPIDragDrop : public TSubClass {
public:
    explicit TAPIDragDrop(HWND window);
    ~TAPIDragDrop() override;

    std::string GetFile(int index) const { return Files.Get(index); }
    void FocusAfterDrop(HWND control);

    void DefaultHandler(TMessageRecord& message) override;

    TStringArray Files;  // the paths of the last drop
    int FileCount = 0;
    TEventProc OnDrop = nullptr;
};

#if PELMIRA_HOOKLIB
// Hook library build only: the one-shot timers of the colour-dialog take-over. The controller
// has no timed work.

// A window timer whose id is the object's address; WM_TIMER arrives through the window's queue,
// so OnTimer runs on the window's thread. A new Interval takes effect at the next Start.
class TAPITimer : public TSubClass {
public:
    explicit TAPITimer(HWND window);
    ~TAPITimer() override;

    void Start();
    void Stop();

    void DefaultHandler(TMessageRecord& message) override;

    UINT Interval = 1000;
    bool Enabled = false;
    TEventProc OnTimer = nullptr;
};

TAPITimer* CreateTimer(HWND window, UINT interval, TEventProc onTimer);

#endif  // PELMIRA_HOOKLIB

// A font for drawing text: SelectInto creates it from the fields and selects it with TextColor,
// DeselectFrom puts the previous font back and deletes it. The face "System" draws with whatever
// the device context has.
class TAPIGFont : public TObject {
public:
    TAPIGFont();
    ~TAPIGFont() override;  // deletes Font when one is left

    // Virtual so that a drawing font built once elsewhere can stand in for the one built here.
    virtual void SelectInto(HDC dc);
    virtual void DeselectFrom(HDC dc);

    LOGFONTA LogFont = {};
    HFONT Font = nullptr;
    HGDIOBJ PreviousFont = nullptr;
    std::string FaceName;
    int Size = 12;
    int Angle = 0;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    COLORREF TextColor = 0;

protected:
    // Enumerates FaceName on `dc` into LogFont (the last style enumerated is the base), then
    // applies size, angle, weight and style from the fields.
    void FillLogFont(HDC dc);
};

// TAPIGFont::SelectInto for one scope of drawing; DeselectFrom at its end puts the previous font
// back and deletes the one SelectInto made.
class TScopedFontSelection {
public:
    TScopedFontSelection(TAPIGFont& font, HDC dc) : font_(font), dc_(dc) { font_.SelectInto(dc_); }
    ~TScopedFontSelection() { font_.DeselectFrom(dc_); }
    TScopedFontSelection(const TScopedFontSelection&) = delete;
    TScopedFontSelection& operator=(const TScopedFontSelection&) = delete;

private:
    TAPIGFont& font_;
    HDC dc_;
};

// A font for controls: Build makes Font from the fields (the face "System" too), ApplyTo sends it.
class TAPICFont : public TAPIGFont {
public:
    HFONT Build();
    void ApplyTo(HWND window) const;
};
