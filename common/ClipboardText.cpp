// ClipboardText.cpp: CF_TEXT in and out (see ClipboardText.h).
#include "ClipboardText.h"

#include <algorithm>
#include <cstring>

namespace {

// The clipboard is one lock for the whole desktop: clipboard managers, remote-desktop clients and a
// program reading it as we write hold it for a moment. Such a moment is waited out (up to about a
// tenth of a second) rather than taken as a refusal that loses the user's copy or paste.
bool OpenClipboardSoon(HWND owner) {
    constexpr int kAttempts = 20;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (::OpenClipboard(owner)) return true;
        ::Sleep(5);
    }
    return false;
}

// Open for the length of one scope.
class TClipboardOpen {
public:
    explicit TClipboardOpen(HWND owner) : Open(OpenClipboardSoon(owner)) {}
    ~TClipboardOpen() {
        if (Open) ::CloseClipboard();
    }
    TClipboardOpen(const TClipboardOpen&) = delete;
    TClipboardOpen& operator=(const TClipboardOpen&) = delete;
    const bool Open;
};

// Clipboard text of another program need not end where its block does; a colour is short, and
// a long text is not one, so at most this much is read.
constexpr std::size_t kMaxText = 4096;

}  // namespace

std::optional<std::string> ReadClipboardText(HWND owner) {
    if (!::IsClipboardFormatAvailable(CF_TEXT)) return std::nullopt;
    const TClipboardOpen clipboard(owner);
    if (!clipboard.Open) return std::nullopt;
    HANDLE data = ::GetClipboardData(CF_TEXT);
    if (data == nullptr) return std::nullopt;
    const auto* text = static_cast<const char*>(::GlobalLock(data));
    if (text == nullptr) return std::nullopt;
    const std::size_t limit = std::min<std::size_t>(::GlobalSize(data), kMaxText);
    std::string result(text, strnlen(text, limit));
    ::GlobalUnlock(data);
    return result;
}

bool WriteClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block == nullptr) return false;
    void* bytes = ::GlobalLock(block);
    if (bytes == nullptr) {
        ::GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    ::GlobalUnlock(block);
    const TClipboardOpen clipboard(owner);
    // Once SetClipboardData has taken the block it belongs to the system.
    if (clipboard.Open && ::EmptyClipboard() && ::SetClipboardData(CF_TEXT, block) != nullptr) return true;
    ::GlobalFree(block);
    return false;
}
