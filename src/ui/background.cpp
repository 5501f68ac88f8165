#include "ui/background.h"

#include <gdiplus.h>

#include "base/launcher_state.h"
#include "base/system_libraries.h"

static const COLORREF kFallbackFill = RGB(18, 20, 32);

// Whether a bitmap file holds all the pixels its header announces. LoadImage reads
// past the end of a file cut short (under Wine it crashes), so such a file is
// treated as missing.
static bool BitmapFileIsWhole(const char* name)
{
    HANDLE file = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BYTE header[sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)] = {};
    DWORD count = 0;
    LARGE_INTEGER fileSize = {};
    bool read = ReadFile(file, header, sizeof(header), &count, NULL) && GetFileSizeEx(file, &fileSize);
    CloseHandle(file);
    const DWORD coreEnd = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER);
    if (!read || count < coreEnd || header[0] != 'B' || header[1] != 'M')
        return false;

    BITMAPFILEHEADER fileHeader;
    memcpy(&fileHeader, header, sizeof(fileHeader));
    BITMAPINFOHEADER info;
    memcpy(&info, header + sizeof(fileHeader), sizeof(info));
    LONGLONG width, height, pixelBytes;
    WORD bitCount;
    if (info.biSize == sizeof(BITMAPCOREHEADER)) {
        BITMAPCOREHEADER core;
        memcpy(&core, &info, sizeof(core));
        width = core.bcWidth;
        height = core.bcHeight;
        bitCount = core.bcBitCount;
        info.biCompression = BI_RGB;
    } else if (info.biSize >= sizeof(BITMAPINFOHEADER) && count == sizeof(header)) {
        width = info.biWidth;
        height = info.biHeight < 0 ? -(LONGLONG)info.biHeight : info.biHeight;
        bitCount = info.biBitCount;
    } else {
        return false;
    }
    if (width < 0)
        return false;
    if (info.biCompression == BI_RGB || info.biCompression == BI_BITFIELDS)
        pixelBytes = (width * bitCount + 31) / 32 * 4 * height;
    else
        pixelBytes = info.biSizeImage;
    return (LONGLONG)fileHeader.bfOffBits + pixelBytes <= fileSize.QuadPart;
}

// GDI+ and the dozen libraries it brings load after the first paint, with the picture.
static bool StartGdiplus()
{
    if (gLauncher.gdiplusToken)
        return true;
    if (!gLauncher.gdiplusModule)
        gLauncher.gdiplusModule = LoadSystemLibrary(L"gdiplus.dll");
    if (!gLauncher.gdiplusModule)
        return false;
    auto startup = (decltype(&Gdiplus::GdiplusStartup))(void*)SystemFunction(gLauncher.gdiplusModule,
                                                                              "GdiplusStartup");
    Gdiplus::GdiplusStartupInput input;
    if (!startup || startup(&gLauncher.gdiplusToken, &input, NULL) != Gdiplus::Ok)
        gLauncher.gdiplusToken = 0;
    return gLauncher.gdiplusToken != 0;
}

void ShutdownGdiplus()
{
    if (!gLauncher.gdiplusToken)
        return;
    auto shutdown = (decltype(&Gdiplus::GdiplusShutdown))(void*)SystemFunction(gLauncher.gdiplusModule,
                                                                                "GdiplusShutdown");
    if (shutdown)
        shutdown(gLauncher.gdiplusToken);
    gLauncher.gdiplusToken = 0;
}

