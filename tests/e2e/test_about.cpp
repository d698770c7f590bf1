// The about box and the help file of the real vorlund.exe: the box asked for twice from the
// menus, the Suspend command repainting its icon, Esc closing it; the compiled help file beside
// the program. A picture of the box goes to <tree>/screenshots/about.bmp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "ControllerHarness.h"
#include "ScreenPicture.h"

namespace {

using namespace harness;


uint32_t LittleEndian32(const std::string& data, size_t at) {
    uint32_t v = 0;
    if (at + 4 <= data.size()) std::memcpy(&v, data.data() + at, 4);
    return v;
}

std::vector<HWND> AboutBoxes(DWORD pid) {
    std::vector<HWND> boxes;
    for (HWND w : TopWindows(pid, "#32770"))
        if (::IsWindowVisible(w) && TextOf(w) == "about..") boxes.push_back(w);
    return boxes;
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

bool InBox(HWND box, HWND w) { return w != nullptr && (w == box || ::IsChild(box, w)); }

// Screen pixels of a rectangle of the box's client area.
std::vector<COLORREF> Pixels(HWND box, const RECT& r) {
    // Read from the screen, where another window may have come in front.
    ::SetWindowPos(box, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    POINT origin{r.left, r.top};
    ::ClientToScreen(box, &origin);
    std::vector<COLORREF> pixels;
    HDC screen = ::GetDC(nullptr);
    for (int y = 0; y < r.bottom - r.top; ++y)
        for (int x = 0; x < r.right - r.left; ++x) pixels.push_back(::GetPixel(screen, origin.x + x, origin.y + y));
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// Where the box draws the icon of the hook state.
std::vector<COLORREF> IconPixels(HWND box) { return Pixels(box, RECT{10, 10, 42, 42}); }

// The home-page link, in the box's client coordinates.
RECT FirstLinkRect(HWND box) {
    const HWND link = ::FindWindowExA(box, nullptr, "Edit", nullptr);
    RECT r{};
    ::GetWindowRect(link, &r);
    ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class AboutFromTheController : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(InstallController(folder_));
        ASSERT_TRUE(controller_.Start(folder_, SW_SHOWNORMAL));
        main_ = WaitForMainWindow(controller_);
        ASSERT_NE(main_, nullptr);
    }

    void TearDown() override {
        for (HWND box : AboutBoxes(controller_.Id)) ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        if (main_ != nullptr) CloseController(controller_, main_);
    }

    HWND WaitForAboutBox() {
        HWND box = nullptr;
        WaitFor([&] {
            const auto boxes = AboutBoxes(controller_.Id);
            box = boxes.empty() ? nullptr : boxes.front();
            return box != nullptr;
        });
        return box;
    }

    TTempFolder folder_{"about"};
    TControllerProcess controller_;
    HWND main_ = nullptr;
};

}  // namespace

TEST(HelpFile, ACompiledHelpFileShipsBesideTheProgram) {
    const std::string chm = FileText(TestFolder() + "\\brisanne.chm");
    ASSERT_GE(chm.size(), 0x60u) << "brisanne.chm beside vorlund.exe";
    EXPECT_EQ(chm.substr(0, 4), "ITSF");
    EXPECT_EQ(LittleEndian32(chm, 4), 3u) << "format version";
    EXPECT_EQ(LittleEndian32(chm, 8), 0x60u) << "header length";
    // The second header section is the directory, which opens with "ITSP".
    const uint32_t directory = LittleEndian32(chm, 0x48);
    EXPECT_EQ(chm.substr(directory, 4), "ITSP");
    // The directory names every page and the contents.
    for (const char* page : {"/index.html", "/dialog.html", "/library.html", "/inifiles.html", "/about.html",
                             "/toc.hhc"})
        EXPECT_NE(chm.find(page), std::string::npos) << page;
}

TEST_F(AboutFromTheController, AskedTwiceItIsOneBoxThatSuspendRepaintsAndEscCloses) {
    ASSERT_TRUE(::PostMessageA(main_, WM_SYSCOMMAND, kCmdAbout, 0));
    const HWND box = WaitForAboutBox();
    ASSERT_NE(box, nullptr) << "About from the system menu";
    EXPECT_EQ(::GetWindow(box, GW_OWNER), main_);
    EXPECT_FALSE(::IsWindowEnabled(main_)) << "modal to the main window";

    // Shown is not yet painted: wait for the texts of the first label and the first link.
    auto drawn = [&](const RECT& r) {
        const auto pixels = Pixels(box, r);
        return std::any_of(pixels.begin(), pixels.end(), [&](COLORREF c) { return c != pixels.front(); });
    };
    EXPECT_TRUE(WaitFor([&] { return drawn(RECT{60, 10, 100, 30}) && drawn(FirstLinkRect(box)); }));
    EXPECT_TRUE(SaveWindowPicture(box, ScreenshotFolder() + "\\about.bmp"));

    // Asked again (the tray menu still answers while the box is open), then Suspend: once the
    // icon shows the suspended state, the second request has been handled too.
    const auto active = IconPixels(box);
    const auto link = Pixels(box, FirstLinkRect(box));
    ::PostMessageA(main_, WM_SYSCOMMAND, kCmdAbout, 0);
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_TRUE(WaitFor([&] { return IconPixels(box) != active; }, 10000)) << "suspended icon";
    EXPECT_EQ(AboutBoxes(controller_.Id).size(), 1u);
    EXPECT_TRUE(InBox(box, FocusOf(box)));
    EXPECT_EQ(Pixels(box, FirstLinkRect(box)), link) << "the repaint keeps the link drawn";

    // Resumed: the active icon again.
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_TRUE(WaitFor([&] { return IconPixels(box) == active; }, 10000)) << "active icon again";

    ::PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_TRUE(WaitFor([&] { return AboutBoxes(controller_.Id).empty(); }));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(main_) != FALSE; }));
}
