// The main window's layout at a DPI: its frame, the fonts, the nine controls' places, the
// relayout when the window moves to a monitor of another DPI, and the full-screen box's
// look once the client has been probed.
#pragma once

#include <windows.h>

const DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int kClientWidth = 900;
const int kClientHeight = 600;

// The two fonts at gLauncher.dpi, into gLauncher.fontNormal and fontLarge.
void CreateLauncherFonts();
// The main window's outer rectangle at dpi, its client area at the origin. The frame is
// that of the DPI too where the system can say (Windows 10 1607 on).
RECT MainWindowFrame(int dpi);
// WM_GETDPISCALEDSIZE (Windows 10 1703 on): the outer size at dpi whose client area is the
// layout's exactly, where Windows would scale the frame along with it. TRUE when proposed.
BOOL ProposeScaledSize(int dpi, SIZE* size);
// Creates the nine controls and loads the stored settings into them.
void CreateChildControls(HWND mainWindow, HINSTANCE instance);
// WM_DPICHANGED: the window takes the suggested rectangle, and the fonts, the nine
// controls and the picture are made again at the new DPI, then repainted once.
void RescaleMainWindow(HWND mainWindow, int dpi, const RECT* suggested);
// The probe's answer (ClientSupportsDisplaySetting): for a client without support the
// "Full screen" box is greyed out, relabelled and widened for its longer caption.
void ApplyClientCapability(int supported);
