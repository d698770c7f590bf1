// The object model: containers, keyed dispatch, the message dispatcher and controls that own
// their window. Windows are real (hidden) windows of this process; messages are really sent.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "UtilClass.h"

namespace {

constexpr UINT kAsk = WM_USER + 1;      // the window's own procedure answers 7
constexpr UINT kOther = WM_USER + 2;    // nobody listens to this one
constexpr LRESULT kOwnAnswer = 7;

std::vector<std::string> gLog;

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
    case kAsk:
        gLog.push_back("own");
        return kOwnAnswer;
    case WM_CONTEXTMENU:
        gLog.push_back("own:contextmenu");
        return 0;
    case WM_DESTROY:
        gLog.push_back("own:destroy");
        return 0;
    default:
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

const char* TestClass() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &TestWndProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "CoreTestWindow";
        ::RegisterClassA(&wc);
        return "CoreTestWindow";
    }();
    return name;
}

HWND NewWindow(HWND parent = nullptr) {
    const DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    return ::CreateWindowExA(0, TestClass(), "core", style, 0, 0, 100, 100, parent, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

// A watcher that logs what it sees and answers a preset Result.
class Watcher : public TSubClass {
public:
    Watcher(HWND window, std::string name, UINT message, LRESULT answer = 0)
        : TSubClass(window), name_(std::move(name)), answer_(answer) {
        Listen(message);
    }
    ~Watcher() override {
        // Record whether the window was already back on its own procedure.
        const bool restored = !::IsWindow(Handle) ||
                              ::GetWindowLongPtrA(Handle, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&SubclassWndProc);
        gLog.push_back("free " + name_ + (restored ? " restored" : " still-subclassed"));
    }
    void DefaultHandler(TMessageRecord& message) override {
        gLog.push_back(name_);
        message.Result = answer_;
        // Last: the callback may free this object (by destroying its window).
        if (auto callback = onMessage) callback(*this, message);
    }
    void (*onMessage)(Watcher&, TMessageRecord&) = nullptr;

private:
    std::string name_;
    LRESULT answer_;
};

// The dispatcher is made by the first watcher and lives on; make it before counting objects.
void EnsureDispatcher() {
    if (MessageDispatcher != nullptr) return;
    HWND w = NewWindow();
    delete new Watcher(w, "probe", kOther);
    ::DestroyWindow(w);
}

class DispatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureDispatcher();
        gLog.clear();
        baseline_ = TObject::LiveObjectCount();
        window_ = NewWindow();
        ASSERT_NE(window_, nullptr);
        ownProc_ = ::GetWindowLongPtrA(window_, GWLP_WNDPROC);
    }
    void TearDown() override {
        if (::IsWindow(window_)) ::DestroyWindow(window_);
        EXPECT_EQ(TObject::LiveObjectCount(), baseline_) << "objects left after the window was destroyed";
    }

    long baseline_ = 0;
    HWND window_ = nullptr;
    LONG_PTR ownProc_ = 0;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// Containers
// ---------------------------------------------------------------------------------------------

TEST(IntegerList, GrowsByStepsAndIgnoresOutOfRangeEdits) {
    TIntegerList list(2, 3);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 2);
    for (INT_PTR v = 1; v <= 5; ++v) list.Add(v * 10);
    EXPECT_EQ(list.Count(), 5);
    EXPECT_GE(list.Capacity(), 5);
    EXPECT_EQ(list.Get(4), 50);
    EXPECT_EQ(list.Get(5), 0);
    EXPECT_EQ(list.Get(-1), 0);

    list.Insert(5, 99);  // cannot append
    list.Insert(-1, 99);
    list.Delete(5);
    list.Delete(-1);
    EXPECT_EQ(list.Count(), 5);

    list.Insert(0, 5);
    list.Delete(2);  // removes 20
    std::vector<INT_PTR> got;
    for (int i = 0; i < list.Count(); ++i) got.push_back(list.Get(i));
    EXPECT_EQ(got, (std::vector<INT_PTR>{5, 10, 30, 40, 50}));
    EXPECT_EQ(list.IndexOf(40), 3);
    EXPECT_EQ(list.IndexOf(41), -1);

    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Capacity(), 2);
}

