// The resolutions the game client offers, with the ids it stores. No Windows headers:
// the lookups are plain functions over numbers.
#pragma once

#include <cstdint>

struct ResolutionEntry {
    uint32_t id;
    int32_t width;
    int32_t height;
    const char* label;
};

const int kResolutionCount = 11;
// "1280 x 800": shown for a stored id that no row has.
const int kDefaultResolutionRow = 2;

// Rows in order of size. The ids are not in row order ("1920 x 1080" came late and
// got id 11), so ids and rows are only ever converted through this table.
extern const ResolutionEntry kResolutions[kResolutionCount];

// The first row whose id is `id`, or kDefaultResolutionRow.
int ResolutionRowForId(uint32_t id);
