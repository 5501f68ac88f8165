// The two commands that leave the launcher through the shell.
#pragma once

#include <windows.h>

// Saves the settings and starts the client beside the launcher, then ends the
// message loop; warns and stays open when the client cannot be started.
void LaunchGame(HWND mainWindow);
// Opens the community site in the default browser.
void OpenSiteLink(HWND mainWindow);
