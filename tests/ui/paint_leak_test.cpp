// Thousands of erases and button paints leave the process's GDI objects as they were.
//
// GetGuiResources is a stub under Wine (it returns 0), so the tests count instead how
// many objects the process can still create (CountCreatableGdiObjects: brushes until
// the handle table is full). Every object left behind by a paint would lower that
// number by one, so equal counts before and after mean not a single object leaked.
#include <gtest/gtest.h>

#include "shell/launcher_state.h"
#include "shell/main_window.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/background.h"
#include "ui/button_painter.h"

namespace {

const int kRounds = 3000;
const COLORREF kQuadrants[4] = { RGB(200, 30, 40), RGB(30, 190, 70), RGB(40, 70, 220), RGB(240, 210, 20) };

// The count must see one object more or less, or equal counts would prove nothing.
void ExpectCounterSeesOneObject()
{
    size_t before = CountCreatableGdiObjects();
    HPEN kept = CreatePen(PS_SOLID, 1, RGB(1, 1, 1));
    ASSERT_TRUE(kept != NULL);
    EXPECT_EQ(CountCreatableGdiObjects(), before - 1);
    DeleteObject(kept);
    EXPECT_EQ(CountCreatableGdiObjects(), before);
}

class PaintLeakTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(current_.Entered());
        gLauncher = LauncherState();
        StartGdiplus();
        ASSERT_NE(gLauncher.gdiplusToken, 0u);
    }

    void TearDown() override
    {
        gLauncher.hotControlId = 0;
        ShutdownLauncher();
    }

    ScratchFolder scratch_{ L"paint-leak" };
    CurrentFolder current_{ scratch_.Path() };
};

TEST_F(PaintLeakTest, CounterSeesASingleObject)
{
    ExpectCounterSeesOneObject();
}

TEST_F(PaintLeakTest, ErasesWithFallbackAndPictureKeepGdiObjects)
{
    ASSERT_TRUE(WriteQuadrantBmp(scratch_.File(L"launcher_bg.bmp"), 40, 20, kQuadrants));
    // A small client area: the handles matter here, not the size of the stretch.
    HWND host = CreateHostWindow(48, 32);
    ASSERT_TRUE(host != NULL);
    Canvas canvas(48, 32, RGB(255, 0, 255));

    for (bool withPicture : { false, true }) {
        SCOPED_TRACE(withPicture ? "picture" : "flat fill");
        if (withPicture) {
            LoadBackground();
            ASSERT_TRUE(gLauncher.backgroundBitmap != NULL);
        }
        // First use may create objects the platform then keeps for good.
        for (int i = 0; i < 10; ++i)
            PaintBackground(host, canvas.Dc());

        size_t before = CountCreatableGdiObjects();
        ASSERT_GT(before, 1000u);
        for (int i = 0; i < kRounds; ++i)
            ASSERT_EQ(PaintBackground(host, canvas.Dc()), 1) << "erase " << i;
        size_t after = CountCreatableGdiObjects();
        EXPECT_EQ(after, before) << (before - after) << " GDI objects left behind by " << kRounds << " erases";

        // The last erase still drew what it should.
        if (withPicture) {
            EXPECT_TRUE(PixelIs(canvas, 12, 8, kQuadrants[0]));
            EXPECT_TRUE(PixelIs(canvas, 36, 24, kQuadrants[3]));
        } else {
            EXPECT_EQ(canvas.CountOther({ 0, 0, 48, 32 }, RGB(18, 20, 32)), 0);
        }
    }
    DestroyWindow(host);
}

TEST_F(PaintLeakTest, ButtonPaintsKeepGdiObjects)
{
    HFONT font = CreateFontA(-24, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                             CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, "Segoe UI");
    HWND captionWindow = CreateHostWindow(246, 52, "PLAY");
    ASSERT_TRUE(font && captionWindow);
    Canvas canvas(246, 52, RGB(255, 0, 255));
    HGDIOBJ previousFont = SelectObject(canvas.Dc(), font);

    DRAWITEMSTRUCT draw = {};
    draw.CtlType = ODT_BUTTON;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.hwndItem = captionWindow;
    draw.hDC = canvas.Dc();
    draw.rcItem = { 0, 0, 246, 52 };
    // Every style and state, so each path of the painter runs thousands of times.
    const UINT states[] = { 0, ODS_FOCUS, ODS_SELECTED, ODS_SELECTED | ODS_FOCUS };
    auto paintAll = [&](int rounds) {
        for (int i = 0; i < rounds; ++i) {
            ButtonStyle style = i % 2 ? ButtonStyle::Primary : ButtonStyle::Link;
            draw.CtlID = style == ButtonStyle::Primary ? 1001 : 1007;
            draw.itemState = states[(i / 2) % 4];
            gLauncher.hotControlId = (i / 8) % 2 ? (int)draw.CtlID : 0;
            DrawLauncherButton(&draw, style);
        }
    };
    paintAll(16);

    size_t before = CountCreatableGdiObjects();
    ASSERT_GT(before, 1000u);
    paintAll(4 * kRounds);
    size_t after = CountCreatableGdiObjects();
    EXPECT_EQ(after, before) << (before - after) << " GDI objects left behind by " << 4 * kRounds << " paints";

    // The last paint (primary, hot, pressed and focused) still has its own pen.
    EXPECT_TRUE(PixelIs(canvas, 123, 0, RGB(248, 222, 150)));
    EXPECT_TRUE(PixelIs(canvas, 0, 0, RGB(150, 110, 30)));

    SelectObject(canvas.Dc(), previousFont);
    DeleteObject(font);
    DestroyWindow(captionWindow);
}

// The whole window repainted through its own procedure: erase, then both buttons
// by WM_DRAWITEM, with the picture loaded by WM_LAUNCHER_INIT.
TEST(PaintLeakWindow, RepaintsOfTheLauncherWindowKeepGdiObjects)
{
    DeleteConfigKey();
    ScratchFolder scratch(L"paint-leak-window");
    CurrentFolder current(scratch.Path());
    ASSERT_TRUE(current.Entered());
    ASSERT_TRUE(WriteQuadrantBmp(scratch.File(L"launcher_bg.bmp"), 40, 20, kQuadrants));
    {
        InProcessLauncher launcher;
        launcher.RunDeferredInit();
        ASSERT_TRUE(gLauncher.backgroundBitmap != NULL);
        HWND window = launcher.Window();
        HWND buttons[2] = { launcher.Control(ID_PLAY), launcher.Control(ID_SITE_LINK) };
        auto repaint = [&](int rounds) {
            for (int i = 0; i < rounds; ++i) {
                RedrawWindow(window, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
                for (HWND button : buttons)
                    RedrawWindow(button, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            }
        };
        repaint(10);
        PumpMessages(50);

        // Fewer rounds here: each stretches the picture over the whole 900x600 area.
        const int rounds = 200;
        size_t before = CountCreatableGdiObjects();
        repaint(rounds);
        PumpMessages(50);
        size_t after = CountCreatableGdiObjects();
        EXPECT_EQ(after, before) << (before - after) << " GDI objects left behind by " << rounds
                                 << " window repaints";
    }
    DeleteConfigKey();
}

} // namespace
