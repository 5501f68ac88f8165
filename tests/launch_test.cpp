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

TEST(Launch, WarnsOnceWithoutClientAndOpensTheSite)
{
    std::string folder = Stage();
    // A folder of the client's name is not the client: "open" would start a file browser.
    EXPECT_TRUE(CreateDirectoryA((folder + "\\Main.exe").c_str(), NULL));
    UseStandInBrowser(folder);
    StoreConfig("");
    Launcher launcher(folder);
    PostMessageA(launcher.Control(ID_SITE_LINK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return Recorded(folder).find(kSiteUrl) != std::string::npos; }));
    EXPECT_EQ(StoredConfig(), "- - - - -");
    for (int press = 0; press < 2; ++press) {
        StoreConfig("");
        EXPECT_EQ(AnswerWarning(launcher), L"Velkora: Main.exe not found.\n\nPut the launcher in the same folder as the game.");
        EXPECT_EQ(StoredConfig(), "3 1 1 1 5");
        Sleep(Scaled(300));  // no second box follows
        EXPECT_EQ(FindWindowA("#32770", NULL), (HWND)NULL);
    }
    EXPECT_EQ(launcher.Close(), 0u);
}
