#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "settings/resolutions.h"

TEST(Resolutions, TableHoldsTheElevenRowsInOrderOfSize)
{
    struct Row { uint32_t id; int width; int height; const char* label; };
    const Row expected[] = {
        { 1, 800, 600, "800 x 600" },     { 2, 1024, 640, "1024 x 640" },   { 3, 1280, 800, "1280 x 800" },
        { 4, 1366, 768, "1366 x 768" },   { 5, 1440, 900, "1440 x 900" },   { 6, 1536, 960, "1536 x 960" },
        { 7, 1680, 1050, "1680 x 1050" }, { 11, 1920, 1080, "1920 x 1080" }, { 8, 1920, 1200, "1920 x 1200" },
        { 9, 2560, 1600, "2560 x 1600" }, { 10, 3840, 2400, "3840 x 2400" },
    };
    ASSERT_EQ(kResolutionCount, 11);
    std::set<uint32_t> ids;
    for (int row = 0; row < kResolutionCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(kResolutions[row].id, expected[row].id);
        EXPECT_EQ(kResolutions[row].width, expected[row].width);
        EXPECT_EQ(kResolutions[row].height, expected[row].height);
        EXPECT_STREQ(kResolutions[row].label, expected[row].label);
        EXPECT_EQ(std::string(kResolutions[row].label),
                  std::to_string(expected[row].width) + " x " + std::to_string(expected[row].height));
        ids.insert(kResolutions[row].id);
    }
    EXPECT_EQ(ids.size(), 11u) << "each id occurs in exactly one row";
}

TEST(Resolutions, IdsMapToRowsThroughTheTable)
{
    const struct { uint32_t id; int row; } cases[] = {
        { 1, 0 }, { 3, 2 }, { 7, 6 }, { 11, 7 }, { 8, 8 }, { 9, 9 }, { 10, 10 },
        // Unknown ids fall back to "1280 x 800".
        { 0, 2 }, { 12, 2 }, { 0xFFFFFFFFu, 2 }, { 0x100000001ull & 0xFFFFFFFFu, 0 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolutionRowForId(c.id), c.row) << "id " << c.id;
}
