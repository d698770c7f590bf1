// UtilClass.cpp: object model, containers, message dispatcher and subclass objects.
#include "UtilClass.h"

#include "ScopedHandles.h"

#include <shellapi.h>  // drag-drop (left out by WIN32_LEAN_AND_MEAN)
#include <windowsx.h>

#include <atomic>

// ---------------------------------------------------------------------------------------------
// TObject
// ---------------------------------------------------------------------------------------------

namespace {
// The hook library's objects may be built on whichever thread a hook runs on, so the counter is
// atomic even though each object itself lives on one thread.
std::atomic<long> gLiveObjects{0};
}  // namespace

TObject::TObject() noexcept { gLiveObjects.fetch_add(1, std::memory_order_relaxed); }

TObject::~TObject() { gLiveObjects.fetch_sub(1, std::memory_order_relaxed); }

long TObject::LiveObjectCount() noexcept { return gLiveObjects.load(std::memory_order_relaxed); }

void TObject::Dispatch(TMessageRecord& message) {
    const unsigned key = static_cast<unsigned>(message.Msg & 0xFFFF);
    // Registered messages (0xC000 and up) have no fixed number, so they are never keyed.
    if (key != 0 && key < 0xC000 && DispatchKeyed(key, message)) return;
    DefaultHandler(message);
}

void TObject::DefaultHandler(TMessageRecord&) {}

bool TObject::DispatchKeyed(unsigned, TMessageRecord&) { return false; }

// ---------------------------------------------------------------------------------------------
// TIntegerList
// ---------------------------------------------------------------------------------------------

TIntegerList::TIntegerList(int initialCapacity, int growStep)
    : growStep_(growStep <= 0 ? 16 : growStep),
      initialCapacity_(initialCapacity <= 0 ? 16 : initialCapacity) {
    items_.assign(static_cast<size_t>(initialCapacity_), 0);
}

void TIntegerList::Grow() { items_.resize(items_.size() + static_cast<size_t>(growStep_), 0); }

void TIntegerList::Add(INT_PTR value) {
    ++lastIndex_;
    if (lastIndex_ >= Capacity()) Grow();
    items_[static_cast<size_t>(lastIndex_)] = value;
}

void TIntegerList::Delete(int index) {
    if (index < 0 || index > lastIndex_) return;
    items_.erase(items_.begin() + index);
    items_.push_back(0);  // keep the capacity
    --lastIndex_;
}

INT_PTR TIntegerList::Get(int index) const {
    if (index < 0 || index > lastIndex_) return 0;
    return items_[static_cast<size_t>(index)];
}

void TIntegerList::Put(int index, INT_PTR value) {
    if (index < 0) return;
    if (index >= Capacity()) {
        size_t capacity = items_.size();
        while (capacity <= static_cast<size_t>(index) + 1) capacity += static_cast<size_t>(growStep_);
        items_.resize(capacity, 0);
    }
    items_[static_cast<size_t>(index)] = value;
    if (index > lastIndex_) lastIndex_ = index;
}

int TIntegerList::IndexOf(INT_PTR value) const {
    for (int i = 0; i <= lastIndex_; ++i)
        if (items_[static_cast<size_t>(i)] == value) return i;
    return -1;
}

#if !PELMIRA_HOOKLIB
// The hook library clears, inserts into and copies no list.

void TIntegerList::Clear() {
    std::vector<INT_PTR>(static_cast<size_t>(initialCapacity_), 0).swap(items_);
    lastIndex_ = -1;
}

void TIntegerList::Insert(int index, INT_PTR value) {
    if (index < 0 || index > lastIndex_) return;
    if (lastIndex_ + 1 >= Capacity()) Grow();
    // The slot past the last entry is free: shift the tail up by one.
    for (int i = lastIndex_ + 1; i > index; --i)
        items_[static_cast<size_t>(i)] = items_[static_cast<size_t>(i - 1)];
    items_[static_cast<size_t>(index)] = value;
    ++lastIndex_;
}

void CopyIntegerList(const TIntegerList& source, TIntegerList& dest) {
    if (&source == &dest) return;
    dest.Clear();
    const int count = source.Count();
    for (int i = 0; i < count; ++i) dest.Put(i, source.Get(i));
}
#endif  // !PELMIRA_HOOKLIB

// ---------------------------------------------------------------------------------------------
// TStringArray
// ---------------------------------------------------------------------------------------------

namespace {
// The array holds zero-terminated copies: anything past an embedded terminator is not part of it.
std::string ZeroTerminated(const std::string& s) { return std::string(s.c_str()); }
}  // namespace

void TStringArray::Add(const std::string& s) { entries_.push_back(ZeroTerminated(s)); }

void TStringArray::Get(int index, std::string& s) const {
    s = InRange(index) ? entries_[static_cast<size_t>(index)] : std::string("index error");
}

