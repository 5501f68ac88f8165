#include "client/game_launch.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "settings/client_settings.h"
#include "shell/site_link.h"

static const char* const kLaunchWarning = "Main.exe not found.\n\nPut the launcher in the same folder as the game.";
static const char* const kLaunchWarningCaption = "Velkora";

// The current directory, which start-up made the launcher's own folder. Wide, and
// grown until it fits: the folder's name may lie outside the ANSI code page.
static std::wstring CurrentFolder()
{
    std::vector<wchar_t> folder(MAX_PATH);
    for (;;) {
        DWORD length = GetCurrentDirectoryW((DWORD)folder.size(), folder.data());
        if (length == 0)
            return std::wstring();
        if (length < folder.size())
            return std::wstring(folder.data(), length);
        folder.resize(length);
    }
}

// The full path of the client beside the launcher. Given a bare name, the shell
// would go on searching the PATH and App Paths when the folder has none, and start
// whatever program of that name it found there.
static std::wstring ClientPath(const std::wstring& folder)
{
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\')
        path += L'\\';
    return path + L"Main.exe";
}

static bool IsDirectory(const std::wstring& path)
{
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void LaunchGame(HWND mainWindow)
{
    SaveClientSettings();

    std::wstring folder = CurrentFolder();
    std::wstring client = ClientPath(folder);
    BOOL started = FALSE;
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS;
    request.lpVerb = L"open";
    request.lpFile = client.c_str();
    request.lpDirectory = folder.c_str();
    request.nShow = SW_SHOWNORMAL;
    // "open" on a folder would start a file browser instead of the game.
    if (!folder.empty() && !IsDirectory(client))
        started = ShellExecuteExW(&request);

    if (!started) {
        MessageBoxA(mainWindow, kLaunchWarning, kLaunchWarningCaption, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    if (request.hProcess)
        CloseHandle(request.hProcess);
    PostQuitMessage(0);
}

void OpenSiteLink(HWND mainWindow)
{
    ShellExecuteA(mainWindow, "open", kSiteUrl, NULL, NULL, SW_SHOWNORMAL);
}
