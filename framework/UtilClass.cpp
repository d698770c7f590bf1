// UtilClass.cpp: object model, containers, message dispatcher and subclass objects.
#include "UtilClass.h"

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

void TIntegerList::Clear() {
    std::vector<INT_PTR>(static_cast<size_t>(initialCapacity_), 0).swap(items_);
    lastIndex_ = -1;
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

void TIntegerList::Insert(int index, INT_PTR value) {
    if (index < 0 || index > lastIndex_) return;
    if (lastIndex_ + 1 >= Capacity()) Grow();
    // The slot past the last entry is free: shift the tail up by one.
    for (int i = lastIndex_ + 1; i > index; --i)
        items_[static_cast<size_t>(i)] = items_[static_cast<size_t>(i - 1)];
    items_[static_cast<size_t>(index)] = value;
    ++lastIndex_;
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

void CopyIntegerList(const TIntegerList& source, TIntegerList& dest) {
    if (&source == &dest) return;
    dest.Clear();
    const int count = source.Count();
    for (int i = 0; i < count; ++i) dest.Put(i, source.Get(i));
}

// ---------------------------------------------------------------------------------------------
// TStringArray
// ---------------------------------------------------------------------------------------------

int CompareLocale(const std::string& a, const std::string& b) {
    // CompareStringA answers CSTR_LESS_THAN (1), CSTR_EQUAL (2) or CSTR_GREATER_THAN (3); 0 is a
    // failure (invalid argument), which we treat as equal rather than as "less".
    const int r = ::CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), -1, b.c_str(), -1);
    return r == 0 ? 0 : r - 2;
}

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

void TStringArray::Put(int index, const std::string& s) {
    if (InRange(index)) entries_[static_cast<size_t>(index)] = ZeroTerminated(s);
}

void TStringArray::Insert(int index, const std::string& s) {
    if (InRange(index)) entries_.insert(entries_.begin() + index, ZeroTerminated(s));
}

void TStringArray::Delete(int index) {
    if (InRange(index)) entries_.erase(entries_.begin() + index);
}

void TStringArray::Clear() { entries_.clear(); }

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

// ---------------------------------------------------------------------------------------------
// TMessageDispatcher
// ---------------------------------------------------------------------------------------------

TMessageDispatcher* MessageDispatcher = nullptr;
int NextControlID = 400;

namespace {
INT_PTR AsValue(const void* p) { return reinterpret_cast<INT_PTR>(p); }

// The dispatcher lives until the module shuts down; its windows are gone by then.
struct DispatcherReaper {
    ~DispatcherReaper() {
        delete MessageDispatcher;
        MessageDispatcher = nullptr;
    }
} gDispatcherReaper;
}  // namespace

void TMessageDispatcher::Register(TSubClass* obj) {
    subscribers_.Add(AsValue(obj));
    HWND window = obj->Handle;
    if (windows_.IndexOf(AsValue(window)) >= 0) return;
    // One subclass per window, however many objects watch it.
    windows_.Add(AsValue(window));
    procs_.Add(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, AsValue(reinterpret_cast<void*>(&SubclassWndProc)));
}

void TMessageDispatcher::Unregister(TSubClass* obj) {
    const int at = subscribers_.IndexOf(AsValue(obj));
    if (at >= 0) subscribers_.Delete(at);
    for (int i = objects_.Count() - 1; i >= 0; --i) {
        if (objects_.Get(i) == AsValue(obj)) {
            objects_.Delete(i);
            messages_.Delete(i);
        }
    }
    dirty_ = true;
}

void TMessageDispatcher::Listen(UINT message, TSubClass* obj) {
    messages_.Add(static_cast<INT_PTR>(message));
    objects_.Add(AsValue(obj));
    dirty_ = true;
}

bool TMessageDispatcher::IsSubclassed(HWND handle) const {
    return windows_.Count() > 0 && windows_.IndexOf(AsValue(handle)) >= 0;
}

WNDPROC TMessageDispatcher::SavedProc(HWND handle) const {
    const int at = windows_.IndexOf(AsValue(handle));
    return at < 0 ? nullptr : reinterpret_cast<WNDPROC>(procs_.Get(at));
}

bool TMessageDispatcher::IsSubscriber(const TSubClass* obj) const {
    return subscribers_.IndexOf(AsValue(obj)) >= 0;
}

