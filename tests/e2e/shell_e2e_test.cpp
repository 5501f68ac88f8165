#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/launcher_state.h"
#include "shell/main_window.h"
#include "support/test_support.h"

// A file that the capability probe accepts: only its bytes matter to it.
static const char kClientWithMarker[] = "MZ stand-in client ... Change display setting ...";

static bool FullScreenEnabled(HWND launcher)
{
    return IsWindowEnabled(GetDlgItem(launcher, ID_FULLSCREEN)) != FALSE;
}

TEST(ShellEndToEnd, ClosingTheWindowEndsTheProcessWithExitCodeZero)
{
    DeleteConfigKey();
    ScratchFolder folder(L"close");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(folder.AddLauncher(), folder.Path().c_str()));
    ASSERT_TRUE(launcher.WaitForWindow()) << DescribeProcessWindows(launcher.Id());
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST(ShellEndToEnd, FilesBesideTheLauncherAreFoundFromAnyCurrentDirectory)
{
    const struct { const wchar_t* folderName; bool clientBeside; bool decoyInStartFolder; } cases[] = {
        { L"plain", true, true },
        { L"plain", false, true },
        // Cyrillic: outside the ANSI code page of this test run.
        { L"\u0418\u0433\u0440\u044b", true, true },
        { L"\u0418\u0433\u0440\u044b", false, false },
        // Japanese.
        { L"\u30b2\u30fc\u30e0", true, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << Narrow(c.folderName) << " client beside: " << c.clientBeside);
        ScratchFolder start(L"start");
        ScratchFolder folder(c.folderName);
        ASSERT_NE(GetFileAttributesW(folder.Path().c_str()), INVALID_FILE_ATTRIBUTES);
        if (c.clientBeside)
            folder.Write(L"Main.exe", kClientWithMarker);
        // A client with the marker where the launcher was started must not count.
        if (c.decoyInStartFolder && !c.clientBeside)
            start.Write(L"Main.exe", kClientWithMarker);
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(folder.AddLauncher(), start.Path().c_str()));
        HWND window = launcher.WaitForWindow();
        ASSERT_TRUE(window) << DescribeProcessWindows(launcher.Id());
        EXPECT_EQ(FullScreenEnabled(window), c.clientBeside);
        launcher.Close();
        EXPECT_EQ(launcher.WaitForExit(), 0u);
    }
}

