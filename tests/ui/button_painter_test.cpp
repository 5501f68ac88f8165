// The owner-drawn buttons' look: gradient, border, caption passes and focus
// rectangle, by style and state, drawn into a DIB section and read back.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "shell/launcher_state.h"
#include "support/ui_support.h"
#include "ui/button_painter.h"

namespace {

const COLORREF kUntouched = RGB(255, 0, 255);

struct StyleColors {
    COLORREF border;
    COLORREF caption;
    COLORREF offsetCaption;  // kUntouched: the style has no offset pass
};

const StyleColors kPrimary = { RGB(248, 222, 150), RGB(28, 20, 6), RGB(250, 236, 200) };
const StyleColors kLink = { RGB(120, 156, 220), RGB(226, 234, 248), kUntouched };
const COLORREF kPrimaryOffsetCaption = RGB(250, 236, 200);

const int kCanvasWidth = 300;
const int kCanvasHeight = 100;
// Item rectangles as the two buttons have them, but not at the origin: the painter
// must draw where rcItem says.
const RECT kPrimaryItem = { 20, 16, 266, 68 };
const RECT kLinkItem = { 20, 16, 266, 42 };
const UINT kDrawFlags = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

bool IsPrimary(ButtonStyle style)
{
    return style != ButtonStyle::Link;
}

// The launcher's button fonts without anti-aliasing: caption pixels then have exactly
// the text colour or none of it, and can be compared with a reference rendering.
HFONT CreateSharpFont(int height, int weight)
{
    return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       NONANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, "Segoe UI");
}

// Pixels that DrawTextA with the painter's flags covers for this text and rectangle.
std::vector<bool> TextMask(HFONT font, const std::string& text, const RECT& rect, int width, int height)
{
    Canvas reference(width, height, RGB(0, 0, 0));
    HGDIOBJ previous = SelectObject(reference.Dc(), font);
    SetBkMode(reference.Dc(), TRANSPARENT);
    SetTextColor(reference.Dc(), RGB(255, 255, 255));
    RECT area = rect;
    DrawTextA(reference.Dc(), text.c_str(), -1, &area, kDrawFlags);
    SelectObject(reference.Dc(), previous);
    return reference.Mask(RGB(255, 255, 255));
}

size_t CountSet(const std::vector<bool>& mask)
{
    size_t count = 0;
    for (bool set : mask)
        count += set;
    return count;
}

std::vector<bool> Without(std::vector<bool> mask, const std::vector<bool>& removed)
{
    for (size_t i = 0; i < mask.size(); ++i)
        mask[i] = mask[i] && !removed[i];
    return mask;
}

// Where two masks differ, as a count, for failure messages.
size_t Mismatches(const std::vector<bool>& a, const std::vector<bool>& b)
{
    size_t count = 0;
    for (size_t i = 0; i < a.size(); ++i)
        count += a[i] != b[i];
    return count;
}

class ButtonPainterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        gLauncher.hotControlId = 0;
        largeFont_ = CreateSharpFont(-24, FW_BOLD);
        normalFont_ = CreateSharpFont(-14, FW_SEMIBOLD);
        playWindow_ = CreateHostWindow(246, 52, "PLAY");
        linkWindow_ = CreateHostWindow(246, 26, "velkora.example");
        emptyWindow_ = CreateHostWindow(246, 26, "");
        ASSERT_TRUE(largeFont_ && normalFont_ && playWindow_ && linkWindow_ && emptyWindow_);
    }

    void TearDown() override
    {
        gLauncher.hotControlId = 0;
        DestroyWindow(playWindow_);
        DestroyWindow(linkWindow_);
        DestroyWindow(emptyWindow_);
        DeleteObject(largeFont_);
        DeleteObject(normalFont_);
    }

    HFONT FontFor(ButtonStyle style) const { return IsPrimary(style) ? largeFont_ : normalFont_; }
    HWND WindowFor(ButtonStyle style) const { return IsPrimary(style) ? playWindow_ : linkWindow_; }
    static RECT ItemFor(ButtonStyle style) { return IsPrimary(style) ? kPrimaryItem : kLinkItem; }
    static const char* CaptionFor(ButtonStyle style) { return IsPrimary(style) ? "PLAY" : "velkora.example"; }

    // Paints one button the way WM_DRAWITEM hands it over: the button's font already
    // selected into the DC, the rest of the DC as a fresh one has it.
    std::unique_ptr<Canvas> Paint(ButtonStyle style, UINT ctlId, UINT itemState, int hotId, const RECT& item,
                                  HWND captionWindow, HFONT font, int width = kCanvasWidth,
                                  int height = kCanvasHeight, UINT itemAction = ODA_DRAWENTIRE)
    {
        std::unique_ptr<Canvas> canvas(new Canvas(width, height, kUntouched));
        HGDIOBJ previousFont = SelectObject(canvas->Dc(), font);
        DRAWITEMSTRUCT draw = {};
        draw.CtlType = ODT_BUTTON;
        draw.CtlID = ctlId;
        draw.itemAction = itemAction;
        draw.itemState = itemState;
        draw.hwndItem = captionWindow;
        draw.hDC = canvas->Dc();
        draw.rcItem = item;
        gLauncher.hotControlId = hotId;
        DrawLauncherButton(&draw, style);
        SelectObject(canvas->Dc(), previousFont);
        return canvas;
    }

    std::unique_ptr<Canvas> Paint(ButtonStyle style, UINT ctlId, UINT itemState, int hotId = 0)
    {
        return Paint(style, ctlId, itemState, hotId, ItemFor(style), WindowFor(style), FontFor(style));
    }

    HFONT largeFont_ = NULL;
    HFONT normalFont_ = NULL;
    HWND playWindow_ = NULL;
    HWND linkWindow_ = NULL;
    HWND emptyWindow_ = NULL;
};

// Gradient corners, border and caption passes of one painted button.
void ExpectLook(const Canvas& canvas, const RECT& r, COLORREF top, COLORREF bottom, const StyleColors& colors)
{
    // The rounded border leaves the four corner pixels to the gradient: the top row
    // is exactly the top colour, the bottom row one interpolation step short.
    EXPECT_TRUE(PixelIs(canvas, r.left, r.top, top)) << "gradient top, left corner";
    EXPECT_TRUE(PixelIs(canvas, r.right - 1, r.top, top)) << "gradient top, right corner";
    EXPECT_TRUE(PixelNear(canvas, r.left, r.bottom - 1, bottom, 3)) << "gradient bottom, left corner";
    EXPECT_TRUE(PixelNear(canvas, r.right - 1, r.bottom - 1, bottom, 3)) << "gradient bottom, right corner";

    int midX = (r.left + r.right) / 2;
    int midY = (r.top + r.bottom) / 2;
    EXPECT_TRUE(PixelIs(canvas, midX, r.top, colors.border)) << "top edge";
    EXPECT_TRUE(PixelIs(canvas, midX, r.bottom - 1, colors.border)) << "bottom edge";
    EXPECT_TRUE(PixelIs(canvas, r.left, midY, colors.border)) << "left edge";
    EXPECT_TRUE(PixelIs(canvas, r.right - 1, midY, colors.border)) << "right edge";

    // Nothing outside the item rectangle.
    int outside = canvas.Width() * canvas.Height() - (r.right - r.left) * (r.bottom - r.top);
    EXPECT_EQ(canvas.Count({ 0, 0, canvas.Width(), canvas.Height() }, kUntouched), outside);
}

