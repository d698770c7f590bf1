// StressClient: a host program that works the hook library hard and reports what it saw.
//   --threads N --rounds R --palettes DIR   N threads at once, each with its own colour dialog;
//        thread k drops DIR\pk.pli on its dialog's panel once the dialog is taken over, then
//        confirms it. Writes "round thread good|bad|untaken" lines to --out.
//   --dialogs N                             N colour dialogs one after another, each closed as
//        soon as it is taken over (or after 3 s). Writes "taken T", then "heap", "gdi",
//        "windows" and "handles" lines with the figures after the first fifth and at the end.
//   --crash-log PATH                        every access violation (or similar fault) seen by a
//        vectored exception handler is appended here: Wine swallows faults inside window
//        procedures, so the exit code alone would not show them.
#include "ClientArgs.h"
#include "ProcessFigures.h"

#include <commdlg.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string gCrashLog;

// "module+offset" of a code address, for the crash log.
std::string PlaceOf(const void* address) {
    HMODULE module = nullptr;
    char name[MAX_PATH] = "?";
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           static_cast<LPCSTR>(address), &module))
        GetModuleFileNameA(module, name, sizeof name);
    char place[MAX_PATH + 32];
    std::snprintf(place, sizeof place, "%s+%llx", name,
                  static_cast<unsigned long long>(static_cast<const char*>(address) - reinterpret_cast<const char*>(module)));
    return place;
}

