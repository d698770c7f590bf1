// ClientArgs.h: the command line shared by the test clients.
//   --title TEXT            dialog title
//   --fill RRGGBB           all sixteen custom colours (hex, red first); default white
//   --custom RRGGBB,...     the sixteen custom colours one by one (missing ones stay white)
//   --color RRGGBB          the dialog's initial current colour
//   --fullopen              (ChooseColor client) open with the custom-colour half shown
//   --out PATH              at the end, write the custom colours as "k=r,g,b" lines
//   --timeout MS            end the dialog after this long (a test that dies leaves no orphan)
//   --drop-list PATH        on the registered message "PelmiraTestDrop", drop the files listed
//                           in PATH (one per line) on the dialog's button panel
//   --stamp PATH            (ChooseColor client) write the performance counter's value, taken
//                           just before ChooseColorA is called, into PATH
#pragma once

#include "Config.h"

#include <shlobj.h>  // DROPFILES

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace client {

struct TArgs {
    std::string Title = "Colour";
    COLORREF Custom[16];
    COLORREF Color = 0;
    bool FullOpen = false;
    std::string Out;
    UINT TimeoutMs = 120000;
    std::string DropList;
    std::string Stamp;
};

inline COLORREF ParseHexColor(const char* text) {
    const unsigned long v = std::strtoul(text, nullptr, 16);
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

inline TArgs ParseArgs(int argc, char** argv) {
    TArgs args;
    for (COLORREF& c : args.Custom) {
        c = RGB(255, 255, 255);
    }
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : "";
        if (a == "--title") {
            args.Title = next, ++i;
        } else if (a == "--fill") {
            for (COLORREF& c : args.Custom) {
                c = ParseHexColor(next);
            }
            ++i;
        } else if (a == "--custom") {
            const char* p = next;
            for (int k = 0; k < 16 && *p; ++k) {
                args.Custom[k] = ParseHexColor(p);
                while (*p && *p != ',') {
                    ++p;
                }
                if (*p == ',') {
                    ++p;
                }
            }
            ++i;
        } else if (a == "--color") {
            args.Color = ParseHexColor(next), ++i;
        } else if (a == "--fullopen") {
            args.FullOpen = true;
        } else if (a == "--out") {
            args.Out = next, ++i;
        } else if (a == "--drop-list") {
            args.DropList = next, ++i;
        } else if (a == "--stamp") {
            args.Stamp = next, ++i;
        } else if (a == "--timeout") {
            args.TimeoutMs = static_cast<UINT>(std::strtoul(next, nullptr, 10)), ++i;
        }
    }
    return args;
}

inline void WriteColors(const std::string& path, const COLORREF* colors) {
    if (path.empty()) {
        return;
    }
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        for (int k = 0; k < 16; ++k) {
            std::fprintf(f, "%d=%u,%u,%u\r\n", k, GetRValue(colors[k]), GetGValue(colors[k]),
                         GetBValue(colors[k]));
        }
        std::fclose(f);
    }
}

inline UINT DropMessage() {
    static const UINT message = RegisterWindowMessageA("PelmiraTestDrop");
    return message;
}

inline BOOL CALLBACK FindPanel(HWND w, LPARAM found) noexcept {
    char name[32] = {};
    GetClassNameA(w, name, sizeof name);
    if (std::strcmp(name, "APIPanel") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// Drops the files on `panel` the way the shell does: an HDROP (DROPFILES followed by the
// NUL-separated names and one more NUL) sent as WM_DROPFILES.
inline void DropFiles(HWND panel, const std::vector<std::string>& files) {
    if (panel == nullptr || files.empty()) return;
    std::string names;
    for (const std::string& name : files) names += name + '\0';
    names += '\0';
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + names.size());
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size());
    GlobalUnlock(memory);
    SendMessageA(panel, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

// Drops the files listed in `listPath` (one per line) on the "APIPanel" child of `dialog`.
inline void DropListedFiles(HWND dialog, const std::string& listPath) {
    std::vector<std::string> files;
    if (FILE* f = std::fopen(listPath.c_str(), "rb")) {
        char line[1024];
        while (std::fgets(line, sizeof line, f)) {
            std::string name = line;
            while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
            if (!name.empty()) files.push_back(name);
        }
        std::fclose(f);
    }
    HWND panel = nullptr;
    EnumChildWindows(dialog, FindPanel, reinterpret_cast<LPARAM>(&panel));
    DropFiles(panel, files);
}

}  // namespace client