// The caption passes: the dark caption exactly where DrawTextA puts text into the
// text rectangle, the light copy where it puts text into that rectangle moved in by
// one pixel at the left and top, minus what the dark pass covers; every other pixel
// as on the same button painted without a caption (bare), so no other pass drew.
void ExpectCaption(const Canvas& canvas, const Canvas& bare, HFONT font, const std::string& caption,
                   const RECT& textRect, const StyleColors& colors)
{
    std::vector<bool> dark = TextMask(font, caption, textRect, canvas.Width(), canvas.Height());
    ASSERT_GT(CountSet(dark), 20u) << "the reference caption drew nothing";
    std::vector<bool> shown = canvas.Mask(colors.caption);
    EXPECT_TRUE(shown == dark) << Mismatches(shown, dark) << " pixels differ from the caption drawn into ("
                               << textRect.left << ", " << textRect.top << ", " << textRect.right << ", "
                               << textRect.bottom << ")";

    std::vector<bool> light = canvas.Mask(kPrimaryOffsetCaption);
    std::vector<bool> expectedLight(light.size(), false);
    if (colors.offsetCaption == kUntouched) {
        EXPECT_EQ(CountSet(light), 0u) << "a light caption pass was drawn";
    } else {
        RECT offsetRect = { textRect.left + 1, textRect.top + 1, textRect.right, textRect.bottom };
        // Where centring in the narrower rectangle lands on the same pixels, the dark
        // pass hides the light copy entirely; then none of it may show either.
        expectedLight = Without(TextMask(font, caption, offsetRect, canvas.Width(), canvas.Height()), dark);
        EXPECT_TRUE(light == expectedLight) << Mismatches(light, expectedLight)
                                            << " pixels differ from the light copy";
    }

    std::vector<COLORREF> pixels = canvas.Pixels();
    std::vector<COLORREF> barePixels = bare.Pixels();
    size_t changed = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        changed += !dark[i] && !expectedLight[i] && pixels[i] != barePixels[i];
    EXPECT_EQ(changed, 0u) << "pixels outside the caption passes differ from the button without a caption";
}

struct LookCase {
    const char* name;
    ButtonStyle style;
    UINT ctlId;
    UINT itemState;
    int hotId;
    COLORREF top;
    COLORREF bottom;
};

const ButtonStyle kPrimaryStyle = ButtonStyle::Primary;
const ButtonStyle kLinkStyle = ButtonStyle::Link;

const LookCase kLookCases[] = {
    { "PrimaryNormal", kPrimaryStyle, 1001, 0, 0, RGB(206, 160, 70), RGB(148, 106, 32) },
    { "PrimaryHover", kPrimaryStyle, 1001, 0, 1001, RGB(232, 186, 92), RGB(176, 128, 40) },
    { "PrimaryPressed", kPrimaryStyle, 1001, ODS_SELECTED, 0, RGB(150, 110, 30), RGB(110, 78, 18) },
    { "PrimaryPressedWhileHot", kPrimaryStyle, 1001, ODS_SELECTED, 1001, RGB(150, 110, 30), RGB(110, 78, 18) },
    { "PrimaryOtherButtonHot", kPrimaryStyle, 1001, 0, 1007, RGB(206, 160, 70), RGB(148, 106, 32) },
    { "PrimaryFocused", kPrimaryStyle, 1001, ODS_FOCUS, 0, RGB(206, 160, 70), RGB(148, 106, 32) },
    { "PrimaryHoverFocused", kPrimaryStyle, 1001, ODS_FOCUS, 1001, RGB(232, 186, 92), RGB(176, 128, 40) },
    { "PrimaryPressedFocused", kPrimaryStyle, 1001, ODS_SELECTED | ODS_FOCUS, 1001, RGB(150, 110, 30),
      RGB(110, 78, 18) },
    { "AnyNonzeroStyleIsPrimary", (ButtonStyle)7, 1001, 0, 1001, RGB(232, 186, 92), RGB(176, 128, 40) },
    { "LinkNormal", kLinkStyle, 1007, 0, 0, RGB(44, 60, 98), RGB(26, 36, 64) },
    { "LinkHover", kLinkStyle, 1007, 0, 1007, RGB(62, 82, 128), RGB(38, 52, 88) },
    { "LinkPressed", kLinkStyle, 1007, ODS_SELECTED, 0, RGB(28, 38, 66), RGB(18, 26, 48) },
    { "LinkPressedWhileHot", kLinkStyle, 1007, ODS_SELECTED, 1007, RGB(28, 38, 66), RGB(18, 26, 48) },
    { "LinkOtherButtonHot", kLinkStyle, 1007, 0, 1001, RGB(44, 60, 98), RGB(26, 36, 64) },
    { "LinkFocused", kLinkStyle, 1007, ODS_FOCUS, 0, RGB(44, 60, 98), RGB(26, 36, 64) },
    { "LinkPressedFocused", kLinkStyle, 1007, ODS_SELECTED | ODS_FOCUS, 0, RGB(28, 38, 66), RGB(18, 26, 48) },
    // Hover follows the item's own id, whatever the style.
    { "LinkStyleUnderPlayId", kLinkStyle, 1001, 0, 1001, RGB(62, 82, 128), RGB(38, 52, 88) },
};

