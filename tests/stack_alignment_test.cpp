// The window procedure in this process on its paths with SSE code and GDI objects: the
// probe, the picture, the erase, a button. 32-bit Windows may enter it with the stack
// aligned to 4 bytes only, where Wine aligns it to 16: on i686 a thunk misaligns it.
#include "client/marker_scan.h"
#include "shell/main_window.h"
#include "shell/window_proc.h"
#include "support.h"

#if defined(__i386__)
// Aligns the stack to 16, lowers it by offset and makes the stdcall from there.
extern "C" LRESULT CallWithStackOffset(WNDPROC, HWND, UINT, WPARAM, LPARAM, DWORD offset);
__asm__(".globl _CallWithStackOffset\n_CallWithStackOffset:\n"
        "pushl %ebp; movl %esp, %ebp; andl $-16, %esp; subl 28(%ebp), %esp\n"
        "pushl 24(%ebp); pushl 20(%ebp); pushl 16(%ebp); pushl 12(%ebp)\n"
        "call *8(%ebp); movl %ebp, %esp; popl %ebp; ret\n");
#else
#define CallWithStackOffset(proc, window, message, wParam, lParam, offset) proc(window, message, wParam, lParam)
#endif

TEST(InProcess, MisalignedStackAndNoLostGdiObject)
{
    std::string folder = Stage({ "solid.jpg=launcher_bg.jpg" });
    std::ofstream(folder + "\\Main.exe") << std::string(200000, 'x') << kClientMarker;
    SetCurrentDirectoryA(folder.c_str());
    RegisterLauncherClass(NULL);
    HWND window = CreateMainWindow(NULL);
    CreateChildControls(window, NULL);
    HDC dc = GetDC(window);
    DRAWITEMSTRUCT item = { ODT_BUTTON, ID_PLAY, 0, 0, ODS_SELECTED | ODS_FOCUS, window, dc, { 0, 0, 246, 52 } };
    int before = 0, after = 0;
    for (DWORD offset : { 0u, 4u, 8u, 12u }) {
        CallWithStackOffset(LauncherWindowProc, window, WM_LAUNCHER_INIT, 0, 0, offset);
        EXPECT_TRUE(IsWindowEnabled(gLauncher.fullScreenCheck) && gLauncher.backgroundBitmap) << offset;
        EXPECT_EQ(CallWithStackOffset(LauncherWindowProc, window, WM_ERASEBKGND, (WPARAM)dc, 0, offset), 1);
        EXPECT_EQ(CallWithStackOffset(LauncherWindowProc, window, WM_DRAWITEM, ID_PLAY, (LPARAM)&item, offset), 1);
        DeleteObject(gLauncher.backgroundBitmap);
        gLauncher.backgroundBitmap = NULL;
        CallWithStackOffset(LauncherWindowProc, window, WM_ERASEBKGND, (WPARAM)dc, 0, offset);  // the flat fill
        // Wine takes a handle without its generation bits as the object in that slot.
        for (ULONG_PTR slot = after = 1; slot < 0x10000; ++slot)
            after += GetObjectType((HGDIOBJ)slot) != 0;
        before = before ? before : after;
    }
    EXPECT_TRUE(before > 1 && after == before) << "live GDI objects: " << before << ", then " << after;
    ReleaseDC(window, dc);
    DestroyWindow(window);
    ShutdownLauncher();
}