std::string TStringArray::Get(int index) const {
    std::string s;
    Get(index, s);
    return s;
}

void TStringArray::Clear() { entries_.clear(); }

#if !PELMIRA_HOOKLIB
// The controller edits, searches and sorts its string arrays; the hook library only fills, reads
// and empties them.

int CompareLocale(const std::string& a, const std::string& b) {
    // CompareStringA answers CSTR_LESS_THAN (1), CSTR_EQUAL (2) or CSTR_GREATER_THAN (3); 0 is a
    // failure (invalid argument), which we treat as equal rather than as "less".
    const int r = ::CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1);
    return r == 0 ? 0 : r - 2;
}

void TStringArray::Put(int index, const std::string& s) {
    if (InRange(index)) entries_[static_cast<size_t>(index)] = ZeroTerminated(s);
}

void TStringArray::Insert(int index, const std::string& s) {
    if (InRange(index)) entries_.insert(entries_.begin() + index, ZeroTerminated(s));
}

void TStringArray::Delete(int index) {
    if (InRange(index)) entries_.erase(entries_.begin() + index);
}

int TStringArray::IndexOf(const std::string& s) const {
    for (int i = 0; i < Count(); ++i)
        if (::lstrcmpiA(entries_[static_cast<size_t>(i)].c_str(), s.c_str()) == 0) return i;
    return -1;
}

void TStringArray::Exchange(int a, int b) {
    if (!InRange(a) || !InRange(b)) return;
    std::string first = Get(a);
    Put(a, Get(b));
    Put(b, first);
}

void TStringArray::Sort() {
    if (Count() > 1) QuickSort(0, Count() - 1);
}

// Hoare partitioning around the middle entry's value; recursion into the left part, iteration
// over the right part.
void TStringArray::QuickSort(int low, int high) {
    while (low < high) {
        const std::string pivot = entries_[static_cast<size_t>((low + high) / 2)];
        int i = low;
        int j = high;
        do {
            while (CompareLocale(entries_[static_cast<size_t>(i)], pivot) < 0) ++i;
            while (CompareLocale(entries_[static_cast<size_t>(j)], pivot) > 0) --j;
            if (i <= j) {
                Exchange(i, j);
                ++i;
                --j;
            }
        } while (i <= j);
        if (low < j) QuickSort(low, j);
        low = i;
    }
}
#endif  // !PELMIRA_HOOKLIB

// ---------------------------------------------------------------------------------------------
// TMessageDispatcher
// ---------------------------------------------------------------------------------------------

TMessageDispatcher* MessageDispatcher = nullptr;
int NextControlID = 400;

namespace {
INT_PTR AsValue(const void* p) { return reinterpret_cast<INT_PTR>(p); }

bool WatchesWindow(INT_PTR subscriber, HWND window) {
    const auto* obj = reinterpret_cast<const TSubClass*>(subscriber);
    return obj != nullptr && obj->Handle == window;
}

// The lock over the dispatcher's lists and NextControlID. A critical section may be entered again
// by its owner (a handler that registers during a delivery). Made on first use and never freed:
// a window of another thread may still be destroyed while the module's statics are torn down.
CRITICAL_SECTION& DispatcherLock() {
    static CRITICAL_SECTION* lock = [] {
        auto* made = new CRITICAL_SECTION;
        ::InitializeCriticalSection(made);
        return made;
    }();
    return *lock;
}

class TDispatcherGuard {
public:
    TDispatcherGuard() { ::EnterCriticalSection(&DispatcherLock()); }
    ~TDispatcherGuard() { ::LeaveCriticalSection(&DispatcherLock()); }
    TDispatcherGuard(const TDispatcherGuard&) = delete;
    TDispatcherGuard& operator=(const TDispatcherGuard&) = delete;
};

// The dispatcher lives until the module shuts down; its windows are gone by then.
struct DispatcherReaper {
    ~DispatcherReaper() {
        delete MessageDispatcher;
        MessageDispatcher = nullptr;
    }
} gDispatcherReaper;
}  // namespace

// Objects of a window are made, delivered to and freed on that window's thread only; what the
// lock protects is the lists, which hold the objects of every thread. So a delivery takes its
// listeners under the lock, lets go, and asks again (under the lock) before each call whether the
// object is still registered: only its own thread can free it in between, and that thread is here.

void TMessageDispatcher::Register(TSubClass* obj) {
    TDispatcherGuard guard;
    subscribers_.Add(AsValue(obj));
    HWND window = obj->Handle;
    if (windows_.IndexOf(AsValue(window)) >= 0) return;
    // One subclass per window, however many objects watch it.
    windows_.Add(AsValue(window));
    procs_.Add(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, AsValue(reinterpret_cast<void*>(&SubclassWndProc)));
}