TEST(IntegerList, PutBeyondTheEndExtendsTheList) {
    TIntegerList list(4, 4);
    list.Put(10, 77);
    EXPECT_EQ(list.Count(), 11);
    EXPECT_EQ(list.Get(10), 77);
    // Whole grow steps until the capacity exceeds index + 1: 4 -> 8 -> 12.
    EXPECT_EQ(list.Capacity(), 12);
    list.Put(3, 1);
    EXPECT_EQ(list.Count(), 11);
    list.Put(-1, 5);
    EXPECT_EQ(list.Count(), 11);

    TIntegerList zeroes(0, 0);  // 0 means 16
    EXPECT_EQ(zeroes.Capacity(), 16);
    zeroes.Put(16, 1);
    EXPECT_EQ(zeroes.Capacity(), 32);

    TIntegerList copy(1, 1);
    copy.Add(123);
    CopyIntegerList(list, copy);
    ASSERT_EQ(copy.Count(), 11);
    EXPECT_EQ(copy.Get(10), 77);
    EXPECT_EQ(copy.Get(3), 1);
}

TEST(StringArray, OwnsCopiesAndReportsBadIndexes) {
    TStringArray a;
    EXPECT_EQ(a.IndexOf("x"), -1);
    a.Add("Alpha");
    a.Add("beta");
    EXPECT_EQ(a.IndexOf("ALPHA"), 0);
    EXPECT_EQ(a.IndexOf("Beta"), 1);
    EXPECT_EQ(a.IndexOf("gamma"), -1);
    EXPECT_EQ(a.Get(2), "index error");
    EXPECT_EQ(a.Get(-1), "index error");

    a.Insert(a.Count(), "tail");  // appending is Add's job
    a.Put(2, "x");
    a.Delete(2);
    EXPECT_EQ(a.Count(), 2);

    a.Insert(1, "middle");
    a.Put(0, "first");
    EXPECT_EQ(a.Get(0), "first");
    EXPECT_EQ(a.Get(1), "middle");
    EXPECT_EQ(a.Get(2), "beta");
    a.Exchange(0, 2);
    EXPECT_EQ(a.Get(0), "beta");
    EXPECT_EQ(a.Get(2), "first");
    a.Delete(1);
    EXPECT_EQ(a.Count(), 2);

    a.Add(std::string("cut\0off", 7));  // a zero-terminated copy
    EXPECT_EQ(a.Get(2), "cut");

    a.Clear();
    EXPECT_EQ(a.Count(), 0);
    a.Clear();
    EXPECT_EQ(a.Count(), 0);
}

TEST(StringArray, SortsByTheUserLocale) {
    EXPECT_EQ(CompareLocale("apple", "banana"), -1);
    EXPECT_EQ(CompareLocale("banana", "apple"), 1);
    EXPECT_EQ(CompareLocale("same", "same"), 0);
    EXPECT_NE(CompareLocale("a", "A"), 0);  // case matters

    TStringArray empty;
    empty.Sort();
    EXPECT_EQ(empty.Count(), 0);
    TStringArray one;
    one.Add("only");
    one.Sort();
    EXPECT_EQ(one.Get(0), "only");

    const std::vector<std::string> input{"pear", "Apple", "banana", "apple", "Zebra", "cherry", "pear", "10", "9"};
    TStringArray a;
    for (const auto& s : input) a.Add(s);
    a.Sort();
    std::vector<std::string> got;
    for (int i = 0; i < a.Count(); ++i) got.push_back(a.Get(i));
    for (size_t i = 1; i < got.size(); ++i)
        EXPECT_LE(CompareLocale(got[i - 1], got[i]), 0) << got[i - 1] << " before " << got[i];
    auto sortedInput = input;
    std::sort(sortedInput.begin(), sortedInput.end());
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, sortedInput);  // nothing lost or duplicated
}