void TMessageDispatcher::DefaultHandler(TMessageRecord& message) {
    TMessageRecord copy = message;
    HWND window = reinterpret_cast<HWND>(copy.Result);
    copy.Result = 0;
    message.Result = 0;

    if (copy.Msg == WM_DESTROY) {
        // Newest first; each destructor unregisters its own pairs and shrinks the list.
        for (int i = subscribers_.Count() - 1; i >= 0; --i) {
            auto* obj = reinterpret_cast<TSubClass*>(subscribers_.Get(i));
            if (obj != nullptr && obj->Handle == window) {
                subscribers_.Delete(i);
                delete obj;
            }
        }
        // A destructor may have destroyed further windows and changed the list: look again.
        const int at = windows_.IndexOf(AsValue(window));
        if (at >= 0) {
            windows_.Delete(at);
            procs_.Delete(at);
        }
        return;
    }

    if (messages_.IndexOf(static_cast<INT_PTR>(copy.Msg)) < 0) return;
    if (dirty_) {
        CopyIntegerList(messages_, snapMessages_);
        CopyIntegerList(objects_, snapObjects_);
        dirty_ = false;
    }
    // The count and the lists are those of the snapshot: handlers that (un)register change only
    // the live lists, and a nested delivery refreshes the snapshot only when something changed.
    const int count = snapMessages_.Count();
    for (int i = 0; i < count; ++i) {
        if (snapMessages_.Get(i) != static_cast<INT_PTR>(copy.Msg)) continue;
        auto* obj = reinterpret_cast<TSubClass*>(snapObjects_.Get(i));
        if (obj == nullptr) continue;
        // A handler earlier in this delivery may have freed this object (for example by
        // destroying the window); a freed object is no longer a subscriber.
        if (!IsSubscriber(obj)) continue;
        if (obj->Handle != window) continue;
        obj->Dispatch(copy);
        if (copy.Result != 0) {
            message.Result = copy.Result;
            return;
        }
    }
}

LRESULT CALLBACK SubclassWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        TMessageDispatcher* dispatcher = MessageDispatcher;
        if (dispatcher == nullptr || !dispatcher->IsSubclassed(hwnd)) return 0;
        WNDPROC saved = dispatcher->SavedProc(hwnd);
        // The window's own procedure always answers first.
        const LRESULT answer = ::CallWindowProcA(saved, hwnd, msg, wParam, lParam);
        TMessageRecord record{msg, wParam, lParam, reinterpret_cast<LRESULT>(hwnd)};
        if (msg == WM_DESTROY) {
            // Back on its own procedure before any subscriber is freed.
            ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        }
        dispatcher->Dispatch(record);
        return record.Result != 0 ? record.Result : answer;
    } catch (...) {
        return 0;
    }
}

// ---------------------------------------------------------------------------------------------
// TSubClass
// ---------------------------------------------------------------------------------------------

TSubClass::TSubClass(HWND window) : Handle(window) {
    if (MessageDispatcher == nullptr) MessageDispatcher = new TMessageDispatcher();
    MessageDispatcher->Register(this);
}

TSubClass::~TSubClass() {
    if (MessageDispatcher != nullptr) MessageDispatcher->Unregister(this);
}

void TSubClass::Listen(UINT message) {
    if (MessageDispatcher != nullptr) MessageDispatcher->Listen(message, this);
}

// ---------------------------------------------------------------------------------------------
// TSelfSubClass
// ---------------------------------------------------------------------------------------------

namespace {
constexpr const char kObjectProp[] = "OBJECT";
constexpr const char kWndProcProp[] = "WNDPROC";
}  // namespace

TSelfSubClass::TSelfSubClass(HWND parent) : TSubClass(parent) {}

void TSelfSubClass::CreateControlWindow() {
    if (created_) return;
    created_ = true;
    TAPICreateParams params;
    GetCreateParams(params);
    params.ClassName[sizeof(params.ClassName) - 1] = '\0';
    Window = ::CreateWindowExA(params.ExStyle, params.ClassName, params.Caption.c_str(), params.Style,
                               params.X, params.Y, params.Width, params.Height, Handle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(NextControlID)),
                               ::GetModuleHandleA(nullptr), nullptr);
    if (::IsWindow(Window)) {
        ::SetPropA(Window, kObjectProp, this);
        const LONG_PTR previous =
            ::SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ControlWndProc));
        ::SetPropA(Window, kWndProcProp, reinterpret_cast<HANDLE>(previous));
    }
    ID = NextControlID;
    ++NextControlID;
    AfterCreate();
}

TSelfSubClass::~TSelfSubClass() {
    if (Window != nullptr && ::IsWindow(Window)) {
        HANDLE saved = ::GetPropA(Window, kWndProcProp);
        if (saved != nullptr) ::SetWindowLongPtrA(Window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        ::RemovePropA(Window, kObjectProp);
        ::RemovePropA(Window, kWndProcProp);
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

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        auto saved = reinterpret_cast<WNDPROC>(::GetPropA(hwnd, kWndProcProp));
        LRESULT answer = 0;
        // WM_CONTEXTMENU goes to the object first; its keyed handler decides whether the
        // control's own menu runs.
        if (msg != WM_CONTEXTMENU) {
            answer = saved != nullptr ? ::CallWindowProcA(saved, hwnd, msg, wParam, lParam)
                                      : ::DefWindowProcA(hwnd, msg, wParam, lParam);
        }
        auto* obj = static_cast<TSelfSubClass*>(::GetPropA(hwnd, kObjectProp));
        if (msg == WM_DESTROY) {
            delete obj;  // restores the procedure and removes both properties
            return answer;
        }
        if (obj != nullptr) {
            TMessageRecord record{msg, wParam, lParam, 0};
            obj->Dispatch(record);
            if (record.Result != 0) answer = record.Result;
        }
        return answer;
    } catch (...) {
        return 0;
    }
}