void TMessageDispatcher::Unregister(TSubClass* obj) {
    TDispatcherGuard guard;
    const int at = subscribers_.IndexOf(AsValue(obj));
    if (at >= 0) subscribers_.Delete(at);
    for (int i = objects_.Count() - 1; i >= 0; --i) {
        if (objects_.Get(i) == AsValue(obj)) {
            objects_.Delete(i);
            messages_.Delete(i);
        }
    }
}

void TMessageDispatcher::Listen(UINT message, TSubClass* obj) {
    TDispatcherGuard guard;
    messages_.Add(static_cast<INT_PTR>(message));
    objects_.Add(AsValue(obj));
}

bool TMessageDispatcher::IsSubclassed(HWND handle) const {
    TDispatcherGuard guard;
    return windows_.Count() > 0 && windows_.IndexOf(AsValue(handle)) >= 0;
}

WNDPROC TMessageDispatcher::SavedProc(HWND handle) const {
    TDispatcherGuard guard;
    const int at = windows_.IndexOf(AsValue(handle));
    return at < 0 ? nullptr : reinterpret_cast<WNDPROC>(procs_.Get(at));
}

bool TMessageDispatcher::IsSubscriber(const TSubClass* obj) const {
    TDispatcherGuard guard;
    return subscribers_.IndexOf(AsValue(obj)) >= 0;
}

bool TMessageDispatcher::IsSubscriberOf(const TSubClass* obj, HWND window) const {
    TDispatcherGuard guard;
    return subscribers_.IndexOf(AsValue(obj)) >= 0 && obj->Handle == window;
}

void TMessageDispatcher::ForgetWindow(HWND handle) {
    TDispatcherGuard guard;
    const int at = windows_.IndexOf(AsValue(handle));
    if (at >= 0) {
        windows_.Delete(at);
        procs_.Delete(at);
    }
}

std::vector<TSubClass*> TMessageDispatcher::Listeners(HWND window, UINT message) const {
    TDispatcherGuard guard;
    std::vector<TSubClass*> found;
    const int count = messages_.Count();
    for (int i = 0; i < count; ++i) {
        if (messages_.Get(i) != static_cast<INT_PTR>(message)) continue;
        auto* obj = reinterpret_cast<TSubClass*>(objects_.Get(i));
        if (obj != nullptr && obj->Handle == window) found.push_back(obj);
    }
    return found;
}

TSubClass* TMessageDispatcher::TakeNewestSubscriber(HWND window) {
    TDispatcherGuard guard;
    int i = subscribers_.Count() - 1;
    while (i >= 0 && !WatchesWindow(subscribers_.Get(i), window)) --i;
    if (i < 0) return nullptr;
    auto* obj = reinterpret_cast<TSubClass*>(subscribers_.Get(i));
    subscribers_.Delete(i);
    return obj;
}

void TMessageDispatcher::DefaultHandler(TMessageRecord& message) {
    TMessageRecord copy = message;
    HWND window = reinterpret_cast<HWND>(copy.Result);
    copy.Result = 0;
    message.Result = 0;

    if (copy.Msg == WM_DESTROY) {
        // Newest first. Each destructor unregisters its own pairs, and one may free further
        // subscribers, so the list is searched again after every free. The free itself runs
        // outside the lock: a destructor may destroy windows.
        while (TSubClass* obj = TakeNewestSubscriber(window)) delete obj;
        return;
    }

    // The listeners are those of this moment: handlers that (un)register change only the live
    // lists, and a nested delivery takes its own listeners.
    for (TSubClass* obj : Listeners(window, static_cast<UINT>(copy.Msg))) {
        // A handler earlier in this delivery may have freed this object (for example by
        // destroying the window); a freed object is no longer a subscriber.
        if (!IsSubscriberOf(obj, window)) continue;
        obj->Dispatch(copy);
        if (copy.Result != 0) {
            message.Result = copy.Result;
            return;
        }
    }
}

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    TMessageDispatcher* dispatcher = MessageDispatcher;
    WNDPROC saved = dispatcher != nullptr ? dispatcher->SavedProc(hwnd) : nullptr;
    if (saved == nullptr) return 0;
    // The window's own procedure always answers first.
    const LRESULT answer = ::CallWindowProcA(saved, hwnd, msg, wParam, lParam);
    TMessageRecord record{msg, wParam, lParam, reinterpret_cast<LRESULT>(hwnd)};
    bool restored = false;
    if (msg == WM_DESTROY) {
        // Back on its own procedure before any subscriber is freed, but only while ours is still
        // the window's procedure. A procedure subclassed on top of ours (comctl32's for a
        // tool-tip tool, a host program's own) would otherwise be cut out of the chain and never
        // see WM_NCDESTROY, where it frees what it holds; ours then stays in the chain and passes
        // every message on until that last one.
        const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
        if (current == &SubclassWndProc) {
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
            restored = true;
        }
    } else if (msg == WM_NCDESTROY) {
        dispatcher->ForgetWindow(hwnd);
        return answer;
    }
    // A watcher that throws leaves the window's own answer standing, as if nobody had listened.
    const LRESULT result = GuardedCall(answer, [&] {
        dispatcher->Dispatch(record);
        return record.Result != 0 ? record.Result : answer;
    });
    if (restored) dispatcher->ForgetWindow(hwnd);
    return result;
}

