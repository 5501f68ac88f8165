#include "support/test_support.h"

#include <shellapi.h>

#include <cstdlib>
#include <vector>

#include "shell/launcher_state.h"
#include "shell/main_window.h"

DWORD Scaled(DWORD milliseconds)
{
    const char* scale = getenv("VELKORA_TIME_SCALE");
    double factor = scale ? atof(scale) : 1.0;
    if (factor < 1.0)
        factor = 1.0;
    return (DWORD)(milliseconds * factor);
}

void PumpMessages(DWORD milliseconds)
{
    PumpUntil([] { return false; }, milliseconds);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds)
{
    DWORD start = GetTickCount();
    DWORD limit = Scaled(timeoutMilliseconds);
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT)
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limit)
            return false;
        DWORD wait = limit - elapsed;
        MsgWaitForMultipleObjects(0, NULL, FALSE, wait < 10 ? wait : 10, QS_ALLINPUT);
    }
}

std::wstring Widen(const std::string& text)
{
    std::wstring wide(text.size(), L'\0');
    for (size_t i = 0; i < text.size(); ++i)
        wide[i] = (unsigned char)text[i];
    return wide;
}

std::string Narrow(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, NULL, 0, NULL, NULL);
    std::string narrow(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, &narrow[0], size, NULL, NULL);
    return narrow;
}

std::wstring TestBinaryFolder()
{
    wchar_t path[4096];
    DWORD length = GetModuleFileNameW(NULL, path, 4096);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\'));
}

std::wstring TestBinary(const wchar_t* name)
{
    return TestBinaryFolder() + L"\\" + name;
}

void DeleteConfigKey()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin");
}

bool ConfigKeyExists()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void SetConfigValue(const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

void SetConfigDword(const char* name, DWORD value)
{
    SetConfigValue(name, REG_DWORD, &value, sizeof(value));
}

bool GetConfigDword(const char* name, DWORD* value)
{
    DWORD type = 0;
    DWORD size = sizeof(*value);
    LONG result = RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", name, RRF_RT_ANY, &type, value,
                               &size);
    return result == ERROR_SUCCESS && type == REG_DWORD && size == sizeof(*value);
}

static void RemoveTree(const std::wstring& path)
{
    std::vector<wchar_t> from(path.begin(), path.end());
    from.push_back(L'\0');
    from.push_back(L'\0');
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.data();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationW(&operation);
}

ScratchFolder::ScratchFolder(const std::wstring& hint)
{
    static int counter = 0;
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    for (;;) {
        path_ = std::wstring(temp) + L"velkora-" + hint + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), NULL))
            break;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(path_);
}

void ScratchFolder::CopyIn(const std::wstring& source, const std::wstring& name) const
{
    CopyFileW(source.c_str(), File(name).c_str(), FALSE);
}

void ScratchFolder::Write(const std::wstring& name, const std::string& bytes) const
{
    HANDLE file = CreateFileW(File(name).c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
}

std::wstring ScratchFolder::AddLauncher(const wchar_t* exeName) const
{
    CopyIn(TestBinary(exeName), exeName);
    return File(exeName);
}

InProcessLauncher::InProcessLauncher(bool show)
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    InitCommonControlsForLauncher();
    CreateLauncherFonts();
    StartGdiplus();
    RegisterLauncherClass(instance);
    window_ = CreateMainWindow(instance);
    CreateChildControls(window_, instance);
    if (show) {
        ShowWindow(window_, SW_SHOWNORMAL);
        UpdateWindow(window_);
        PumpMessages(50);
    }
}

void InProcessLauncher::RunDeferredInit()
{
    SendMessageA(window_, WM_LAUNCHER_INIT, 0, 0);
    PumpMessages(50);
}

void InProcessLauncher::Destroy()
{
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
    window_ = NULL;
}

InProcessLauncher::~InProcessLauncher()
{
    Destroy();
    ShutdownLauncher();
    UnregisterClassA(kLauncherClassName, GetModuleHandleA(NULL));
}

bool LauncherProcess::Start(const std::wstring& exe, const wchar_t* workingDirectory, const std::wstring& arguments,
                            WORD showCommand)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showCommand;
    return CreateProcessW(exe.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL, workingDirectory, &startup,
                          &process_) != FALSE;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    const char* title;
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch* search = (WindowSearch*)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId)
        return TRUE;
    char text[256];
    if (search->className) {
        GetClassNameA(window, text, sizeof(text));
        if (lstrcmpA(text, search->className) != 0)
            return TRUE;
    }
    if (search->title) {
        GetWindowTextA(window, text, sizeof(text));
        if (lstrcmpA(text, search->title) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* title)
{
    WindowSearch search = { processId, className, title, NULL };
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}

static BOOL CALLBACK ListWindow(HWND window, LPARAM lParam)
{
    std::pair<DWORD, std::string>* list = (std::pair<DWORD, std::string>*)lParam;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == list->first) {
        char className[128], title[256];
        GetClassNameA(window, className, sizeof(className));
        GetWindowTextA(window, title, sizeof(title));
        list->second += std::string("[") + className + " \"" + title + "\"] ";
    }
    return TRUE;
}

std::string DescribeProcessWindows(DWORD processId)
{
    std::pair<DWORD, std::string> list(processId, "");
    EnumWindows(ListWindow, (LPARAM)&list);
    return list.second;
}

HWND LauncherProcess::WaitForWindow(DWORD timeoutMilliseconds)
{
    PumpUntil([this] {
        window_ = FindProcessWindow(process_.dwProcessId, "VelkoraLauncher", NULL);
        return window_ != NULL && IsWindowVisible(window_);
    }, timeoutMilliseconds);
    // Sent messages are answered inside GetMessage, before the posted ones it returns:
    // after a few round trips the loop has taken WM_LAUNCHER_INIT and handled it.
    for (int trip = 0; window_ && trip < 3; ++trip) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_NORMAL, Scaled(10000), &result);
        PumpMessages(20);
    }
    return window_;
}

void LauncherProcess::Close()
{
    if (window_)
        PostMessageA(window_, WM_CLOSE, 0, 0);
}

bool LauncherProcess::HasExited(DWORD timeoutMilliseconds)
{
    return WaitForExit(timeoutMilliseconds) != STILL_ACTIVE;
}

DWORD LauncherProcess::WaitForExit(DWORD timeoutMilliseconds)
{
    if (!process_.hProcess)
        return STILL_ACTIVE;
    PumpUntil([this] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMilliseconds);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
}

LauncherProcess::~LauncherProcess()
{
    if (process_.hProcess) {
        if (WaitForSingleObject(process_.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}
