// What the player sees: the picture or its fallbacks over the whole window, and PLAY
// under a real pointer and pressed.
#include "support.h"

TEST(Look, PictureOrFallbackCoversTheWindow)
{
    const COLORREF red = RGB(200, 40, 40), left = RGB(40, 160, 60), right = RGB(40, 60, 200), flat = RGB(18, 20, 32);
    const struct {
        std::vector<std::string> files;
        COLORREF topLeft, bottomRight;
    } cases[] = {
        { { "solid.jpg=launcher_bg.jpg", "halves.bmp=launcher_bg.bmp" }, red, red },
        { { "stand_in.exe=launcher_bg.jpg", "halves.bmp=launcher_bg.bmp" }, left, right },
        { { "cut.bmp=launcher_bg.bmp" }, flat, flat },
        { {}, flat, flat },
    };
    for (const auto& c : cases) {
        Launcher launcher(Stage(c.files));
        EXPECT_TRUE(WaitUntil([&] {
            return Shows(launcher.window, 10, 10, c.topLeft) && Shows(launcher.window, 890, 590, c.bottomRight);
        }, 2000)) << c.files.size();
        EXPECT_EQ(launcher.Close(), 0u);
    }
}

TEST(Look, PlayUnderThePointerPressedAndFocused)
{
    // Half way down the gradient: normal, hover, pressed.
    const COLORREF looks[3] = { RGB(177, 133, 51), RGB(204, 157, 66), RGB(130, 94, 24) };
    const struct {
        POINT pointer;
        bool pressed, focused;
        int look;
    } steps[] = {
        { { 200, 500 }, false, false, 1 },
        { { 200, 560 }, false, false, 0 },  // on to the site link
        { { 200, 520 }, true, false, 2 },   // pressed beats hover
        { { 600, 300 }, false, false, 0 },  // off to the background
        { { 200, 520 }, false, false, 1 },
        { { -40, 520 }, false, true, 0 },   // out of the window; the focus given to PLAY
    };
    Launcher launcher(Stage());
    for (const auto& step : steps) {
        POINT pointer = step.pointer;
        ClientToScreen(launcher.window, &pointer);
        SetCursorPos(pointer.x, pointer.y);
        SendTo(launcher.Control(ID_PLAY), BM_SETSTATE, step.pressed);
        SendTo(launcher.Control(ID_PLAY), step.focused ? WM_SETFOCUS : WM_NULL);
        // The focus rectangle's dots on its left edge, three pixels in, differ from the gradient beside them.
        auto dotted = [&] {
            return !Shows(launcher.window, 37, 516, Pixel(launcher.window, 44, 516))
                || !Shows(launcher.window, 37, 517, Pixel(launcher.window, 44, 517));
        };
        EXPECT_TRUE(WaitUntil([&] { return Shows(launcher.window, 44, 516, looks[step.look]) && dotted() == step.focused; },
                              2000))
            << step.pointer.x << "," << step.pointer.y << " " << step.pressed << step.focused;
    }
}