TEST(ShellEndToEnd, StartsMinimizedWhenAskedAndStillRunsTheDeferredInit)
{
    ScratchFolder folder(L"minimized");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(folder.AddLauncher(), folder.Path().c_str(), L"", SW_SHOWMINNOACTIVE));
    HWND window = NULL;
    bool sawMinimized = false;
    PumpUntil([&] {
        window = FindProcessWindow(launcher.Id(), "VelkoraLauncher", NULL);
        // Wine's X11 driver may restore an unmanaged window soon after, so any
        // sample counts.
        sawMinimized = sawMinimized || (window && IsIconic(window));
        return window && sawMinimized && !IsWindowEnabled(GetDlgItem(window, ID_FULLSCREEN));
    }, 15000);
    ASSERT_TRUE(window);
    EXPECT_TRUE(sawMinimized);
    EXPECT_FALSE(FullScreenEnabled(window)) << "no client beside it: the probe has run";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST(ShellEndToEnd, ArgumentsAndKeysChangeNothing)
{
    DeleteConfigKey();
    ScratchFolder folder(L"keys");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(folder.AddLauncher(), folder.Path().c_str(), L"/play --fullscreen Main.exe"));
    HWND window = launcher.WaitForWindow();
    ASSERT_TRUE(window);

    GUITHREADINFO gui = {};
    gui.cbSize = sizeof(gui);
    DWORD thread = GetWindowThreadProcessId(window, NULL);
    ASSERT_TRUE(GetGUIThreadInfo(thread, &gui));
    EXPECT_FALSE(gui.hwndFocus && IsChild(window, gui.hwndFocus)) << "no control has the focus at start";

    const WPARAM keys[] = { VK_TAB, VK_RETURN, VK_ESCAPE, VK_SPACE };
    for (WPARAM key : keys) {
        PostMessageA(window, WM_KEYDOWN, key, 1);
        PostMessageA(window, WM_CHAR, key == VK_TAB ? '\t' : key == VK_RETURN ? '\r' : key == VK_ESCAPE ? 27 : ' ', 1);
        PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
    PumpMessages(500);
    EXPECT_FALSE(launcher.HasExited()) << "neither Enter nor Escape closes the launcher or starts the game";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(ConfigKeyExists()) << "nothing saved before closing";
    GetGUIThreadInfo(thread, &gui);
    EXPECT_FALSE(gui.hwndFocus && IsChild(window, gui.hwndFocus)) << "Tab moves the focus to no control";
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST(ShellEndToEnd, TwoLaunchersEachShowTheirOwnWindow)
{
    ScratchFolder folder(L"twice");
    std::wstring exe = folder.AddLauncher();
    LauncherProcess first, second;
    ASSERT_TRUE(first.Start(exe, folder.Path().c_str()));
    ASSERT_TRUE(first.WaitForWindow());
    ASSERT_TRUE(second.Start(exe, folder.Path().c_str()));
    ASSERT_TRUE(second.WaitForWindow());
    EXPECT_NE(first.Window(), second.Window());
    first.Close();
    second.Close();
    EXPECT_EQ(first.WaitForExit(), 0u);
    EXPECT_EQ(second.WaitForExit(), 0u);
}

// The icon group as stored in the executable: six square 32-bpp images, each a PNG.
TEST(ShellEndToEnd, IconGroupHoldsSixPngImages)
{
    HMODULE module = LoadLibraryExW(TestBinary(L"VelkoraLauncher.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(101), (LPCSTR)RT_GROUP_ICON);
    ASSERT_TRUE(group);
    const BYTE* data = (const BYTE*)LockResource(LoadResource(module, group));
    ASSERT_TRUE(data);
    WORD count = *(const WORD*)(data + 4);
    ASSERT_EQ(count, 6);
    const int sizes[] = { 256, 128, 64, 48, 32, 16 };
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = data + 6 + 14 * i;  // GRPICONDIRENTRY
        int side = entry[0] ? entry[0] : 256;
        EXPECT_EQ(side, sizes[i]);
        EXPECT_EQ(entry[1] ? entry[1] : 256, side) << "square";
        EXPECT_EQ(*(const WORD*)(entry + 6), 32) << "32 bits per pixel";
        WORD imageId = *(const WORD*)(entry + 12);
        HRSRC image = FindResourceA(module, MAKEINTRESOURCEA(imageId), (LPCSTR)RT_ICON);
        ASSERT_TRUE(image);
        const BYTE* bytes = (const BYTE*)LockResource(LoadResource(module, image));
        EXPECT_EQ(memcmp(bytes, "\x89PNG\r\n\x1a\n", 8), 0) << "image " << side << " stored as PNG";
    }
    FreeLibrary(module);
}

// Class information cannot be read across processes under Wine, so the class is
// registered here with the launcher executable's own resources.
TEST(ShellEndToEnd, ClassTakesIconGroup101FromTheExecutable)
{
    HMODULE module = LoadLibraryExW(TestBinary(L"VelkoraLauncher.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module);
    ASSERT_TRUE(RegisterLauncherClass((HINSTANCE)module));
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA((HINSTANCE)module, "VelkoraLauncher", &windowClass));
    EXPECT_TRUE(windowClass.hIcon);
    EXPECT_NE(windowClass.hIcon, LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
    UnregisterClassA("VelkoraLauncher", (HINSTANCE)module);
    FreeLibrary(module);
}

// Cutting "C:\VelkoraLauncher.exe" at its last backslash leaves "C:", which names the
// drive's current folder rather than its root; the launcher keeps the backslash.
TEST(ShellEndToEnd, LauncherInADriveRootFindsTheFilesBesideIt)
{
    wchar_t windowsFolder[MAX_PATH];
    GetWindowsDirectoryW(windowsFolder, MAX_PATH);
    std::wstring root = std::wstring(windowsFolder, 3);  // "C:\"
    std::wstring exe = root + L"VelkoraLauncherRootTest.exe";
    std::wstring client = root + L"Main.exe";
    if (GetFileAttributesW(client.c_str()) != INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "a Main.exe already lies in " << Narrow(root);
    ASSERT_TRUE(CopyFileW(TestBinary(L"VelkoraLauncher.exe").c_str(), exe.c_str(), FALSE));
    HANDLE file = CreateFileW(client.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    WriteFile(file, kClientWithMarker, sizeof(kClientWithMarker) - 1, &written, NULL);
    CloseHandle(file);

    // Started from a folder on the same drive that holds no client.
    ScratchFolder start(L"root-start");
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, start.Path().c_str()));
    HWND window = launcher.WaitForWindow();
    EXPECT_TRUE(window);
    if (window) {
        EXPECT_TRUE(FullScreenEnabled(window)) << "the client in the drive's root was probed";
        launcher.Close();
        EXPECT_EQ(launcher.WaitForExit(), 0u);
    }
    DeleteFileW(client.c_str());
    DeleteFileW(exe.c_str());
}
