// Helpers of the hostile-input tests: programs that must or must not have run,
// message boxes of the launcher process, its pixels and its memory.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// In a namespace of their own: the other helper pairs use some of the same names.
namespace hostile {

// One start of decoy_client.exe or crash_client.exe, as the program recorded it
// in the file named by VELKORA_DECOY_RECORD.
struct ClientStart {
    std::wstring program;
    std::wstring folder;
    DWORD processId;
};
std::vector<ClientStart> ReadClientStarts(const std::wstring& recordFile);
// Case-insensitive comparison of two paths after expanding short names.
bool SamePath(const std::wstring& a, const std::wstring& b);

// An environment variable of this process, and so of every process it starts,
// for the lifetime of the object. NULL removes the variable.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::wstring name_;
    std::wstring old_;
    bool hadOld_ = false;
};
std::wstring GetEnvironment(const wchar_t* name);

// Message box (class #32770) of the process with this caption, or any caption for NULL.
HWND FindProcessDialog(DWORD processId, const char* caption);
std::string WindowText(HWND window);
// Answers a message box with OK.
void PressOk(HWND box);
// The PLAY command, posted: the launcher may open a message box inside it.
void PressPlay(HWND launcher);
// Waits for the launcher's own warning box (caption "Velkora"), answering every other
// message box of the process on the way: Wine's shell reports a failed start in a
// box of its own first. The captions of those go to *others. NULL on timeout.
HWND WaitForLauncherWarning(DWORD processId, DWORD timeoutMilliseconds, std::vector<std::string>* others);

// Colour on the screen at a point of the window's client area.
COLORREF ClientPixel(HWND window, int x, int y);
// The window's thread answers a message within the (scaled) timeout.
bool IsResponsive(HWND window, DWORD timeoutMilliseconds = 10000);

// The "Full screen" box of a launcher window, read across processes.
struct FullScreenBox {
    bool exists;
    bool enabled;
    std::string caption;
};
FullScreenBox ReadFullScreenBox(HWND launcher);

// Peak working set of a process in bytes (0 when it cannot be read).
SIZE_T PeakWorkingSet(HANDLE process);
// The larger of its committed private memory and its working set now, in bytes.
SIZE_T CurrentMemory(HANDLE process);

// Makes a crash end the crashed process at once (Wine's debugger prints its report
// instead of waiting in a dialog), so a crashing launcher fails a test quickly.
void EndCrashesWithoutDialog();

// The launcher's fallback fill, shown when there is no picture.
const COLORREF kFallbackFill = RGB(18, 20, 32);

}  // namespace hostile
