#include "client/capability_probe.h"

#include <windows.h>

#include <cstdlib>

#include "base/launcher_state.h"
#include "base/launcher_text.h"
#include "client/marker_scan.h"
#include "shell/window_layout.h"

static bool ReadFileChunk(void* context, unsigned char* destination, size_t capacity, size_t* bytesRead)
{
    DWORD count = 0;
    BOOL ok = ReadFile((HANDLE)context, destination, (DWORD)capacity, &count, NULL);
    *bytesRead = count;
    return ok != FALSE;
}

int ClientSupportsDisplaySetting(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int found = 0;
    unsigned char* buffer = (unsigned char*)malloc(kScanBufferSize);
    if (buffer) {
        found = ScanForMarker(ReadFileChunk, file, buffer);
        free(buffer);
    }
    CloseHandle(file);
    return found;
}

void ApplyClientCapability(int supported)
{
    if (supported)
        return;
    // The check state stays: it is still what "WindowMode" is saved from.
    EnableWindow(gLauncher.fullScreenCheck, FALSE);
    wchar_t caption[128];
    SetWindowTextW(gLauncher.fullScreenCheck, LauncherText(IDS_FULLSCREEN_NEEDS_UPDATE, caption, ARRAYSIZE(caption)));
    // The longer caption gets the panel's whole width and a little more: the row is
    // empty to the right, and in the font that stands in for Segoe UI where it is
    // missing the English caption is 265 pixels wide after the box's 18.
    SetWindowPos(gLauncher.fullScreenCheck, NULL, 0, 0, ScaleToDpi(kRelabelledFullScreenWidth), ScaleToDpi(22),
                 SWP_NOMOVE | SWP_NOZORDER);
}
