// What the tests share: waits, scratch folders, the launcher seen from outside, the settings.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "base/launcher_state.h"
#include "settings/client_settings.h"

// Waits get their headroom from VELKORA_TIME_SCALE: emulation is slower.
inline DWORD Scaled(DWORD milliseconds)
{
    return getenv("VELKORA_TIME_SCALE") ? milliseconds * atoi(getenv("VELKORA_TIME_SCALE")) : milliseconds;
}

template <typename Done> bool WaitUntil(Done done, DWORD milliseconds = 10000)
{
    for (DWORD end = GetTickCount() + Scaled(milliseconds); !done(); Sleep(20)) {
        if (GetTickCount() > end)
            return false;
    }
    return true;
}

inline std::string BuildFile(const std::string& name)
{
    char path[MAX_PATH];
    std::string module(path, GetModuleFileNameA(NULL, path, MAX_PATH));
    return module.substr(0, module.rfind('\\') + 1) + name;
}

// A new folder under %TEMP%, named by the time (Wine reuses process ids), with the launcher and the "built=as" files.
inline std::string Stage(std::vector<std::string> files = {})
{
    static int count = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = temp + std::to_string(GetTickCount()) + "-" + std::to_string(++count);
    files.push_back("VelkoraLauncher.exe=VelkoraLauncher.exe");
    CreateDirectoryA(folder.c_str(), NULL);
    for (const std::string& file : files) {
        std::string to = folder + "\\" + file.substr(file.find('=') + 1);
        EXPECT_TRUE(CopyFileA(BuildFile(file.substr(0, file.find('='))).c_str(), to.c_str(), FALSE)) << file;
    }
    return folder;
}

inline LRESULT SendTo(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, Scaled(10000), &result) ? result : 0;
}

// folder\VelkoraLauncher.exe (or another program and the class of its window) started from startIn (default:
// folder), ended with the test.
struct Launcher {
    explicit Launcher(const std::string& folder, const char* startIn = NULL, const char* program = "VelkoraLauncher")
    {
        STARTUPINFOA startup = { sizeof(startup) };
        EXPECT_TRUE(CreateProcessA((folder + "\\" + program + ".exe").c_str(), NULL, NULL, NULL, FALSE, 0, NULL,
                                   startIn ? startIn : folder.c_str(), &startup, &process)) << GetLastError();
        const char* windowClass = strcmp(program, "VelkoraLauncher") ? "#32770" : program;
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(window = FindWindowA(windowClass, NULL)); }));
        // Sent messages first, then posted ones, then painting: three round trips see all done.
        Sleep(Scaled(200));
        for (int trip = 0; trip < 3; ++trip)
            SendTo(window, WM_NULL);
    }
    ~Launcher()
    {
        TerminateProcess(process.hProcess, 1);
        WaitForExit(10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // The exit code, or STILL_ACTIVE; Close() as the close box does.
    DWORD WaitForExit(DWORD milliseconds)
    {
        DWORD code = WaitForSingleObject(process.hProcess, Scaled(milliseconds));
        return GetExitCodeProcess(process.hProcess, &code) ? code : 0;
    }
    DWORD Close() { return PostMessageA(window, WM_CLOSE, 0, 0) ? WaitForExit(10000) : 0; }
    HWND Control(int id) const { return GetDlgItem(window, id); }

    PROCESS_INFORMATION process = {};
    HWND window = NULL;
};

// Empties the key, then stores "Name=number" as a REG_DWORD and Name="text" as a REG_SZ.
inline void StoreConfig(const std::string& values)
{
    RegDeleteTreeA(HKEY_CURRENT_USER, CONFIG_KEY_PATH);
    std::istringstream words(values);
    for (std::string word, value; std::getline(words, word, '=') && words >> value;) {
        if (value[0] != '"')
            WriteConfigDword(word.c_str() + (word[0] == ' '), strtoul(value.c_str(), NULL, 10));
        else
            RegSetKeyValueA(HKEY_CURRENT_USER, CONFIG_KEY_PATH, word.c_str() + (word[0] == ' '), REG_SZ,
                            value.substr(1, value.size() - 2).c_str(), value.size() - 1);
    }
}

// The five values in the panel's order, "-" where one is not a DWORD: "3 1 1 1 5".
inline std::string StoredConfig()
{
    std::string text;
    for (const char* name : { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" }) {
        DWORD value = 0, size = sizeof(value);
        LONG result = RegGetValueA(HKEY_CURRENT_USER, CONFIG_KEY_PATH, name, RRF_RT_REG_DWORD, NULL, &value, &size);
        text += (text.empty() ? "" : " ") + (result ? "-" : std::to_string(value));
    }
    return text;
}

inline COLORREF Pixel(HWND window, int x, int y)
{
    POINT point = { x, y };
    ClientToScreen(window, &point);
    HDC screen = GetDC(NULL);
    COLORREF shown = GetPixel(screen, point.x, point.y);
    ReleaseDC(NULL, screen);
    return shown;
}

// Whether the screen shows about this colour at a point of a window's client area.
inline bool Shows(HWND window, int x, int y, COLORREF color)
{
    COLORREF shown = Pixel(window, x, y);
    return abs(GetRValue(shown) - GetRValue(color)) + abs(GetGValue(shown) - GetGValue(color))
         + abs(GetBValue(shown) - GetBValue(color)) <= 6;
}

// UTF-8 text as UTF-16, each "\\n" a line break.
inline std::wstring Wide(std::string text)
{
    for (size_t at; (at = text.find("\\n")) != std::string::npos;)
        text.replace(at, 2, "\n");
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text.data(), text.size(), &wide[0], wide.size()));
    return wide;
}

