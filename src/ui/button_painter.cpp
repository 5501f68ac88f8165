#include "ui/button_painter.h"

#include "base/launcher_state.h"

struct ButtonGradient {
    COLORREF top;
    COLORREF bottom;
};

struct ButtonColors {
    ButtonGradient normal;
    ButtonGradient hover;
    ButtonGradient pressed;
    COLORREF border;
    COLORREF caption;
    COLORREF offsetCaption;
    bool hasOffsetCaption;
};

static const ButtonColors kPrimaryColors = {
    { RGB(206, 160, 70), RGB(148, 106, 32) },
    { RGB(232, 186, 92), RGB(176, 128, 40) },
    { RGB(150, 110, 30), RGB(110, 78, 18) },
    RGB(248, 222, 150), RGB(28, 20, 6), RGB(250, 236, 200), true,
};

static const ButtonColors kLinkColors = {
    { RGB(44, 60, 98), RGB(26, 36, 64) },
    { RGB(62, 82, 128), RGB(38, 52, 88) },
    { RGB(28, 38, 66), RGB(18, 26, 48) },
    RGB(120, 156, 220), RGB(226, 234, 248), 0, false,
};

static TRIVERTEX Vertex(LONG x, LONG y, COLORREF color)
{
    TRIVERTEX vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.Red = (COLOR16)(GetRValue(color) << 8);
    vertex.Green = (COLOR16)(GetGValue(color) << 8);
    vertex.Blue = (COLOR16)(GetBValue(color) << 8);
    vertex.Alpha = 0;
    return vertex;
}

static void FillGradient(HDC dc, const RECT& r, const ButtonGradient& gradient)
{
    TRIVERTEX vertices[2] = { Vertex(r.left, r.top, gradient.top), Vertex(r.right, r.bottom, gradient.bottom) };
    GRADIENT_RECT joined = { 0, 1 };
    // GDI32's own: MSIMG32's GradientFill only forwards to it, and MSIMG32 is not among
    // the libraries Windows always takes from the system folder.
    GdiGradientFill(dc, vertices, 2, &joined, 1, GRADIENT_FILL_RECT_V);
}

static void DrawBorder(HDC dc, const RECT& r, COLORREF color)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ previousPen = SelectObject(dc, pen);
    HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    RoundRect(dc, r.left, r.top, r.right, r.bottom, ScaleToDpi(8), ScaleToDpi(8));
    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    DeleteObject(pen);
}

static void DrawCaption(HDC dc, const wchar_t* caption, RECT r, COLORREF color)
{
    SetTextColor(dc, color);
    DrawTextW(dc, caption, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void DrawLauncherButton(const DRAWITEMSTRUCT* item, ButtonStyle style)
{
    const ButtonColors& colors = style != ButtonStyle::Link ? kPrimaryColors : kLinkColors;
    bool pressed = (item->itemState & ODS_SELECTED) != 0;
    bool hover = !pressed && gLauncher.hotControlId == (int)item->CtlID;
    const ButtonGradient& gradient = pressed ? colors.pressed : hover ? colors.hover : colors.normal;
    HDC dc = item->hDC;
    const RECT& r = item->rcItem;

    FillGradient(dc, r, gradient);
    DrawBorder(dc, r, colors.border);

    wchar_t caption[128] = {};
    GetWindowTextW(item->hwndItem, caption, ARRAYSIZE(caption));
    SetBkMode(dc, TRANSPARENT);

    // Pressed, the text area loses a pixel at the left and top: the caption sinks
    // by half a pixel while staying centred.
    RECT text = r;
    if (pressed) {
        text.left += 1;
        text.top += 1;
    }
    if (colors.hasOffsetCaption) {
        RECT offset = { text.left + 1, text.top + 1, text.right, text.bottom };
        DrawCaption(dc, caption, offset, colors.offsetCaption);
    }
    DrawCaption(dc, caption, text, colors.caption);

    if (item->itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -ScaleToDpi(3), -ScaleToDpi(3));
        DrawFocusRect(dc, &focus);
    }
}
