// Stand-in client and browser: records how it was started and the settings it reads in the file
// VELKORA_RECORD names, else shows them; with or without the marker. "keepalive": Wine's desktop.
#include <windows.h>

#include <string>

static const char kMarker[] = STAND_IN_MARKER;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
    MSG message;
    if (strcmp(arguments, "keepalive") == 0 && CreateWindowA("STATIC", NULL, 0, 0, 0, 1, 1, NULL, NULL, NULL, NULL)) {
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
    }
    char module[MAX_PATH], folder[MAX_PATH], record[MAX_PATH];
    GetModuleFileNameA(NULL, module, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, folder);
    std::string text = std::string("module=") + module + "\ndirectory=" + folder + "\ncommand=" + GetCommandLineA()
                     + "\nsettings=";
    for (const char* name : { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" }) {
        DWORD value = 0, size = sizeof(value);
        LONG result = RegGetValueA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", name, RRF_RT_REG_DWORD, NULL,
                                   &value, &size);
        text += std::string(" ") + name + "=" + (result ? "-" : std::to_string(value)) + (name[0] == 'V' ? "\n" : "");
    }
    if (!GetEnvironmentVariableA("VELKORA_RECORD", record, MAX_PATH))
        return MessageBoxA(NULL, (text + "\n" + kMarker).c_str(), "Main.exe (stand-in)", MB_OK) != IDOK;
    HANDLE file = CreateFileA(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
    DWORD written = 0;
    return !WriteFile(file, text.data(), text.size(), &written, NULL) || !CloseHandle(file);
}
