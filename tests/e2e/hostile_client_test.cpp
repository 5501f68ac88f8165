// The real launcher beside a "Main.exe" that is not what it should be: a folder, an
// empty file, a file locked against reading, a huge sparse file, a client that exits
// at once and one that crashes. The probe's verdict shows on the "Full screen" box;
// PLAY either starts the file (and the launcher exits with 0) or warns and stays.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/hostile_support.h"
#include "support/test_support.h"

namespace {

using namespace hostile;

enum class PlayOutcome { Warning, Started };

const char kNeedsUpdate[] = "Full screen (needs client update)";

struct Expected {
    bool fullScreenOffered;
    PlayOutcome play;
};

// The launcher in `folder`: starts it, checks the "Full screen" box, presses PLAY and
// checks the outcome. The stand-in clients write their starts to a file of the run.
class ClientRun {
public:
    explicit ClientRun(const ScratchFolder& folder)
        : folder_(folder), records_(L"starts"), record_(records_.File(L"starts.txt")),
          recordVariable_(L"VELKORA_DECOY_RECORD", record_.c_str())
    {
    }

    LauncherProcess& Launcher() { return launcher_; }
    std::vector<ClientStart> Starts() const { return ReadClientStarts(record_); }

    // Starts the launcher and waits until the probe has run and the window answers.
    HWND Start()
    {
        EndCrashesWithoutDialog();
        DeleteConfigKey();
        std::wstring exe = folder_.AddLauncher();
        if (!launcher_.Start(exe, folder_.Path().c_str()))
            return NULL;
        HWND window = launcher_.WaitForWindow(60000);
        if (window)
            PumpUntil([&] { return IsResponsive(window, 1000); }, 60000);
        return window;
    }

    void CheckBox(HWND window, bool offered)
    {
        FullScreenBox box = ReadFullScreenBox(window);
        ASSERT_TRUE(box.exists);
        EXPECT_EQ(box.enabled, offered);
        EXPECT_EQ(box.caption, offered ? "Full screen" : kNeedsUpdate);
    }

    void PlayAndCheck(HWND window, PlayOutcome outcome)
    {
        PressPlay(window);
        if (outcome == PlayOutcome::Started) {
            EXPECT_EQ(launcher_.WaitForExit(60000), 0u) << DescribeProcessWindows(launcher_.Id());
            ASSERT_TRUE(PumpUntil([&] { return !Starts().empty(); }, 30000)) << "the client never ran";
            std::vector<ClientStart> starts = Starts();
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_TRUE(SamePath(starts[0].program, folder_.File(L"Main.exe")));
            EXPECT_TRUE(SamePath(starts[0].folder, folder_.Path()));
            return;
        }
        std::vector<std::string> shellBoxes;
        HWND warning = WaitForLauncherWarning(launcher_.Id(), 60000, &shellBoxes);
        ASSERT_NE(warning, (HWND)NULL) << DescribeProcessWindows(launcher_.Id());
        EXPECT_EQ(GetWindow(warning, GW_OWNER), window);
        for (const std::string& caption : shellBoxes)
            printf("before the warning, the process showed a box \"%s\"\n", caption.c_str());
        PressOk(warning);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(warning); }, 10000));
        EXPECT_TRUE(IsResponsive(window));
        EXPECT_FALSE(launcher_.HasExited());
        EXPECT_TRUE(Starts().empty()) << "a warning, yet something ran";
        launcher_.Close();
        EXPECT_EQ(launcher_.WaitForExit(30000), 0u);
    }

    void Run(const Expected& expected)
    {
        HWND window = Start();
        ASSERT_NE(window, (HWND)NULL) << "no launcher window";
        ASSERT_TRUE(IsResponsive(window)) << "the launcher does not answer after the probe";
        CheckBox(window, expected.fullScreenOffered);
        PlayAndCheck(window, expected.play);
    }

private:
    const ScratchFolder& folder_;
    ScratchFolder records_;
    std::wstring record_;
    ScopedEnvironment recordVariable_;
    LauncherProcess launcher_;
};

TEST(HostileClientFile, MainExeIsAFolder)
{
    ScratchFolder folder(L"client-folder");
    ASSERT_TRUE(CreateDirectoryW(folder.File(L"Main.exe").c_str(), NULL));
    // A program inside the folder must not be mistaken for the client either.
    CopyFileW(TestBinary(L"decoy_client.exe").c_str(), folder.File(L"Main.exe\\Main.exe").c_str(), FALSE);
    ClientRun run(folder);
    run.Run({ false, PlayOutcome::Warning });
}

TEST(HostileClientFile, ZeroByteFile)
{
    ScratchFolder folder(L"client-empty");
    folder.Write(L"Main.exe", "");
    ClientRun run(folder);
    run.Run({ false, PlayOutcome::Warning });
}

TEST(HostileClientFile, MarkerTextButNoProgram)
{
    ScratchFolder folder(L"client-text");
    folder.Write(L"Main.exe", "This is no program. Change display setting\r\n");
    ClientRun run(folder);
    run.Run({ true, PlayOutcome::Warning });
}