// ---------------------------------------------------------------------------------------------
// TSubClass
// ---------------------------------------------------------------------------------------------

TSubClass::TSubClass(HWND window) : Handle(window) {
    TDispatcherGuard guard;
    if (MessageDispatcher == nullptr) MessageDispatcher = new TMessageDispatcher();
    MessageDispatcher->Register(this);
}

TSubClass::~TSubClass() {
    if (MessageDispatcher != nullptr) MessageDispatcher->Unregister(this);
}

void TSubClass::Listen(UINT message) {
    if (MessageDispatcher != nullptr) MessageDispatcher->Listen(message, this);
}

int TakeControlID() {
    TDispatcherGuard guard;
    return NextControlID++;
}

// ---------------------------------------------------------------------------------------------
// TSelfSubClass
// ---------------------------------------------------------------------------------------------

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {
constexpr const char kControlObjectProp[] = "OBJECT";

// The module this code is linked into: the controller's executable or the hook library. Window
// classes registered by the library are found only under the library's own instance.
HINSTANCE ControlModule() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }
constexpr const char kWndProcProp[] = "WNDPROC";
}  // namespace

TSelfSubClass::TSelfSubClass(HWND parent) : TSubClass(parent) {}

void TSelfSubClass::CreateControlWindow(const TControlPlace* place) {
    if (created_) return;
    created_ = true;
    TAPICreateParams params;
    GetCreateParams(params);
    if (place != nullptr) {
        params.X = place->X;
        params.Y = place->Y;
        params.Width = place->Width;
        params.Height = place->Height;
        if (place->Caption != nullptr) params.Caption = place->Caption;
    }
    params.ClassName[sizeof(params.ClassName) - 1] = '\0';
    const int controlId = TakeControlID();
    Window = ::CreateWindowExA(params.ExStyle, params.ClassName, params.Caption.c_str(), params.Style,
                               params.X, params.Y, params.Width, params.Height, Handle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                               ControlModule(), nullptr);
    if (::IsWindow(Window)) {
        ::SetPropA(Window, kControlObjectProp, this);
        // The window is ours, and so is its user data: the object is found there on every message.
        // A property lookup is a round trip to the window server under Wine, paid twice per
        // message of every control.
        ::SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        const LONG_PTR previous =
            ::SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWndProc));
        ownProc_ = reinterpret_cast<WNDPROC>(previous);
        ::SetPropA(Window, kWndProcProp, reinterpret_cast<HANDLE>(previous));
    }
    ID = controlId;
    AfterCreate();
}

TSelfSubClass::~TSelfSubClass() {
    if (Window != nullptr && ::IsWindow(Window) && ::GetPropA(Window, kControlObjectProp) == this) {
        ::RemovePropA(Window, kControlObjectProp);
        ::SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
        const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(Window, GWLP_WNDPROC));
        if (current == &ControlWndProc) {
            HANDLE saved = ::RemovePropA(Window, kWndProcProp);
            if (saved != nullptr) ::SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        }
        // Otherwise the window was subclassed again on top of us (the dispatcher watches it for
        // another object): putting our saved procedure back would cut that procedure out and its
        // subscribers would never see WM_DESTROY. ControlWndProc stays in the chain without an
        // object and drops "WNDPROC" when the window is finally destroyed.
    }
}

bool TSelfSubClass::DispatchKeyed(unsigned key, TMessageRecord& message) {
    if (key != WM_CONTEXTMENU) return TSubClass::DispatchKeyed(key, message);
    if (OnContextMenu != nullptr) {
        // The callback gets the record itself, so its Result reaches ControlWndProc.
        message.Msg = reinterpret_cast<UINT_PTR>(this);
        OnContextMenu(&message);
    } else {
        auto saved = reinterpret_cast<WNDPROC>(::GetPropA(Window, kWndProcProp));
        if (saved != nullptr)
            message.Result = ::CallWindowProcA(saved, Window, WM_CONTEXTMENU, message.WParam, message.LParam);
    }
    return true;
}

