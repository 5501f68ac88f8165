// The launcher's own code timed in this process: the client probe against a plain
// ReadFile loop over the same page-cached file without the marker, taken in turns,
// then repaints of the real main window, with the picture and with the flat fill in turns.
//
//   launcher_bench FOLDER FILE RUNS REPAINTS
//
// FOLDER holds launcher_bg.jpg and no Main.exe.
#include <cstdlib>

#include "base/launcher_state.h"
#include "bench.h"
#include "client/capability_probe.h"
#include "client/marker_scan.h"
#include "shell/main_window.h"
#include "shell/window_layout.h"

namespace {

// The floor: the probe's reads with nothing done to the bytes.
unsigned long long ReadWhole(const char* path, unsigned char* buffer)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long long total = 0;
    DWORD count = 0;
    while (ReadFile(file, buffer, (DWORD)kScanReadSize, &count, NULL) && count != 0)
        total += count;
    CloseHandle(file);
    return total;
}

bool MeasureProbe(const char* path, int runs)
{
    unsigned char* buffer = (unsigned char*)malloc(kScanBufferSize);
    double mebibytes = buffer ? (double)ReadWhole(path, buffer) / 1048576.0 : 0;
    if (mebibytes == 0 || ClientSupportsDisplaySetting(path)) {
        fprintf(stderr, "error: %s cannot be read or holds the marker\n", path);
        return false;
    }
    for (int run = 0; run < runs; ++run) {
        // Each goes first every other run.
        for (int turn = 0; turn < 2; ++turn) {
            bool probe = (run + turn) % 2 == 0;
            double start = NowMs();
            if (probe)
                ClientSupportsDisplaySetting(path);
            else
                ReadWhole(path, buffer);
            Sample(probe ? "probe.launcher" : "probe.read", run, mebibytes * 1000.0 / (NowMs() - start));
        }
    }
    free(buffer);
    return true;
}

// WinMain's start-up in this process, up to the picture, then the repaints.
bool MeasureRepaints(int repaints)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    InitCommonControlsForLauncher();
    CreateLauncherFonts();
    HWND window = RegisterLauncherClass(instance) ? CreateMainWindow(instance) : NULL;
    if (!window)
        return false;
    CreateChildControls(window, instance);
    ShowMainWindow(window, SW_SHOWNORMAL);
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    if (!gLauncher.backgroundBitmap) {
        fprintf(stderr, "error: no picture after the start-up message\n");
        return false;
    }
    // The floor: the same repaint with the flat fill, the picture set aside for it.
    HBITMAP picture = gLauncher.backgroundBitmap;
    for (int i = 0; i < repaints; ++i) {
        for (int turn = 0; turn < 2; ++turn) {
            bool flat = (i + turn) % 2 == 1;
            gLauncher.backgroundBitmap = flat ? NULL : picture;
            double start = NowMs();
            RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            Sample(flat ? "repaint.flat" : "repaint.launcher", i, NowMs() - start);
            // Idle between repaints, as the launcher's loop is: Wine then sends the pixels
            // to the X server outside the time taken (a busy thread sends them per paint).
            while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
        }
    }
    gLauncher.backgroundBitmap = picture;
    DestroyWindow(window);
    ShutdownLauncher();
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: launcher_bench FOLDER FILE RUNS REPAINTS\n");
        return 2;
    }
    // The pointer off the window, or the buttons would show their hover look.
    SetCursorPos(0, 0);
    bool ok = SetCurrentDirectoryA(argv[1]) && MeasureProbe(argv[2], atoi(argv[3])) &&
              MeasureRepaints(atoi(argv[4]));
    return ok ? 0 : 1;
}
