// Keeps one hidden window alive for the whole test run, so Wine's desktop process
// is not started and stopped around every test. Ends when its window is closed.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "VelkoraTestKeepAlive";
    RegisterClassA(&windowClass);
    CreateWindowExA(0, "VelkoraTestKeepAlive", "keepalive", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, instance, NULL);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
