// The launcher's callbacks entered the way 32-bit Windows may enter them: with the
// stack aligned to 4 bytes only. Wine always calls them 16-byte aligned, so a thunk
// here shifts the stack before the call; code that keeps SSE data on a stack it
// assumes aligned faults (or, under qemu, traps as an illegal instruction).
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/launcher_state.h"
#include "shell/window_proc.h"
#include "support/test_support.h"

#if defined(__i386__)
// cdecl: CallWithStackOffset(proc, window, message, wParam, lParam, offset) aligns the
// stack to 16, lowers it by offset and makes the stdcall from there, so the callee
// starts with esp + 4 == -offset (mod 16).
extern "C" LRESULT CallWithStackOffset(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       DWORD offset);
// Stores its entry esp in gProbeEntryStack and returns its lParam.
extern "C" LRESULT CALLBACK ProbeEntryStack(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
extern "C" {
volatile uintptr_t gProbeEntryStack;
}

__asm__(".text\n"
        ".globl _CallWithStackOffset\n"
        "_CallWithStackOffset:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    andl $-16, %esp\n"
        "    subl 28(%ebp), %esp\n"
        "    pushl 24(%ebp)\n"
        "    pushl 20(%ebp)\n"
        "    pushl 16(%ebp)\n"
        "    pushl 12(%ebp)\n"
        "    call *8(%ebp)\n"
        "    movl %ebp, %esp\n"
        "    popl %ebp\n"
        "    ret\n"
        ".globl _ProbeEntryStack@16\n"
        "_ProbeEntryStack@16:\n"
        "    movl %esp, _gProbeEntryStack\n"
        "    movl 16(%esp), %eax\n"
        "    ret $16\n");
static const bool kHasThunk = true;
#else
// Never reached: every case skips first where the thunk does not exist.
static LRESULT CallWithStackOffset(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD)
{
    return proc(window, message, wParam, lParam);
}
static const bool kHasThunk = false;
#endif

#define SKIP_WITHOUT_THUNK()                                                                                   \
    if (!kHasThunk)                                                                                            \
    GTEST_SKIP() << "32-bit only: x86_64 Windows enters every callback with a 16-byte aligned stack"

// 0 is the aligned call a compiler assumes; the others are what 32-bit Windows allows.
static const DWORD kStackOffsets[] = { 0, 4, 8, 12 };

// A 32-bit top-down DIB section selected into a memory DC, its pixels readable.
class Canvas {
public:
    Canvas(int width, int height, HFONT font = NULL) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(NULL);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, (void**)&bits_, NULL, 0);
        previousBitmap_ = SelectObject(dc_, bitmap_);
        if (font)
            previousFont_ = SelectObject(dc_, font);
        // A colour no painting produces, so unpainted pixels show.
        for (int i = 0; i < width * height; ++i)
            bits_[i] = 0x00FF00FF;
    }
    ~Canvas()
    {
        if (previousFont_)
            SelectObject(dc_, previousFont_);
        SelectObject(dc_, previousBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return dc_; }
    std::vector<DWORD> Pixels() const
    {
        GdiFlush();
        return std::vector<DWORD>(bits_, bits_ + width_ * height_);
    }

private:
    int width_;
    int height_;
    HDC dc_ = NULL;
    HBITMAP bitmap_ = NULL;
    DWORD* bits_ = nullptr;
    HGDIOBJ previousBitmap_ = NULL;
    HGDIOBJ previousFont_ = NULL;
};

static size_t CountDifferences(const std::vector<DWORD>& a, const std::vector<DWORD>& b)
{
    size_t differences = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        differences += (a[i] & 0xFFFFFF) != (b[i] & 0xFFFFFF);
    return differences;
}

static bool IsUniform(const std::vector<DWORD>& pixels)
{
    for (DWORD pixel : pixels)
        if ((pixel & 0xFFFFFF) != (pixels[0] & 0xFFFFFF))
            return false;
    return true;
}

