#include <windows.h>

#include "base/system_libraries.h"
#include "shell/main_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    RestrictLibrarySearch();
    HWND mainWindow = StartLauncher(instance, showCommand);
    if (!mainWindow) {
        // Without a window nothing would ever post WM_QUIT: do not enter the loop.
        ShutdownLauncher();
        return 1;
    }
    RunMessageLoop(mainWindow);
    ShutdownLauncher();
    return 0;
}
