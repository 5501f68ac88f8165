// What PLAY and the site link start, and load, seen from outside the real launcher.
#include "base/site_link.h"
#include "support.h"

static std::string Recorded(const std::string& folder)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(folder + "\\record.txt").rdbuf()), {});
}

// Libraries planted beside it, and a manifest file asking for Common Controls 6 and claiming
// uxtheme.dll, go unused (CTest puts Wine's loader trace in VELKORA_TRACE). Not planted, where Wine
// is not Windows: version.dll, which Wine's user32 imports, and msimg32, windowscodecs and propsys,
// which the delay-load helper of Wine's libraries seeks beside the program whatever the defaults.
TEST(Launch, SiteWarningClientAndNothingLoadedFromBeside)
{
    ASSERT_TRUE(getenv("VELKORA_TRACE")) << "run by CTest, which sets VELKORA_TRACE";
    std::vector<std::string> files = { "solid.jpg=launcher_bg.jpg", "cc6.manifest=VelkoraLauncher.exe.manifest" };
    for (const char* name : { "comctl32", "uxtheme", "gdiplus", "shcore", "shell32" })
        files.push_back(std::string("planted.dll=") + name + ".dll");
    // Started elsewhere, with a client on the PATH: neither may be taken for its own.
    std::string decoys = Stage({ "stand_in.exe=Main.exe" });
    SetEnvironmentVariableA("PATH", (decoys + ";" + getenv("PATH")).c_str());
    std::string folder = Stage(files), leaf = "\\\\" + folder.substr(folder.rfind('\\') + 1) + "\\\\";
    SetEnvironmentVariableA("VELKORA_RECORD", (folder + "\\record.txt").c_str());
    SetEnvironmentVariableA("WINEDEBUG", "+pid,+loaddll");
    StoreConfig("");
    Launcher launcher(folder, decoys.c_str());
    EXPECT_TRUE(WaitUntil([&] { return Shows(launcher.window, 10, 10, RGB(200, 40, 40)); }, 2000)) << "no JPEG";
    PostMessageA(launcher.Control(ID_SITE_LINK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Recorded(folder).find(kSiteUrl) != std::string::npos; }));
    EXPECT_EQ(StoredConfig(), "- - - - -");
    for (int press = 0; press < 2; ++press) {
        // No client, then a folder of its name, which "open" would show in a file browser.
        EXPECT_TRUE(press == 0 || CreateDirectoryA((folder + "\\Main.exe").c_str(), NULL));
        StoreConfig("");
        EXPECT_EQ(AnswerWarning(launcher),
                  L"Velkora: Main.exe not found.\n\nPut the launcher in the same folder as the game.");
        EXPECT_EQ(StoredConfig(), "3 1 1 1 5");
        Sleep(Scaled(300));  // no second box follows
        EXPECT_EQ(FindWindowA("#32770", NULL), (HWND)NULL);
    }
    // With the client there: started once, by its full path, in its folder, after the save.
    RemoveDirectoryA((folder + "\\Main.exe").c_str());
    CopyFileA(BuildFile("stand_in.exe").c_str(), (folder + "\\Main.exe").c_str(), FALSE);
    SendTo(launcher.Control(ID_RESOLUTION), CB_SETCURSEL, 10);
    PostMessageA(launcher.Control(ID_PLAY), BM_CLICK, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(10000), 0u);
    std::string record;
    EXPECT_TRUE(WaitUntil([&] { return (record = Recorded(folder)).find("Main.exe\"") != std::string::npos; }));
    EXPECT_EQ(record.substr(record.rfind("module=")), "module=" + folder + "\\Main.exe\ndirectory=" + folder
              + "\ncommand=\"" + folder + "\\Main.exe\"\nsettings= Resolution=10 WindowMode=1 SoundOnOff=1"
              " MusicOnOff=1 VolumeLevel=5\n");
    WIN32_FIND_DATAA ran;
    EXPECT_EQ(FindFirstFileA((folder + "\\*.ran").c_str(), &ran), INVALID_HANDLE_VALUE) << ran.cFileName;
    // Nothing from its folder but itself, not even Wine's own mapped there; classic comctl32.
    char pid[16];
    snprintf(pid, sizeof(pid), "%04lx:", launcher.process.dwProcessId);
    std::string trace, line;
    for (std::ifstream loads(getenv("VELKORA_TRACE")); std::getline(loads, line);)
        trace += line.rfind(pid, 0) == 0 ? line + "\n" : "";
    size_t own = trace.find(leaf + "VelkoraLauncher.exe");
    EXPECT_TRUE(own != std::string::npos && trace.find(leaf) == own && trace.rfind(leaf) == own) << trace;
    EXPECT_TRUE(trace.find("system32\\\\comctl32.dll") != std::string::npos
                && trace.find("common-controls") == std::string::npos) << trace;
}
