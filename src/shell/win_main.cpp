#include <windows.h>

#include "base/launcher_text.h"
#include "base/system_libraries.h"
#include "shell/main_window.h"
#include "shell/window_layout.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    RestrictLibrarySearch();
    UseStartingDpi();
    ChooseTextLanguage();
    InitCommonControlsForLauncher();
    MoveToLauncherFolder();
    CreateLauncherFonts();

    HWND mainWindow = NULL;
    if (RegisterLauncherClass(instance))
        mainWindow = CreateMainWindow(instance);
    if (!mainWindow) {
        // Without a window nothing would ever post WM_QUIT: do not enter the loop.
        ShutdownLauncher();
        return 1;
    }
    CreateChildControls(mainWindow, instance);
    ShowMainWindow(mainWindow, showCommand);
    RunMessageLoop(mainWindow);
    ShutdownLauncher();
    return 0;
}