namespace {
TSelfSubClass* ControlObject(HWND hwnd) noexcept {
    return reinterpret_cast<TSelfSubClass*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}
}  // namespace

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    // Without the object (freed while another procedure stays subclassed on top of this one)
    // the property still holds the procedure to pass on to.
    const TSelfSubClass* const owner = ControlObject(hwnd);
    auto saved = owner != nullptr ? owner->ownProc_ : reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kWndProcProp));
    LRESULT answer = 0;
    // WM_CONTEXTMENU goes to the object first; its keyed handler decides whether the
    // control's own menu runs.
    if (msg != WM_CONTEXTMENU) {
        answer = saved != nullptr ? ::CallWindowProcA(saved, hwnd, msg, wParam, lParam)
                                  : ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // Read again: the control's own procedure may have freed the object meanwhile.
    auto* obj = ControlObject(hwnd);
    if (msg == WM_DESTROY) {
        delete obj;  // restores the procedure and removes both properties
        return answer;
    }
    if (msg == WM_NCDESTROY) {
        ::RemovePropA(hwnd, kWndProcProp);  // the last message: we are still chained in
        return answer;
    }
    if (obj == nullptr) return answer;
    // A handler that throws leaves the control's own answer standing (0 for a context menu,
    // which then shows nothing).
    return GuardedCall(answer, [&] {
        TMessageRecord record{msg, wParam, lParam, 0};
        obj->Dispatch(record);
        return record.Result != 0 ? record.Result : answer;
    });
}

// =============================================================================================
// Menus
// =============================================================================================

#if !PELMIRA_HOOKLIB
// Controller build only: menus, accelerators and message traps belong to the controller's own
// window; the hook library must not change the menus or keys of other people's programs.

namespace {
constexpr int kAppend = -1;

// The full-size structure for the running system (the MIIM_* masks we use are all in the 32-bit
// 44-byte prefix, so the larger size only adds hbmpItem).
MENUITEMINFOA NewItemInfo(UINT mask) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = mask;
    return info;
}

bool InsertItemInfo(HMENU menu, int before, MENUITEMINFOA& info) {
    if (before == kAppend)
        return ::InsertMenuItemA(menu, static_cast<UINT>(::GetMenuItemCount(menu)), TRUE, &info) != FALSE;
    return ::InsertMenuItemA(menu, static_cast<UINT>(before), FALSE, &info) != FALSE;
}

bool InsertTextItem(HMENU menu, int before, const std::string& text, UINT id, UINT type, UINT mask,
                    HMENU submenu) {
    MENUITEMINFOA info = NewItemInfo(mask);
    info.fType = type;
    info.wID = id;
    info.hSubMenu = submenu;
    // The item copies the text; the buffer only needs to live through the call.
    std::string copy = text;
    info.dwTypeData = copy.data();
    info.cch = static_cast<UINT>(copy.size());
    return InsertItemInfo(menu, before, info);
}

void WriteItemState(HMENU menu, UINT id, UINT state) {
    MENUITEMINFOA info = NewItemInfo(MIIM_STATE);
    info.fState = state;
    ::SetMenuItemInfoA(menu, id, FALSE, &info);
}
}  // namespace

bool MenuInsertItem(HMENU menu, int before, const std::string& text, UINT id) {
    return InsertTextItem(menu, before, text, id, MFT_STRING, MIIM_ID | MIIM_TYPE, nullptr);
}

bool MenuInsertRadioItem(HMENU menu, int before, const std::string& text, UINT id) {
    return InsertTextItem(menu, before, text, id, MFT_RADIOCHECK, MIIM_ID | MIIM_TYPE, nullptr);
}

bool MenuInsertSeparator(HMENU menu, int before, UINT id) {
    MENUITEMINFOA info = NewItemInfo(MIIM_ID | MIIM_TYPE);
    info.fType = MFT_SEPARATOR;
    info.wID = id;
    return InsertItemInfo(menu, before, info);
}

bool MenuInsertSubmenu(HMENU menu, int before, const std::string& text, UINT id, HMENU submenu) {
    return InsertTextItem(menu, before, text, id, MFT_STRING, MIIM_ID | MIIM_TYPE | MIIM_SUBMENU, submenu);
}

UINT MenuItemState(HMENU menu, UINT id) {
    MENUITEMINFOA info = NewItemInfo(MIIM_STATE);
    if (!::GetMenuItemInfoA(menu, id, FALSE, &info)) return 0;
    return info.fState;
}

