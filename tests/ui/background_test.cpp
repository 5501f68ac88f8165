// The background picture: which file is shown, how it covers the client area, and
// the flat fill when there is none.
#include <gtest/gtest.h>

#include "shell/launcher_state.h"
#include "shell/main_window.h"
#include "support/test_support.h"
#include "support/ui_support.h"
#include "ui/background.h"

namespace {

const COLORREF kFlatFill = RGB(18, 20, 32);
// Painted into every canvas first: whatever still has it was not erased.
const COLORREF kUntouched = RGB(255, 0, 255);
// Top left, top right, bottom left, bottom right of the test BMP.
const COLORREF kQuadrants[4] = { RGB(200, 30, 40), RGB(30, 190, 70), RGB(40, 70, 220), RGB(240, 210, 20) };
// Chosen to come back from the JPEG colour-space round trip unchanged.
const COLORREF kJpegColor = RGB(30, 160, 220);
// The PNG in disguise: an opaque third, a half-transparent third, a clear third.
const COLORREF kPngOpaque = RGB(220, 120, 60);
const DWORD kPngHalf = 0x80C86432;  // alpha 128 over RGB(200, 100, 50)
const COLORREF kPngHalfOverBlack = RGB(100, 50, 25);

const int kClientWidth = 900;
const int kClientHeight = 600;
// The canvas reaches past the client area to show that nothing is painted there.
const int kCanvasWidth = 920;
const int kCanvasHeight = 620;

enum class JpgFile { None, SolidJpeg, Text, Empty, Png };
enum class BmpFile { None, Quadrants, Text };
enum class Shown { FlatFill, Quadrants, Jpeg, Png };

struct PictureCase {
    const char* name;
    JpgFile jpg;
    BmpFile bmp;
    Shown shown;
};

const PictureCase kPictureCases[] = {
    { "NeitherFile", JpgFile::None, BmpFile::None, Shown::FlatFill },
    { "BmpOnly", JpgFile::None, BmpFile::Quadrants, Shown::Quadrants },
    { "JpegOnly", JpgFile::SolidJpeg, BmpFile::None, Shown::Jpeg },
    { "JpegPreferredOverBmp", JpgFile::SolidJpeg, BmpFile::Quadrants, Shown::Jpeg },
    { "TextNamedJpgFallsBackToBmp", JpgFile::Text, BmpFile::Quadrants, Shown::Quadrants },
    { "EmptyJpgFallsBackToBmp", JpgFile::Empty, BmpFile::Quadrants, Shown::Quadrants },
    { "TextNamedJpgWithoutBmp", JpgFile::Text, BmpFile::None, Shown::FlatFill },
    { "TextNamedBmpOnly", JpgFile::None, BmpFile::Text, Shown::FlatFill },
    { "PngNamedJpgBlendedOverBlack", JpgFile::Png, BmpFile::None, Shown::Png },
    { "PngNamedJpgPreferredOverBmp", JpgFile::Png, BmpFile::Quadrants, Shown::Png },
};

void PrintTo(const PictureCase& row, std::ostream* out)
{
    *out << row.name;
}

// Deliberately not 3:2: the picture is stretched, its aspect ratio not kept.
const int kBmpWidth = 80;
const int kBmpHeight = 30;

DWORD PngPixel(int x, int width)
{
    if (x < width / 3)
        return 0xFF000000u | (GetRValue(kPngOpaque) << 16) | (GetGValue(kPngOpaque) << 8) | GetBValue(kPngOpaque);
    if (x < 2 * width / 3)
        return kPngHalf;
    return 0x00FFFFFFu;  // white, fully transparent
}

void WritePictures(const ScratchFolder& folder, JpgFile jpg, BmpFile bmp)
{
    std::wstring jpgPath = folder.File(L"launcher_bg.jpg");
    switch (jpg) {
    case JpgFile::None:
        break;
    case JpgFile::SolidJpeg:
        ASSERT_TRUE(WriteSolidJpeg(jpgPath, 160, 120, kJpegColor));
        break;
    case JpgFile::Text:
        folder.Write(L"launcher_bg.jpg", "This is not a picture, only text in a file named like one.\r\n");
        break;
    case JpgFile::Empty:
        folder.Write(L"launcher_bg.jpg", "");
        break;
    case JpgFile::Png:
        ASSERT_TRUE(WritePng(jpgPath, 90, 40, [](int x, int) { return PngPixel(x, 90); }));
        break;
    }
    switch (bmp) {
    case BmpFile::None:
        break;
    case BmpFile::Quadrants:
        ASSERT_TRUE(WriteQuadrantBmp(folder.File(L"launcher_bg.bmp"), kBmpWidth, kBmpHeight, kQuadrants));
        break;
    case BmpFile::Text:
        folder.Write(L"launcher_bg.bmp", "BM but not really a bitmap");
        break;
    }
}

// Checks a canvas erased over a kClientWidth x kClientHeight client area.
void ExpectShown(const Canvas& canvas, Shown shown)
{
    const RECT client = { 0, 0, kClientWidth, kClientHeight };
    const RECT rightStrip = { kClientWidth, 0, kCanvasWidth, kCanvasHeight };
    const RECT bottomStrip = { 0, kClientHeight, kClientWidth, kCanvasHeight };
    EXPECT_EQ(canvas.CountOther(rightStrip, kUntouched), 0) << "painted right of the client area";
    EXPECT_EQ(canvas.CountOther(bottomStrip, kUntouched), 0) << "painted below the client area";
    EXPECT_EQ(canvas.Count(client, kUntouched), 0) << "part of the client area was not painted";

    switch (shown) {
    case Shown::FlatFill:
        EXPECT_EQ(canvas.CountOther(client, kFlatFill), 0) << "not all of the client area is the flat fill";
        break;
    case Shown::Jpeg:
        // HALFTONE keeps a solid picture exactly its colour, edges included.
        EXPECT_EQ(canvas.CountOther(client, kJpegColor), 0) << "not all of the client area is the JPEG's colour";
        break;
    case Shown::Quadrants: {
        const POINT centres[4] = { { 225, 150 }, { 675, 150 }, { 225, 450 }, { 675, 450 } };
        const POINT corners[4] = { { 0, 0 }, { 899, 0 }, { 0, 599 }, { 899, 599 } };
        for (int i = 0; i < 4; ++i) {
            EXPECT_TRUE(PixelIs(canvas, centres[i].x, centres[i].y, kQuadrants[i])) << "quadrant " << i;
            EXPECT_TRUE(PixelIs(canvas, corners[i].x, corners[i].y, kQuadrants[i])) << "corner " << i;
        }
        // HALFTONE filters: along the borders between the quadrants the colours mix,
        // where a plain stretch would only repeat source pixels.
        int quadrantColored = 0;
        for (COLORREF color : kQuadrants)
            quadrantColored += canvas.Count(client, color);
        EXPECT_GT(kClientWidth * kClientHeight - quadrantColored, kClientWidth) << "no filtered pixels";
        break;
    }
    case Shown::Png: {
        // The 90-pixel-wide picture's thirds become 300-pixel bands; look inside them.
        for (int y : { 5, 300, 594 }) {
            EXPECT_TRUE(PixelIs(canvas, 150, y, kPngOpaque));
            EXPECT_TRUE(PixelNear(canvas, 450, y, kPngHalfOverBlack, 1)) << "half-transparent band";
            EXPECT_TRUE(PixelIs(canvas, 750, y, RGB(0, 0, 0))) << "transparent band";
        }
        break;
    }
    }
}

class BackgroundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(current_.Entered());
        gLauncher = LauncherState();
        StartGdiplus();
        ASSERT_NE(gLauncher.gdiplusToken, 0u) << "GDI+ did not start";
        host_ = CreateHostWindow(kClientWidth, kClientHeight);
        ASSERT_TRUE(host_ != NULL);
        RECT client;
        GetClientRect(host_, &client);
        ASSERT_EQ(client.right, kClientWidth);
        ASSERT_EQ(client.bottom, kClientHeight);
    }

    void TearDown() override
    {
        // Deletes backgroundBitmap and shuts GDI+ down, as WinMain does.
        ShutdownLauncher();
        if (host_)
            DestroyWindow(host_);
    }

    ScratchFolder scratch_{ L"background" };
    CurrentFolder current_{ scratch_.Path() };
    HWND host_ = NULL;
};

