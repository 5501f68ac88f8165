// What the player sees: PLAY under a real pointer.
#include "support.h"

TEST(Look, PlayUnderThePointerPressedAndFocused)
{
    // Half way down the gradient: normal, hover, pressed.
    const COLORREF looks[3] = { RGB(177, 133, 51), RGB(204, 157, 66), RGB(130, 94, 24) };
    const int steps[][5] = {  // pointer x, y; pressed; focused; look
        { 200, 500, 0, 0, 1 },
        { 200, 560, 0, 0, 0 },  // on to the site link
        { 200, 520, 1, 0, 2 },  // pressed beats hover
        { 600, 300, 0, 0, 0 },  // off to the background
        { 200, 520, 0, 0, 1 },
        { -40, 520, 0, 1, 0 },  // out of the window; the focus given to PLAY
    };
    Launcher launcher(Stage());
    for (const int* step : steps) {
        POINT pointer = { step[0], step[1] };
        ClientToScreen(launcher.window, &pointer);
        SetCursorPos(pointer.x, pointer.y);
        SendTo(launcher.Control(ID_PLAY), BM_SETSTATE, step[2]);
        SendTo(launcher.Control(ID_PLAY), step[3] ? WM_SETFOCUS : WM_NULL);
        // The focus rectangle's dots on its left edge, three pixels in, differ from the gradient beside them.
        auto dotted = [&](int y) { return !Shows(launcher.window, 37, y, Pixel(launcher.window, 44, y)); };
        EXPECT_TRUE(WaitUntil([&] {
            return Shows(launcher.window, 44, 516, looks[step[4]]) && (dotted(516) || dotted(517)) == (step[3] != 0);
        }, 2000)) << step[0] << "," << step[1] << " " << step[2] << step[3];
    }
}
