// The look of the two owner-drawn buttons.
#pragma once

#include <windows.h>

enum class ButtonStyle : int { Link = 0, Primary = 1 };

// Paints the whole button described by item; any style other than Link is primary.
void DrawLauncherButton(const DRAWITEMSTRUCT* item, ButtonStyle style);