LONG CALLBACK LogFault(EXCEPTION_POINTERS* info) noexcept {
    const DWORD code = info->ExceptionRecord->ExceptionCode;
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_STACK_OVERFLOW:
    case STATUS_HEAP_CORRUPTION:
        break;
    default:
        return EXCEPTION_CONTINUE_SEARCH;
    }
    if (FILE* f = std::fopen(gCrashLog.c_str(), "ab")) {
        std::fprintf(f, "%08lx at %s\r\n", code, PlaceOf(info->ExceptionRecord->ExceptionAddress).c_str());
#if defined(_WIN64)
        // The callers, unwound from the faulting context: the fault alone often lies in the
        // runtime or the system, and the frame that passed it a bad pointer is what tells.
        CONTEXT context = *info->ContextRecord;
        for (int depth = 0; depth < 16 && context.Rip != 0; ++depth) {
            DWORD64 base = 0;
            PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(context.Rip, &base, nullptr);
            if (function == nullptr) break;
            void* handlerData = nullptr;
            DWORD64 frame = 0;
            RtlVirtualUnwind(UNW_FLAG_NHANDLER, base, context.Rip, function, &context, &handlerData, &frame, nullptr);
            if (context.Rip != 0) std::fprintf(f, "    from %s\r\n", PlaceOf(reinterpret_cast<void*>(context.Rip)).c_str());
        }
#endif
        std::fclose(f);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

constexpr UINT kPoll = WM_APP + 1;
constexpr UINT_PTR kPollTimer = 0x5701;
constexpr UINT_PTR kConfirmTimer = 0x5702;
constexpr UINT_PTR kGiveUpTimer = 0x5703;

struct TDialogJob {
    std::string DropFile;  // empty: close as soon as taken over
    int Left = -1;         // where the dialog is put (-1: where it opens); dialogs side by side
                           // keep one dialog's synthetic clicks off the other
    bool Taken = false;
    bool Keep = false;               // stays open once taken over, until Dialog gets IDCANCEL
    std::atomic<HWND> Dialog{nullptr};  // set at the take-over
};

// The dialog's hook procedure (CC_ENABLEHOOK): polls for the take-over, then drops or closes.
UINT_PTR CALLBACK DialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_INITDIALOG) {
        auto* choose = reinterpret_cast<CHOOSECOLORA*>(lParam);
        SetPropA(dialog, "StressJob", reinterpret_cast<HANDLE>(choose->lCustData));
        const auto* placed = reinterpret_cast<const TDialogJob*>(choose->lCustData);
        if (placed->Left >= 0) SetWindowPos(dialog, nullptr, placed->Left, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // The take-over runs at this same message, before the dialog's procedure: look at once.
        SetTimer(dialog, kPollTimer, 20, nullptr);
        SetTimer(dialog, kGiveUpTimer, 3000, nullptr);
        PostMessageA(dialog, WM_TIMER, kPollTimer, 0);
        return FALSE;
    }
    if (msg != WM_TIMER) return FALSE;
    auto* job = static_cast<TDialogJob*>(GetPropA(dialog, "StressJob"));
    if (job == nullptr) return FALSE;
    if (wParam == kPollTimer && GetPropA(dialog, "Ostvarin") != nullptr) {
        KillTimer(dialog, kPollTimer);
        KillTimer(dialog, kGiveUpTimer);
        job->Taken = true;
        job->Dialog.store(dialog);
        if (job->Keep) return TRUE;
        if (job->DropFile.empty()) {
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        } else {
            HWND panel = nullptr;
            EnumChildWindows(dialog, client::FindPanel, reinterpret_cast<LPARAM>(&panel));
            client::DropFiles(panel, {job->DropFile});
            SetTimer(dialog, kConfirmTimer, 400, nullptr);
        }
        return TRUE;
    }
    if (wParam == kConfirmTimer) {
        KillTimer(dialog, kConfirmTimer);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    if (wParam == kGiveUpTimer) {
        KillTimer(dialog, kGiveUpTimer);
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    return FALSE;
}

// One dialog; answers the custom colours it ended with.
void RunDialog(TDialogJob& job, COLORREF (&custom)[16]) {
    for (COLORREF& c : custom) c = RGB(255, 255, 255);
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.lpCustColors = custom;
    cc.Flags = CC_ENABLEHOOK;
    cc.lpfnHook = DialogHook;
    cc.lCustData = reinterpret_cast<LPARAM>(&job);
    ChooseColorA(&cc);
}

COLORREF PaletteColor(int thread, int k) { return RGB(10 + k * 15, 250 - k * 12, 3 + thread * 40 + k); }

// Wine's text analysis (uniscribe) keeps one script cache per font in a list. When two threads
// make the first cache of a font at the same moment, the loser frees its own entry while leaving
// it listed; the next lookup reads freed memory under the list's lock and every edit control of
// the process then hangs. Colour dialogs opened together on fresh threads do exactly that, with
// or without the hook. A dialog kept open on its own thread holds the cache of the dialog font
// from before the rounds to after them, so the rounds only ever find it.
class TFontCacheKeeper {
public:
    TFontCacheKeeper() {
        job_.Keep = true;
        job_.Left = 670;
        thread_ = std::thread([this] {
            COLORREF custom[16];
            RunDialog(job_, custom);
        });
        for (int i = 0; i < 500 && job_.Dialog.load() == nullptr; ++i) Sleep(10);
    }
    ~TFontCacheKeeper() {
        for (int i = 0; i < 500 && job_.Dialog.load() == nullptr; ++i) Sleep(10);
        if (HWND dialog = job_.Dialog.load()) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        thread_.join();
    }

private:
    TDialogJob job_;
    std::thread thread_;
};

void RunThreads(int threads, int rounds, const std::string& dir, FILE* out) {
    const TFontCacheKeeper keeper;
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::string> lines(static_cast<std::size_t>(threads));
        std::vector<std::thread> running;
        for (int t = 0; t < threads; ++t) {
            running.emplace_back([t, &dir, &lines] {
                TDialogJob job{dir + "\\p" + std::to_string(t) + ".pli", 10 + 330 * t};
                COLORREF custom[16];
                RunDialog(job, custom);
                bool good = true;
                for (int k = 0; k < 16; ++k) good = good && custom[k] == PaletteColor(t, k);
                lines[static_cast<std::size_t>(t)] = !job.Taken ? "untaken" : good ? "good" : "bad";
            });
        }
        for (std::thread& th : running) th.join();
        for (int t = 0; t < threads; ++t) std::fprintf(out, "%d %d %s\r\n", round, t, lines[static_cast<std::size_t>(t)].c_str());
    }
}

void RunDialogs(int dialogs, FILE* out) {
    int taken = 0;
    figures::TFigures warm{};
    const int warmUp = dialogs / 5;
    for (int i = 0; i < dialogs; ++i) {
        TDialogJob job;
        COLORREF custom[16];
        RunDialog(job, custom);
        if (job.Taken) ++taken;
        if (i + 1 == warmUp) warm = figures::Measure();
    }
    const figures::TFigures end = figures::Measure();
    std::fprintf(out, "taken %d\r\nheap %lld %lld\r\ngdi %ld %ld\r\nwindows %ld %ld\r\nhandles %ld %ld\r\n", taken,
                 warm.HeapBytes, end.HeapBytes, warm.GdiObjects, end.GdiObjects, warm.Windows, end.Windows,
                 warm.Handles, end.Handles);
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 0, rounds = 1, dialogs = 0;
    std::string dir, outPath;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--threads") threads = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
        else if (a == "--dialogs") dialogs = std::atoi(argv[i + 1]);
        else if (a == "--palettes") dir = argv[i + 1];
        else if (a == "--out") outPath = argv[i + 1];
        else if (a == "--crash-log") gCrashLog = argv[i + 1];
    }
    if (!gCrashLog.empty()) AddVectoredExceptionHandler(1, LogFault);
    FILE* out = std::fopen(outPath.c_str(), "wb");
    if (out == nullptr) return 2;
    if (threads > 0) RunThreads(threads, rounds, dir, out);
    if (dialogs > 0) RunDialogs(dialogs, out);
    std::fclose(out);
    return 0;
}
