// The two stand-ins the other tests read their results from: the client's record
// and the browser's URL list must report faithfully, or those tests prove nothing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/client_support.h"
#include "support/test_support.h"

namespace {

// Runs a program to its end with the given current directory; its exit code, or
// STILL_ACTIVE when it did not end in time.
DWORD RunToEnd(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder)
{
    std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
    std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(exe.c_str(), buffer.data(), NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup, &process))
        return STILL_ACTIVE;
    PumpUntil([&] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    if (code == STILL_ACTIVE)
        TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

}  // namespace

TEST(ClientStandIns, StubRecordsItsStartAndTheValuesAsStored)
{
    DeleteConfigKey();
    SetConfigDword("Resolution", 11);
    SetConfigDword("MusicOnOff", 0);
    SetConfigValue("WindowMode", REG_SZ, "0", 2);
    const BYTE shortValue[2] = { 1, 0 };
    SetConfigValue("VolumeLevel", REG_DWORD, shortValue, 2);

    ScratchFolder records(L"records");
    ScopedEnvironment recordTo(L"VELKORA_STUB_RECORD", records.File(L"stub.txt"));
    ScratchFolder game(L"stand-in");
    game.CopyIn(TestBinary(L"stub_client.exe"), L"Main.exe");
    ScratchFolder elsewhere(L"elsewhere");

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        EXPECT_EQ(RunToEnd(game.File(L"Main.exe"), L"-one \"two words\"", elsewhere.Path()), 0u);
        std::vector<StubRecord> runs = ReadStubRecords(records.File(L"stub.txt"));
        ASSERT_EQ(runs.size(), (size_t)run) << "one record appended per start";
        const StubRecord& last = runs.back();
        EXPECT_TRUE(SamePath(last.module, game.File(L"Main.exe"))) << Narrow(last.module);
        EXPECT_TRUE(SamePath(last.directory, elsewhere.Path())) << Narrow(last.directory);
        std::vector<std::wstring> arguments = SplitCommandLine(last.commandLine);
        ASSERT_EQ(arguments.size(), 3u) << Narrow(last.commandLine);
        EXPECT_EQ(arguments[1], L"-one");
        EXPECT_EQ(arguments[2], L"two words");
        EXPECT_EQ(last.show, std::to_string(SW_SHOWMINNOACTIVE));
        const char* expected[] = { "11", "missing", "missing", "0", "missing" };
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(last.values[i], expected[i]) << kConfigValueNames[i];
    }
    DeleteConfigKey();
}

TEST(ClientStandIns, UrlRecorderWritesItsArgumentsOneLineAStart)
{
    ScratchFolder records(L"records");
    ScratchFolder browser(L"browser");
    browser.CopyIn(TestBinary(L"url_recorder.exe"), L"url_recorder.exe");
    const std::wstring exe = browser.File(L"url_recorder.exe");
    {
        ScopedEnvironment recordTo(L"VELKORA_URL_RECORD", records.File(L"urls.txt"));
        EXPECT_EQ(RunToEnd(exe, L"\"https://velkora.example/a b\"", browser.Path()), 0u);
        EXPECT_EQ(RunToEnd(exe, L"first second", browser.Path()), 0u);
    }
    std::vector<std::wstring> lines = ReadUtf8Lines(records.File(L"urls.txt"));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"https://velkora.example/a b");
    EXPECT_EQ(lines[1], L"first\tsecond");

    // Without the variable the list lies beside the program.
    ScopedEnvironment unset(L"VELKORA_URL_RECORD");
    EXPECT_EQ(RunToEnd(exe, L"https://velkora.example/", records.Path()), 0u);
    lines = ReadUtf8Lines(browser.File(L"url_record.txt"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], L"https://velkora.example/");
}
