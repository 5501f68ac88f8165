#include "support/hostile_support.h"

// The kernel32 entry (K32GetProcessMemoryInfo): no psapi.dll import needed.
#define PSAPI_VERSION 2
#include <psapi.h>

#include <vector>

#include "support/test_support.h"

namespace hostile {

static std::wstring FromUtf8(const std::string& bytes)
{
    int size = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), NULL, 0);
    std::wstring text(size > 0 ? size : 0, L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), &text[0], size);
    return text;
}

std::vector<ClientStart> ReadClientStarts(const std::wstring& recordFile)
{
    std::vector<ClientStart> starts;
    HANDLE file = CreateFileW(recordFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return starts;
    std::string content;
    char chunk[4096];
    DWORD count = 0;
    while (ReadFile(file, chunk, sizeof(chunk), &count, NULL) && count > 0)
        content.append(chunk, count);
    CloseHandle(file);

    size_t lineStart = 0;
    while (lineStart < content.size()) {
        size_t lineEnd = content.find("\r\n", lineStart);
        if (lineEnd == std::string::npos)
            break;  // a line still being written
        std::string line = content.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 2;
        size_t first = line.find('|');
        size_t second = first == std::string::npos ? first : line.find('|', first + 1);
        if (second == std::string::npos)
            continue;
        ClientStart start;
        start.program = FromUtf8(line.substr(0, first));
        start.folder = FromUtf8(line.substr(first + 1, second - first - 1));
        start.processId = (DWORD)strtoul(line.c_str() + second + 1, NULL, 10);
        starts.push_back(start);
    }
    return starts;
}

static std::wstring LongPath(const std::wstring& path)
{
    wchar_t full[4096];
    DWORD length = GetFullPathNameW(path.c_str(), 4096, full, NULL);
    std::wstring result = length > 0 && length < 4096 ? std::wstring(full, length) : path;
    wchar_t longer[4096];
    length = GetLongPathNameW(result.c_str(), longer, 4096);
    if (length > 0 && length < 4096)
        result.assign(longer, length);
    while (result.size() > 3 && result.back() == L'\\')
        result.pop_back();
    return result;
}

bool SamePath(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(LongPath(a).c_str(), -1, LongPath(b).c_str(), -1, TRUE) == CSTR_EQUAL;
}

std::wstring GetEnvironment(const wchar_t* name)
{
    DWORD size = GetEnvironmentVariableW(name, NULL, 0);
    if (size == 0)
        return std::wstring();
    std::vector<wchar_t> value(size);
    DWORD length = GetEnvironmentVariableW(name, value.data(), size);
    return std::wstring(value.data(), length < size ? length : 0);
}

ScopedEnvironment::ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name)
{
    hadOld_ = GetEnvironmentVariableW(name, NULL, 0) > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
    old_ = GetEnvironment(name);
    SetEnvironmentVariableW(name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    SetEnvironmentVariableW(name_.c_str(), hadOld_ ? old_.c_str() : NULL);
}

struct DialogSearch {
    DWORD processId;
    const char* caption;
    HWND found;
};

static BOOL CALLBACK MatchDialog(HWND window, LPARAM lParam)
{
    DialogSearch* search = (DialogSearch*)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window))
        return TRUE;
    char className[64];
    GetClassNameA(window, className, sizeof(className));
    if (lstrcmpA(className, "#32770") != 0)
        return TRUE;
    if (search->caption && WindowText(window) != search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindProcessDialog(DWORD processId, const char* caption)
{
    DialogSearch search = { processId, caption, NULL };
    EnumWindows(MatchDialog, (LPARAM)&search);
    return search.found;
}

std::string WindowText(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

void PressOk(HWND box)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
}

void PressPlay(HWND launcher)
{
    PostMessageA(launcher, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)GetDlgItem(launcher, 1001));
}

HWND WaitForLauncherWarning(DWORD processId, DWORD timeoutMilliseconds, std::vector<std::string>* others)
{
    HWND warning = NULL;
    std::vector<HWND> answered;
    PumpUntil([&] {
        HWND box = FindProcessDialog(processId, NULL);
        if (!box)
            return false;
        if (WindowText(box) == "Velkora") {
            warning = box;
            return true;
        }
        bool seen = false;
        for (HWND old : answered)
            seen = seen || old == box;
        if (!seen) {
            answered.push_back(box);
            if (others)
                others->push_back(WindowText(box));
        }
        PressOk(box);
        return false;
    }, timeoutMilliseconds);
    return warning;
}

COLORREF ClientPixel(HWND window, int x, int y)
{
    POINT point = { x, y };
    ClientToScreen(window, &point);
    HDC screen = GetDC(NULL);
    COLORREF color = GetPixel(screen, point.x, point.y);
    ReleaseDC(NULL, screen);
    return color;
}

bool IsResponsive(HWND window, DWORD timeoutMilliseconds)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, Scaled(timeoutMilliseconds), &result) != 0;
}

FullScreenBox ReadFullScreenBox(HWND launcher)
{
    FullScreenBox box = { false, false, "" };
    HWND check = GetDlgItem(launcher, 1003);
    if (!check)
        return box;
    box.exists = true;
    box.enabled = IsWindowEnabled(check) != FALSE;
    box.caption = WindowText(check);
    return box;
}

void EndCrashesWithoutDialog()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineDbg", 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return;
    DWORD show = 0;
    RegSetValueExA(key, "ShowCrashDialog", 0, REG_DWORD, (const BYTE*)&show, sizeof(show));
    RegCloseKey(key);
}

SIZE_T PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return 0;
    return counters.PeakWorkingSetSize;
}

SIZE_T CurrentMemory(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters)))
        return 0;
    return counters.PagefileUsage > counters.WorkingSetSize ? counters.PagefileUsage : counters.WorkingSetSize;
}

}  // namespace hostile
