// Start-up and shutdown of the launcher: the steps WinMain runs in order.
#pragma once

#include <windows.h>

extern const char* const kLauncherClassName;
extern const char* const kLauncherTitle;
const int kIconResourceId = 101;

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