TEST(HostileClientFile, LockedWithoutReadSharing)
{
    ScratchFolder folder(L"client-locked");
    ASSERT_TRUE(CopyFileW(TestBinary(L"crash_client.exe").c_str(), folder.File(L"Main.exe").c_str(), FALSE));
    // Held by this process with no sharing at all: neither the probe nor the start
    // can open it while the lock lasts.
    HANDLE lock = CreateFileW(folder.File(L"Main.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    {
        ClientRun run(folder);
        run.Run({ false, PlayOutcome::Warning });
    }
    CloseHandle(lock);
}

TEST(HostileClientFile, ClientThatExitsAtOnce)
{
    ScratchFolder folder(L"client-quick");
    ASSERT_TRUE(CopyFileW(TestBinary(L"decoy_client.exe").c_str(), folder.File(L"Main.exe").c_str(), FALSE));
    ClientRun run(folder);
    run.Run({ false, PlayOutcome::Started });
}

TEST(HostileClientFile, ClientThatCrashes)
{
    ScratchFolder folder(L"client-crash");
    ASSERT_TRUE(CopyFileW(TestBinary(L"crash_client.exe").c_str(), folder.File(L"Main.exe").c_str(), FALSE));
    std::wstring eventName = L"VelkoraCrashGo-" + std::to_wstring(GetCurrentProcessId());
    HANDLE go = CreateEventW(NULL, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(go, (HANDLE)NULL);
    ScopedEnvironment eventVariable(L"VELKORA_CRASH_EVENT", eventName.c_str());
    ClientRun run(folder);
    // The client carries the marker; the launcher is gone before the client crashes.
    run.Run({ true, PlayOutcome::Started });
    std::vector<ClientStart> starts = run.Starts();
    ASSERT_EQ(starts.size(), 1u);
    HANDLE client = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, starts[0].processId);
    SetEvent(go);
    if (client) {
        EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(client, 0) == WAIT_OBJECT_0; }, 30000));
        DWORD code = 0;
        GetExitCodeProcess(client, &code);
        // Under user-mode emulation every hardware fault reaches Wine as an illegal
        // instruction.
        DWORD expected = getenv("VELKORA_I686_EMULATED") ? (DWORD)EXCEPTION_ILLEGAL_INSTRUCTION
                                                          : (DWORD)EXCEPTION_ACCESS_VIOLATION;
        EXPECT_EQ(code, expected) << "the stand-in client did not crash as meant";
        CloseHandle(client);
    } else {
        ADD_FAILURE() << "the crashing client was gone before it was told to crash";
    }
    CloseHandle(go);
}

// A file far larger than any client, without the marker: the probe reads it all in
// fixed-size chunks. 2 GiB, made sparse by setting its end, so it costs no disk.
TEST(HostileClientFile, HugeSparseFileKeepsMemoryFlat)
{
    const LONGLONG kHuge = 2LL << 30;
    SIZE_T baselinePeak = 0;
    {
        ScratchFolder folder(L"client-tiny");
        folder.Write(L"Main.exe", std::string("MZ") + std::string(62, '\0'));
        ClientRun run(folder);
        HWND window = run.Start();
        ASSERT_NE(window, (HWND)NULL);
        baselinePeak = PeakWorkingSet(run.Launcher().Handle());
        ASSERT_GT(baselinePeak, 0u) << "GetProcessMemoryInfo gives nothing here";
        run.Launcher().Close();
        EXPECT_EQ(run.Launcher().WaitForExit(30000), 0u);
    }

    ScratchFolder folder(L"client-sparse");
    HANDLE file = CreateFileW(folder.File(L"Main.exe").c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &returned, NULL);
    LARGE_INTEGER end;
    end.QuadPart = kHuge;
    ASSERT_TRUE(SetFilePointerEx(file, end, NULL, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file));
    CloseHandle(file);
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ASSERT_TRUE(GetFileAttributesExW(folder.File(L"Main.exe").c_str(), GetFileExInfoStandard, &attributes));
    ASSERT_EQ(((ULONGLONG)attributes.nFileSizeHigh << 32) | attributes.nFileSizeLow, (ULONGLONG)kHuge);

    ClientRun run(folder);
    HWND window = run.Start();
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(IsResponsive(window)) << "the probe of 2 GiB never finished";
    SIZE_T peak = PeakWorkingSet(run.Launcher().Handle());
    printf("peak working set: %u KiB beside a 64-byte Main.exe, %u KiB beside a 2 GiB one\n",
           (unsigned)(baselinePeak / 1024), (unsigned)(peak / 1024));
    // Reading the file whole, or mapping it, would add up to 2 GiB; the scan's one
    // buffer is 64 KiB. The margin covers what Wine itself allocates on the way.
    EXPECT_LT(peak, baselinePeak + 16 * 1024 * 1024) << "baseline " << baselinePeak << ", with 2 GiB file " << peak;
    // Painted: the flat fill (no picture here) where no control lies.
    EXPECT_TRUE(PumpUntil([&] { return ClientPixel(window, 700, 150) == kFallbackFill; }, 10000));
    run.CheckBox(window, false);
    run.PlayAndCheck(window, PlayOutcome::Warning);
}

}  // namespace