UINT MenuItemIdAt(HMENU menu, int position) {
    MENUITEMINFOA info = NewItemInfo(MIIM_ID);
    if (!::GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return 0;
    return info.wID;
}

bool IsChecked(HMENU menu, UINT id) { return (MenuItemState(menu, id) & MFS_CHECKED) != 0; }

void SetChecked(HMENU menu, UINT id, bool checked) {
    UINT state = MenuItemState(menu, id);
    state = checked ? (state | MFS_CHECKED) : (state & ~static_cast<UINT>(MFS_CHECKED));
    WriteItemState(menu, id, state);
}

void SetEnabled(HMENU menu, UINT id, bool enabled) {
    constexpr UINT kGreyed = MFS_GRAYED | MFS_DISABLED;
    UINT state = MenuItemState(menu, id);
    state = enabled ? (state & ~kGreyed) : (state | kGreyed);
    WriteItemState(menu, id, state);
}

bool TMenuBase::AppendItem(const std::string& text, UINT id) { return MenuInsertItem(Menu, kAppend, text, id); }

bool TMenuBase::InsertItem(int before, const std::string& text, UINT id) {
    return MenuInsertItem(Menu, before, text, id);
}

void TMenuBase::RemoveItem(UINT id) { ::RemoveMenu(Menu, id, MF_BYCOMMAND); }

namespace {
// WM_COMMAND sources: a menu sends code 0, an accelerator code 1, both without a control window.
bool IsMenuCommand(const TMessageRecord& m) { return HIWORD(m.WParam) == 0 && m.LParam == 0; }
bool IsAcceleratorCommand(const TMessageRecord& m) { return HIWORD(m.WParam) == 1 && m.LParam == 0; }
}  // namespace

TAMainMenu::TAMainMenu(HWND window) : TMenuBase(window) {
    Menu = ::CreateMenu();
    Listen(WM_COMMAND);
    Listen(WM_INITMENU);
    Listen(WM_ENTERMENULOOP);
    Listen(WM_EXITMENULOOP);
}

TAMainMenu::~TAMainMenu() {
    // A window destroys the menu it shows itself.
    if (Menu != nullptr && ::GetMenu(Handle) != Menu) ::DestroyMenu(Menu);
}

void TAMainMenu::DefaultHandler(TMessageRecord& message) {
    switch (message.Msg) {
    case WM_COMMAND:
        if (IsMenuCommand(message)) FireEvent(OnCommand, message, this);
        break;
    case WM_INITMENU:
        if (reinterpret_cast<HMENU>(message.WParam) == Menu) FireEvent(OnInitMenu, message, this);
        break;
    case WM_ENTERMENULOOP:
        FireEvent(OnEnterMenuLoop, message, this);
        break;
    case WM_EXITMENULOOP:
        FireEvent(OnExitMenuLoop, message, this);
        break;
    default:
        break;
    }
}

TAMainMenu* CreateMainMenu(HWND window, TEventProc onCommand) {
    auto* menu = new TAMainMenu(window);
    menu->OnCommand = onCommand;
    return menu;
}

TAPopupMenu::TAPopupMenu(HWND window) : TMenuBase(window) {
    Menu = ::CreatePopupMenu();
    Listen(WM_INITMENUPOPUP);
}

TAPopupMenu::~TAPopupMenu() {
    if (Menu != nullptr && AttachedTo == nullptr) ::DestroyMenu(Menu);
}

bool TAPopupMenu::AppendSeparator(UINT id) { return MenuInsertSeparator(Menu, kAppend, id); }

bool TAPopupMenu::AppendRadioItem(const std::string& text, UINT id) {
    return MenuInsertRadioItem(Menu, kAppend, text, id);
}

bool TAPopupMenu::InsertRadioItem(int before, const std::string& text, UINT id) {
    return MenuInsertRadioItem(Menu, before, text, id);
}

bool TAPopupMenu::AttachTo(TMenuBase* parent, int before, const std::string& text) {
    if (AttachedTo != nullptr || parent == nullptr) return false;
    const bool inserted = MenuInsertSubmenu(parent->Menu, before, text, ItemId, Menu);
    ::DrawMenuBar(Handle);
    if (inserted) AttachedTo = parent->Menu;
    return inserted;
}

void TAPopupMenu::CheckRadio(UINT first, UINT last, UINT id) {
    ::CheckMenuRadioItem(Menu, first, last, id, MF_BYCOMMAND);
}

bool TAPopupMenu::IsChecked(UINT id) const { return ::IsChecked(Menu, id); }

void TAPopupMenu::SetChecked(UINT id, bool checked) { ::SetChecked(Menu, id, checked); }

void TAPopupMenu::SetEnabled(UINT id, bool enabled) { ::SetEnabled(Menu, id, enabled); }

UINT TAPopupMenu::Track(const TMessageRecord& record, HWND window) {
    if (window == nullptr) window = Handle;
    int x = 0;
    int y = 0;
    // WM_CONTEXTMENU from the keyboard carries -1 in both coordinates.
    if (static_cast<DWORD>(record.LParam) == 0xFFFFFFFFu) {
        RECT rect{};
        ::GetWindowRect(window, &rect);
        x = (rect.left + rect.right) / 2;
        y = (rect.top + rect.bottom) / 2;
    } else {
        // Signed: a monitor left of or above the primary one has negative screen coordinates.
        x = GET_X_LPARAM(record.LParam);
        y = GET_Y_LPARAM(record.LParam);
    }
    const BOOL chosen = ::TrackPopupMenu(Menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, 0, Handle, nullptr);
    return static_cast<UINT>(chosen);
}

void TAPopupMenu::SendCommand(UINT id) { ::SendMessageA(Handle, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void TAPopupMenu::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_INITMENUPOPUP && reinterpret_cast<HMENU>(message.WParam) == Menu)
        FireEvent(OnInitMenuPopup, message, this);
}

TAPopupMenu* CreatePopupMenuObject(HWND window, UINT itemId, TEventProc onInitMenuPopup) {
    auto* menu = new TAPopupMenu(window);
    menu->ItemId = itemId;
    menu->OnInitMenuPopup = onInitMenuPopup;
    return menu;
}

TWindowMenu::TWindowMenu(HWND window) : TAPopupMenu(window) {
    ::DestroyMenu(Menu);
    Menu = ::GetSystemMenu(window, FALSE);
    Listen(WM_SYSCOMMAND);
}

TWindowMenu::~TWindowMenu() {
    // The window destroys its system menu itself; destroying it here as well would free a
    // handle the window still uses.
    Menu = nullptr;
}

void TWindowMenu::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_SYSCOMMAND) {
        FireEvent(OnSysCommand, message, this);
        return;
    }
    TAPopupMenu::DefaultHandler(message);
}

