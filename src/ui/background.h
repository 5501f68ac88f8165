// The background picture beside the launcher, stretched once over the client area.
#pragma once

#include <windows.h>

// Fills gLauncher.backgroundBitmap from "launcher_bg.jpg", else "launcher_bg.bmp",
// stretched to the size of the main window's client area.
void LoadBackground();
// Erases the whole client area: the picture, or the flat fill. Always returns 1.
LRESULT PaintBackground(HWND window, HDC dc);
