// WM_DRAWITEM through the launcher's real window procedure: which control id gets
// which look, and what is left to DefWindowProcA.
#include <gtest/gtest.h>

#include "shell/launcher_state.h"
#include "support/test_support.h"
#include "support/ui_support.h"

namespace {

const COLORREF kUntouched = RGB(255, 0, 255);

enum class Look { Primary, PrimaryPressed, Link, None };

struct RoutingCase {
    const char* name;
    UINT ctlId;
    UINT ctlType;
    WPARAM wParam;
    UINT itemState;
    Look look;
};

const RoutingCase kRoutingCases[] = {
    { "PlayIdPrimary", 1001, ODT_BUTTON, 1001, 0, Look::Primary },
    { "SiteLinkIdLink", 1007, ODT_BUTTON, 1007, 0, Look::Link },
    // The structure reaches the painter as it arrived.
    { "PlayIdPressed", 1001, ODT_BUTTON, 1001, ODS_SELECTED, Look::PrimaryPressed },
    // Only CtlID decides: neither the control type nor wParam.
    { "PlayIdOtherType", 1001, ODT_STATIC, 1001, 0, Look::Primary },
    { "PlayIdOtherWParam", 1001, ODT_BUTTON, 1007, 0, Look::Primary },
    { "SiteLinkIdOtherWParam", 1007, ODT_BUTTON, 1001, 0, Look::Link },
    { "ResolutionId", 1002, ODT_BUTTON, 1002, 0, Look::None },
    { "VolumeId", 1006, ODT_BUTTON, 1006, 0, Look::None },
    { "ZeroId", 0, ODT_BUTTON, 0, 0, Look::None },
    // Compared as a whole 32-bit value: the low word alone matching is not enough.
    { "PlayIdInHighWordToo", 0x10000u + 1001, ODT_BUTTON, 1001, 0, Look::None },
};

void PrintTo(const RoutingCase& row, std::ostream* out)
{
    *out << row.name;
}

class ButtonRoutingTest : public ::testing::TestWithParam<RoutingCase> {
protected:
    void SetUp() override { DeleteConfigKey(); }
    void TearDown() override { DeleteConfigKey(); }
};

TEST_P(ButtonRoutingTest, DrawItemByControlId)
{
    const RoutingCase& row = GetParam();
    InProcessLauncher launcher(false);
    HWND window = launcher.Window();
    ASSERT_TRUE(window != NULL);
    gLauncher.hotControlId = 0;

    const RECT item = { 10, 10, 256, 62 };
    Canvas canvas(270, 80, kUntouched);
    DRAWITEMSTRUCT draw = {};
    draw.CtlType = row.ctlType;
    draw.CtlID = row.ctlId;
    draw.itemAction = ODA_DRAWENTIRE;
    draw.itemState = row.itemState;
    draw.hwndItem = launcher.Control(row.ctlId == 1007 ? 1007 : 1001);
    draw.hDC = canvas.Dc();
    draw.rcItem = item;

    LRESULT result = SendMessageA(window, WM_DRAWITEM, row.wParam, (LPARAM)&draw);

    const int midX = (item.left + item.right) / 2;
    switch (row.look) {
    case Look::Primary:
        EXPECT_EQ(result, TRUE);
        EXPECT_TRUE(PixelIs(canvas, item.left, item.top, RGB(206, 160, 70)));
        EXPECT_TRUE(PixelIs(canvas, midX, item.top, RGB(248, 222, 150)));
        break;
    case Look::PrimaryPressed:
        EXPECT_EQ(result, TRUE);
        EXPECT_TRUE(PixelIs(canvas, item.left, item.top, RGB(150, 110, 30)));
        EXPECT_TRUE(PixelIs(canvas, midX, item.top, RGB(248, 222, 150)));
        break;
    case Look::Link:
        EXPECT_EQ(result, TRUE);
        EXPECT_TRUE(PixelIs(canvas, item.left, item.top, RGB(44, 60, 98)));
        EXPECT_TRUE(PixelIs(canvas, midX, item.top, RGB(120, 156, 220)));
        break;
    case Look::None: {
        EXPECT_EQ(canvas.CountOther({ 0, 0, 270, 80 }, kUntouched), 0) << "something was painted";
        LRESULT byDefault = DefWindowProcA(window, WM_DRAWITEM, row.wParam, (LPARAM)&draw);
        EXPECT_EQ(result, byDefault);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(Ids, ButtonRoutingTest, ::testing::ValuesIn(kRoutingCases),
                         [](const ::testing::TestParamInfo<RoutingCase>& info) { return std::string(info.param.name); });

} // namespace