// A GDI+ function as the header declares it, from the library StartGdiplus loaded.
#define GDIPLUS_FUNCTION(name) \
    ((decltype(&Gdiplus::DllExports::name))(void*)SystemFunction(gLauncher.gdiplusModule, #name))

static BITMAPINFO TopDownDib(int width, int height, WORD bitCount)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitCount;
    return info;
}

// The picture stretched once, in HALFTONE mode, over a new DIB section of bitCount bits
// and the size of `area` (of the picture when `area` is empty). The picture is `bits`
// as `info` describes them, or the bitmap selected into `source`. NULL on failure.
static HBITMAP StretchOver(RECT area, int width, int height, WORD bitCount, const BITMAPINFO* info,
                           const void* bits, HDC source)
{
    if (IsRectEmpty(&area))
        SetRect(&area, 0, 0, width, height);
    BITMAPINFO targetInfo = TopDownDib(area.right, area.bottom, bitCount);
    void* targetBits = NULL;
    HBITMAP scaled = CreateDIBSection(NULL, &targetInfo, DIB_RGB_COLORS, &targetBits, NULL, 0);
    if (!scaled)
        return NULL;
    HDC target = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(target, scaled);
    SetStretchBltMode(target, HALFTONE);
    if (source)
        StretchBlt(target, 0, 0, area.right, area.bottom, source, 0, 0, width, height, SRCCOPY);
    else
        StretchDIBits(target, 0, 0, area.right, area.bottom, 0, 0, width, height, bits, info, DIB_RGB_COLORS,
                      SRCCOPY);
    SelectObject(target, previous);
    DeleteDC(target);
    return scaled;
}

// launcher_bg.jpg decoded by GDI+ and stretched over `area`, or NULL. The stretch
// reads GDI+'s own pixels: no full-size copy is made. A 24-bit picture goes into a
// 24-bit bitmap, since a stretch between formats converts the whole picture first;
// anything else into a 32-bit one in premultiplied form, which leaves transparent
// pixels blended over opaque black.
static HBITMAP ScaledJpeg(RECT area)
{
    if (!StartGdiplus())
        return NULL;
    auto createFromFile = GDIPLUS_FUNCTION(GdipCreateBitmapFromFile);
    auto getFormat = GDIPLUS_FUNCTION(GdipGetImagePixelFormat);
    auto lockBits = GDIPLUS_FUNCTION(GdipBitmapLockBits);
    auto unlockBits = GDIPLUS_FUNCTION(GdipBitmapUnlockBits);
    auto dispose = GDIPLUS_FUNCTION(GdipDisposeImage);
    Gdiplus::GpBitmap* picture = NULL;
    if (!createFromFile || !getFormat || !lockBits || !unlockBits || !dispose ||
        createFromFile(L"launcher_bg.jpg", &picture) != Gdiplus::Ok)
        return NULL;
    HBITMAP scaled = NULL;
    Gdiplus::PixelFormat format = 0;
    Gdiplus::BitmapData pixels = {};
    if (getFormat(picture, &format) == Gdiplus::Ok) {
        format = format == PixelFormat24bppRGB ? PixelFormat24bppRGB : PixelFormat32bppPARGB;
        WORD bitCount = format == PixelFormat24bppRGB ? 24 : 32;
        if (lockBits(picture, NULL, Gdiplus::ImageLockModeRead, format, &pixels) == Gdiplus::Ok) {
            int width = (int)pixels.Width;
            int height = (int)pixels.Height;
            BITMAPINFO info = TopDownDib(width, height, bitCount);
            // A DIB's rows are padded to four bytes; other rows could not be described.
            if (pixels.Stride == (width * bitCount + 31) / 32 * 4)
                scaled = StretchOver(area, width, height, bitCount, &info, pixels.Scan0, NULL);
            unlockBits(picture, &pixels);
        }
    }
    dispose(picture);
    return scaled;
}

// launcher_bg.bmp stretched over `area`, or NULL.
static HBITMAP ScaledBmp(RECT area)
{
    if (!BitmapFileIsWhole("launcher_bg.bmp"))
        return NULL;
    HBITMAP picture = (HBITMAP)LoadImageA(NULL, "launcher_bg.bmp", IMAGE_BITMAP, 0, 0,
                                          LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    if (!picture)
        return NULL;
    BITMAP size = {};
    GetObjectA(picture, sizeof(size), &size);
    HDC source = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(source, picture);
    HBITMAP scaled = StretchOver(area, size.bmWidth, size.bmHeight, 32, NULL, NULL, source);
    SelectObject(source, previous);
    DeleteDC(source);
    DeleteObject(picture);
    return scaled;
}

// A copy in the screen's own format, so that every erase is a plain copy; the
// original when no copy can be made.
static HBITMAP InScreenFormat(HBITMAP picture)
{
    BITMAP size = {};
    GetObjectA(picture, sizeof(size), &size);
    HDC screen = GetDC(NULL);
    HBITMAP copy = CreateCompatibleBitmap(screen, size.bmWidth, size.bmHeight);
    if (copy) {
        HDC from = CreateCompatibleDC(screen);
        HDC to = CreateCompatibleDC(screen);
        HGDIOBJ previousFrom = SelectObject(from, picture);
        HGDIOBJ previousTo = SelectObject(to, copy);
        BitBlt(to, 0, 0, size.bmWidth, size.bmHeight, from, 0, 0, SRCCOPY);
        SelectObject(to, previousTo);
        SelectObject(from, previousFrom);
        DeleteDC(to);
        DeleteDC(from);
        DeleteObject(picture);
    }
    ReleaseDC(NULL, screen);
    return copy ? copy : picture;
}

void LoadBackground()
{
    // The picture is loaded once; a repeated start-up message must not leak it.
    if (gLauncher.backgroundBitmap)
        return;
    // Stretched to the main window's client area. A window started minimized has none
    // yet, and a picture may be loaded without a window: those keep the picture's own
    // size, which every erase then stretches.
    RECT area = {};
    if (gLauncher.mainWindow && !IsIconic(gLauncher.mainWindow))
        GetClientRect(gLauncher.mainWindow, &area);
    // Stored only once made: a failed JPEG must not leave a handle that blocks the BMP.
    HBITMAP scaled = ScaledJpeg(area);
    if (!scaled)
        scaled = ScaledBmp(area);
    if (scaled)
        gLauncher.backgroundBitmap = InScreenFormat(scaled);
}

LRESULT PaintBackground(HWND window, HDC dc)
{
    RECT area;
    GetClientRect(window, &area);
    if (gLauncher.backgroundBitmap) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, gLauncher.backgroundBitmap);
        BITMAP picture = {};
        GetObjectA(gLauncher.backgroundBitmap, sizeof(picture), &picture);
        if (picture.bmWidth == area.right && picture.bmHeight == area.bottom) {
            BitBlt(dc, 0, 0, area.right, area.bottom, source, 0, 0, SRCCOPY);
        } else {
            // A window of another size than the one the picture was made for.
            SetStretchBltMode(dc, HALFTONE);
            StretchBlt(dc, 0, 0, area.right, area.bottom, source, 0, 0, picture.bmWidth, picture.bmHeight,
                       SRCCOPY);
        }
        SelectObject(source, previous);
        DeleteDC(source);
    } else {
        HBRUSH fill = CreateSolidBrush(kFallbackFill);
        FillRect(dc, &area, fill);
        DeleteObject(fill);
    }
    return 1;
}
