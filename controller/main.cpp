// main.cpp: entry point of vorlund.exe. The command line is read by the main window itself.
#include "Config.h"

#include "Startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return RunProgram();
}
