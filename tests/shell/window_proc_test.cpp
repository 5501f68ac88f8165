#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "shell/launcher_state.h"
#include "shell/window_proc.h"
#include "support/test_support.h"

// Records the WM_DRAWITEM requests that reach the main window, per control id.
static std::map<UINT, int> gDrawCounts;
static WNDPROC gLauncherProc;

static LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM)
        ++gDrawCounts[((DRAWITEMSTRUCT*)lParam)->CtlID];
    return CallWindowProcA(gLauncherProc, window, message, wParam, lParam);
}

class WindowProcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteConfigKey();
        launcher_.reset(new InProcessLauncher());
        gLauncherProc = (WNDPROC)SetWindowLongPtrA(Window(), GWLP_WNDPROC, (LONG_PTR)CountingProc);
        // Park the real pointer over the bare background: it stays there, so only our
        // messages move the hover state, and leave requests for the main window stick.
        POINT park = { 600, 100 };
        ClientToScreen(Window(), &park);
        SetCursorPos(park.x, park.y);
        PumpMessages(150);
        ValidateAll();
        CancelLeaveRequest();
        gDrawCounts.clear();
    }
    void TearDown() override { launcher_.reset(); }

    HWND Window() const { return launcher_->Window(); }
    HWND Control(int id) const { return launcher_->Control(id); }
    void ValidateAll()
    {
        RedrawWindow(Window(), NULL, NULL, RDW_VALIDATE | RDW_NOERASE | RDW_ALLCHILDREN);
    }
    bool NeedsPaint(int id) const
    {
        RECT update;
        return GetUpdateRect(Control(id), &update, FALSE) != 0;
    }
    LRESULT MoveTo(int x, int y) { return SendMessageA(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    void CancelLeaveRequest() const
    {
        TRACKMOUSEEVENT cancel = { sizeof(cancel), TME_LEAVE | TME_CANCEL, Window(), 0 };
        TrackMouseEvent(&cancel);
    }
    // Whether a leave request for the main window is pending; cancels it, so the next
    // check sees only requests made after this one.
    bool TakeLeaveRequest() const
    {
        TRACKMOUSEEVENT query = {};
        query.cbSize = sizeof(query);
        query.dwFlags = TME_QUERY;
        TrackMouseEvent(&query);
        bool pending = (query.dwFlags & TME_LEAVE) && query.hwndTrack == Window();
        CancelLeaveRequest();
        return pending;
    }

    std::unique_ptr<InProcessLauncher> launcher_;
};

TEST_F(WindowProcTest, MouseMoveOverPlayMakesItHotOnce)
{
    EXPECT_EQ(MoveTo(100, 510), 0);
    EXPECT_EQ(gLauncher.hotControlId, ID_PLAY);
    EXPECT_TRUE(NeedsPaint(ID_PLAY));
    EXPECT_FALSE(NeedsPaint(ID_SITE_LINK));
    EXPECT_TRUE(TakeLeaveRequest()) << "one leave request for the main window";

    // Within the same button: nothing is repainted, no new request.
    ValidateAll();
    EXPECT_EQ(MoveTo(200, 530), 0);
    EXPECT_EQ(gLauncher.hotControlId, ID_PLAY);
    EXPECT_FALSE(NeedsPaint(ID_PLAY));
    EXPECT_FALSE(TakeLeaveRequest());
}

TEST_F(WindowProcTest, MovingFromPlayToTheLinkRepaintsBoth)
{
    MoveTo(100, 510);
    ValidateAll();
    TakeLeaveRequest();
    MoveTo(100, 560);
    EXPECT_EQ(gLauncher.hotControlId, ID_SITE_LINK);
    EXPECT_TRUE(NeedsPaint(ID_PLAY));
    EXPECT_TRUE(NeedsPaint(ID_SITE_LINK));
    EXPECT_TRUE(TakeLeaveRequest());
}

TEST_F(WindowProcTest, EverythingButTheTwoButtonsCountsAsNoButton)
{
    const POINT places[] = {
        { 50, 360 },   // "Resolution" label
        { 200, 360 },  // combo box
        { 60, 398 },   // "Full screen"
        { 60, 426 },   // "Sound effects"
        { 220, 426 },  // "Music"
        { 50, 456 },   // "Volume" label
        { 200, 458 },  // trackbar
        { 600, 100 },  // bare background
        { 290, 520 },  // just right of PLAY
        { 100, 546 },  // the gap between the buttons
    };
    for (const POINT& place : places) {
        SCOPED_TRACE(testing::Message() << place.x << "," << place.y);
        MoveTo(100, 510);
        ValidateAll();
        TakeLeaveRequest();
        EXPECT_EQ(MoveTo(place.x, place.y), 0);
        EXPECT_EQ(gLauncher.hotControlId, 0);
        EXPECT_TRUE(NeedsPaint(ID_PLAY)) << "the button that lost the hover look is repainted";
        EXPECT_FALSE(NeedsPaint(ID_SITE_LINK));
        EXPECT_TRUE(TakeLeaveRequest()) << "a change to no button asks again";
    }
}

TEST_F(WindowProcTest, MouseLeaveClearsTheHotButton)
{
    EXPECT_EQ(SendMessageA(Window(), WM_MOUSELEAVE, 0, 0), 0);
    EXPECT_EQ(gLauncher.hotControlId, 0);
    EXPECT_FALSE(NeedsPaint(ID_PLAY));
    EXPECT_FALSE(NeedsPaint(ID_SITE_LINK));

    MoveTo(100, 560);
    ValidateAll();
    EXPECT_EQ(SendMessageA(Window(), WM_MOUSELEAVE, 0, 0), 0);
    EXPECT_EQ(gLauncher.hotControlId, 0);
    EXPECT_TRUE(NeedsPaint(ID_SITE_LINK));
    EXPECT_FALSE(NeedsPaint(ID_PLAY));
}

TEST_F(WindowProcTest, TrackbarGetsOneBrushOfItsOwnColour)
{
    HDC dc = CreateCompatibleDC(NULL);
    HBRUSH first = (HBRUSH)SendMessageA(Window(), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)Control(ID_VOLUME));
    SetBkColor(dc, RGB(1, 2, 3));
    HBRUSH second = (HBRUSH)SendMessageA(Window(), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)Control(ID_VOLUME));
    ASSERT_TRUE(first);
    EXPECT_EQ(first, second) << "created once, not per message";
    EXPECT_EQ(first, gLauncher.trackbarBrush);
    EXPECT_EQ(GetBkColor(dc), RGB(22, 28, 46));
    LOGBRUSH brush = {};
    ASSERT_TRUE(GetObjectA(first, sizeof(brush), &brush));
    EXPECT_EQ(brush.lbStyle, (UINT)BS_SOLID);
    EXPECT_EQ(brush.lbColor, RGB(22, 28, 46));
    DeleteDC(dc);
}

