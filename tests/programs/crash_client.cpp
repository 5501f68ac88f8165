// A game client that crashes with an access violation right after it started. It
// carries the marker text, so the launcher offers full screen for it. Before the
// crash it appends "program|folder|pid" to the file named by VELKORA_DECOY_RECORD
// and, when VELKORA_CRASH_EVENT names an event, waits (at most 30 s) until it is set,
// so that a test can open the process first and read its exit code afterwards.
#include <windows.h>

#include <cstdint>
#include <string>

// The probe looks for these bytes in the file; writing them to the record keeps
// the linker from dropping them.
static const char kMarker[] = "Change display setting";

static std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
}

static void Record()
{
    wchar_t record[4096];
    DWORD length = GetEnvironmentVariableW(L"VELKORA_DECOY_RECORD", record, 4096);
    if (length == 0 || length >= 4096)
        return;
    wchar_t program[4096] = L"";
    GetModuleFileNameW(NULL, program, 4096);
    wchar_t folder[4096] = L"";
    GetCurrentDirectoryW(4096, folder);
    std::string line = Utf8(program) + "|" + Utf8(folder) + "|" + std::to_string(GetCurrentProcessId()) + "|" +
                       kMarker + "\r\n";
    HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), (DWORD)line.size(), &written, NULL);
        CloseHandle(file);
    }
}

// Wine starts its debugger on an unhandled fault whatever the error mode says; a
// filter that asks for the default handler ends the process with the fault's code.
static LONG WINAPI EndWithFaultCode(EXCEPTION_POINTERS*)
{
    return EXCEPTION_EXECUTE_HANDLER;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Record();
    char eventName[256];
    DWORD length = GetEnvironmentVariableA("VELKORA_CRASH_EVENT", eventName, sizeof(eventName));
    if (length > 0 && length < sizeof(eventName)) {
        HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, eventName);
        if (go) {
            WaitForSingleObject(go, 30000);
            CloseHandle(go);
        }
    }
    SetErrorMode(SEM_NOGPFAULTERRORBOX | SEM_FAILCRITICALERRORS);
    SetUnhandledExceptionFilter(EndWithFaultCode);
    // Read from a volatile so the compiler cannot see (and replace) the bad write.
    volatile uintptr_t address = 16;
    *(volatile int*)address = 1;
    return 0;
}
