// The five settings seen from outside the real launcher: what the panel shows for what
// is stored, and what is stored once the panel was changed and the launcher ended.
#include "support.h"

#include <commctrl.h>

// "row full-screen sound music volume": "2 0- 1 1 5", "-" where the box is greyed.
static std::string Panel(const Launcher& launcher)
{
    std::ostringstream panel;
    HWND box = launcher.Control(ID_FULLSCREEN);
    panel << SendTo(launcher.Control(ID_RESOLUTION), CB_GETCURSEL) << " " << SendTo(box, BM_GETCHECK)
          << (IsWindowEnabled(box) ? " " : "- ") << SendTo(launcher.Control(ID_SOUND), BM_GETCHECK) << " "
          << SendTo(launcher.Control(ID_MUSIC), BM_GETCHECK) << " " << SendTo(launcher.Control(ID_VOLUME), TBM_GETPOS);
    return panel.str();
}

TEST(Settings, StoredShownChangedSaved)
{
    const struct {
        const char* stored;
        const char* client;
        const char* changes;  // row=ROW, a control id to click, reset: empty the key; end or cancel the session
        const char* shown;
        const char* saved;
    } cases[] = {
        { "", NULL, "", "2 0- 1 1 5", "3 1 1 1 5" },
        { "Resolution=11 WindowMode=0 SoundOnOff=7 MusicOnOff=0 VolumeLevel=25", "stand_in", "", "7 1 1 0 10",
          "11 0 1 0 10" },
        { "Resolution=12 WindowMode=2 VolumeLevel=4294967295", "stand_in", "", "2 0 1 1 0", "3 1 1 1 0" },
        { "Resolution=1 WindowMode=0 SoundOnOff=\"\" VolumeLevel=\"7\"", "stand_in_old", "", "0 1- 1 1 5",
          "1 0 1 1 5" },
        { "Resolution=8", "stand_in", "row=7 1003 1004", "7 1 0 1 5", "11 0 0 1 5" },
        { "Resolution=5", "stand_in", "row=-1 reset", "-1 0 1 1 5", "- 1 1 1 5" },
        { "", "stand_in", "row=9 1005 end", "9 0 1 0 5", "9 1 1 0 5" },
        { "", "stand_in", "row=9 cancel", "9 0 1 1 5", "- - - - -" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stored) + " / " + c.changes);
        StoreConfig(c.stored);
        Launcher launcher(c.client ? Stage({ c.client + std::string(".exe=Main.exe") }) : Stage());
        std::istringstream changes(c.changes);
        for (std::string change; changes >> change;) {
            if (change.rfind("row=", 0) == 0)
                SendTo(launcher.Control(ID_RESOLUTION), CB_SETCURSEL, atoi(change.c_str() + 4));
            else if (isdigit(change[0]))
                SendTo(launcher.Control(atoi(change.c_str())), BM_CLICK);
            else
                StoreConfig("");
        }
        EXPECT_EQ(Panel(launcher), c.shown);
        // At the end of a session the process is ended without WM_DESTROY.
        bool ending = strstr(c.changes, "end") != NULL;
        if (ending || strstr(c.changes, "cancel"))
            EXPECT_EQ(SendTo(launcher.window, WM_QUERYENDSESSION) + SendTo(launcher.window, WM_ENDSESSION, ending), 1);
        else
            EXPECT_EQ(launcher.Close(), 0u);
        EXPECT_EQ(StoredConfig(), c.saved);
    }
}
