// main.cpp: entry point of vorlund.exe. "/convert IN OUT" runs the palette converter instead of
// the controller; any other command line is read by the main window itself.
#include "Config.h"

#include "Convert.h"
#include "Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (const auto arguments = ConvertArguments(::GetCommandLineA())) return RunConvert(*arguments);
    return RunProgram();
}