void PrintTo(const LookCase& row, std::ostream* out)
{
    *out << row.name;
}

class ButtonLookTest : public ButtonPainterTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(ButtonLookTest, GradientBorderAndCaption)
{
    const LookCase& row = GetParam();
    const StyleColors& colors = IsPrimary(row.style) ? kPrimary : kLink;
    RECT item = ItemFor(row.style);
    std::unique_ptr<Canvas> canvas = Paint(row.style, row.ctlId, row.itemState, row.hotId);

    ExpectLook(*canvas, item, row.top, row.bottom, colors);
    RECT text = item;
    if (row.itemState & ODS_SELECTED) {
        text.left += 1;
        text.top += 1;
    }
    std::unique_ptr<Canvas> bare =
        Paint(row.style, row.ctlId, row.itemState, row.hotId, item, emptyWindow_, FontFor(row.style));
    ExpectCaption(*canvas, *bare, FontFor(row.style), CaptionFor(row.style), text, colors);
    if (IsPrimary(row.style)) {
        EXPECT_GT(canvas->Count(item, kPrimaryOffsetCaption), 20) << "the light copy does not show";
    }
    EXPECT_EQ(gLauncher.hotControlId, row.hotId) << "the painter changed the hot control";
}

INSTANTIATE_TEST_SUITE_P(States, ButtonLookTest, ::testing::ValuesIn(kLookCases),
                         [](const ::testing::TestParamInfo<LookCase>& info) { return std::string(info.param.name); });

RECT InsetTopLeft(const RECT& r)
{
    return { r.left + 1, r.top + 1, r.right, r.bottom };
}

// Whether a rectangle one pixel narrower centres the text on other pixels depends
// on the parity of the free space. Tries item sizes from the button's own upwards
// until accept(item) holds.
bool FindItem(int width, int height, const std::function<bool(const RECT&)>& accept, RECT* item)
{
    for (int w = width; w < width + 4; ++w) {
        for (int h = height; h < height + 4; ++h) {
            RECT candidate = { 20, 16, 20 + w, 16 + h };
            if (accept(candidate)) {
                *item = candidate;
                return true;
            }
        }
    }
    return false;
}

TEST_F(ButtonPainterTest, PressedCaptionRectLosesLeftAndTopPixelNotOffset)
{
    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        SCOPED_TRACE(IsPrimary(style) ? "primary" : "link");
        HFONT font = FontFor(style);
        const char* caption = CaptionFor(style);
        auto mask = [&](const RECT& r) { return TextMask(font, caption, r, kCanvasWidth, kCanvasHeight); };
        // A size where shrinking and moving the rectangle look different, for its
        // left edge and its top edge each.
        RECT item = {};
        bool found = FindItem(246, IsPrimary(style) ? 52 : 26, [&](const RECT& r) {
            return mask({ r.left + 1, r.top, r.right, r.bottom }) != mask({ r.left + 1, r.top, r.right + 1, r.bottom }) &&
                   mask({ r.left, r.top + 1, r.right, r.bottom }) != mask({ r.left, r.top + 1, r.right, r.bottom + 1 });
        }, &item);
        ASSERT_TRUE(found) << "no item size tells a shrunk text rectangle from a moved one";
        std::vector<bool> shrunk = mask(InsetTopLeft(item));
        std::vector<bool> moved = mask({ item.left + 1, item.top + 1, item.right + 1, item.bottom + 1 });

        const StyleColors& colors = IsPrimary(style) ? kPrimary : kLink;
        UINT id = IsPrimary(style) ? 1001 : 1007;
        std::unique_ptr<Canvas> canvas = Paint(style, id, ODS_SELECTED, 0, item, WindowFor(style), font);
        std::vector<bool> shown = canvas->Mask(colors.caption);
        EXPECT_TRUE(shown == shrunk) << Mismatches(shown, shrunk) << " pixels differ from the shrunk rectangle's text";
        EXPECT_FALSE(shown == moved) << "the caption sits where a moved rectangle puts it";
        std::unique_ptr<Canvas> bare = Paint(style, id, ODS_SELECTED, 0, item, emptyWindow_, font);
        ExpectCaption(*canvas, *bare, font, caption, InsetTopLeft(item), colors);
    }
}

