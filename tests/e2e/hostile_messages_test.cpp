// Floods of messages at the launcher's window, built in this process: ten thousand
// hover changes with their repaints, WM_COMMAND with every id but PLAY's and the
// site link's, pointer positions outside the window. The window must stay up, save
// nothing until it is closed, and hold no more GDI objects afterwards.
//
// Counting GDI objects: GetGuiResources is a stub under Wine (it returns 0), so the
// count is taken from the handle table itself. FreeGdiSlots creates brushes until
// creation fails and deletes them again; the number it got is the table's free room,
// so every object the launcher leaked in between shows as one slot less. (Under
// Wine the table holds 65536 handles; a leak of one object per paint or per message
// would empty it many times over during these floods.)
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <gdiplus.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "shell/launcher_state.h"
#include "support/hostile_support.h"
#include "support/test_support.h"

namespace {

using namespace hostile;

size_t FreeGdiSlots()
{
    std::vector<HBRUSH> brushes;
    brushes.reserve(70000);
    // Bounded in case some platform has no limit to reach.
    while (brushes.size() < 1000000) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        brushes.push_back(brush);
    }
    for (HBRUSH brush : brushes)
        DeleteObject(brush);
    return brushes.size();
}

const POINT kOverPlay = { 157, 516 };
const POINT kOverLink = { 157, 563 };
const POINT kOverBackground = { 600, 200 };

LPARAM At(POINT point)
{
    return MAKELPARAM(point.x, point.y);
}

// The panel's values as the controls hold them.
std::vector<LRESULT> PanelState(const InProcessLauncher& launcher)
{
    return {
        SendMessageA(launcher.Control(1002), CB_GETCURSEL, 0, 0),
        SendMessageA(launcher.Control(1003), BM_GETCHECK, 0, 0),
        SendMessageA(launcher.Control(1004), BM_GETCHECK, 0, 0),
        SendMessageA(launcher.Control(1005), BM_GETCHECK, 0, 0),
        SendMessageA(launcher.Control(1006), TBM_GETPOS, 0, 0),
    };
}

// The window after its deferred start-up, every control painted once, and the
// pointer parked outside it so that real mouse messages stay out of the counts.
void Settle(InProcessLauncher& launcher)
{
    SetCursorPos(0, 0);
    launcher.RunDeferredInit();
    RedrawWindow(launcher.Window(), NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpMessages(100);
}

bool SaveSolidJpeg(const std::wstring& path, int width, int height)
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    std::vector<BYTE> buffer(size ? size : 1);
    Gdiplus::ImageCodecInfo* codecs = (Gdiplus::ImageCodecInfo*)buffer.data();
    if (size == 0 || Gdiplus::GetImageEncoders(count, size, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, L"image/jpeg") != 0)
            continue;
        Gdiplus::Bitmap picture(width, height, PixelFormat24bppRGB);
        return picture.Save(path.c_str(), &codecs[i].Clsid, NULL) == Gdiplus::Ok;
    }
    return false;
}

class HostileMessages : public testing::Test {
protected:
    void SetUp() override
    {
        DeleteConfigKey();
        // No client and no pictures where the launcher looks.
        GetCurrentDirectoryW(MAX_PATH, oldFolder_);
        SetCurrentDirectoryW(folder_.Path().c_str());
    }
    void TearDown() override
    {
        SetCurrentDirectoryW(oldFolder_);
        DeleteConfigKey();
    }

    ScratchFolder folder_{ L"messages" };
    wchar_t oldFolder_[MAX_PATH] = L"";
};

