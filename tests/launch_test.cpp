// What PLAY and the site link start, seen from outside the real launcher. The started
// stand-in records itself in the file that VELKORA_RECORD names.
#include "shell/site_link.h"
#include "support.h"

static std::string Recorded(const std::string& folder)
{
    std::ifstream file(folder + "\\record.txt");
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TEST(Launch, StartsOnlyTheClientBesideTheLauncher)
{
    std::string folder = Stage({ "stand_in.exe=Main.exe" }), decoys = Stage({ "stand_in.exe=Main.exe" });
    SetEnvironmentVariableA("PATH", (decoys + ";" + getenv("PATH")).c_str());
    SetEnvironmentVariableA("VELKORA_RECORD", (folder + "\\record.txt").c_str());
    StoreConfig("");
    Launcher launcher(folder, decoys.c_str());
    SendTo(launcher.Control(ID_RESOLUTION), CB_SETCURSEL, 10);
    PostMessageA(launcher.Control(ID_PLAY), BM_CLICK, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(10000), 0u);
    // Started once, by its full path, in its folder, after the settings were saved.
    std::string record;
    EXPECT_TRUE(WaitUntil([&] { return (record = Recorded(folder)).find("settings") != std::string::npos; }));
    EXPECT_EQ(record.substr(0, record.find("command=")), "module=" + folder + "\\Main.exe\ndirectory=" + folder + "\n");
    EXPECT_EQ(record.substr(record.find("settings=")),
              "settings= Resolution=10 WindowMode=1 SoundOnOff=1 MusicOnOff=1 VolumeLevel=5\n");
}

// Libraries planted beside the launcher under the names of those loaded after it starts, and
// a manifest file that asks for Common Controls 6 and claims uxtheme.dll, must go unused: CTest
// runs this with Wine's loader trace (WINEDEBUG=+loaddll, inherited) in the file VELKORA_TRACE
// names. Not planted, where Wine differs from Windows: version.dll, imported by Wine's own
// user32 before our first instruction, and msimg32, windowscodecs and propsys, which the
// delay-load helper of Wine's built-in libraries looks for beside the program whatever the
// default directories say; on Windows a system library's loads never do.
TEST(Launch, WarnsWithoutClientOpensTheSiteLoadsNothingBesideIt)
{
    ASSERT_TRUE(getenv("VELKORA_TRACE")) << "run by CTest, which sets VELKORA_TRACE";
    std::vector<std::string> files = { "solid.jpg=launcher_bg.jpg", "cc6.manifest=VelkoraLauncher.exe.manifest" };
    for (const char* name : { "comctl32", "uxtheme", "gdiplus", "shcore", "shell32" })
        files.push_back(std::string("planted.dll=") + name + ".dll");
    // Wine's own order, then those names native first, as Windows takes a library that is
    // not one of its known DLLs: from the program's folder first.
    for (const char* nativeFirst : { "", ";comctl32,uxtheme,gdiplus,shcore,shell32=n,b" }) {
        std::string folder = Stage(files), leaf = "\\\\" + folder.substr(folder.rfind('\\') + 1) + "\\\\";
        // A folder of the client's name is not the client: "open" would start a file browser.
        EXPECT_TRUE(CreateDirectoryA((folder + "\\Main.exe").c_str(), NULL));
        UseStandInBrowser(folder);
        SetEnvironmentVariableA("WINEDLLOVERRIDES", (std::string("mscoree,mshtml=") + nativeFirst).c_str());
        SetEnvironmentVariableA("WINEDEBUG", "+loaddll");
        std::ifstream loads(getenv("VELKORA_TRACE"));
        loads.seekg(0, std::ios::end);
        StoreConfig("");
        Launcher launcher(folder);
        PostMessageA(launcher.Control(ID_SITE_LINK), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return Recorded(folder).find(kSiteUrl) != std::string::npos; }));
        EXPECT_EQ(StoredConfig(), "- - - - -");
        for (int press = 0; press < 2; ++press) {
            StoreConfig("");
            EXPECT_EQ(AnswerWarning(launcher),
                      L"Velkora: Main.exe not found.\n\nPut the launcher in the same folder as the game.");
            EXPECT_EQ(StoredConfig(), "3 1 1 1 5");
            Sleep(Scaled(300));  // no second box follows
            EXPECT_EQ(FindWindowA("#32770", NULL), (HWND)NULL);
        }
        EXPECT_EQ(launcher.Close(), 0u);
        SetEnvironmentVariableA("WINEDEBUG", "-all");
        WIN32_FIND_DATAA ran;
        EXPECT_EQ(FindFirstFileA((folder + "\\*.ran").c_str(), &ran), INVALID_HANDLE_VALUE) << ran.cFileName;
        // Nothing from the launcher's folder but itself (where Windows would load a file there,
        // Wine may map its own under that path), and the classic comctl32.
        bool classic = false;
        loads.clear();
        for (std::string line; std::getline(loads, line);) {
            EXPECT_TRUE(line.find(leaf) == std::string::npos || line.find("VelkoraLauncher.exe") != std::string::npos)
                << line;
            EXPECT_EQ(line.find("common-controls"), std::string::npos) << line;
            classic = classic || line.find("system32\\\\comctl32.dll") != std::string::npos;
        }
        EXPECT_TRUE(classic) << nativeFirst;
    }
}