// PLAY draws its light copy and then the caption in every state, the site link only
// the caption: checked at item sizes where a copy in the inset rectangle would show.
TEST_F(ButtonPainterTest, CaptionPassesInEveryState)
{
    const struct {
        const char* name;
        UINT itemState;
        bool hot;
    } states[] = {
        { "normal", 0, false },
        { "hover", 0, true },
        { "pressed", ODS_SELECTED, false },
        { "pressed while hot", ODS_SELECTED, true },
        { "focused", ODS_FOCUS, false },
        { "pressed and focused", ODS_SELECTED | ODS_FOCUS, false },
    };
    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        for (const auto& state : states) {
            SCOPED_TRACE(std::string(IsPrimary(style) ? "primary " : "link ") + state.name);
            HFONT font = FontFor(style);
            const char* caption = CaptionFor(style);
            bool pressed = (state.itemState & ODS_SELECTED) != 0;
            auto textRect = [pressed](const RECT& r) { return pressed ? InsetTopLeft(r) : r; };
            RECT item = {};
            bool found = FindItem(246, IsPrimary(style) ? 52 : 26, [&](const RECT& r) {
                RECT t = textRect(r);
                std::vector<bool> inset = TextMask(font, caption, InsetTopLeft(t), kCanvasWidth, kCanvasHeight);
                return CountSet(Without(inset, TextMask(font, caption, t, kCanvasWidth, kCanvasHeight))) > 20;
            }, &item);
            ASSERT_TRUE(found) << "no item size where a copy in the inset rectangle shows";

            UINT id = IsPrimary(style) ? 1001 : 1007;
            int hot = state.hot ? (int)id : 0;
            std::unique_ptr<Canvas> canvas = Paint(style, id, state.itemState, hot, item, WindowFor(style), font);
            std::unique_ptr<Canvas> bare = Paint(style, id, state.itemState, hot, item, emptyWindow_, font);
            const StyleColors& colors = IsPrimary(style) ? kPrimary : kLink;
            ExpectCaption(*canvas, *bare, font, caption, textRect(item), colors);
            int lightPixels = canvas->Count(item, kPrimaryOffsetCaption);
            if (IsPrimary(style)) {
                EXPECT_GT(lightPixels, 20) << "no light copy";
            } else {
                EXPECT_EQ(lightPixels, 0) << "a light copy on the site link";
            }
        }
    }
}

struct FocusCase {
    const char* name;
    UINT itemState;
    int hotId;  // 0 or the item's own id
};

const FocusCase kFocusCases[] = {
    { "Normal", 0, 0 },
    { "Hover", 0, 1 },
    { "Pressed", ODS_SELECTED, 0 },
    { "PressedWhileHot", ODS_SELECTED, 1 },
    // No other bit switches the rectangle off, ODS_NOFOCUSRECT included.
    { "WithEveryOtherBit",
      ODS_SELECTED | ODS_GRAYED | ODS_DISABLED | ODS_CHECKED | ODS_DEFAULT | ODS_COMBOBOXEDIT | ODS_HOTLIGHT |
          ODS_INACTIVE | ODS_NOACCEL | ODS_NOFOCUSRECT,
      0 },
};

// DrawFocusRect inverts a dotted outline: drawing the same rectangle once more over
// the focused button gives back the unfocused one pixel for pixel, and only if the
// painter drew it exactly 3 pixels inside the full item rectangle.
TEST_F(ButtonPainterTest, FocusRectangleThreePixelsInsideItemInEveryState)
{
    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        for (const FocusCase& row : kFocusCases) {
            SCOPED_TRACE(std::string(IsPrimary(style) ? "primary " : "link ") + row.name);
            UINT id = IsPrimary(style) ? 1001 : 1007;
            int hot = row.hotId ? (int)id : 0;
            std::unique_ptr<Canvas> plain = Paint(style, id, row.itemState, hot);
            std::unique_ptr<Canvas> focused = Paint(style, id, row.itemState | ODS_FOCUS, hot);
            EXPECT_FALSE(focused->SamePixels(*plain)) << "no focus rectangle drawn";

            RECT focus = ItemFor(style);
            InflateRect(&focus, -3, -3);
            DrawFocusRect(focused->Dc(), &focus);
            EXPECT_TRUE(focused->SamePixels(*plain)) << "the focus rectangle is not 3 pixels inside the item";
        }
    }
}

