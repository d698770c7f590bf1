// The controller killed (Task Manager, a crash) while colour dialogs it extended are open in other
// programs: those programs must not notice. Their dialogs keep answering, end the ordinary way,
// and the programs exit as they always do. The real vorlund.exe runs in a folder of its own; the
// hosts are stress_client.exe, which logs every fault it sees.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ControllerHarness.h"
#include "StressHarness.h"

using namespace harness;

TEST(ControllerKilled, HostsKeepAnsweringAndEndTheirDialogsNormally) {
    ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000))
        << "a controller window of another test is still open";
    TTempFolder folder("killed");
    ASSERT_TRUE(InstallController(folder));
    TControllerProcess controller;
    ASSERT_TRUE(controller.Start(folder));
    ASSERT_NE(WaitForMainWindow(controller), nullptr);

    constexpr int kHosts = 2;
    std::unique_ptr<TStressClient> hosts[kHosts];
    HWND dialogs[kHosts] = {};
    for (int h = 0; h < kHosts; ++h) {
        hosts[h] = std::make_unique<TStressClient>(folder.Path, "host" + std::to_string(h), "--hold 1");
        dialogs[h] = hosts[h]->WaitForTakenOverDialog();
        ASSERT_NE(dialogs[h], nullptr) << "host " << h;
    }

    const HANDLE killer = ::OpenProcess(PROCESS_TERMINATE, FALSE, controller.Id);
    ASSERT_NE(killer, nullptr);
    ::TerminateProcess(killer, 9);
    ::CloseHandle(killer);
    ASSERT_NE(controller.WaitExit(10000), -1);

    for (int h = 0; h < kHosts; ++h) {
        SCOPED_TRACE("host " + std::to_string(h));
        EXPECT_TRUE(Answers(dialogs[h]));
        // The added controls go on working for the user (the hover state of the panel's buttons).
        const HWND panel = FindChild(dialogs[h], [](HWND w) { return ClassOf(w) == "APIPanel"; });
        EXPECT_NE(panel, nullptr);
        DWORD_PTR answer = 0;
        for (int x = 5; x < 120; x += 10)
            ::SendMessageTimeoutA(panel, WM_MOUSEMOVE, 0, MAKELPARAM(x, 7), SMTO_ABORTIFHUNG, 5000, &answer);
        EXPECT_TRUE(Answers(dialogs[h]));
        ::PostMessageA(dialogs[h], WM_COMMAND, IDCANCEL, 0);
        const TStressRun run = hosts[h]->Finish(15000);
        ASSERT_TRUE(run.Exited);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Crashes, "");
        EXPECT_EQ(run.Out, "held taken\r\n");
    }
}
