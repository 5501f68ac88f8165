// Stands in for the web browser: tests register it as the shell's handler for http
// and https. Each start appends one line with its arguments, separated by tabs, to
// the file named by VELKORA_URL_RECORD, else to url_record.txt beside itself.
#include <windows.h>

#include <shellapi.h>

#include <string>

static std::string ToUtf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string utf8(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], size, NULL, NULL);
    return utf8;
}

static std::wstring RecordFile()
{
    wchar_t path[32768];
    DWORD length = GetEnvironmentVariableW(L"VELKORA_URL_RECORD", path, ARRAYSIZE(path));
    if (length > 0 && length < ARRAYSIZE(path))
        return path;
    length = GetModuleFileNameW(NULL, path, ARRAYSIZE(path));
    std::wstring folder(path, length < ARRAYSIZE(path) ? length : 0);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"url_record.txt";
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::string line;
    for (int i = 1; arguments && i < count; ++i) {
        if (i > 1)
            line += "\t";
        line += ToUtf8(arguments[i]);
    }
    LocalFree(arguments);
    line += "\n";

    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(RecordFile().c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(20);
    }
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    BOOL ok = WriteFile(file, line.data(), (DWORD)line.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == line.size() ? 0 : 1;
}