// ---------------------------------------------------------------------------------------------
// Keyed dispatch
// ---------------------------------------------------------------------------------------------

namespace {
class KeyedBase : public TObject {
public:
    std::vector<std::string> seen;
    void DefaultHandler(TMessageRecord&) override { seen.push_back("default"); }

protected:
    bool DispatchKeyed(unsigned key, TMessageRecord& m) override {
        if (key == 0x100 || key == 0x300) {
            seen.push_back("base");
            return true;
        }
        return TObject::DispatchKeyed(key, m);
    }
};

class KeyedDerived : public KeyedBase {
protected:
    bool DispatchKeyed(unsigned key, TMessageRecord& m) override {
        if (key == 0x100 || key == 0x200) {
            seen.push_back("derived");
            return true;
        }
        return KeyedBase::DispatchKeyed(key, m);
    }
};
}  // namespace

TEST(KeyedDispatch, NearestClassFirstThenAncestorsThenDefault) {
    KeyedDerived obj;
    for (UINT_PTR msg : {UINT_PTR{0x100}, UINT_PTR{0x300}, UINT_PTR{0x400}, UINT_PTR{0x10200}, UINT_PTR{0},
                         UINT_PTR{0x10000}, UINT_PTR{0xC000}, UINT_PTR{0xC100}}) {
        TMessageRecord m{msg, 0, 0, 0};
        obj.Dispatch(m);
    }
    EXPECT_EQ(obj.seen, (std::vector<std::string>{"derived", "base", "default", "derived", "default", "default",
                                                  "default", "default"}));
}

// ---------------------------------------------------------------------------------------------
// The dispatcher
// ---------------------------------------------------------------------------------------------

TEST_F(DispatcherTest, OwnProcedureFirstThenWatchersInOrderUntilOneAnswers) {
    new Watcher(window_, "a", kAsk);
    new Watcher(window_, "b", kAsk);
    EXPECT_EQ(::SendMessageA(window_, kAsk, 0, 0), kOwnAnswer);  // watchers answered 0
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "a", "b"}));

    gLog.clear();
    new Watcher(window_, "c", kAsk, 42);
    new Watcher(window_, "d", kAsk, 43);
    EXPECT_EQ(::SendMessageA(window_, kAsk, 0, 0), 42);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "a", "b", "c"}));

    gLog.clear();
    EXPECT_EQ(::SendMessageA(window_, kOther, 0, 0), 0);  // nobody listens
    EXPECT_TRUE(gLog.empty());
}

TEST_F(DispatcherTest, AWindowIsSubclassedOnceHoweverManyWatch) {
    auto* first = new Watcher(window_, "first", kAsk);
    const LONG_PTR afterFirst = ::GetWindowLongPtrA(window_, GWLP_WNDPROC);
    EXPECT_EQ(afterFirst, reinterpret_cast<LONG_PTR>(&SubclassWndProc));
    new Watcher(window_, "second", kAsk);
    EXPECT_EQ(::GetWindowLongPtrA(window_, GWLP_WNDPROC), afterFirst);
    EXPECT_TRUE(MessageDispatcher->IsSubclassed(window_));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(MessageDispatcher->SavedProc(window_)), ownProc_);

    delete first;  // the program may free one early
    gLog.clear();
    ::SendMessageA(window_, kAsk, 0, 0);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "second"}));
    // Unregistering does not unwatch the window.
    EXPECT_TRUE(MessageDispatcher->IsSubclassed(window_));
}

TEST_F(DispatcherTest, AListenerAddedDuringDeliveryHearsOnlyTheNextMessage) {
    auto* a = new Watcher(window_, "a", kAsk);
    a->onMessage = [](Watcher& self, TMessageRecord&) {
        self.onMessage = nullptr;
        new Watcher(self.Handle, "late", kAsk);
    };
    ::SendMessageA(window_, kAsk, 0, 0);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "a"}));
    gLog.clear();
    ::SendMessageA(window_, kAsk, 0, 0);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "a", "late"}));
}