TEST_F(ButtonPainterTest, StateBitsOtherThanSelectedAndFocusChangeNothing)
{
    const UINT others = ODS_GRAYED | ODS_DISABLED | ODS_CHECKED | ODS_DEFAULT | ODS_COMBOBOXEDIT | ODS_HOTLIGHT |
                        ODS_INACTIVE | ODS_NOACCEL | ODS_NOFOCUSRECT;
    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        SCOPED_TRACE(IsPrimary(style) ? "primary" : "link");
        UINT id = IsPrimary(style) ? 1001 : 1007;
        std::unique_ptr<Canvas> plain = Paint(style, id, 0);
        EXPECT_TRUE(Paint(style, id, others)->SamePixels(*plain));
        // A focus change alone still repaints the whole button, not just the rectangle.
        std::unique_ptr<Canvas> focusAction = Paint(style, id, ODS_FOCUS, 0, ItemFor(style), WindowFor(style),
                                                    FontFor(style), kCanvasWidth, kCanvasHeight, ODA_FOCUS);
        EXPECT_TRUE(focusAction->SamePixels(*Paint(style, id, ODS_FOCUS)));
        std::unique_ptr<Canvas> selectAction = Paint(style, id, ODS_SELECTED, 0, ItemFor(style), WindowFor(style),
                                                     FontFor(style), kCanvasWidth, kCanvasHeight, ODA_SELECT);
        EXPECT_TRUE(selectAction->SamePixels(*Paint(style, id, ODS_SELECTED)));
    }
}

TEST_F(ButtonPainterTest, CaptionCutToFirst126Bytes)
{
    // Distinct tails, so that one byte more or less changes the picture.
    std::string caption;
    for (int i = 0; caption.size() < 200; ++i)
        caption += (char)('A' + i % 26);
    HWND window = CreateHostWindow(10, 10, caption.c_str());
    char stored[256] = {};
    GetWindowTextA(window, stored, sizeof(stored));
    ASSERT_EQ(std::string(stored), caption);

    // Wide enough for every character of the caption in the small font.
    HDC screen = GetDC(NULL);
    HGDIOBJ previous = SelectObject(screen, normalFont_);
    SIZE extent = {};
    GetTextExtentPoint32A(screen, caption.c_str(), (int)caption.size(), &extent);
    SelectObject(screen, previous);
    ReleaseDC(NULL, screen);
    int width = extent.cx + 40;
    RECT item = { 10, 5, 10 + width, 31 };

    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        SCOPED_TRACE(IsPrimary(style) ? "primary" : "link");
        const StyleColors& colors = IsPrimary(style) ? kPrimary : kLink;
        std::unique_ptr<Canvas> canvas =
            Paint(style, IsPrimary(style) ? 1001 : 1007, 0, 0, item, window, normalFont_, width + 20, 36);
        std::vector<bool> shown = canvas->Mask(colors.caption);
        std::vector<bool> first126 = TextMask(normalFont_, caption.substr(0, 126), item, width + 20, 36);
        std::vector<bool> first127 = TextMask(normalFont_, caption.substr(0, 127), item, width + 20, 36);
        std::vector<bool> first125 = TextMask(normalFont_, caption.substr(0, 125), item, width + 20, 36);
        ASSERT_FALSE(first126 == first127);
        ASSERT_FALSE(first126 == first125);
        EXPECT_TRUE(shown == first126) << Mismatches(shown, first126) << " pixels differ from the first 126 bytes";
        std::unique_ptr<Canvas> bare =
            Paint(style, IsPrimary(style) ? 1001 : 1007, 0, 0, item, emptyWindow_, normalFont_, width + 20, 36);
        ExpectCaption(*canvas, *bare, normalFont_, caption.substr(0, 126), item, colors);
    }
    DestroyWindow(window);
}