TWindowMenu* CreateWindowMenu(HWND window, TEventProc onSysCommand) {
    auto* menu = new TWindowMenu(window);
    menu->OnSysCommand = onSysCommand;
    return menu;
}

// =============================================================================================
// Accelerators and message traps
// =============================================================================================

TAccelTable::TAccelTable(HWND window) : TSubClass(window) { Listen(WM_COMMAND); }

TAccelTable::~TAccelTable() {
    if (AccelHandle != nullptr) ::DestroyAcceleratorTable(AccelHandle);
}

void TAccelTable::AddKey(BYTE flags, WORD key, WORD command) {
    if (AccelCount >= kMaxKeys) return;
    Entries[AccelCount] = ACCEL{static_cast<BYTE>(flags | FVIRTKEY), key, command};
    ++AccelCount;
}

HACCEL TAccelTable::Build() {
    if (AccelHandle != nullptr) ::DestroyAcceleratorTable(AccelHandle);
    AccelHandle = ::CreateAcceleratorTableA(Entries, AccelCount);
    return AccelHandle;
}

void TAccelTable::SendCommand(const TMessageRecord& record) {
    ::SendMessageA(Handle, WM_COMMAND, MAKEWPARAM(LOWORD(record.WParam), 0), 0);
}

void TAccelTable::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_COMMAND && IsAcceleratorCommand(message)) FireEvent(OnAccelerator, message, this);
}

TAccelTable* CreateAccelTable(HWND window, TEventProc onAccelerator) {
    auto* table = new TAccelTable(window);
    table->OnAccelerator = onAccelerator;
    return table;
}

TMessageTrapper::TMessageTrapper(HWND window) : TSubClass(window) {}

void TMessageTrapper::Trap(UINT message, TEventProc proc) {
    // One subscription per message number: every delivery already runs all traps for it, and a
    // second subscription would run each of them twice.
    const bool listening = TrapIds.IndexOf(static_cast<INT_PTR>(message)) >= 0;
    TrapIds.Add(static_cast<INT_PTR>(message));
    TrapProcs.Add(reinterpret_cast<INT_PTR>(proc));
    if (!listening) Listen(message);
    ++TrapCount;
}

void TMessageTrapper::DefaultHandler(TMessageRecord& message) {
    TMessageRecord copy = message;
    for (int i = 0; i < TrapIds.Count(); ++i) {
        if (TrapIds.Get(i) != static_cast<INT_PTR>(message.Msg)) continue;
        auto proc = reinterpret_cast<TEventProc>(TrapProcs.Get(i));
        if (proc == nullptr) continue;
        proc(&copy);
        if (copy.Result != 0) message.Result = copy.Result;
    }
}

#endif  // !PELMIRA_HOOKLIB

// =============================================================================================
// Drag-drop
// =============================================================================================

namespace {

// What DragAcceptFiles does, without loading the shell library for it: the window's
// WS_EX_ACCEPTFILES style is all the system looks at when files are dropped. The shell library
// is then needed only once files actually arrive, to read the drop.
void AcceptFileDrops(HWND window, bool accept) {
    const LONG_PTR style = ::GetWindowLongPtrA(window, GWL_EXSTYLE);
    const LONG_PTR wanted = accept ? (style | WS_EX_ACCEPTFILES) : (style & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES));
    if (wanted != style) ::SetWindowLongPtrA(window, GWL_EXSTYLE, wanted);
}

}  // namespace

TAPIDragDrop::TAPIDragDrop(HWND window) : TSubClass(window) {
    Listen(WM_DROPFILES);
    AcceptFileDrops(window, true);
}

