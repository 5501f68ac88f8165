// The five settings seen from outside the real launcher: stored, shown, changed, saved.
#include "support.h"

#include <commctrl.h>

TEST(Settings, StoredShownChangedSaved)
{
    // Stored; client; changes (row=ROW, an id to click, reset the key, end or cancel session); shown; saved.
    const char* const cases[][5] = {
        { "", NULL, "", "2 0- 1 1 5", "3 1 1 1 5" },
        { "Resolution=11 WindowMode=0 SoundOnOff=7 MusicOnOff=0 VolumeLevel=25", "stand_in", "", "7 1 1 0 10",
          "11 0 1 0 10" },
        { "Resolution=12 WindowMode=2 VolumeLevel=4294967295", "stand_in", "", "2 0 1 1 0", "3 1 1 1 0" },
        { "Resolution=1 WindowMode=0 SoundOnOff=\"\" VolumeLevel=\"7\"", "stand_in_old", "", "0 1- 1 1 5",
          "1 0 1 1 5" },
        { "Resolution=5", "stand_in", "row=-1 reset", "-1 0 1 1 5", "- 1 1 1 5" },
        { "", "stand_in", "row=7 1003 1004 1005 end", "7 1 0 0 5", "11 0 0 0 5" },
        { "", "stand_in", "row=9 cancel", "9 0 1 1 5", "- - - - -" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c[0]) + " / " + c[2]);
        StoreConfig(c[0]);
        Launcher launcher(c[1] ? Stage({ c[1] + std::string(".exe=Main.exe") }) : Stage());
        std::istringstream changes(c[2]);
        for (std::string change; changes >> change;) {
            if (change.rfind("row=", 0) == 0)
                SendTo(launcher.Control(ID_RESOLUTION), CB_SETCURSEL, atoi(change.c_str() + 4));
            else if (isdigit(change[0]))
                SendTo(launcher.Control(atoi(change.c_str())), BM_CLICK);
            else
                StoreConfig("");
        }
        // Shown as "row full-screen sound music volume": "2 0- 1 1 5", "-" where the box is greyed.
        std::ostringstream panel;
        HWND box = launcher.Control(ID_FULLSCREEN);
        panel << SendTo(launcher.Control(ID_RESOLUTION), CB_GETCURSEL) << " " << SendTo(box, BM_GETCHECK)
              << (IsWindowEnabled(box) ? " " : "- ") << SendTo(launcher.Control(ID_SOUND), BM_GETCHECK) << " "
              << SendTo(launcher.Control(ID_MUSIC), BM_GETCHECK) << " "
              << SendTo(launcher.Control(ID_VOLUME), TBM_GETPOS);
        EXPECT_EQ(panel.str(), c[3]);
        // At the end of a session the process is ended without WM_DESTROY.
        bool ending = strstr(c[2], "end") != NULL;
        if (ending || strstr(c[2], "cancel"))
            EXPECT_EQ(SendTo(launcher.window, WM_QUERYENDSESSION) + SendTo(launcher.window, WM_ENDSESSION, ending), 1);
        else
            EXPECT_EQ(launcher.Close(), 0u);
        EXPECT_EQ(StoredConfig(), c[4]);
    }
}