TEST_F(DispatcherTest, NestedDeliveryDuringAHandlerKeepsTheOuterOrder) {
    auto* a = new Watcher(window_, "a", kAsk);
    a->onMessage = [](Watcher& self, TMessageRecord&) {
        self.onMessage = nullptr;
        new Watcher(self.Handle, "late", kAsk);
        ::SendMessageA(self.Handle, kAsk, 0, 0);  // comes back through the dispatcher
    };
    new Watcher(window_, "b", kAsk);
    ::SendMessageA(window_, kAsk, 0, 0);
    // Inner delivery sees the new listener; the outer one goes on with "b" only.
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "a", "own", "a", "b", "late", "b"}));
}

TEST_F(DispatcherTest, DestroyRestoresTheProcedureThenFreesWatchersNewestFirst) {
    HWND other = NewWindow();
    new Watcher(window_, "one", kAsk);
    new Watcher(other, "elsewhere", kAsk);
    new Watcher(window_, "two", WM_DESTROY);  // nobody sees WM_DESTROY on this route
    new Watcher(window_, "three", kAsk);
    ::DestroyWindow(window_);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own:destroy", "free three restored", "free two restored",
                                              "free one restored"}));
    EXPECT_FALSE(MessageDispatcher->IsSubclassed(window_));
    EXPECT_TRUE(MessageDispatcher->IsSubclassed(other));

    gLog.clear();
    ::SendMessageA(other, kAsk, 0, 0);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "elsewhere"}));
    ::DestroyWindow(other);
}

TEST_F(DispatcherTest, AHandlerThatDestroysTheWindowStopsTheDelivery) {
    // "closer" is freed inside its own handler's DestroyWindow and does not touch itself after.
    auto* closer = new Watcher(window_, "closer", kAsk);
    closer->onMessage = [](Watcher& self, TMessageRecord&) { ::DestroyWindow(self.Handle); };
    new Watcher(window_, "after", kAsk);
    ::SendMessageA(window_, kAsk, 0, 0);
    EXPECT_FALSE(::IsWindow(window_));
    // "after" was freed by the destroy and must not be called from the stale snapshot.
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "after"), 0);
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "free after restored"), 1);
}

// ---------------------------------------------------------------------------------------------
// Controls that own their window
// ---------------------------------------------------------------------------------------------

namespace {
int gControlsFreed = 0;
int gAfterCreate = 0;

class TestControl : public TSelfSubClass {
public:
    explicit TestControl(HWND parent, const char* className = nullptr)
        : TSelfSubClass(parent), className_(className ? className : TestClass()) {
        Listen(WM_COMMAND);
    }
    ~TestControl() override { ++gControlsFreed; }

    std::vector<UINT> own;       // messages of the control's own window
    std::vector<UINT> commands;  // parent's WM_COMMAND about this control
    UINT failOn = 0;             // a message of its own window whose handler throws

    void DefaultHandler(TMessageRecord& m) override {
        if (m.Msg == WM_COMMAND) {
            if (reinterpret_cast<HWND>(m.LParam) == Window) commands.push_back(HIWORD(m.WParam));
            return;
        }
        if (m.Msg == failOn) {
            own.push_back(static_cast<UINT>(m.Msg));
            throw std::runtime_error("control handler failed");
        }
        if (m.Msg == kAsk) m.Result = 99;
        own.push_back(static_cast<UINT>(m.Msg));
    }

protected:
    void GetCreateParams(TAPICreateParams& p) override {
        p.Caption = "ctl";
        p.Style = WS_CHILD | WS_VISIBLE;
        p.Width = 40;
        p.Height = 20;
        lstrcpynA(p.ClassName, className_, sizeof(p.ClassName));
    }
    void AfterCreate() override { ++gAfterCreate; }

private:
    const char* className_;
};

TMessageRecord gContextRecord;
void OnContext(TMessageRecord* m) {
    gContextRecord = *m;
    m->Result = 55;
}
}  // namespace

