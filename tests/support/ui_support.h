// Helpers of the presentation tests: pixel canvases, test pictures written to disk,
// screen capture and a count of the GDI objects a process can still create.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A top-down 32-bpp DIB section selected into a memory DC of its own.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(COLORREF color);
    // The colour at (x, y), alpha byte dropped.
    COLORREF Pixel(int x, int y) const;
    // Every pixel, row by row.
    std::vector<COLORREF> Pixels() const;
    // Pixels of the rectangle with exactly this colour.
    int Count(const RECT& area, COLORREF color) const;
    // Pixels of the rectangle that do not have this colour.
    int CountOther(const RECT& area, COLORREF color) const;
    // One flag per pixel, row by row: set where the colour is exactly this one.
    std::vector<bool> Mask(COLORREF color) const;
    bool SamePixels(const Canvas& other) const;

private:
    COLORREF At(int x, int y) const
    {
        DWORD value = bits_[y * width_ + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }

    int width_;
    int height_;
    HDC dc_ = NULL;
    HBITMAP bitmap_ = NULL;
    HGDIOBJ previous_ = NULL;
    DWORD* bits_ = nullptr;
};

std::string ColorText(COLORREF color);
// Assertion results that name the place and both colours on failure.
::testing::AssertionResult PixelIs(const Canvas& canvas, int x, int y, COLORREF expected);
::testing::AssertionResult PixelNear(const Canvas& canvas, int x, int y, COLORREF expected, int tolerance);

// Makes a folder current for the lifetime of the object, then restores the old one.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder);
    ~CurrentFolder();
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;
    bool Entered() const { return entered_; }

private:
    std::wstring previous_;
    bool entered_ = false;
};

// A hidden borderless top-level window whose client area has exactly this size.
HWND CreateHostWindow(int clientWidth, int clientHeight, const char* text = "");

// Picture files written by the tests themselves. Quadrant colours run top left, top
// right, bottom left, bottom right. The GDI+ writers start GDI+ for their own use.
bool WriteQuadrantBmp(const std::wstring& path, int width, int height, const COLORREF quadrants[4]);
bool WriteSolidJpeg(const std::wstring& path, int width, int height, COLORREF color);
// pixelAt(x, y) gives the ARGB value (alpha in the top byte) of each pixel.
bool WritePng(const std::wstring& path, int width, int height, const std::function<DWORD(int, int)>& pixelAt);
bool SaveCanvasPng(const Canvas& canvas, const std::wstring& path);

// Copies the screen rectangle that starts at origin into the canvas (GetDC(NULL)).
bool CaptureScreen(Canvas& canvas, POINT origin);

// How many more GDI objects this process can create right now: solid brushes are
// made until creation fails, then all deleted again. GetGuiResources is a stub under
// Wine; the difference of two counts is the number of objects that stayed alive
// in between, exact to one object.
size_t CountCreatableGdiObjects();
