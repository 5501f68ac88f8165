#include "ui/background.h"

#include <gdiplus.h>

#include "shell/launcher_state.h"
#include "shell/main_window.h"

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

// A GDI+ function as the header declares it, from the library StartGdiplus loaded.
#define GDIPLUS_FUNCTION(name) \
    ((decltype(&Gdiplus::DllExports::name))(void*)GetProcAddress(gLauncher.gdiplusModule, #name))

// launcher_bg.jpg decoded by GDI+, or NULL. Transparent pixels come out blended over
// opaque black.
static HBITMAP DecodedJpeg()
{
    if (!StartGdiplus())
        return NULL;
    auto createFromFile = GDIPLUS_FUNCTION(GdipCreateBitmapFromFile);
    auto createHbitmap = GDIPLUS_FUNCTION(GdipCreateHBITMAPFromBitmap);
    auto dispose = GDIPLUS_FUNCTION(GdipDisposeImage);
    Gdiplus::GpBitmap* picture = NULL;
    if (!createFromFile || !createHbitmap || !dispose || createFromFile(L"launcher_bg.jpg", &picture) != Gdiplus::Ok)
        return NULL;
    HBITMAP converted = NULL;
    if (createHbitmap(picture, &converted, 0xFF000000) != Gdiplus::Ok)
        converted = NULL;
    dispose(picture);
    return converted;
}

void LoadBackground()
{
    // The picture is loaded once; a repeated start-up message must not leak it.
    if (gLauncher.backgroundBitmap)
        return;
    // Stored only on success: a failed JPEG must not leave a handle that blocks the BMP.
    gLauncher.backgroundBitmap = DecodedJpeg();
    if (!gLauncher.backgroundBitmap && BitmapFileIsWhole("launcher_bg.bmp")) {
        gLauncher.backgroundBitmap = (HBITMAP)LoadImageA(NULL, "launcher_bg.bmp", IMAGE_BITMAP, 0, 0,
                                                         LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    }
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
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, area.right, area.bottom, source, 0, 0, picture.bmWidth, picture.bmHeight,
                   SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    } else {
        HBRUSH fill = CreateSolidBrush(kFallbackFill);
        FillRect(dc, &area, fill);
        DeleteObject(fill);
    }
    return 1;
}