TEST(StackAlignmentThunk, EntersTheCalleeWithTheStackOffsetAsked)
{
    SKIP_WITHOUT_THUNK();
#if defined(__i386__)
    for (DWORD offset : kStackOffsets) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        gProbeEntryStack = 1;
        LPARAM marker = (LPARAM)(0x5A5A0000 + offset);
        EXPECT_EQ(CallWithStackOffset(ProbeEntryStack, NULL, WM_NULL, 0, marker, offset), marker);
        EXPECT_EQ((gProbeEntryStack + 4) % 16, (16 - offset) % 16);
    }
#endif
}

class StackAlignmentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!kHasThunk)
            return;
        DeleteConfigKey();
        launcher_.reset(new InProcessLauncher());
        // Park the real pointer over the bare background, away from both buttons, so
        // only the messages of the test move the hover state.
        POINT park = { 600, 100 };
        ClientToScreen(Window(), &park);
        SetCursorPos(park.x, park.y);
        PumpMessages(150);
    }
    void TearDown() override { launcher_.reset(); }

    HWND Window() const { return launcher_->Window(); }
    HWND Control(int id) const { return launcher_->Control(id); }
    // Centre of a control in the main window's client coordinates.
    POINT CentreOf(int id) const
    {
        RECT r;
        GetWindowRect(Control(id), &r);
        MapWindowPoints(NULL, Window(), (POINT*)&r, 2);
        POINT centre = { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
        return centre;
    }
    // Draws one owner-drawn button into a canvas of its size through the main
    // window's procedure, aligned (a plain call) or through the thunk.
    std::vector<DWORD> DrawButton(int id, UINT state, bool throughThunk, DWORD offset, LRESULT* result)
    {
        HWND button = Control(id);
        RECT client;
        GetClientRect(button, &client);
        Canvas canvas(client.right, client.bottom, (HFONT)SendMessageA(button, WM_GETFONT, 0, 0));
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = id;
        item.itemAction = ODA_DRAWENTIRE;
        item.itemState = state;
        item.hwndItem = button;
        item.hDC = canvas.Dc();
        item.rcItem = client;
        if (throughThunk)
            *result = CallWithStackOffset(LauncherWindowProc, Window(), WM_DRAWITEM, id, (LPARAM)&item, offset);
        else
            *result = LauncherWindowProc(Window(), WM_DRAWITEM, id, (LPARAM)&item);
        return canvas.Pixels();
    }
    std::vector<DWORD> EraseBackground(bool throughThunk, DWORD offset, LRESULT* result)
    {
        RECT client;
        GetClientRect(Window(), &client);
        Canvas canvas(client.right, client.bottom);
        if (throughThunk)
            *result = CallWithStackOffset(LauncherWindowProc, Window(), WM_ERASEBKGND, (WPARAM)canvas.Dc(), 0, offset);
        else
            *result = LauncherWindowProc(Window(), WM_ERASEBKGND, (WPARAM)canvas.Dc(), 0);
        return canvas.Pixels();
    }

    std::unique_ptr<InProcessLauncher> launcher_;
};

TEST_F(StackAlignmentTest, ColorStaticAnswersAsWhenAligned)
{
    SKIP_WITHOUT_THUNK();
    struct Row {
        const char* what;
        HWND control;
    };
    const Row rows[] = {
        { "volume trackbar", gLauncher.volumeTrackbar },
        { "full screen check box", gLauncher.fullScreenCheck },
        { "music check box", gLauncher.musicCheck },
        { "first static label", FindWindowExA(Window(), NULL, "STATIC", NULL) },
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(row.control != NULL) << row.what;
        HDC dc = GetDC(row.control);
        // What the aligned call leaves in the DC and answers.
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(1, 2, 3));
        SetTextColor(dc, RGB(4, 5, 6));
        LRESULT expectedBrush = LauncherWindowProc(Window(), WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)row.control);
        int expectedMode = GetBkMode(dc);
        COLORREF expectedBack = GetBkColor(dc);
        COLORREF expectedText = GetTextColor(dc);
        ASSERT_NE(expectedBrush, 0) << row.what;
        for (DWORD offset : kStackOffsets) {
            SCOPED_TRACE(std::string(row.what) + ", offset " + std::to_string(offset));
            SetBkMode(dc, OPAQUE);
            SetBkColor(dc, RGB(1, 2, 3));
            SetTextColor(dc, RGB(4, 5, 6));
            LRESULT brush = CallWithStackOffset(LauncherWindowProc, Window(), WM_CTLCOLORSTATIC, (WPARAM)dc,
                                                (LPARAM)row.control, offset);
            EXPECT_EQ(brush, expectedBrush);
            EXPECT_EQ(GetBkMode(dc), expectedMode);
            EXPECT_EQ(GetBkColor(dc), expectedBack);
            EXPECT_EQ(GetTextColor(dc), expectedText);
        }
        ReleaseDC(row.control, dc);
    }
}

