// Whether the client executable can take the full-screen setting.
#pragma once

// 1 when the file holds the marker text "Change display setting", else 0 (also
// when it cannot be opened or read).
int ClientSupportsDisplaySetting(const char* path);
