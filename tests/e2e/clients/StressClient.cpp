// StressClient: a host program that works the hook library hard and reports what it saw.
//   --threads N --rounds R --palettes DIR   N threads at once, each with its own colour dialog;
//        thread k drops DIR\pk.pli on its dialog's panel once the dialog is taken over, then
//        confirms it. Writes "round thread good|bad|untaken" lines to --out.
//   --dialogs N                             N colour dialogs one after another, each closed as
//        soon as it is taken over (or after 3 s, or --give-up MS). Writes "taken T", then "heap", "gdi",
//        "windows" and "handles" lines with the figures after the first fifth and at the end.
//        With --timeline, one "dialog INIT TAKEN LOST" line per dialog: INIT the performance
//        counter at its WM_INITDIALOG, TAKEN 1 when it was taken over, LOST 1 when ChooseColor
//        returned without this client having ended it (nobody else should).
//   --hold 1                                one colour dialog kept open once taken over, until
//        someone else ends it; then writes "held taken|untaken".
//   --crash-log PATH                        every access violation (or similar fault) seen by a
//        vectored exception handler is appended here: Wine swallows faults inside window
//        procedures, so the exit code alone would not show them.
#include "ClientArgs.h"
#include "ProcessFigures.h"

#include <commdlg.h>
#include <usp10.h>

#include <functional>
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
    bool Hold = false;       // stays open once taken over, until ended from outside
    UINT GiveUpMs = 3000;    // ended by the client when not taken over by then
    bool Taken = false;
    bool EndedHere = false;  // the client itself ended the dialog
    long long InitAt = 0;    // performance counter at WM_INITDIALOG
    std::function<void(HWND)> OnInit;  // run at the dialog's WM_INITDIALOG (after the take-over)
};