TAPIDragDrop::~TAPIDragDrop() {
    if (::IsWindow(Handle)) AcceptFileDrops(Handle, false);
}

void TAPIDragDrop::FocusAfterDrop(HWND control) {
    ::SetForegroundWindow(Handle);
    ::SetFocus(control);
}

void TAPIDragDrop::DefaultHandler(TMessageRecord& message) {
    if (message.Msg != WM_DROPFILES) return;
    auto drop = reinterpret_cast<HDROP>(message.WParam);
    Files.Clear();
    FileCount = static_cast<int>(::DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0));
    for (int i = 0; i < FileCount; ++i) {
        char path[MAX_PATH + 1] = {};
        ::DragQueryFileA(drop, static_cast<UINT>(i), path, sizeof(path));
        Files.Add(path);
    }
    ::DragFinish(drop);
    FireEvent(OnDrop, message, this);
}

// =============================================================================================
// Timer
// =============================================================================================

#if PELMIRA_HOOKLIB
// Hook library build only: the one-shot timers of the colour-dialog take-over. The controller
// has no timed work.

TAPITimer::TAPITimer(HWND window) : TSubClass(window) { Listen(WM_TIMER); }

TAPITimer::~TAPITimer() { Stop(); }

void TAPITimer::Start() {
    if (Enabled) return;
    Enabled = true;
    ::SetTimer(Handle, reinterpret_cast<UINT_PTR>(this), Interval, nullptr);
}

void TAPITimer::Stop() {
    if (!Enabled) return;
    Enabled = false;
    ::KillTimer(Handle, reinterpret_cast<UINT_PTR>(this));
}

void TAPITimer::DefaultHandler(TMessageRecord& message) {
    if (message.Msg == WM_TIMER && message.WParam == reinterpret_cast<WPARAM>(this))
        FireEvent(OnTimer, message, this);
}

TAPITimer* CreateTimer(HWND window, UINT interval, TEventProc onTimer) {
    auto* timer = new TAPITimer(window);
    timer->Interval = interval;
    timer->OnTimer = onTimer;
    return timer;
}

#endif  // PELMIRA_HOOKLIB

// =============================================================================================
// Fonts
// =============================================================================================

namespace {
constexpr const char kSystemFace[] = "System";

int CALLBACK CopyEnumeratedFont(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM target) noexcept {
    *reinterpret_cast<LOGFONTA*>(target) = *font;
    return 1;  // go on: the last style enumerated is the one we keep
}
}  // namespace

TAPIGFont::TAPIGFont() {
    ::GetObjectA(::GetStockObject(SYSTEM_FONT), sizeof(LogFont), &LogFont);
    FaceName = LogFont.lfFaceName;
    Angle = LogFont.lfEscapement;
    Bold = LogFont.lfWeight > 300;
    Italic = LogFont.lfItalic != 0;
    Underline = LogFont.lfUnderline != 0;
    StrikeOut = LogFont.lfStrikeOut != 0;
}

TAPIGFont::~TAPIGFont() {
    if (Font != nullptr) ::DeleteObject(Font);
}

void TAPIGFont::FillLogFont(HDC dc) {
    ::EnumFontFamiliesA(dc, FaceName.c_str(), &CopyEnumeratedFont, reinterpret_cast<LPARAM>(&LogFont));
    LogFont.lfHeight = -::MulDiv(Size, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    LogFont.lfWidth = 0;
    LogFont.lfEscapement = Angle;
    LogFont.lfWeight = Bold ? FW_BOLD : FW_NORMAL;
    LogFont.lfItalic = Italic ? 1 : 0;
    LogFont.lfUnderline = Underline ? 1 : 0;
    LogFont.lfStrikeOut = StrikeOut ? 1 : 0;
}

void TAPIGFont::SelectInto(HDC dc) {
    if (FaceName == kSystemFace) return;
    FillLogFont(dc);
    Font = ::CreateFontIndirectA(&LogFont);
    PreviousFont = ::SelectObject(dc, Font);
    ::SetTextColor(dc, TextColor);
}

void TAPIGFont::DeselectFrom(HDC dc) {
    if (FaceName == kSystemFace || Font == nullptr) return;
    ::SelectObject(dc, PreviousFont);
    ::DeleteObject(Font);
    Font = nullptr;
    ::SetTextColor(dc, 0);
}

HFONT TAPICFont::Build() {
    if (Font != nullptr) ::DeleteObject(Font);
    Font = nullptr;
    const TScopedCreatedDC ic(::CreateICA("DISPLAY", nullptr, nullptr, nullptr));
    if (ic) FillLogFont(ic);
    Font = ::CreateFontIndirectA(&LogFont);
    return Font;
}

void TAPICFont::ApplyTo(HWND window) const {
    ::SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
}
