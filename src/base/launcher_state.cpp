#include "base/launcher_state.h"

LauncherState gLauncher;
