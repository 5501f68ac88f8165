// A program that stands where a "Main.exe" must never be taken from (the PATH,
// another folder, App Paths), and the client that exits at once. When started it
// appends one line to the file named by VELKORA_DECOY_RECORD, "program|folder|pid",
// and exits: whoever finds the line knows exactly which copy ran, and from where.
#include <windows.h>

#include <string>

static std::string Utf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &bytes[0], size, NULL, NULL);
    return bytes;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t record[4096];
    DWORD length = GetEnvironmentVariableW(L"VELKORA_DECOY_RECORD", record, 4096);
    if (length == 0 || length >= 4096)
        return 0;
    wchar_t program[4096] = L"";
    GetModuleFileNameW(NULL, program, 4096);
    wchar_t folder[4096] = L"";
    GetCurrentDirectoryW(4096, folder);
    std::string line = Utf8(program) + "|" + Utf8(folder) + "|" + std::to_string(GetCurrentProcessId()) + "\r\n";
    // Appending, shared: several copies may run, and the reader may be looking.
    HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(file, line.data(), (DWORD)line.size(), &written, NULL);
        CloseHandle(file);
    }
    return 0;
}