TEST_F(HostileMessages, TenThousandHoverChangesAndPaintsKeepGdiObjects)
{
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    HWND play = launcher.Control(ID_PLAY);
    HWND link = launcher.Control(ID_SITE_LINK);
    Settle(launcher);
    // One round of everything first: the trackbar's brush is made once, on its first
    // colour request, and lives as long as the process.
    SendMessageA(window, WM_MOUSEMOVE, 0, At(kOverPlay));
    UpdateWindow(window);
    SendMessageA(window, WM_MOUSELEAVE, 0, 0);
    UpdateWindow(window);
    PumpMessages(50);

    size_t before = FreeGdiSlots();
    const POINT targets[] = { kOverPlay, kOverLink, kOverBackground, kOverLink, kOverPlay, kOverBackground };
    const int expected[] = { ID_PLAY, ID_SITE_LINK, 0, ID_SITE_LINK, ID_PLAY, 0 };
    int wrongHover = 0;
    for (int i = 0; i < 10000; ++i) {
        int step = i % 6;
        if (i % 5 == 4 && expected[step] != 0) {
            // The buttons' own pointer messages, as the pointer over them would send.
            SendMessageA(expected[step] == ID_PLAY ? play : link, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        } else {
            SendMessageA(window, WM_MOUSEMOVE, 0, At(targets[step]));
        }
        if (gLauncher.hotControlId != expected[step])
            ++wrongHover;
        if (i % 7 == 3)
            SendMessageA(window, WM_MOUSELEAVE, 0, 0);
        UpdateWindow(window);
        if (i % 500 == 0) {
            // The whole window now and then: background, panel colours and both buttons.
            RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpMessages(0);
        }
    }
    PumpMessages(100);
    size_t after = FreeGdiSlots();
    printf("free GDI slots before the hover flood %u, after %u\n", (unsigned)before, (unsigned)after);
    // The count itself must see a single object: one pen held across a recount.
    HPEN held = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    EXPECT_EQ(FreeGdiSlots(), after - 1) << "the slot count misses objects";
    DeleteObject(held);

    EXPECT_EQ(wrongHover, 0);
    EXPECT_GT(before, 1000u) << "the handle table could not be measured";
    EXPECT_EQ(after, before) << "GDI objects leaked: " << (long)before - (long)after;
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(ConfigKeyExists()) << "hovering saved the settings";
    launcher.Destroy();
    EXPECT_TRUE(ConfigKeyExists()) << "closing did not save";
}

TEST_F(HostileMessages, CommandFloodWithOtherIdsChangesNothing)
{
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    Settle(launcher);
    std::vector<LRESULT> panel = PanelState(launcher);
    HWND controls[] = { launcher.Control(1002), launcher.Control(1003), launcher.Control(1006), window, NULL };

    size_t before = FreeGdiSlots();
    unsigned state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    int commands = 0;
    for (unsigned id = 0; id <= 0xFFFF; ++id) {
        if (id == ID_PLAY || id == ID_SITE_LINK)
            continue;
        WORD code = (WORD)(next() >> 16);
        // lParam: a real control now and then, else any number at all.
        LPARAM from = (id % 3 == 0) ? (LPARAM)controls[id % 5] : (LPARAM)(((ULONGLONG)next() << 32) | next());
        SendMessageA(window, WM_COMMAND, MAKEWPARAM(id, code), from);
        ++commands;
        if (id % 4096 == 0)
            PumpMessages(0);
    }
    MSG quit;
    bool quitPosted = PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    PumpMessages(100);
    size_t after = FreeGdiSlots();
    printf("%d commands; free GDI slots before %u, after %u\n", commands, (unsigned)before, (unsigned)after);

    EXPECT_EQ(commands, 65534);
    EXPECT_FALSE(quitPosted) << "a stray command ended the message loop";
    EXPECT_EQ(FindProcessDialog(GetCurrentProcessId(), NULL), (HWND)NULL) << "a stray command opened a box";
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(PanelState(launcher), panel);
    EXPECT_EQ(after, before) << "GDI objects leaked: " << (long)before - (long)after;
    EXPECT_FALSE(ConfigKeyExists()) << "a stray command saved the settings";
    launcher.Destroy();
    EXPECT_TRUE(ConfigKeyExists());
}

TEST_F(HostileMessages, PointerOutsideTheWindowIsNoButton)
{
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    Settle(launcher);
    const struct {
        const char* what;
        LPARAM position;
        int hot;
    } cases[] = {
        { "-1, -1", MAKELPARAM(-1, -1), 0 },
        { "-32768 over PLAY's row", MAKELPARAM(-32768, 516), 0 },
        { "PLAY's column, y -1", MAKELPARAM(157, -1), 0 },
        { "PLAY's column, y -600", MAKELPARAM(157, -600), 0 },
        { "just right of the client area", MAKELPARAM(900, 516), 0 },
        { "just below the client area", MAKELPARAM(157, 600), 0 },
        { "32767, 32767", MAKELPARAM(32767, 32767), 0 },
        { "65535, 65535 packed as unsigned", (LPARAM)0xFFFFFFFFu, 0 },
        // Only the low 32 bits carry the position.
        { "PLAY with garbage above bit 31", (LPARAM)(((ULONGLONG)0xDEADBEEF << 32) | MAKELPARAM(157, 516)), ID_PLAY },
        { "link with every high bit set", (LPARAM)(((ULONGLONG)0xFFFFFFFF << 32) | MAKELPARAM(157, 563)),
          ID_SITE_LINK },
    };
    size_t before = FreeGdiSlots();
    for (int round = 0; round < 200; ++round) {
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            // From each button in turn, so that leaving it is what is tested.
            SendMessageA(window, WM_MOUSEMOVE, 0, At(round % 2 ? kOverLink : kOverPlay));
            LRESULT result = SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, c.position);
            UpdateWindow(window);
            if (round == 0) {
                EXPECT_EQ(result, 0);
                EXPECT_EQ(gLauncher.hotControlId, c.hot);
            } else if (gLauncher.hotControlId != c.hot) {
                ADD_FAILURE() << "round " << round << ": hot " << gLauncher.hotControlId;
                break;
            }
        }
        PumpMessages(0);
    }
    PumpMessages(50);
    size_t after = FreeGdiSlots();
    printf("free GDI slots before %u, after %u\n", (unsigned)before, (unsigned)after);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(ConfigKeyExists());
    launcher.Destroy();
    EXPECT_TRUE(ConfigKeyExists());
}

