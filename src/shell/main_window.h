// Start-up and shutdown of the launcher: the steps WinMain runs in order.
#pragma once

#include <windows.h>

extern const char* const kLauncherClassName;
extern const char* const kLauncherTitle;
const DWORD kMainWindowStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int kClientWidth = 900;
const int kClientHeight = 600;
const int kIconResourceId = 101;

// Lays the window out at the system DPI instead of leaving the platform to stretch it
// as a bitmap; SetProcessDPIAware is looked up, so older systems still start.
void UseSystemDpi();
void InitCommonControlsForLauncher();
void MoveToLauncherFolder();
void CreateLauncherFonts();
// Loads and starts GDI+ on the first call (LoadBackground makes it); true once started.
bool StartGdiplus();
ATOM RegisterLauncherClass(HINSTANCE instance);
// Top-left corner that centres a window of outerWidth x outerHeight on a screen;
// negative when the screen is smaller, never clamped.
POINT CenteredWindowOrigin(int screenWidth, int screenHeight, int outerWidth, int outerHeight);
// Creates the main window and keeps it in gLauncher.mainWindow.
HWND CreateMainWindow(HINSTANCE instance);
// Creates the nine controls and loads the stored settings into them.
void CreateChildControls(HWND mainWindow, HINSTANCE instance);
void ShowMainWindow(HWND mainWindow, int showCommand);
void RunMessageLoop(HWND mainWindow);
void ShutdownLauncher();
