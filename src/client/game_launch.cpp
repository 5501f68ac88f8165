#include "client/game_launch.h"

#include <shellapi.h>

#include "base/launcher_state.h"
#include "base/launcher_text.h"
#include "base/site_link.h"
#include "base/system_libraries.h"
#include "settings/client_settings.h"

// The current directory, which start-up made the launcher's own folder, or NULL;
// free with HeapFree. Wide, and grown until it fits: the folder's name may lie
// outside the ANSI code page.
static wchar_t* CurrentFolder()
{
    HANDLE heap = GetProcessHeap();
    DWORD capacity = MAX_PATH;
    wchar_t* folder = NULL;
    for (;;) {
        wchar_t* larger = (wchar_t*)(folder ? HeapReAlloc(heap, 0, folder, capacity * sizeof(wchar_t))
                                            : HeapAlloc(heap, 0, capacity * sizeof(wchar_t)));
        if (!larger)
            break;
        folder = larger;
        DWORD length = GetCurrentDirectoryW(capacity, folder);
        if (length == 0)
            break;
        if (length < capacity)
            return folder;
        capacity = length;
    }
    if (folder)
        HeapFree(heap, 0, folder);
    return NULL;
}

// The full path of the client in folder; free with HeapFree. Given a bare name, the
// shell would go on searching the PATH and App Paths when the folder has none, and
// start whatever program of that name it found there.
static wchar_t* ClientPath(const wchar_t* folder)
{
    static const wchar_t kClientName[] = L"\\Main.exe";
    int length = lstrlenW(folder);
    wchar_t* path = (wchar_t*)HeapAlloc(GetProcessHeap(), 0, (length + ARRAYSIZE(kClientName)) * sizeof(wchar_t));
    if (!path)
        return NULL;
    lstrcpyW(path, folder);
    // A drive's root already ends in a backslash.
    lstrcpyW(path + length, length > 0 && folder[length - 1] == L'\\' ? kClientName + 1 : kClientName);
    return path;
}

// A function of the shell, which is loaded at its first use: it and the libraries it
// brings are not needed for the first frame. NULL when the shell cannot be loaded.
static FARPROC ShellFunction(const char* name)
{
    if (!gLauncher.shellModule)
        gLauncher.shellModule = LoadSystemLibrary(L"shell32.dll");
    return SystemFunction(gLauncher.shellModule, name);
}

static bool IsDirectory(const wchar_t* path)
{
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void LaunchGame(HWND mainWindow)
{
    SaveClientSettings();

    BOOL started = FALSE;
    SHELLEXECUTEINFOW request = {};
    wchar_t* folder = CurrentFolder();
    wchar_t* client = folder ? ClientPath(folder) : NULL;
    auto shellExecute = (decltype(&ShellExecuteExW))(void*)ShellFunction("ShellExecuteExW");
    // "open" on a folder would start a file browser instead of the game.
    if (client && !IsDirectory(client) && shellExecute) {
        request.cbSize = sizeof(request);
        // No error box of the shell's own: the warning below is the one the player sees.
        request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
        request.lpVerb = L"open";
        request.lpFile = client;
        request.lpDirectory = folder;
        request.nShow = SW_SHOWNORMAL;
        started = shellExecute(&request);
    }
    if (client)
        HeapFree(GetProcessHeap(), 0, client);
    if (folder)
        HeapFree(GetProcessHeap(), 0, folder);

    if (!started) {
        wchar_t warning[256], caption[64];
        MessageBoxW(mainWindow, LauncherText(IDS_CLIENT_MISSING, warning, ARRAYSIZE(warning)),
                    LauncherText(IDS_CLIENT_MISSING_CAPTION, caption, ARRAYSIZE(caption)), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (request.hProcess)
        CloseHandle(request.hProcess);
    PostQuitMessage(0);
}

void OpenSiteLink(HWND mainWindow)
{
    auto shellExecute = (decltype(&ShellExecuteA))(void*)ShellFunction("ShellExecuteA");
    if (shellExecute)
        shellExecute(mainWindow, "open", kSiteUrl, NULL, NULL, SW_SHOWNORMAL);
}