TEST_F(ButtonPainterTest, NoCaptionStillDrawsGradientBorderAndFocus)
{
    HWND empty = CreateHostWindow(10, 10, "");
    // GetWindowTextA fails on a window that no longer exists.
    HWND gone = CreateHostWindow(10, 10, "PLAY");
    DestroyWindow(gone);
    char text[16] = {};
    ASSERT_EQ(GetWindowTextA(gone, text, sizeof(text)), 0);
    for (HWND captionWindow : { gone, empty }) {
        SCOPED_TRACE(captionWindow == gone ? "destroyed window" : "empty caption");
        std::unique_ptr<Canvas> plain =
            Paint(kPrimaryStyle, 1001, 0, 0, kPrimaryItem, captionWindow, largeFont_);
        ExpectLook(*plain, kPrimaryItem, RGB(206, 160, 70), RGB(148, 106, 32), kPrimary);
        EXPECT_EQ(plain->Count({ 0, 0, kCanvasWidth, kCanvasHeight }, kPrimary.caption), 0);
        EXPECT_EQ(plain->Count({ 0, 0, kCanvasWidth, kCanvasHeight }, kPrimary.offsetCaption), 0);

        std::unique_ptr<Canvas> focused =
            Paint(kPrimaryStyle, 1001, ODS_FOCUS, 0, kPrimaryItem, captionWindow, largeFont_);
        EXPECT_FALSE(focused->SamePixels(*plain));
        RECT focus = kPrimaryItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(focused->Dc(), &focus);
        EXPECT_TRUE(focused->SamePixels(*plain));
    }
    DestroyWindow(empty);
}

TEST_F(ButtonPainterTest, LeavesTheDcsPenBrushAndFontSelected)
{
    for (ButtonStyle style : { kPrimaryStyle, kLinkStyle }) {
        for (UINT state : { 0u, (UINT)ODS_SELECTED, (UINT)(ODS_SELECTED | ODS_FOCUS), (UINT)ODS_FOCUS }) {
            SCOPED_TRACE(std::string(IsPrimary(style) ? "primary" : "link") + " state " + std::to_string(state));
            Canvas canvas(kCanvasWidth, kCanvasHeight, kUntouched);
            HPEN pen = CreatePen(PS_DASH, 1, RGB(1, 2, 3));
            HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
            HGDIOBJ oldPen = SelectObject(canvas.Dc(), pen);
            HGDIOBJ oldBrush = SelectObject(canvas.Dc(), brush);
            HGDIOBJ oldFont = SelectObject(canvas.Dc(), FontFor(style));

            DRAWITEMSTRUCT draw = {};
            draw.CtlType = ODT_BUTTON;
            draw.CtlID = IsPrimary(style) ? 1001 : 1007;
            draw.itemAction = ODA_DRAWENTIRE;
            draw.itemState = state;
            draw.hwndItem = WindowFor(style);
            draw.hDC = canvas.Dc();
            draw.rcItem = ItemFor(style);
            DrawLauncherButton(&draw, style);

            EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), (HGDIOBJ)pen);
            EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), (HGDIOBJ)brush);
            EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), (HGDIOBJ)FontFor(style));
            // Left in place on purpose: the caption colour and transparent text.
            EXPECT_EQ(GetBkMode(canvas.Dc()), TRANSPARENT);
            EXPECT_EQ(GetTextColor(canvas.Dc()), (IsPrimary(style) ? kPrimary : kLink).caption);
            // And the painter really drew with a pen of its own.
            EXPECT_TRUE(PixelIs(canvas, (draw.rcItem.left + draw.rcItem.right) / 2, draw.rcItem.top,
                                (IsPrimary(style) ? kPrimary : kLink).border));

            SelectObject(canvas.Dc(), oldFont);
            SelectObject(canvas.Dc(), oldBrush);
            SelectObject(canvas.Dc(), oldPen);
            DeleteObject(brush);
            DeleteObject(pen);
        }
    }
}

} // namespace