TEST_F(WindowProcTest, LabelsAndCheckBoxesDrawTransparentLightText)
{
    EnableWindow(Control(ID_FULLSCREEN), FALSE);
    const HWND controls[] = {
        GetWindow(Window(), GW_CHILD),  // "Resolution"
        Control(ID_FULLSCREEN), Control(ID_SOUND), Control(ID_MUSIC),
    };
    for (HWND control : controls) {
        HDC dc = CreateCompatibleDC(NULL);
        SetBkMode(dc, OPAQUE);
        SetTextColor(dc, RGB(0, 0, 0));
        LRESULT brush = SendMessageA(Window(), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)control);
        EXPECT_EQ((HGDIOBJ)brush, GetStockObject(NULL_BRUSH));
        EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
        EXPECT_EQ(GetTextColor(dc), RGB(232, 236, 245));
        DeleteDC(dc);
    }
}

TEST_F(WindowProcTest, CommandsOfOtherIdsGoToTheDefaultHandlingAndSaveNothing)
{
    const WORD ids[] = { IDOK, IDCANCEL, ID_RESOLUTION, ID_FULLSCREEN, ID_SOUND, ID_MUSIC, ID_VOLUME, 1000, 1008 };
    for (WORD id : ids) {
        EXPECT_EQ(SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0), 0) << id;
        EXPECT_TRUE(IsWindow(Window())) << id;
    }
    PumpMessages(50);
    EXPECT_FALSE(ConfigKeyExists()) << "nothing is saved before the window closes";
}

