// Start-up and shutdown of the launcher: the steps WinMain runs in order.
#pragma once

#include <windows.h>

extern const char* const kLauncherClassName;
extern const char* const kLauncherTitle;
const DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int kClientWidth = 900;
const int kClientHeight = 600;
const int kIconResourceId = 101;

// The relabelled full-screen box's width at 96 DPI: the panel's whole width and a little
// more, for the longer caption.
const int kRelabelledFullScreenWidth = 290;

// Takes the DPI that the window is laid out at, that of the monitor it opens on. The
// manifest declares the process aware of each monitor's DPI, so nothing is stretched
// as a bitmap.
void UseStartingDpi();
void InitCommonControlsForLauncher();
void MoveToLauncherFolder();
void CreateLauncherFonts();
ATOM RegisterLauncherClass(HINSTANCE instance);
// Top-left corner that centres a window of outerWidth x outerHeight on a screen;
// negative when the screen is smaller, never clamped.
POINT CenteredWindowOrigin(int screenWidth, int screenHeight, int outerWidth, int outerHeight);
// Creates the main window and keeps it in gLauncher.mainWindow.
HWND CreateMainWindow(HINSTANCE instance);
// Creates the nine controls and loads the stored settings into them.
void CreateChildControls(HWND mainWindow, HINSTANCE instance);
// WM_GETDPISCALEDSIZE (Windows 10 1703 on): the outer size at dpi whose client area is the
// layout's exactly, where Windows would scale the frame along with it. TRUE when proposed.
BOOL ProposeScaledSize(int dpi, SIZE* size);
// WM_DPICHANGED: the window takes the suggested rectangle, and the fonts, the nine
// controls and the picture are made again at the new DPI, then repainted once.
void RescaleMainWindow(HWND mainWindow, int dpi, const RECT* suggested);
void ShowMainWindow(HWND mainWindow, int showCommand);
void RunMessageLoop(HWND mainWindow);
void ShutdownLauncher();
