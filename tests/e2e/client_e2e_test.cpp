// The real launcher in a scratch folder with the stand-in client: what PLAY starts,
// the warning when it cannot, and the site link, all seen from outside the process.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "shell/launcher_state.h"
#include "support/client_support.h"
#include "support/test_support.h"

namespace {

const char* const kWarningText = "Main.exe not found.\n\nPut the launcher in the same folder as the game.";

// Panel values and the five numbers they must be stored as.
struct Panel {
    int resolutionRow;
    bool fullScreen;
    bool sound;
    bool music;
    int volume;
    DWORD stored[5];
};

const Panel kPanelA = { 7, true, false, true, 8, { 11, 0, 0, 1, 8 } };
const Panel kPanelB = { 4, false, true, false, 3, { 5, 1, 1, 0, 3 } };

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, Scaled(10000), &result);
    return (LRESULT)result;
}

void SetPanel(HWND window, const Panel& panel)
{
    SendTo(GetDlgItem(window, ID_RESOLUTION), CB_SETCURSEL, panel.resolutionRow, 0);
    SendTo(GetDlgItem(window, ID_FULLSCREEN), BM_SETCHECK, panel.fullScreen ? BST_CHECKED : BST_UNCHECKED, 0);
    SendTo(GetDlgItem(window, ID_SOUND), BM_SETCHECK, panel.sound ? BST_CHECKED : BST_UNCHECKED, 0);
    SendTo(GetDlgItem(window, ID_MUSIC), BM_SETCHECK, panel.music ? BST_CHECKED : BST_UNCHECKED, 0);
    SendTo(GetDlgItem(window, ID_VOLUME), TBM_SETPOS, TRUE, panel.volume);
}

void ExpectStored(const Panel& panel)
{
    for (int i = 0; i < 5; ++i) {
        DWORD value = 99;
        EXPECT_TRUE(GetConfigDword(kConfigValueNames[i], &value)) << kConfigValueNames[i];
        EXPECT_EQ(value, panel.stored[i]) << kConfigValueNames[i];
    }
}

// Posted: when the launch fails, the launcher sits in a modal box inside the command.
void PostCommand(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(window, id));
}

void ExpectFullScreenBox(HWND window, bool enabled)
{
    HWND box = GetDlgItem(window, ID_FULLSCREEN);
    ASSERT_NE(box, (HWND)NULL);
    EXPECT_EQ(IsWindowEnabled(box) != FALSE, enabled);
    EXPECT_EQ(Narrow(WindowTextOf(box)), enabled ? "Full screen" : "Full screen (needs client update)");
}

// Waits for the launcher's warning box. Any error box of the shell's comes first; it
// is checked (no owner, the warning not yet there) and dismissed, and counted.
HWND WaitForWarning(DWORD processId, int* shellErrors)
{
    HWND warning = NULL;
    PumpUntil([&] {
        HWND error = FindProcessWindow(processId, "#32770", "Error");
        if (error && IsWindowVisible(error)) {
            ++*shellErrors;
            EXPECT_EQ(GetWindow(error, GW_OWNER), (HWND)NULL) << "the shell's box names no owner";
            EXPECT_EQ(FindProcessWindow(processId, "#32770", "Velkora"), (HWND)NULL)
                << "the warning comes after the shell's own box";
            PressButton(error, IDOK);
            PumpUntil([&] { return !IsWindow(error); }, 10000);
            return false;
        }
        warning = FindProcessWindow(processId, "#32770", "Velkora");
        return warning != NULL && IsWindowVisible(warning);
    }, 20000);
    return warning;
}

void ExpectWarningBox(HWND warning, HWND launcherWindow)
{
    MessageBoxContents box = ReadMessageBox(warning);
    EXPECT_EQ(Narrow(box.text), kWarningText);
    EXPECT_EQ(box.owner, launcherWindow);
    EXPECT_TRUE(box.hasIcon);
    ASSERT_EQ(box.buttons.size(), 1u);
    EXPECT_EQ(Narrow(box.buttons[0]), "1:OK");
    EXPECT_FALSE(IsWindowEnabled(launcherWindow)) << "the box is modal";
}

void DismissWarning(HWND warning, HWND launcherWindow)
{
    PressButton(warning, IDOK);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(warning) && IsWindowEnabled(launcherWindow); }, 10000));
}

class ClientE2E : public ::testing::Test {
protected:
    void SetUp() override { DeleteConfigKey(); }
    void TearDown() override { DeleteConfigKey(); }

