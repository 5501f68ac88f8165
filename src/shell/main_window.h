// Start-up and shutdown of the launcher: StartLauncher and the steps it runs in order.
#pragma once

#include <windows.h>

extern const char* const kLauncherClassName;
extern const char* const kLauncherTitle;
const int kIconResourceId = 101;

// WinMain's start-up in its order, once the library search is restricted: the DPI, the language, the
// common controls, the folder, the fonts, and the main window with its controls, shown, WM_LAUNCHER_INIT
// posted after its first paint. NULL when the window cannot be made.
HWND StartLauncher(HINSTANCE instance, int showCommand);
// Takes the DPI that the window is laid out at, that of the monitor it opens on. The
// manifest declares the process aware of each monitor's DPI, so nothing is stretched
// as a bitmap.
void UseStartingDpi();
void InitCommonControlsForLauncher();
void MoveToLauncherFolder();
ATOM RegisterLauncherClass(HINSTANCE instance);
// Top-left corner that centres a window of outerWidth x outerHeight on a screen;
// negative when the screen is smaller, never clamped.
POINT CenteredWindowOrigin(int screenWidth, int screenHeight, int outerWidth, int outerHeight);
// Creates the main window and keeps it in gLauncher.mainWindow.
HWND CreateMainWindow(HINSTANCE instance);
void ShowMainWindow(HWND mainWindow, int showCommand);
void RunMessageLoop(HWND mainWindow);
void ShutdownLauncher();
