// LaunchGame and OpenSiteLink called in this process on the real window: what the
// started program saw, and what is left in this thread's queue afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "client/game_launch.h"
#include "shell/launcher_state.h"
#include "support/client_support.h"
#include "support/test_support.h"

namespace {

// Takes a quit message from this thread's queue; PumpMessages would drop it.
bool TakeQuitMessage(WPARAM* exitCode)
{
    MSG message;
    if (!PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        return false;
    *exitCode = message.wParam;
    return true;
}

}  // namespace

TEST(LaunchInProcess, StartsTheClientOfTheCurrentFolderTable)
{
    const struct {
        const char* name;
        const wchar_t* subfolder;
    } cases[] = {
        { "plain folder", L"game" },
        { "folder with blanks", L"Velkora Game Client" },
        { "folder with an ampersand and quote", L"Tom & Jerry's game" },
        { "folder outside the ANSI code page", L"\u0418\u0433\u0440\u044b" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteConfigKey();
        ScratchFolder records(L"records");
        ScopedEnvironment recordTo(L"VELKORA_STUB_RECORD", records.File(L"stub.txt"));
        ScratchFolder scratch(L"launch");
        const std::wstring folder = scratch.File(c.subfolder);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL));
        const std::wstring client = folder + L"\\Main.exe";
        ASSERT_TRUE(CopyFileW(TestBinary(L"stub_client.exe").c_str(), client.c_str(), FALSE));
        {
            ScopedCurrentDirectory here(folder);
            ASSERT_TRUE(here.Moved());
            InProcessLauncher launcher;
            // Panel values that differ from every default: only a save puts them in
            // the registry.
            SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, 7, 0);
            SendMessageA(gLauncher.fullScreenCheck, BM_SETCHECK, BST_CHECKED, 0);
            SendMessageA(gLauncher.soundCheck, BM_SETCHECK, BST_UNCHECKED, 0);
            SendMessageA(gLauncher.musicCheck, BM_SETCHECK, BST_CHECKED, 0);
            SendMessageA(gLauncher.volumeTrackbar, TBM_SETPOS, TRUE, 8);
            WPARAM exitCode = 99;
            ASSERT_FALSE(TakeQuitMessage(&exitCode));

            LaunchGame(launcher.Window());

            EXPECT_TRUE(TakeQuitMessage(&exitCode)) << "a successful start ends the message loop";
            EXPECT_EQ(exitCode, 0u);
            EXPECT_TRUE(IsWindow(launcher.Window())) << "the window is left to the end of the loop";
            const char* names[] = { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" };
            const DWORD stored[] = { 11, 0, 0, 1, 8 };
            for (int i = 0; i < 5; ++i) {
                DWORD value = 99;
                EXPECT_TRUE(GetConfigDword(names[i], &value)) << names[i];
                EXPECT_EQ(value, stored[i]) << names[i];
            }
        }
        ASSERT_TRUE(PumpUntil([&] { return !ReadStubRecords(records.File(L"stub.txt")).empty(); }, 20000))
            << "the client never started";
        PumpMessages(300);
        std::vector<StubRecord> runs = ReadStubRecords(records.File(L"stub.txt"));
        ASSERT_EQ(runs.size(), 1u);
        EXPECT_TRUE(SamePath(runs[0].module, client)) << Narrow(runs[0].module);
        EXPECT_TRUE(SamePath(runs[0].directory, folder)) << Narrow(runs[0].directory);
        std::vector<std::wstring> arguments = SplitCommandLine(runs[0].commandLine);
        ASSERT_EQ(arguments.size(), 1u) << "no arguments: " << Narrow(runs[0].commandLine);
        EXPECT_TRUE(SamePath(arguments[0], client));
        EXPECT_EQ(runs[0].show, "1") << "a normal window";
        const char* seen[] = { "11", "0", "0", "1", "8" };
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(runs[0].values[i], seen[i]) << kConfigValueNames[i] << ": stored before the start";
    }
    DeleteConfigKey();
}

TEST(SiteLinkInProcess, EachPressOpensTheSiteAndNothingElse)
{
    DeleteConfigKey();
    ScratchFolder records(L"records");
    ScopedEnvironment recordTo(L"VELKORA_URL_RECORD", records.File(L"urls.txt"));
    UrlHandlerRegistration handler(UrlHandlerRegistration::CommandFor(TestBinary(L"url_recorder.exe")));
    ASSERT_TRUE(handler.Ok());
    InProcessLauncher launcher;

    for (size_t press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        OpenSiteLink(launcher.Window());
        WPARAM exitCode = 0;
        EXPECT_FALSE(TakeQuitMessage(&exitCode)) << "the launcher stays open";
        ASSERT_TRUE(PumpUntil([&] { return ReadUtf8Lines(records.File(L"urls.txt")).size() >= press; }, 20000))
            << "the browser was not asked";
        PumpMessages(200);
        std::vector<std::wstring> urls = ReadUtf8Lines(records.File(L"urls.txt"));
        ASSERT_EQ(urls.size(), press);
        EXPECT_EQ(Narrow(urls.back()), VELKORA_SITE_URL_FOR_TESTS);
        EXPECT_TRUE(IsWindow(launcher.Window()));
        EXPECT_FALSE(ConfigKeyExists()) << "opening the site saves nothing";
    }
}
