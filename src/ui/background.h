// The background picture beside the launcher, stretched once over the client area, and
// GDI+, which only the picture uses.
#pragma once

#include <windows.h>

// Fills gLauncher.backgroundBitmap from "launcher_bg.jpg", else "launcher_bg.bmp",
// stretched to the size of the main window's client area. Loads and starts GDI+ the
// first time it is called.
void LoadBackground();
// Ends GDI+ if the picture started it; the library itself stays loaded until the process ends.
void ShutdownGdiplus();
// Erases the whole client area: the picture, or the flat fill. Always returns 1.
LRESULT PaintBackground(HWND window, HDC dc);
