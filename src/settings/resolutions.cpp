#include "settings/resolutions.h"

const ResolutionEntry kResolutions[kResolutionCount] = {
    { 1, 800, 600, "800 x 600" },
    { 2, 1024, 640, "1024 x 640" },
    { 3, 1280, 800, "1280 x 800" },
    { 4, 1366, 768, "1366 x 768" },
    { 5, 1440, 900, "1440 x 900" },
    { 6, 1536, 960, "1536 x 960" },
    { 7, 1680, 1050, "1680 x 1050" },
    { 11, 1920, 1080, "1920 x 1080" },
    { 8, 1920, 1200, "1920 x 1200" },
    { 9, 2560, 1600, "2560 x 1600" },
    { 10, 3840, 2400, "3840 x 2400" },
};

int ResolutionRowForId(uint32_t id)
{
    for (int row = 0; row < kResolutionCount; ++row) {
        if (kResolutions[row].id == id)
            return row;
    }
    return kDefaultResolutionRow;
}
