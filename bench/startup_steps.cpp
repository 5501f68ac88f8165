// Where the launcher's start-up time goes: WinMain's steps run in this process, in
// WinMain's order, each timed, then the message loop until the picture has been
// painted, then the window is closed.
//
//   startup_steps FOLDER INDEX
//
// FOLDER holds launcher_bg.jpg. Prints "sample steps.STEP launcher INDEX ms" lines.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/launcher_state.h"
#include "shell/main_window.h"

namespace {

LARGE_INTEGER gFrequency;
LARGE_INTEGER gLast;
int gIndex;

// Time since the previous mark, printed under the given step name.
void Mark(const char* step)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    printf("sample steps.%s launcher %d %.3f\n", step, gIndex,
           (double)(now.QuadPart - gLast.QuadPart) * 1000.0 / (double)gFrequency.QuadPart);
    gLast = now;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: startup_steps FOLDER INDEX\n");
        return 2;
    }
    gIndex = atoi(argv[2]);
    QueryPerformanceFrequency(&gFrequency);
    HINSTANCE instance = GetModuleHandleA(NULL);
    // The pointer off the window: no hover repaints in the middle of the figures.
    SetCursorPos(0, 0);

    QueryPerformanceCounter(&gLast);
    InitCommonControlsForLauncher();
    Mark("init_common_controls");
    MoveToLauncherFolder();
    Mark("move_to_folder");
    // This program does not lie beside the picture; the launcher does.
    SetCurrentDirectoryA(argv[1]);
    QueryPerformanceCounter(&gLast);
    CreateLauncherFonts();
    Mark("create_fonts");
    StartGdiplus();
    Mark("start_gdiplus");
    HWND mainWindow = RegisterLauncherClass(instance) ? CreateMainWindow(instance) : NULL;
    Mark("register_and_create_window");
    if (!mainWindow) {
        fprintf(stderr, "error: no main window\n");
        return 1;
    }
    CreateChildControls(mainWindow, instance);
    Mark("create_nine_controls");
    ShowMainWindow(mainWindow, SW_SHOWNORMAL);
    Mark("show_and_first_paint");

    // The loop of RunMessageLoop, timing the deferred start-up work and the repaint
    // that shows the picture.
    bool initDone = false;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        bool isInit = message.hwnd == mainWindow && message.message == WM_LAUNCHER_INIT;
        bool isRepaint = initDone && message.hwnd == mainWindow && message.message == WM_PAINT;
        if (isInit)
            Mark("until_init_message");
        // IsDialogMessageA dispatches most messages itself, the posted one included.
        if (!IsDialogMessageA(mainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (isInit) {
            Mark("init_picture_and_probe");
            initDone = true;
        }
        if (isRepaint) {
            Mark("repaint_with_picture");
            PostMessageA(mainWindow, WM_CLOSE, 0, 0);
        }
    }
    Mark("close");
    ShutdownLauncher();
    Mark("shutdown");
    return 0;
}
