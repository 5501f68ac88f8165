// The background picture beside the launcher, stretched over the client area.
#pragma once

#include <windows.h>

// Fills gLauncher.backgroundBitmap from "launcher_bg.jpg", else "launcher_bg.bmp".
void LoadBackground();
// Erases the whole client area: the picture, or the flat fill. Always returns 1.
LRESULT PaintBackground(HWND window, HDC dc);