class BackgroundPictureTest : public BackgroundTest, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(BackgroundPictureTest, LoadedAndStretchedOverClientArea)
{
    const PictureCase& row = GetParam();
    WritePictures(scratch_, row.jpg, row.bmp);
    if (HasFatalFailure())
        return;

    LoadBackground();
    EXPECT_EQ(gLauncher.backgroundBitmap != NULL, row.shown != Shown::FlatFill);

    Canvas canvas(kCanvasWidth, kCanvasHeight, kUntouched);
    EXPECT_EQ(PaintBackground(host_, canvas.Dc()), 1);
    ExpectShown(canvas, row.shown);
    if (row.shown != Shown::FlatFill) {
        // Set on the target DC and left there.
        EXPECT_EQ(GetStretchBltMode(canvas.Dc()), HALFTONE);
    }

    // Every later erase paints the same again from the one loaded bitmap.
    HBITMAP loaded = gLauncher.backgroundBitmap;
    canvas.Fill(kUntouched);
    EXPECT_EQ(PaintBackground(host_, canvas.Dc()), 1);
    ExpectShown(canvas, row.shown);
    EXPECT_EQ(gLauncher.backgroundBitmap, loaded);
}

INSTANTIATE_TEST_SUITE_P(Files, BackgroundPictureTest, ::testing::ValuesIn(kPictureCases),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

FILETIME LastAccess(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return data.ftLastAccessTime;
}

// Sets a file's last access time far back: the next read of its content moves it
// to now (the relatime rule of the Unix file system below Wine).
void MakeAccessTimeOld(const std::wstring& path, FILETIME* old)
{
    SYSTEMTIME longAgo = { 2001, 1, 1, 1, 0, 0, 0, 0 };
    SystemTimeToFileTime(&longAgo, old);
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    SetFileTime(file, NULL, old, NULL);
    CloseHandle(file);
}

bool SameTime(const FILETIME& a, const FILETIME& b)
{
    return CompareFileTime(&a, &b) == 0;
}

TEST_F(BackgroundTest, BmpNotReadWhenJpegLoads)
{
    WritePictures(scratch_, JpgFile::SolidJpeg, BmpFile::Quadrants);
    if (HasFatalFailure())
        return;
    std::wstring bmp = scratch_.File(L"launcher_bg.bmp");

    // Reading a file must show in its access time here, or this check means nothing.
    ASSERT_TRUE(CopyFileW(bmp.c_str(), scratch_.File(L"probe.bmp").c_str(), FALSE));
    FILETIME old;
    MakeAccessTimeOld(scratch_.File(L"probe.bmp"), &old);
    ASSERT_TRUE(SameTime(LastAccess(scratch_.File(L"probe.bmp")), old));
    HANDLE probe = LoadImageA(NULL, "probe.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    ASSERT_TRUE(probe != NULL);
    DeleteObject(probe);
    if (SameTime(LastAccess(scratch_.File(L"probe.bmp")), old))
        GTEST_SKIP() << "this file system does not record reads in the access time";

    MakeAccessTimeOld(bmp, &old);
    LoadBackground();
    ASSERT_TRUE(gLauncher.backgroundBitmap != NULL);
    EXPECT_TRUE(SameTime(LastAccess(bmp), old)) << "launcher_bg.bmp was read although the JPEG loaded";
    BITMAP picture = {};
    GetObjectA(gLauncher.backgroundBitmap, sizeof(picture), &picture);
    EXPECT_EQ(picture.bmWidth, 160) << "the bitmap is not the JPEG's";

    // The same check sees the read once the JPEG is gone.
    DeleteObject(gLauncher.backgroundBitmap);
    gLauncher.backgroundBitmap = NULL;
    ASSERT_TRUE(DeleteFileW(scratch_.File(L"launcher_bg.jpg").c_str()));
    LoadBackground();
    ASSERT_TRUE(gLauncher.backgroundBitmap != NULL);
    EXPECT_FALSE(SameTime(LastAccess(bmp), old)) << "the fallback load did not read launcher_bg.bmp";
}

TEST_F(BackgroundTest, AnyClientSizeIsCoveredWhole)
{
    WritePictures(scratch_, JpgFile::None, BmpFile::Quadrants);
    if (HasFatalFailure())
        return;
    LoadBackground();
    ASSERT_TRUE(gLauncher.backgroundBitmap != NULL);

    // PaintBackground takes the size from the window it is given.
    HWND small = CreateHostWindow(120, 70);
    Canvas canvas(140, 90, kUntouched);
    EXPECT_EQ(PaintBackground(small, canvas.Dc()), 1);
    DestroyWindow(small);
    const RECT client = { 0, 0, 120, 70 };
    EXPECT_EQ(canvas.Count(client, kUntouched), 0);
    EXPECT_EQ(canvas.Count({ 120, 0, 140, 90 }, kUntouched), 20 * 90);
    EXPECT_EQ(canvas.Count({ 0, 70, 120, 90 }, kUntouched), 120 * 20);
    const POINT centres[4] = { { 30, 17 }, { 90, 17 }, { 30, 52 }, { 90, 52 } };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(PixelIs(canvas, centres[i].x, centres[i].y, kQuadrants[i])) << "quadrant " << i;
}

// The real window: its first paint comes before WM_LAUNCHER_INIT and shows the flat
// fill although both pictures lie in the current folder; the picture follows it.
TEST(BackgroundStartup, FlatFillUntilDeferredInitThenPicture)
{
    DeleteConfigKey();
    ScratchFolder scratch(L"background-startup");
    CurrentFolder current(scratch.Path());
    ASSERT_TRUE(current.Entered());
    WritePictures(scratch, JpgFile::SolidJpeg, BmpFile::Quadrants);
    if (HasFatalFailure())
        return;

    {
        InProcessLauncher launcher;
        HWND window = launcher.Window();
        ASSERT_TRUE(window != NULL);
        EXPECT_TRUE(gLauncher.backgroundBitmap == NULL);

        // Away from the panel, a patch of the client area as it is on the screen.
        POINT origin = { 500, 60 };
        ClientToScreen(window, &origin);
        Canvas screen(200, 200, kUntouched);
        bool flat = PumpUntil([&] {
            return CaptureScreen(screen, origin) && screen.CountOther({ 0, 0, 200, 200 }, kFlatFill) == 0;
        }, 5000);
        EXPECT_TRUE(flat) << "first paint: " << ColorText(screen.Pixel(100, 100)) << " on the screen";

        Canvas erased(kClientWidth, kClientHeight, kUntouched);
        EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, (WPARAM)erased.Dc(), 0), 1);
        EXPECT_EQ(erased.CountOther({ 0, 0, kClientWidth, kClientHeight }, kFlatFill), 0);

        launcher.RunDeferredInit();
        EXPECT_TRUE(gLauncher.backgroundBitmap != NULL);
        bool picture = PumpUntil([&] {
            return CaptureScreen(screen, origin) && screen.CountOther({ 0, 0, 200, 200 }, kJpegColor) == 0;
        }, 5000);
        EXPECT_TRUE(picture) << "after WM_LAUNCHER_INIT: " << ColorText(screen.Pixel(100, 100)) << " on the screen";

        erased.Fill(kUntouched);
        EXPECT_EQ(SendMessageA(window, WM_ERASEBKGND, (WPARAM)erased.Dc(), 0), 1);
        EXPECT_EQ(erased.CountOther({ 0, 0, kClientWidth, kClientHeight }, kJpegColor), 0);
    }
    DeleteConfigKey();
}

} // namespace