TEST_F(DispatcherTest, ControlCreatesItsWindowAndHearsBothWindows) {
    gControlsFreed = 0;
    gAfterCreate = 0;
    const int firstId = NextControlID;
    auto* c = NewControl<TestControl>(window_);
    ASSERT_TRUE(::IsWindow(c->Window));
    EXPECT_EQ(c->ID, firstId);
    EXPECT_EQ(NextControlID, firstId + 1);
    EXPECT_EQ(::GetDlgCtrlID(c->Window), firstId);
    EXPECT_EQ(::GetPropA(c->Window, "OBJECT"), c);
    EXPECT_EQ(::GetWindowLongPtrA(c->Window, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ControlWndProc));
    EXPECT_EQ(gAfterCreate, 1);
    EXPECT_EQ(c->Handle, window_);

    // Its own window: the object answers after the control's procedure.
    EXPECT_EQ(::SendMessageA(c->Window, kAsk, 0, 0), 99);
    EXPECT_EQ(c->own, std::vector<UINT>{kAsk});
    // The parent's WM_COMMAND about it.
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(c->ID, 5), reinterpret_cast<LPARAM>(c->Window));
    ::SendMessageA(window_, WM_COMMAND, MAKEWPARAM(c->ID, 6), 0);
    EXPECT_EQ(c->commands, std::vector<UINT>{5});

    // Destroying the control alone frees the object once and leaves the parent's watch alone.
    HWND controlWindow = c->Window;
    ::DestroyWindow(controlWindow);
    EXPECT_EQ(gControlsFreed, 1);
    EXPECT_FALSE(MessageDispatcher->IsSubscriber(c));
    ::DestroyWindow(window_);
    EXPECT_EQ(gControlsFreed, 1);
}

TEST_F(DispatcherTest, ClosingTheParentFreesEachControlOnce) {
    gControlsFreed = 0;
    auto* a = NewControl<TestControl>(window_);
    auto* b = NewControl<TestControl>(window_);
    HWND aw = a->Window;
    HWND bw = b->Window;
    ::DestroyWindow(window_);
    EXPECT_EQ(gControlsFreed, 2);
    EXPECT_FALSE(::IsWindow(aw));
    EXPECT_FALSE(::IsWindow(bw));
}

TEST_F(DispatcherTest, AControlWhoseWindowCannotBeMadeStillTakesAnIdAndStaysRegistered) {
    gControlsFreed = 0;
    gAfterCreate = 0;
    const int id = NextControlID;
    auto* c = NewControl<TestControl>(window_, "NoSuchWindowClass");
    EXPECT_EQ(c->Window, nullptr);
    EXPECT_EQ(c->ID, id);
    EXPECT_EQ(NextControlID, id + 1);
    EXPECT_EQ(gAfterCreate, 1);
    EXPECT_TRUE(MessageDispatcher->IsSubscriber(c));
    ::DestroyWindow(window_);
    EXPECT_EQ(gControlsFreed, 1);
}

TEST_F(DispatcherTest, ContextMenuGoesToTheCallbackOrToTheControlsOwnMenu) {
    auto* c = NewControl<TestControl>(window_);
    gLog.clear();
    // Without OnContextMenu the control's own procedure handles it.
    ::SendMessageA(c->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->Window), MAKELPARAM(10, 20));
    EXPECT_EQ(gLog, std::vector<std::string>{"own:contextmenu"});

    gLog.clear();
    c->OnContextMenu = &OnContext;
    EXPECT_EQ(::SendMessageA(c->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->Window), MAKELPARAM(10, 20)),
              55);
    EXPECT_TRUE(gLog.empty());
    EXPECT_EQ(gContextRecord.Msg, reinterpret_cast<UINT_PTR>(c));
    EXPECT_EQ(gContextRecord.LParam, MAKELPARAM(10, 20));
    EXPECT_TRUE(c->own.empty());  // the keyed handler took it, not DefaultHandler
}

