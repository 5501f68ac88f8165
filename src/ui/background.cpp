#include "ui/background.h"

#include <gdiplus.h>

#include <new>

#include "shell/launcher_state.h"

static const COLORREF kFallbackFill = RGB(18, 20, 32);

void LoadBackground()
{
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
    if (!gLauncher.backgroundBitmap) {
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
