// The real launcher with the demo picture, as it appears on the screen: picture,
// panel, both buttons, and the PLAY hover look while the pointer is on it. The
// captures are saved under <build>/artifacts for a person to look at.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "support/test_support.h"
#include "support/ui_support.h"

namespace {

const int kClientWidth = 900;
const int kClientHeight = 600;
const COLORREF kFlatFill = RGB(18, 20, 32);
const COLORREF kPanelText = RGB(232, 236, 245);

const RECT kResolutionLabel = { 34, 352, 130, 372 };
const RECT kPlay = { 34, 490, 280, 542 };
const RECT kSiteLink = { 34, 550, 280, 576 };
// Right of the panel and above the buttons: only the picture is drawn here.
const RECT kPictureArea = { 400, 20, 880, 330 };

struct ButtonColors {
    COLORREF top;
    COLORREF border;
};
const ButtonColors kPlayNormal = { RGB(206, 160, 70), RGB(248, 222, 150) };
const ButtonColors kPlayHover = { RGB(232, 186, 92), RGB(248, 222, 150) };
const ButtonColors kLinkNormal = { RGB(44, 60, 98), RGB(120, 156, 220) };
const ButtonColors kLinkHover = { RGB(62, 82, 128), RGB(120, 156, 220) };

bool ButtonLooks(const Canvas& shot, const RECT& button, const ButtonColors& colors)
{
    return shot.Pixel(button.left, button.top) == colors.top && shot.Pixel(button.right - 1, button.top) == colors.top &&
           shot.Pixel((button.left + button.right) / 2, button.top) == colors.border;
}

void ExpectButton(const Canvas& shot, const RECT& button, const ButtonColors& colors, const char* what)
{
    EXPECT_TRUE(PixelIs(shot, button.left, button.top, colors.top)) << what << " gradient top";
    EXPECT_TRUE(PixelIs(shot, button.right - 1, button.top, colors.top)) << what << " gradient top";
    EXPECT_TRUE(PixelIs(shot, (button.left + button.right) / 2, button.top, colors.border)) << what << " border";
    EXPECT_TRUE(PixelIs(shot, button.left, (button.top + button.bottom) / 2, colors.border)) << what << " border";
}

std::wstring ArtifactPath(const wchar_t* name)
{
    std::wstring folder = TestBinaryFolder() + L"\\artifacts";
    CreateDirectoryW(folder.c_str(), NULL);
    return folder + L"\\" + name;
}

void SaveForPeople(const Canvas& shot, const wchar_t* name)
{
    std::wstring path = ArtifactPath(name);
    EXPECT_TRUE(SaveCanvasPng(shot, path)) << "could not write " << Narrow(path);
    printf("screenshot: %s\n", Narrow(path).c_str());
    fflush(stdout);
}

class ScreenshotE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        picture_ = TestBinary(L"launcher_bg.jpg");
        if (GetFileAttributesW(picture_.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << "no demo picture in the build folder (ImageMagick's convert missing at build time?)";
        DeleteConfigKey();
    }
    void TearDown() override { DeleteConfigKey(); }

    // Captures the client area until check() holds or the wait ends.
    bool CaptureUntil(Canvas& shot, const std::function<bool()>& check)
    {
        return PumpUntil([&] {
            POINT origin = { 0, 0 };
            ClientToScreen(launcher_.Window(), &origin);
            return CaptureScreen(shot, origin) && check();
        }, 10000);
    }

    void PointAtClient(int x, int y)
    {
        POINT point = { x, y };
        ClientToScreen(launcher_.Window(), &point);
        SetCursorPos(point.x, point.y);
    }

    std::wstring picture_;
    ScratchFolder scratch_{ L"screenshot" };
    LauncherProcess launcher_;
};

TEST_F(ScreenshotE2E, DemoPicturePanelButtonsAndPlayHover)
{
    // Out of the way of the window, which opens at the screen's centre.
    SetCursorPos(0, 0);
    std::wstring exe = scratch_.AddLauncher();
    scratch_.CopyIn(picture_, L"launcher_bg.jpg");
    // A client that knows the display setting keeps the panel in its usual state.
    scratch_.Write(L"Main.exe", std::string("MZ stand-in client. Change display setting. ") + std::string(64, '\0'));
    ASSERT_TRUE(launcher_.Start(exe, scratch_.Path().c_str()));
    HWND window = launcher_.WaitForWindow();
    ASSERT_TRUE(window != NULL) << DescribeProcessWindows(launcher_.Id());
    RECT client;
    GetClientRect(window, &client);
    ASSERT_EQ(client.right, kClientWidth);
    ASSERT_EQ(client.bottom, kClientHeight);

    Canvas shot(kClientWidth, kClientHeight, RGB(255, 0, 255));
    bool painted = CaptureUntil(shot, [&] {
        return shot.CountOther(kPictureArea, kFlatFill) > 0 && ButtonLooks(shot, kPlay, kPlayNormal) &&
               ButtonLooks(shot, kSiteLink, kLinkNormal);
    });
    SaveForPeople(shot, L"launcher-screenshot.png");
    ASSERT_TRUE(painted) << "the window never showed the picture and both buttons";

    // The picture, not a flat fill, away from the panel: hardly a pixel of the fill
    // colour and many different colours.
    int area = (kPictureArea.right - kPictureArea.left) * (kPictureArea.bottom - kPictureArea.top);
    EXPECT_LT(shot.Count(kPictureArea, kFlatFill), area / 100);
    std::set<COLORREF> colors;
    for (int y = kPictureArea.top; y < kPictureArea.bottom; y += 4)
        for (int x = kPictureArea.left; x < kPictureArea.right; x += 4)
            colors.insert(shot.Pixel(x, y));
    EXPECT_GT(colors.size(), 50u) << "the area away from the panel looks flat";

    EXPECT_GT(shot.Count(kResolutionLabel, kPanelText), 0) << "no label text colour in the Resolution label";
    ExpectButton(shot, kPlay, kPlayNormal, "PLAY");
    ExpectButton(shot, kSiteLink, kLinkNormal, "site link");
    // Both PLAY caption passes and the link caption show (anti-aliased, so their
    // exact colours only at the cores of the strokes).
    EXPECT_GT(shot.Count(kPlay, RGB(28, 20, 6)), 0) << "no dark PLAY caption";
    EXPECT_GT(shot.Count(kPlay, RGB(250, 236, 200)), 0) << "no light PLAY caption copy";
    EXPECT_GT(shot.Count(kSiteLink, RGB(226, 234, 248)), 0) << "no site link caption";

    // Onto PLAY: its hover look.
    PointAtClient((kPlay.left + kPlay.right) / 2, (kPlay.top + kPlay.bottom) / 2);
    bool hover = CaptureUntil(shot, [&] { return ButtonLooks(shot, kPlay, kPlayHover); });
    SaveForPeople(shot, L"launcher-screenshot-play-hover.png");
    EXPECT_TRUE(hover) << "PLAY top is " << ColorText(shot.Pixel(kPlay.left, kPlay.top)) << " with the pointer on it";
    ExpectButton(shot, kPlay, kPlayHover, "PLAY under the pointer");
    ExpectButton(shot, kSiteLink, kLinkNormal, "site link while PLAY is hot");

    // Straight onto the site link: PLAY loses the look, the link gains it.
    PointAtClient((kSiteLink.left + kSiteLink.right) / 2, (kSiteLink.top + kSiteLink.bottom) / 2);
    bool moved = CaptureUntil(shot, [&] {
        return ButtonLooks(shot, kPlay, kPlayNormal) && ButtonLooks(shot, kSiteLink, kLinkHover);
    });
    EXPECT_TRUE(moved) << "after moving to the site link";
    ExpectButton(shot, kPlay, kPlayNormal, "PLAY after the pointer left it");
    ExpectButton(shot, kSiteLink, kLinkHover, "site link under the pointer");

    // Off the buttons, onto the picture: both normal again.
    PointAtClient(650, 150);
    bool normal = CaptureUntil(shot, [&] {
        return ButtonLooks(shot, kPlay, kPlayNormal) && ButtonLooks(shot, kSiteLink, kLinkNormal);
    });
    EXPECT_TRUE(normal) << "after moving off the buttons";
    ExpectButton(shot, kPlay, kPlayNormal, "PLAY with the pointer away");
    ExpectButton(shot, kSiteLink, kLinkNormal, "site link with the pointer away");

    SetCursorPos(0, 0);
    launcher_.Close();
    EXPECT_EQ(launcher_.WaitForExit(), 0u);
}

} // namespace
