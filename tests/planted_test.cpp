// Libraries planted beside the launcher under the names of those loaded after it starts,
// and a manifest file beside it that asks for Common Controls 6 and claims uxtheme.dll:
// none may be used. CTest runs it with the loader's trace (WINEDEBUG=+loaddll, which the
// launcher inherits) going to the file that VELKORA_TRACE names.
#include "support.h"

TEST(Planted, NothingBesideTheLauncherIsLoaded)
{
    if (!getenv("VELKORA_TRACE"))
        GTEST_SKIP() << "needs Wine's loader trace in the file VELKORA_TRACE names (CTest's Planted.*)";
    // Not planted, where Wine differs from Windows: version.dll, which Wine's own user32
    // imports before the launcher's first instruction, and msimg32, windowscodecs and propsys,
    // which the delay-load helper of Wine's built-in libraries looks for beside the program
    // whatever the default directories say; on Windows a system library's loads never do.
    std::vector<std::string> files = { "solid.jpg=launcher_bg.jpg", "cc6.manifest=VelkoraLauncher.exe.manifest" };
    for (const char* name : { "comctl32", "uxtheme", "gdiplus", "shcore", "shell32" })
        files.push_back(std::string("planted.dll=") + name + ".dll");
    // Wine's own order, then the planted names native first: Windows looks for a library
    // that is not one of its known DLLs in the program's folder first.
    for (const char* nativeFirst : { "", ";comctl32,uxtheme,gdiplus,shcore,shell32=n,b" }) {
        std::string folder = Stage(files), leaf = "\\\\" + folder.substr(folder.rfind('\\') + 1) + "\\\\";
        UseStandInBrowser(folder);
        SetEnvironmentVariableA("WINEDLLOVERRIDES", (std::string("mscoree,mshtml=") + nativeFirst).c_str());
        SetEnvironmentVariableA("WINEDEBUG", "+loaddll");
        std::ifstream loads(getenv("VELKORA_TRACE"));
        loads.seekg(0, std::ios::end);
        {
            // Start-up, the picture and the probe, the site link, PLAY without a client, closing.
            Launcher launcher(folder);
            PostMessageA(launcher.Control(ID_SITE_LINK), BM_CLICK, 0, 0);
            EXPECT_TRUE(WaitUntil([&] { return !std::ifstream(folder + "\\record.txt").fail(); })) << nativeFirst;
            EXPECT_NE(AnswerWarning(launcher), L"") << nativeFirst;
            EXPECT_EQ(launcher.Close(), 0u);
        }
        SetEnvironmentVariableA("WINEDEBUG", "-all");
        WIN32_FIND_DATAA ran;
        EXPECT_EQ(FindFirstFileA((folder + "\\*.ran").c_str(), &ran), INVALID_HANDLE_VALUE) << ran.cFileName;
        // Nothing loaded from the launcher's folder but itself (where Windows would load the
        // file there, Wine may map its own under that path), and the classic comctl32.
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