    HWND Start(LauncherProcess& launcher, const std::wstring& exe, const wchar_t* workingDirectory = NULL)
    {
        if (!launcher.Start(exe, workingDirectory))
            return NULL;
        return launcher.WaitForWindow();
    }
    std::vector<StubRecord> Runs() const { return ReadStubRecords(recordFile_); }
    // The client's record, once one start has written it; then a moment for any
    // second start to show up.
    std::vector<StubRecord> WaitForRuns()
    {
        PumpUntil([&] { return !Runs().empty(); }, 20000);
        PumpMessages(300);
        return Runs();
    }
    void ExpectStartedClient(const StubRecord& run, const std::wstring& folder)
    {
        const std::wstring client = folder + L"\\Main.exe";
        EXPECT_TRUE(SamePath(run.module, client)) << Narrow(run.module);
        EXPECT_TRUE(SamePath(run.directory, folder)) << Narrow(run.directory);
        std::vector<std::wstring> arguments = SplitCommandLine(run.commandLine);
        ASSERT_EQ(arguments.size(), 1u) << "no arguments: " << Narrow(run.commandLine);
        EXPECT_TRUE(SamePath(arguments[0], client)) << Narrow(arguments[0]);
        EXPECT_EQ(run.show, "1");
    }

    ScratchFolder records_{ L"records" };
    std::wstring recordFile_ = records_.File(L"stub.txt");
    ScopedEnvironment recordTo_{ L"VELKORA_STUB_RECORD", recordFile_ };
};

}  // namespace

TEST_F(ClientE2E, PlayStoresThePanelThenStartsTheClientAndExits)
{
    // Stored values that the panel then changes: the client must see the panel's.
    for (int i = 0; i < 5; ++i)
        SetConfigDword(kConfigValueNames[i], kPanelB.stored[i]);
    ScratchFolder game(L"game");
    game.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
    LauncherProcess launcher;
    HWND window = Start(launcher, game.AddLauncher());
    ASSERT_NE(window, (HWND)NULL) << "launcher window never appeared";
    ExpectFullScreenBox(window, true);
    SetPanel(window, kPanelA);

    // Through the button itself, as a click would.
    PostMessageA(GetDlgItem(window, ID_PLAY), BM_CLICK, 0, 0);

    EXPECT_EQ(launcher.WaitForExit(20000), 0u) << DescribeProcessWindows(launcher.Id());
    std::vector<StubRecord> runs = WaitForRuns();
    ASSERT_EQ(runs.size(), 1u) << "the client runs exactly once";
    ExpectStartedClient(runs[0], game.Path());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(runs[0].values[i], std::to_string(kPanelA.stored[i])) << kConfigValueNames[i];
    ExpectStored(kPanelA);
}

TEST_F(ClientE2E, MissingClientWarnsAndEachPlaySavesAndTriesAgain)
{
    ScratchFolder game(L"game");
    LauncherProcess launcher;
    HWND window = Start(launcher, game.AddLauncher());
    ASSERT_NE(window, (HWND)NULL);
    ExpectFullScreenBox(window, false);

    const Panel* attempts[] = { &kPanelA, &kPanelB };
    for (const Panel* panel : attempts) {
        SCOPED_TRACE(panel == &kPanelA ? "first PLAY" : "second PLAY");
        SetPanel(window, *panel);
        PostCommand(window, ID_PLAY);
        int shellErrors = 0;
        HWND warning = WaitForWarning(launcher.Id(), &shellErrors);
        ASSERT_NE(warning, (HWND)NULL) << DescribeProcessWindows(launcher.Id());
        // The launch request leaves the shell's own error reporting on.
        EXPECT_EQ(shellErrors, 1);
        ExpectWarningBox(warning, window);
        ExpectStored(*panel);
        DismissWarning(warning, window);
        EXPECT_FALSE(launcher.HasExited(300)) << "the launcher stays open";
        EXPECT_TRUE(IsWindowVisible(window));
        ExpectFullScreenBox(window, false);
    }
    EXPECT_TRUE(Runs().empty());

    // Once the client is in place, the next PLAY starts it.
    game.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
    SetPanel(window, kPanelA);
    PostCommand(window, ID_PLAY);
    EXPECT_EQ(launcher.WaitForExit(20000), 0u) << DescribeProcessWindows(launcher.Id());
    std::vector<StubRecord> runs = WaitForRuns();
    ASSERT_EQ(runs.size(), 1u);
    ExpectStartedClient(runs[0], game.Path());
}