// The dialog's hook procedure (CC_ENABLEHOOK): polls for the take-over, then drops or closes.
UINT_PTR CALLBACK DialogHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_INITDIALOG) {
        auto* choose = reinterpret_cast<CHOOSECOLORA*>(lParam);
        SetPropA(dialog, "StressJob", reinterpret_cast<HANDLE>(choose->lCustData));
        auto* placed = reinterpret_cast<TDialogJob*>(choose->lCustData);
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        placed->InitAt = now.QuadPart;
        if (placed->OnInit) placed->OnInit(dialog);
        if (placed->Left >= 0) SetWindowPos(dialog, nullptr, placed->Left, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        // The take-over runs at this same message, before the dialog's procedure: look at once.
        SetTimer(dialog, kPollTimer, 20, nullptr);
        SetTimer(dialog, kGiveUpTimer, placed->GiveUpMs, nullptr);
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
        if (job->Hold) return TRUE;
        job->EndedHere = true;
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
        job->EndedHere = true;
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
// or without the hook. So the main thread opens one dialog first, while no other thread runs, and
// holds a script cache of that dialog's font (the font its edit boxes analyse text with) until
// the end: the rounds' dialogs only ever find the cache, never create it.
class TFontCacheHolder {
public:
    TFontCacheHolder() {
        TDialogJob job;
        job.OnInit = [this](HWND dialog) { Hold(dialog); };
        COLORREF custom[16];
        RunDialog(job, custom);
    }
    ~TFontCacheHolder() {
        if (cache_ != nullptr) ScriptFreeCache(&cache_);
        if (dc_ != nullptr) DeleteDC(dc_);
        if (font_ != nullptr) DeleteObject(font_);
    }
    TFontCacheHolder(const TFontCacheHolder&) = delete;
    TFontCacheHolder& operator=(const TFontCacheHolder&) = delete;
    bool Held() const { return cache_ != nullptr; }

private:
    void Hold(HWND dialog) {
        LOGFONTW face{};
        const auto dialogFont = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        if (dialogFont == nullptr || GetObjectW(dialogFont, sizeof face, &face) == 0) return;
        // A copy: the dialog deletes its own font when it closes. The cache list is keyed by the
        // font's description, so the copy's cache is the one every dialog's edit boxes find.
        font_ = CreateFontIndirectW(&face);
        dc_ = CreateCompatibleDC(nullptr);
        if (font_ == nullptr || dc_ == nullptr) return;
        SelectObject(dc_, font_);
        long height = 0;
        if (ScriptCacheGetHeight(dc_, &cache_, &height) != S_OK) cache_ = nullptr;
    }

    HFONT font_ = nullptr;
    HDC dc_ = nullptr;
    SCRIPT_CACHE cache_ = nullptr;
};

void RunThreads(int threads, int rounds, const std::string& dir, FILE* out) {
    const TFontCacheHolder fontCache;
    if (!fontCache.Held()) std::fprintf(out, "no font cache\r\n");
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::string> lines(static_cast<std::size_t>(threads));
        std::vector<std::thread> running;
        for (int t = 0; t < threads; ++t) {
            running.emplace_back([t, &dir, &lines] {
                TDialogJob job;
                job.DropFile = dir + "\\p" + std::to_string(t) + ".pli";
                job.Left = 10 + 330 * t;
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

void RunDialogs(int dialogs, UINT giveUpMs, bool timeline, FILE* out) {
    int taken = 0;
    figures::TFigures warm{};
    const int warmUp = dialogs / 5;
    std::string lines;
    for (int i = 0; i < dialogs; ++i) {
        TDialogJob job;
        job.GiveUpMs = giveUpMs;
        COLORREF custom[16];
        RunDialog(job, custom);
        if (job.Taken) ++taken;
        if (i + 1 == warmUp) warm = figures::Measure();
        if (timeline)
            lines += "dialog " + std::to_string(job.InitAt) + " " + std::to_string(job.Taken ? 1 : 0) + " " +
                     std::to_string(job.EndedHere ? 0 : 1) + "\r\n";
    }
    const figures::TFigures end = figures::Measure();
    std::fprintf(out, "taken %d\r\nheap %lld %lld\r\ngdi %ld %ld\r\nwindows %ld %ld\r\nhandles %ld %ld\r\n", taken,
                 warm.HeapBytes, end.HeapBytes, warm.GdiObjects, end.GdiObjects, warm.Windows, end.Windows,
                 warm.Handles, end.Handles);
    std::fputs(lines.c_str(), out);
}

void HoldDialog(FILE* out) {
    TDialogJob job;
    job.Hold = true;
    job.GiveUpMs = 20000;
    COLORREF custom[16];
    RunDialog(job, custom);
    std::fprintf(out, "held %s\r\n", job.Taken ? "taken" : "untaken");
}

}  // namespace

int main(int argc, char** argv) {
    int threads = 0, rounds = 1, dialogs = 0, hold = 0;
    UINT giveUpMs = 3000;
    bool timeline = false;
    std::string dir, outPath;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--timeline") {
            timeline = true;
            continue;
        }
        if (i + 1 >= argc) break;
        if (a == "--threads") threads = std::atoi(argv[i + 1]);
        else if (a == "--rounds") rounds = std::atoi(argv[i + 1]);
        else if (a == "--dialogs") dialogs = std::atoi(argv[i + 1]);
        else if (a == "--palettes") dir = argv[i + 1];
        else if (a == "--out") outPath = argv[i + 1];
        else if (a == "--give-up") giveUpMs = static_cast<UINT>(std::atoi(argv[i + 1]));
        else if (a == "--hold") hold = std::atoi(argv[i + 1]);
        else if (a == "--crash-log") gCrashLog = argv[i + 1];
        ++i;
    }
    if (!gCrashLog.empty()) AddVectoredExceptionHandler(1, LogFault);
    FILE* out = std::fopen(outPath.c_str(), "wb");
    if (out == nullptr) return 2;
    if (threads > 0) RunThreads(threads, rounds, dir, out);
    if (dialogs > 0) RunDialogs(dialogs, giveUpMs, timeline, out);
    if (hold > 0) HoldDialog(out);
    std::fclose(out);
    return 0;
}