TEST_F(DispatcherTest, AControlWindowWatchedByAnotherObjectKeepsItsChain) {
    gControlsFreed = 0;
    gLog.clear();
    auto* c = NewControl<TestControl>(window_);
    HWND cw = c->Window;
    // Another object watches the control's own window (as a keyboard trap would).
    new Watcher(cw, "on-control", kAsk);
    EXPECT_EQ(::SendMessageA(cw, kAsk, 0, 0), 99);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "on-control"}));

    // Closing the parent frees the control first (parent before children); the watcher on the
    // control's window must still be freed when that window goes.
    gLog.clear();
    ::DestroyWindow(window_);
    EXPECT_EQ(gControlsFreed, 1);
    EXPECT_EQ(std::count(gLog.begin(), gLog.end(), "free on-control restored"), 1);
    EXPECT_FALSE(MessageDispatcher->IsSubclassed(cw));
}

TEST(Lifetime, ManyWindowsWithBoundObjectsLeaveNothingBehind) {
    EnsureDispatcher();
    const long before = TObject::LiveObjectCount();
    gControlsFreed = 0;
    for (int i = 0; i < 60; ++i) {
        HWND w = NewWindow();
        HWND child = NewWindow(w);
        new Watcher(w, "w1", kAsk);
        new Watcher(w, "w2", kAsk);
        new Watcher(child, "c1", kAsk);
        auto* ctl = NewControl<TestControl>(w);
        new Watcher(ctl->Window, "on-ctl", kAsk);
        NewControl<TestControl>(child);
        if (i % 2 == 0) ::DestroyWindow(ctl->Window);  // some controls go first
        ::DestroyWindow(w);
        ASSERT_EQ(TObject::LiveObjectCount(), before) << "round " << i;
    }
    EXPECT_EQ(gControlsFreed, 120);
}

// ---------------------------------------------------------------------------------------------
// Handlers that throw: the procedures keep the window's own answer and the process goes on
// ---------------------------------------------------------------------------------------------

TEST_F(DispatcherTest, AWatcherThatThrowsLeavesTheWindowsOwnAnswerAndLaterMessagesArrive) {
    auto* failing = new Watcher(window_, "failing", kAsk);
    new Watcher(window_, "answering", kAsk, 42);

    failing->onMessage = [](Watcher&, TMessageRecord&) { throw std::bad_alloc(); };
    EXPECT_EQ(::SendMessageA(window_, kAsk, 0, 0), kOwnAnswer);
    failing->onMessage = [](Watcher&, TMessageRecord&) { throw std::runtime_error("watcher failed"); };
    EXPECT_EQ(::SendMessageA(window_, kAsk, 0, 0), kOwnAnswer);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "failing", "own", "failing"}))
        << "the delivery stops at the failing watcher";

    gLog.clear();
    failing->onMessage = nullptr;
    EXPECT_EQ(::SendMessageA(window_, kAsk, 0, 0), 42);
    EXPECT_EQ(gLog, (std::vector<std::string>{"own", "failing", "answering"}));
}

TEST_F(DispatcherTest, AControlWhoseHandlerThrowsKeepsItsOwnAnswerAndHearsLaterMessages) {
    auto* c = NewControl<TestControl>(window_);
    c->failOn = kAsk;
    EXPECT_EQ(::SendMessageA(c->Window, kAsk, 0, 0), kOwnAnswer);
    c->failOn = 0;
    EXPECT_EQ(::SendMessageA(c->Window, kAsk, 0, 0), 99);
    EXPECT_EQ(c->own, (std::vector<UINT>{kAsk, kAsk}));

    // A context-menu callback that runs out of memory: 0, and the control's own menu stays shut.
    gLog.clear();
    c->OnContextMenu = [](TMessageRecord*) { throw std::bad_alloc(); };
    EXPECT_EQ(::SendMessageA(c->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->Window), MAKELPARAM(1, 2)), 0);
    EXPECT_TRUE(gLog.empty());
    c->OnContextMenu = &OnContext;
    EXPECT_EQ(::SendMessageA(c->Window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(c->Window), MAKELPARAM(1, 2)), 55);
}