// Another program named Main.exe, reachable by the shell's usual search for a bare
// name, must never be started in place of the missing client.
TEST_F(ClientE2E, OnlyTheClientBesideTheLauncherIsStartedTable)
{
    enum class Decoy { OnPath, InAppPaths, InWorkingDirectory, ClientIsAFolder };
    const struct {
        const char* name;
        Decoy decoy;
    } cases[] = {
        { "a copy on the PATH", Decoy::OnPath },
        { "a copy registered in App Paths", Decoy::InAppPaths },
        { "a copy in the working directory it was started from", Decoy::InWorkingDirectory },
        { "Main.exe is a folder", Decoy::ClientIsAFolder },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteConfigKey();
        ScratchFolder game(L"game");
        ScratchFolder elsewhere(L"elsewhere");
        elsewhere.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
        const std::wstring decoy = elsewhere.File(L"Main.exe");
        std::unique_ptr<ScopedEnvironment> path, winePath;
        std::unique_ptr<ScopedMachineRegistryValue> appPath;
        const wchar_t* workingDirectory = NULL;
        switch (c.decoy) {
        case Decoy::OnPath: {
            wchar_t oldPath[32768] = L"";
            GetEnvironmentVariableW(L"PATH", oldPath, ARRAYSIZE(oldPath));
            path.reset(new ScopedEnvironment(L"PATH", elsewhere.Path() + L";" + oldPath));
            winePath.reset(new ScopedEnvironment(L"WINEPATH", elsewhere.Path()));
            wchar_t found[MAX_PATH] = L"";
            ASSERT_GT(SearchPathW(NULL, L"Main.exe", NULL, MAX_PATH, found, NULL), 0u);
            ASSERT_TRUE(SamePath(found, decoy)) << "the PATH does not lead to the copy";
            break;
        }
        case Decoy::InAppPaths:
            appPath.reset(new ScopedMachineRegistryValue(
                L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Main.exe", decoy));
            ASSERT_TRUE(appPath->Ok());
            break;
        case Decoy::InWorkingDirectory:
            workingDirectory = elsewhere.Path().c_str();
            break;
        case Decoy::ClientIsAFolder:
            ASSERT_TRUE(CreateDirectoryW(game.File(L"Main.exe").c_str(), NULL));
            game.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe\\Main.exe");
            break;
        }

        LauncherProcess launcher;
        HWND window = Start(launcher, game.AddLauncher(), workingDirectory);
        ASSERT_NE(window, (HWND)NULL);
        // The probe looked beside the launcher, where there is no client file.
        ExpectFullScreenBox(window, false);
        SetPanel(window, kPanelB);
        PostCommand(window, ID_PLAY);
        int shellErrors = 0;
        HWND warning = WaitForWarning(launcher.Id(), &shellErrors);
        ASSERT_NE(warning, (HWND)NULL) << DescribeProcessWindows(launcher.Id());
        ExpectWarningBox(warning, window);
        ExpectStored(kPanelB);
        DismissWarning(warning, window);
        PumpMessages(300);
        EXPECT_TRUE(Runs().empty()) << "started: " << Narrow(Runs().empty() ? L"" : Runs()[0].module);
        EXPECT_FALSE(launcher.HasExited(0));
        launcher.Close();
        EXPECT_EQ(launcher.WaitForExit(), 0u);
    }
}

TEST_F(ClientE2E, ClientBesideTheLauncherIsProbedAndStartedTable)
{
    const struct {
        const char* name;
        const wchar_t* subfolder;
        bool startedElsewhere;
    } cases[] = {
        { "folder outside the ANSI code page", L"\u0418\u0433\u0440\u044b", false },
        { "folder with blanks", L"Velkora Game Client", false },
        { "started from another working directory", L"game", true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteConfigKey();
        DeleteFileW(recordFile_.c_str());
        ScratchFolder scratch(L"game");
        const std::wstring folder = scratch.File(c.subfolder);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), NULL));
        ASSERT_TRUE(CopyFileW(TestBinary(L"stub_client.exe").c_str(), (folder + L"\\Main.exe").c_str(), FALSE));
        const std::wstring exe = folder + L"\\VelkoraLauncher.exe";
        ASSERT_TRUE(CopyFileW(TestBinary(L"VelkoraLauncher.exe").c_str(), exe.c_str(), FALSE));

        // The other working directory holds a Main.exe without the marker, which
        // records any start of its own.
        ScratchFolder elsewhere(L"elsewhere");
        elsewhere.CopyIn(TestBinary(L"url_recorder.exe"), L"Main.exe");
        ScopedEnvironment decoyRecord(L"VELKORA_URL_RECORD", records_.File(L"decoy.txt"));

        LauncherProcess launcher;
        HWND window = Start(launcher, exe, c.startedElsewhere ? elsewhere.Path().c_str() : NULL);
        ASSERT_NE(window, (HWND)NULL);
        ExpectFullScreenBox(window, true);
        SetPanel(window, kPanelA);
        PostCommand(window, ID_PLAY);
        EXPECT_EQ(launcher.WaitForExit(20000), 0u) << DescribeProcessWindows(launcher.Id());
        std::vector<StubRecord> runs = WaitForRuns();
        ASSERT_EQ(runs.size(), 1u);
        ExpectStartedClient(runs[0], folder);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(runs[0].values[i], std::to_string(kPanelA.stored[i])) << kConfigValueNames[i];
        EXPECT_EQ(GetFileAttributesW(records_.File(L"decoy.txt").c_str()), INVALID_FILE_ATTRIBUTES)
            << "the working directory's Main.exe was started";
    }
}