TEST_F(StackAlignmentTest, MouseMovesAndLeavesTrackTheHotButtonAsWhenAligned)
{
    SKIP_WITHOUT_THUNK();
    const POINT play = CentreOf(ID_PLAY);
    const POINT link = CentreOf(ID_SITE_LINK);
    const HWND playButton = Control(ID_PLAY);
    const HWND linkButton = Control(ID_SITE_LINK);
    struct Step {
        const char* what;
        WNDPROC proc;
        HWND window;
        UINT message;
        LPARAM lParam;
    };
    const Step steps[] = {
        { "main window: move over the background", LauncherWindowProc, Window(), WM_MOUSEMOVE, MAKELPARAM(600, 100) },
        { "main window: move over PLAY", LauncherWindowProc, Window(), WM_MOUSEMOVE, MAKELPARAM(play.x, play.y) },
        { "main window: move over the site link", LauncherWindowProc, Window(), WM_MOUSEMOVE,
          MAKELPARAM(link.x, link.y) },
        { "main window: leave", LauncherWindowProc, Window(), WM_MOUSELEAVE, 0 },
        { "PLAY button: move", HoverButtonProc, playButton, WM_MOUSEMOVE, MAKELPARAM(5, 5) },
        { "site link button: leave", HoverButtonProc, linkButton, WM_MOUSELEAVE, 0 },
        { "site link button: move", HoverButtonProc, linkButton, WM_MOUSEMOVE, MAKELPARAM(5, 5) },
        { "PLAY button: leave", HoverButtonProc, playButton, WM_MOUSELEAVE, 0 },
        { "site link button: leave", HoverButtonProc, linkButton, WM_MOUSELEAVE, 0 },
        { "main window: move over the background", LauncherWindowProc, Window(), WM_MOUSEMOVE, MAKELPARAM(600, 100) },
    };
    // The hot control after each step; the leave notifications the steps asked for
    // are handled before the next pass.
    auto run = [&](bool throughThunk, DWORD offset) {
        std::vector<int> hot;
        for (const Step& step : steps) {
            if (throughThunk)
                CallWithStackOffset(step.proc, step.window, step.message, 0, step.lParam, offset);
            else
                step.proc(step.window, step.message, 0, step.lParam);
            hot.push_back(gLauncher.hotControlId);
        }
        PumpMessages(20);
        return hot;
    };
    const std::vector<int> expected = run(false, 0);
    // Whatever the leaves do, the moves decide: the sequence compared is not flat.
    EXPECT_EQ(expected[0], 0);
    EXPECT_EQ(expected[1], ID_PLAY);
    EXPECT_EQ(expected[2], ID_SITE_LINK);
    EXPECT_EQ(expected[4], ID_PLAY);
    EXPECT_EQ(expected[6], ID_SITE_LINK);
    EXPECT_EQ(expected[9], 0);
    for (DWORD offset : kStackOffsets) {
        SCOPED_TRACE("offset " + std::to_string(offset));
        std::vector<int> hot = run(true, offset);
        for (size_t i = 0; i < hot.size() && i < expected.size(); ++i)
            EXPECT_EQ(hot[i], expected[i]) << "after step " << i << ": " << steps[i].what;
    }
}

