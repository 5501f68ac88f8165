// Stand-in for the game client "Main.exe". It reads the five settings the launcher
// stores, then either appends a record of how it was started to the file named by
// VELKORA_STUB_RECORD (tests) or shows the values in a message box (the demo).
#include <windows.h>

#include <cstdio>
#include <string>

// The capability marker the launcher looks for. Kept as its own narrow string and
// shown in the message box, so the bytes really are in the executable.
static const char kDisplaySettingMarker[] = "Change display setting";

static const char* const kValueNames[] = { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" };

static std::string ToUtf8(const std::wstring& text)
{
    int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), NULL, 0, NULL, NULL);
    std::string utf8(size > 0 ? size : 0, '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), (int)text.size(), &utf8[0], size, NULL, NULL);
    return utf8;
}

static std::wstring ModulePath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(NULL, &path[0], (DWORD)path.size());
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

static std::wstring CurrentDirectory()
{
    DWORD size = GetCurrentDirectoryW(0, NULL);
    std::wstring folder(size, L'\0');
    DWORD length = GetCurrentDirectoryW(size, &folder[0]);
    folder.resize(length < size ? length : 0);
    return folder;
}

// "missing" unless the value is a 4-byte REG_DWORD, as the client itself requires.
static std::string ReadSetting(const char* name)
{
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    LONG result = RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", name, RRF_RT_ANY, &type, &value,
                               &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return "missing";
    return std::to_string(value);
}

static bool AppendRecord(const std::wstring& recordFile)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    std::string show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? std::to_string(startup.wShowWindow) : "default";

    std::string record = "module=" + ToUtf8(ModulePath()) + "\n";
    record += "directory=" + ToUtf8(CurrentDirectory()) + "\n";
    record += "commandline=" + ToUtf8(GetCommandLineW()) + "\n";
    record += "show=" + show + "\n";
    for (const char* name : kValueNames)
        record += std::string(name) + "=" + ReadSetting(name) + "\n";
    record += "end\n";

    // Append access only, so two starts can never overwrite each other's record.
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
        file = CreateFileW(recordFile.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, NULL);
        if (file == INVALID_HANDLE_VALUE)
            Sleep(20);
    }
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, record.data(), (DWORD)record.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == record.size();
}

static void ShowSettings()
{
    std::string text = "Stand-in game client\n\n";
    for (const char* name : kValueNames)
        text += std::string(name) + ": " + ReadSetting(name) + "\n";
    char line[64];
    snprintf(line, sizeof(line), "\n%s: supported", kDisplaySettingMarker);
    text += line;
    MessageBoxA(NULL, text.c_str(), "Main.exe (stand-in)", MB_OK | MB_ICONINFORMATION);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    wchar_t recordFile[32768];
    DWORD length = GetEnvironmentVariableW(L"VELKORA_STUB_RECORD", recordFile, ARRAYSIZE(recordFile));
    if (length > 0 && length < ARRAYSIZE(recordFile))
        return AppendRecord(recordFile) ? 0 : 1;
    ShowSettings();
    return 0;
}
