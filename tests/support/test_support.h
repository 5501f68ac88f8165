// Shared helpers of the test programs: message pumping, the client settings key,
// scratch folders, the launcher in this process and the launcher as a child process.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Multiplier for every wait (VELKORA_TIME_SCALE): slower platforms, such as an
// emulated 32-bit Wine, get their headroom from this one setting.
DWORD Scaled(DWORD milliseconds);
// Dispatches this thread's messages for the given time.
void PumpMessages(DWORD milliseconds);
// Dispatches messages until done() holds or the (scaled) timeout passes.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMilliseconds);

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);
// Folder of the running test program; the launcher and the helper programs lie there.
std::wstring TestBinaryFolder();
std::wstring TestBinary(const wchar_t* name);

// The client settings key under HKEY_CURRENT_USER.
void DeleteConfigKey();
bool ConfigKeyExists();
void SetConfigValue(const char* name, DWORD type, const void* data, DWORD size);
void SetConfigDword(const char* name, DWORD value);
// True when the value exists as a 4-byte REG_DWORD.
bool GetConfigDword(const char* name, DWORD* value);

// A fresh folder under %TEMP%, removed with everything in it at the end.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& hint = L"case");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }
    void CopyIn(const std::wstring& source, const std::wstring& name) const;
    void Write(const std::wstring& name, const std::string& bytes) const;
    // The launcher executable and nothing else; returns its full path.
    std::wstring AddLauncher(const wchar_t* exeName = L"VelkoraLauncher.exe") const;

private:
    std::wstring path_;
};

// The launcher's window built in this process by the same start-up steps as WinMain
// (without moving the current directory), shown and painted once.
class InProcessLauncher {
public:
    explicit InProcessLauncher(bool show = true);
    ~InProcessLauncher();
    InProcessLauncher(const InProcessLauncher&) = delete;
    InProcessLauncher& operator=(const InProcessLauncher&) = delete;

    HWND Window() const { return window_; }
    HWND Control(int id) const { return GetDlgItem(window_, id); }
    // Handles the posted WM_LAUNCHER_INIT (background and probe).
    void RunDeferredInit();
    // Destroys the window now (WM_DESTROY saves the settings).
    void Destroy();

private:
    HWND window_ = NULL;
};

// The real launcher executable run as a child process.
class LauncherProcess {
public:
    LauncherProcess() = default;
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess&) = delete;
    LauncherProcess& operator=(const LauncherProcess&) = delete;

    // Starts exe with workingDirectory as its current directory (NULL: ours).
    bool Start(const std::wstring& exe, const wchar_t* workingDirectory = NULL, const std::wstring& arguments = L"",
               WORD showCommand = SW_SHOWNORMAL);
    // The process's VelkoraLauncher window, once it exists and WM_LAUNCHER_INIT has run.
    HWND WaitForWindow(DWORD timeoutMilliseconds = 15000);
    HWND Window() const { return window_; }
    DWORD Id() const { return process_.dwProcessId; }
    HANDLE Handle() const { return process_.hProcess; }
    // Closes the window as the close box does.
    void Close();
    bool HasExited(DWORD timeoutMilliseconds = 0);
    // Exit code once ended, or STILL_ACTIVE after the timeout.
    DWORD WaitForExit(DWORD timeoutMilliseconds = 15000);

private:
    PROCESS_INFORMATION process_ = {};
    HWND window_ = NULL;
};

// Top-level window of the given process with this class and title (either may be NULL).
HWND FindProcessWindow(DWORD processId, const char* className, const char* title);
// Every top-level window text of a process, for messages on failure.
std::string DescribeProcessWindows(DWORD processId);