TEST_F(WindowProcTest, DrawItemForAnotherIdIsNotPainted)
{
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP bitmap = CreateCompatibleBitmap(GetDC(NULL), 20, 20);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all = { 0, 0, 20, 20 };
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = ID_RESOLUTION;
    item.hwndItem = Control(ID_RESOLUTION);
    item.hDC = dc;
    item.rcItem = all;
    EXPECT_EQ(SendMessageA(Window(), WM_DRAWITEM, ID_RESOLUTION, (LPARAM)&item), 0);
    EXPECT_EQ(GetPixel(dc, 10, 10), RGB(255, 255, 255));

    item.CtlID = ID_PLAY;
    item.hwndItem = Control(ID_PLAY);
    EXPECT_EQ(SendMessageA(Window(), WM_DRAWITEM, ID_PLAY, (LPARAM)&item), TRUE);
    EXPECT_NE(GetPixel(dc, 10, 10), RGB(255, 255, 255));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(WindowProcTest, OtherMessagesReturnTheDefaultResult)
{
    EXPECT_EQ(SendMessageA(Window(), WM_GETDLGCODE, 0, 0), DefWindowProcA(Window(), WM_GETDLGCODE, 0, 0));
    EXPECT_EQ(SendMessageA(Window(), WM_NCHITTEST, 0, MAKELPARAM(10, 10)),
              DefWindowProcA(Window(), WM_NCHITTEST, 0, MAKELPARAM(10, 10)));
    char title[64] = {};
    EXPECT_EQ(SendMessageA(Window(), WM_GETTEXT, sizeof(title), (LPARAM)title), 18);
    EXPECT_STREQ(title, "Velkora  -  Oradel");
}

TEST_F(WindowProcTest, DestroyingTheWindowSavesAndPostsQuit)
{
    launcher_->Destroy();
    EXPECT_TRUE(ConfigKeyExists());
    MSG message;
    EXPECT_TRUE(PeekMessageA(&message, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

// Real pointer moves: the platform sends mouse messages to the window under the
// pointer, so over a button only the button hears them.
TEST_F(WindowProcTest, RealPointerMovesDriveTheHoverLook)
{
    // Moves the real pointer and waits until the hover state has followed it, then
    // a little longer for any further repaint.
    auto moveTo = [this](int x, int y, int expectedHot) {
        POINT point = { x, y };
        ClientToScreen(Window(), &point);
        SetCursorPos(point.x, point.y);
        bool followed = PumpUntil([&] { return gLauncher.hotControlId == expectedHot; }, 3000);
        PumpMessages(150);
        return followed;
    };
    moveTo(600, 100, 0);
    gDrawCounts.clear();

    EXPECT_TRUE(moveTo(100, 505, ID_PLAY));
    EXPECT_EQ(gDrawCounts[ID_PLAY], 1);
    EXPECT_EQ(gDrawCounts[ID_SITE_LINK], 0);

    moveTo(150, 520, ID_PLAY);
    moveTo(200, 530, ID_PLAY);
    EXPECT_EQ(gLauncher.hotControlId, ID_PLAY);
    EXPECT_EQ(gDrawCounts[ID_PLAY], 1) << "no repaint while the pointer stays on one button";

    gDrawCounts.clear();
    EXPECT_TRUE(moveTo(100, 562, ID_SITE_LINK));
    EXPECT_EQ(gDrawCounts[ID_PLAY], 1);
    EXPECT_EQ(gDrawCounts[ID_SITE_LINK], 1);

    gDrawCounts.clear();
    EXPECT_TRUE(moveTo(600, 100, 0));
    EXPECT_EQ(gDrawCounts[ID_SITE_LINK], 1);
    EXPECT_EQ(gDrawCounts[ID_PLAY], 0);

    // Leaving the window altogether, straight from a button, clears it too.
    EXPECT_TRUE(moveTo(100, 505, ID_PLAY));
    SetCursorPos(0, 0);
    EXPECT_TRUE(PumpUntil([] { return gLauncher.hotControlId == 0; }, 3000));
}

// The main window's leave notification is posted and may come after the pointer has
// already made a button hot; it must not take the hover look away from it.
TEST_F(WindowProcTest, LateLeaveNoticeKeepsTheButtonUnderThePointerHot)
{
    POINT point = { 120, 515 };
    ClientToScreen(Window(), &point);
    SetCursorPos(point.x, point.y);
    ASSERT_TRUE(PumpUntil([] { return gLauncher.hotControlId == ID_PLAY; }, 3000));
    ValidateAll();

    EXPECT_EQ(SendMessageA(Window(), WM_MOUSELEAVE, 0, 0), 0);
    EXPECT_EQ(gLauncher.hotControlId, ID_PLAY);
    EXPECT_FALSE(NeedsPaint(ID_PLAY));
}