// Colour requests with nonsense in them: no device context at all, a window that is
// not a control of the launcher. The trackbar's brush is made once and reused.
TEST_F(HostileMessages, ColourRequestsWithNonsenseAllocateNothing)
{
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    HWND trackbar = launcher.Control(ID_VOLUME);
    Settle(launcher);
    LRESULT trackbarBrush = SendMessageA(window, WM_CTLCOLORSTATIC, 0, (LPARAM)trackbar);
    ASSERT_NE(trackbarBrush, 0);
    // Held across both counts: the screen's device context is an object of its own.
    HDC screen = GetDC(NULL);
    size_t before = FreeGdiSlots();
    unsigned state = 777;
    int wrong = 0;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        HDC dc = i % 2 ? screen : NULL;
        bool toTrackbar = i % 3 == 0;
        LPARAM control = toTrackbar ? (LPARAM)trackbar : (LPARAM)state;
        LRESULT brush = SendMessageA(window, WM_CTLCOLORSTATIC, (WPARAM)dc, control);
        LRESULT expected = toTrackbar ? trackbarBrush : (LRESULT)GetStockObject(NULL_BRUSH);
        if (brush != expected)
            ++wrong;
    }
    size_t after = FreeGdiSlots();
    ReleaseDC(NULL, screen);
    printf("free GDI slots before %u, after %u\n", (unsigned)before, (unsigned)after);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(after, before);
    EXPECT_FALSE(ConfigKeyExists());
}

// WM_LAUNCHER_INIT is WM_APP + 1, a number any program may post to any window. The
// picture is loaded once per run and never replaced; further copies of the message
// must not stack up bitmaps.
TEST_F(HostileMessages, RepeatedStartUpMessageKeepsOneBitmap)
{
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    // A small JPEG beside "the launcher" (the current folder here), written with the
    // GDI+ that the launcher's start-up has just started in this process.
    ASSERT_TRUE(SaveSolidJpeg(folder_.File(L"launcher_bg.jpg"), 8, 8));
    Settle(launcher);
    ASSERT_NE(gLauncher.backgroundBitmap, (HBITMAP)NULL) << "the picture was not loaded at all";
    size_t before = FreeGdiSlots();
    for (int i = 0; i < 50; ++i)
        PostMessageA(window, WM_LAUNCHER_INIT, 0, 0);
    PumpMessages(500);
    size_t after = FreeGdiSlots();
    printf("free GDI slots before 50 more start-up messages %u, after %u\n", (unsigned)before, (unsigned)after);
    EXPECT_EQ(after, before) << "bitmaps stacked up: " << (long)before - (long)after;
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(ConfigKeyExists());
}

}  // namespace
