// Programs named Main.exe planted where a search for a bare "Main.exe" would look:
// the PATH of the launcher (with WINEPATH, which Wine adds to the PATH of a program
// started from a Unix shell), the folder it was started from, the App Paths key. None
// of them may ever run: without a client beside the launcher PLAY warns, and with one
// the launcher starts exactly that one.
#include <gtest/gtest.h>

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/hostile_support.h"
#include "support/test_support.h"

namespace {

using namespace hostile;

const wchar_t kAppPathsKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Main.exe";

// The App Paths entry for Main.exe, removed again at the end (there is none on a
// clean prefix; one left by an earlier run is removed first).
class AppPathsEntry {
public:
    explicit AppPathsEntry(const std::wstring& program, const std::wstring& folder)
    {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPathsKey);
        HKEY key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAppPathsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL) !=
            ERROR_SUCCESS)
            return;
        ok_ = RegSetValueExW(key, NULL, 0, REG_SZ, (const BYTE*)program.c_str(),
                             (DWORD)((program.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        RegSetValueExW(key, L"Path", 0, REG_SZ, (const BYTE*)folder.c_str(),
                       (DWORD)((folder.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    ~AppPathsEntry() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, kAppPathsKey); }
    AppPathsEntry(const AppPathsEntry&) = delete;
    AppPathsEntry& operator=(const AppPathsEntry&) = delete;
    bool Ok() const { return ok_; }

private:
    bool ok_ = false;
};

enum Place : unsigned {
    kPath = 1,
    kStartFolder = 2,
    kAppPaths = 4,
    kEverywhere = 7,
};

struct SearchCase {
    const char* name;
    unsigned places;
    bool clientBesideLauncher;
};

void PrintTo(const SearchCase& searchCase, std::ostream* out)
{
    *out << searchCase.name;
}

// A folder holding a decoy named Main.exe.
std::unique_ptr<ScratchFolder> DecoyFolder(const wchar_t* hint)
{
    std::unique_ptr<ScratchFolder> folder(new ScratchFolder(hint));
    CopyFileW(TestBinary(L"decoy_client.exe").c_str(), folder->File(L"Main.exe").c_str(), FALSE);
    return folder;
}

// What a bare "Main.exe" started through the shell from a folder without one
// finds in this environment: the decoys that the launcher must not take are ones
// a naive search really reaches. Returns the programs that ran.
std::vector<ClientStart> BareNameCanary(const std::wstring& record)
{
    ScratchFolder empty(L"canary");
    SHELLEXECUTEINFOW request = {};
    request.cbSize = sizeof(request);
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = L"Main.exe";
    request.lpDirectory = empty.Path().c_str();
    request.nShow = SW_SHOWNORMAL;
    std::vector<ClientStart> starts;
    if (ShellExecuteExW(&request)) {
        if (request.hProcess) {
            PumpUntil([&] { return WaitForSingleObject(request.hProcess, 0) == WAIT_OBJECT_0; }, 15000);
            CloseHandle(request.hProcess);
        }
        PumpUntil([&] { return !(starts = ReadClientStarts(record)).empty(); }, 5000);
    }
    DeleteFileW(record.c_str());
    return starts;
}

class HostileSearch : public testing::TestWithParam<SearchCase> {};

TEST_P(HostileSearch, NoDecoyEverRuns)
{
    const SearchCase& c = GetParam();
    EndCrashesWithoutDialog();
    DeleteConfigKey();
    ScratchFolder records(L"search-record");
    std::wstring record = records.File(L"starts.txt");
    ScopedEnvironment recordVariable(L"VELKORA_DECOY_RECORD", record.c_str());

    std::unique_ptr<ScratchFolder> onPath, onWinePath, startFolder, appPaths;
    std::unique_ptr<ScopedEnvironment> pathVariable, winePathVariable;
    std::unique_ptr<AppPathsEntry> appPathsEntry;
    if (c.places & kPath) {
        // WINEPATH as such is read only when Wine starts a program from Unix, and then
        // put in front of its PATH; a program started by this one sees just the PATH.
        onPath = DecoyFolder(L"decoy-path");
        onWinePath = DecoyFolder(L"decoy-winepath");
        winePathVariable.reset(new ScopedEnvironment(L"WINEPATH", onWinePath->Path().c_str()));
        std::wstring path = onWinePath->Path() + L";" + onPath->Path() + L";" + GetEnvironment(L"PATH");
        pathVariable.reset(new ScopedEnvironment(L"PATH", path.c_str()));
    }
    if (c.places & kStartFolder)
        startFolder = DecoyFolder(L"decoy-start");
    if (c.places & kAppPaths) {
        appPaths = DecoyFolder(L"decoy-apppaths");
        appPathsEntry.reset(new AppPathsEntry(appPaths->File(L"Main.exe"), appPaths->Path()));
        ASSERT_TRUE(appPathsEntry->Ok()) << "could not write the App Paths entry";
    }

    // Each planted decoy that a bare-name search in this environment reaches.
    std::vector<ClientStart> reached = BareNameCanary(record);
    for (const ClientStart& start : reached)
        printf("a bare \"Main.exe\" here starts %s\n", Narrow(start.program).c_str());
    if (c.places & (kPath | kAppPaths)) {
        EXPECT_FALSE(reached.empty()) << "the planted decoy is not where a bare name is looked up";
    }

    ScratchFolder folder(L"search-launcher");
    std::wstring exe = folder.AddLauncher();
    if (c.clientBesideLauncher) {
        ASSERT_TRUE(CopyFileW(TestBinary(L"decoy_client.exe").c_str(), folder.File(L"Main.exe").c_str(), FALSE));
    }

    LauncherProcess launcher;
    // Started from elsewhere: the decoy's folder, or at least not the launcher's own.
    const wchar_t* startIn = startFolder ? startFolder->Path().c_str() : records.Path().c_str();
    ASSERT_TRUE(launcher.Start(exe, startIn));
    HWND window = launcher.WaitForWindow(30000);
    ASSERT_NE(window, (HWND)NULL);
    PressPlay(window);

    if (c.clientBesideLauncher) {
        EXPECT_EQ(launcher.WaitForExit(30000), 0u) << DescribeProcessWindows(launcher.Id());
        ASSERT_TRUE(PumpUntil([&] { return !ReadClientStarts(record).empty(); }, 15000)) << "nothing was started";
    } else {
        std::vector<std::string> shellBoxes;
        HWND warning = WaitForLauncherWarning(launcher.Id(), 30000, &shellBoxes);
        ASSERT_NE(warning, (HWND)NULL) << DescribeProcessWindows(launcher.Id());
        for (const std::string& caption : shellBoxes)
            printf("before the warning, the process showed a box \"%s\"\n", caption.c_str());
        EXPECT_EQ(GetWindow(warning, GW_OWNER), window);
        PressOk(warning);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(warning); }, 10000));
        launcher.Close();
        EXPECT_EQ(launcher.WaitForExit(30000), 0u);
    }
    // A decoy started by mistake would have written its line by now; give it time.
    PumpUntil([&] { return ReadClientStarts(record).size() > (c.clientBesideLauncher ? 1u : 0u); }, 2000);
    std::vector<ClientStart> starts = ReadClientStarts(record);
    for (const ClientStart& start : starts) {
        EXPECT_TRUE(SamePath(start.program, folder.File(L"Main.exe")))
            << "started " << Narrow(start.program) << " instead of the client beside the launcher";
        EXPECT_TRUE(SamePath(start.folder, folder.Path())) << "working folder " << Narrow(start.folder);
    }
    EXPECT_EQ(starts.size(), c.clientBesideLauncher ? 1u : 0u);
    DeleteConfigKey();
}

const SearchCase kCases[] = {
    { "path_and_winepath_without_client", kPath, false },
    { "path_and_winepath_with_client", kPath, true },
    { "start_folder_without_client", kStartFolder, false },
    { "start_folder_with_client", kStartFolder, true },
    { "app_paths_without_client", kAppPaths, false },
    { "app_paths_with_client", kAppPaths, true },
    { "everywhere_without_client", kEverywhere, false },
    { "everywhere_with_client", kEverywhere, true },
};

INSTANTIATE_TEST_SUITE_P(Decoys, HostileSearch, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

}  // namespace