TEST_F(StackAlignmentTest, ButtonsPaintAsWhenAligned)
{
    SKIP_WITHOUT_THUNK();
    struct Row {
        const char* what;
        int id;
        UINT state;
    };
    const Row rows[] = {
        { "PLAY", ID_PLAY, 0 },
        { "PLAY pressed", ID_PLAY, ODS_SELECTED },
        { "PLAY focused", ID_PLAY, ODS_FOCUS },
        { "site link", ID_SITE_LINK, 0 },
        { "site link pressed and focused", ID_SITE_LINK, ODS_SELECTED | ODS_FOCUS },
    };
    for (const Row& row : rows) {
        LRESULT result = 0;
        std::vector<DWORD> expected = DrawButton(row.id, row.state, false, 0, &result);
        ASSERT_EQ(result, TRUE) << row.what;
        ASSERT_FALSE(IsUniform(expected)) << row.what << ": the aligned call painted a face and a caption";
        for (DWORD offset : kStackOffsets) {
            SCOPED_TRACE(std::string(row.what) + ", offset " + std::to_string(offset));
            result = 0;
            std::vector<DWORD> drawn = DrawButton(row.id, row.state, true, offset, &result);
            EXPECT_EQ(result, TRUE);
            EXPECT_EQ(CountDifferences(drawn, expected), 0u) << "pixels unlike the aligned call's";
        }
    }
    // The comparison sees the state: pressed and normal faces differ.
    LRESULT ignored = 0;
    EXPECT_NE(CountDifferences(DrawButton(ID_PLAY, 0, true, 4, &ignored),
                               DrawButton(ID_PLAY, ODS_SELECTED, true, 4, &ignored)),
              0u);
}

// A 24-bit bottom-up BMP file whose every pixel differs from its neighbours.
static std::string PatternBmp(int width, int height)
{
    int stride = (width * 3 + 3) & ~3;
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + stride * height;
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::string bytes((const char*)&file, sizeof(file));
    bytes.append((const char*)&info, sizeof(info));
    for (int y = 0; y < height; ++y) {
        std::string row(stride, '\0');
        for (int x = 0; x < width; ++x) {
            row[x * 3] = (char)(x * 255 / width);
            row[x * 3 + 1] = (char)(y * 255 / height);
            row[x * 3 + 2] = (char)((x * 7 + y * 13) & 0xFF);
        }
        bytes += row;
    }
    return bytes;
}

TEST_F(StackAlignmentTest, BackgroundErasesAsWhenAligned)
{
    SKIP_WITHOUT_THUNK();
    ScratchFolder folder(L"align");
    folder.Write(L"launcher_bg.bmp", PatternBmp(90, 60));
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);

    struct Row {
        const char* what;
        bool picture;
    };
    const Row rows[] = { { "flat fill", false }, { "stretched picture", true } };
    std::vector<DWORD> flat;
    for (const Row& row : rows) {
        if (row.picture) {
            // The picture beside the "launcher": loaded by the deferred start-up step.
            ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));
            launcher_->RunDeferredInit();
            SetCurrentDirectoryW(previous);
            ASSERT_TRUE(gLauncher.backgroundBitmap != NULL) << "launcher_bg.bmp was not loaded";
        } else {
            ASSERT_TRUE(gLauncher.backgroundBitmap == NULL) << "a background picture lies in the test folder";
        }
        LRESULT result = 0;
        std::vector<DWORD> expected = EraseBackground(false, 0, &result);
        ASSERT_EQ(result, 1) << row.what;
        if (row.picture)
            ASSERT_NE(CountDifferences(expected, flat), 0u) << "the picture was painted, not the flat fill";
        else
            flat = expected;
        for (DWORD offset : kStackOffsets) {
            SCOPED_TRACE(std::string(row.what) + ", offset " + std::to_string(offset));
            result = 0;
            std::vector<DWORD> erased = EraseBackground(true, offset, &result);
            EXPECT_EQ(result, 1);
            EXPECT_EQ(CountDifferences(erased, expected), 0u) << "pixels unlike the aligned call's";
        }
    }
}
