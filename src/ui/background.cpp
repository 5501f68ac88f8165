#include "ui/background.h"

#include <gdiplus.h>

#include <new>

#include "shell/launcher_state.h"

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

void LoadBackground()
{
    // The picture is loaded once; a repeated start-up message must not leak it.
    if (gLauncher.backgroundBitmap)
        return;
    // The wrapper's operator new (GdipAlloc) is not declared non-throwing, so the
    // compiler may drop a null test of its result: allocate first, then construct.
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
    if (memory) {
        Gdiplus::Bitmap* picture = ::new (memory) Gdiplus::Bitmap(L"launcher_bg.jpg", FALSE);
        if (picture->GetLastStatus() == Gdiplus::Ok) {
            // Transparent pixels come out blended over opaque black. Stored only on
            // success: a failed conversion must not leave a handle that blocks the BMP.
            HBITMAP converted = NULL;
            if (picture->GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &converted) == Gdiplus::Ok)
                gLauncher.backgroundBitmap = converted;
        }
        // Virtual destructor, then the wrapper's operator delete: GdipFree.
        delete picture;
    }
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