namespace {

class SiteLinkE2E : public ::testing::Test {
protected:
    void SetUp() override { DeleteConfigKey(); }
    void TearDown() override { DeleteConfigKey(); }

    ScratchFolder records_{ L"records" };
    std::wstring urlFile_ = records_.File(L"urls.txt");
    std::wstring stubFile_ = records_.File(L"stub.txt");
    ScopedEnvironment urlRecordTo_{ L"VELKORA_URL_RECORD", urlFile_ };
    ScopedEnvironment stubRecordTo_{ L"VELKORA_STUB_RECORD", stubFile_ };
};

}  // namespace

TEST_F(SiteLinkE2E, EachPressSendsExactlyTheSiteUrlAndTheLauncherStays)
{
    UrlHandlerRegistration handler(UrlHandlerRegistration::CommandFor(TestBinary(L"url_recorder.exe")));
    ASSERT_TRUE(handler.Ok());
    ScratchFolder game(L"game");
    game.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
    LauncherProcess launcher;
    HWND window = launcher.Start(game.AddLauncher()) ? launcher.WaitForWindow() : NULL;
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_FALSE(ConfigKeyExists());

    for (size_t press = 1; press <= 2; ++press) {
        SCOPED_TRACE(press);
        if (press == 1)
            PostCommand(window, ID_SITE_LINK);
        else
            PostMessageA(GetDlgItem(window, ID_SITE_LINK), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return ReadUtf8Lines(urlFile_).size() >= press; }, 20000))
            << "the browser was not asked; windows: " << DescribeProcessWindows(launcher.Id());
        PumpMessages(300);
        std::vector<std::wstring> urls = ReadUtf8Lines(urlFile_);
        ASSERT_EQ(urls.size(), press);
        for (const std::wstring& url : urls)
            EXPECT_EQ(Narrow(url), VELKORA_SITE_URL_FOR_TESTS);
        EXPECT_FALSE(launcher.HasExited(0));
        EXPECT_TRUE(IsWindowVisible(window));
        EXPECT_EQ(FindProcessWindow(launcher.Id(), "#32770", NULL), (HWND)NULL) << "no box is shown";
        EXPECT_FALSE(ConfigKeyExists()) << "opening the site saves nothing";
    }
    EXPECT_TRUE(ReadStubRecords(stubFile_).empty()) << "the game was not started";
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}

TEST_F(SiteLinkE2E, BrowserThatCannotStartLeavesTheLauncherAsItWas)
{
    ScratchFolder nowhere(L"nowhere");
    UrlHandlerRegistration handler(UrlHandlerRegistration::CommandFor(nowhere.File(L"no-such-browser.exe")));
    ASSERT_TRUE(handler.Ok());
    ScratchFolder game(L"game");
    LauncherProcess launcher;
    HWND window = launcher.Start(game.AddLauncher()) ? launcher.WaitForWindow() : NULL;
    ASSERT_NE(window, (HWND)NULL);

    // Sent, so it returns once the command has been handled; a modal box would
    // keep it from returning.
    DWORD_PTR result = 0;
    LRESULT answered = SendMessageTimeoutA(window, WM_COMMAND, MAKEWPARAM(ID_SITE_LINK, BN_CLICKED),
                                           (LPARAM)GetDlgItem(window, ID_SITE_LINK), SMTO_NORMAL, Scaled(20000),
                                           &result);
    EXPECT_NE(answered, 0) << "the command did not return; windows: " << DescribeProcessWindows(launcher.Id());
    EXPECT_EQ(FindProcessWindow(launcher.Id(), "#32770", "Velkora"), (HWND)NULL);
    EXPECT_FALSE(launcher.HasExited(0));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(ConfigKeyExists());
    EXPECT_TRUE(ReadUtf8Lines(urlFile_).empty());
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
}