inline std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}

// Id, x, y, width, height at 96 DPI in creation order; the closed combo box's height is not ours.
const int kLayout[][5] = {
    { 0, 34, 352, 96, 20 },  // "Resolution"
    { ID_RESOLUTION, 130, 350, 150, 0 },
    { ID_FULLSCREEN, 34, 388, 150, 22 },
    { ID_SOUND, 34, 416, 150, 22 },
    { ID_MUSIC, 194, 416, 120, 22 },
    { 0, 34, 448, 96, 20 },  // "Volume"
    { ID_VOLUME, 130, 446, 150, 26 },
    { ID_PLAY, 34, 490, 246, 52 },
    { ID_SITE_LINK, 34, 550, 246, 26 },
};

// Each control placed at dpi (the greyed box 290 wide); in process, with its font's height too.
inline void ExpectLayout(HWND window, int dpi, bool inProcess = false)
{
    HWND child = GetWindow(window, GW_CHILD);
    for (const int* c : kLayout) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, window, (POINT*)&r, 2);
        LOGFONTA font = {};
        GetObjectA((HFONT)SendMessageA(child, WM_GETFONT, 0, 0), sizeof(font), &font);
        int width = c[0] == ID_FULLSCREEN && !IsWindowEnabled(child) ? 290 : c[3];
        int fontHeight = inProcess && c[0] != ID_VOLUME ? -MulDiv(c[0] == ID_PLAY ? 24 : 14, dpi, 96) : 0;
        EXPECT_EQ(std::vector<int>({ GetDlgCtrlID(child), r.left, r.top, r.right - r.left, c[4] ? r.bottom - r.top : 0,
                                     inProcess ? (int)font.lfHeight : 0 }),
                  std::vector<int>({ c[0], MulDiv(c[1], dpi, 96), MulDiv(c[2], dpi, 96), MulDiv(width, dpi, 96),
                                     MulDiv(c[4], dpi, 96), fontHeight }))
            << "id, x, y, width, height, font height at " << dpi << " DPI";
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

inline RECT FrameAt(int dpi)
{
    RECT frame = { 0, 0, MulDiv(900, dpi, 96), MulDiv(600, dpi, 96) };
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
    return frame;
}

// Presses PLAY and answers the box it brings with OK: "caption: text", or "" for no box.
inline std::wstring AnswerWarning(const Launcher& launcher)
{
    PostMessageA(launcher.Control(ID_PLAY), BM_CLICK, 0, 0);
    HWND box = NULL;
    if (!WaitUntil([&] { return IsWindowVisible(box = FindWindowA("#32770", NULL)); }))
        return L"";
    EXPECT_EQ(GetWindow(box, GW_OWNER), launcher.window);
    std::wstring answer = WindowText(box) + L": " + WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    return answer;
}
