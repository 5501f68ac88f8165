// The floor of the size and memory figures: the least program that does the
// launcher's kind of work with the same system libraries and the same parts of the
// C++ library. It finds its own folder (std::vector, std::wstring), reads one
// registry value, paints a flat fill with two gradient bars where the launcher's
// buttons are, then decodes launcher_bg.jpg with GDI+ and stretches it over the
// window in HALFTONE mode. It ends when its window is closed.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <shellapi.h>

#include <new>
#include <string>
#include <vector>

static const char kClassName[] = "VelkoraBenchPrototype";
static const UINT WM_PROTOTYPE_INIT = WM_APP + 1;

static HBITMAP gPicture;

static std::wstring OwnFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(NULL, path.data(), (DWORD)path.size());
        if (length == 0)
            return std::wstring();
        if (length < path.size())
            break;
        path.resize(path.size() * 2);
    }
    std::wstring folder(path.data());
    size_t slash = folder.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash);
}

static DWORD ReadStoredVolume()
{
    DWORD value = 5;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Config", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof(value);
        RegQueryValueExA(key, "VolumeLevel", NULL, NULL, (BYTE*)&value, &size);
        RegCloseKey(key);
    }
    return value;
}

static void LoadPicture()
{
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(Gdiplus::Bitmap));
    if (!memory)
        return;
    Gdiplus::Bitmap* picture = ::new (memory) Gdiplus::Bitmap(L"launcher_bg.jpg", FALSE);
    if (picture->GetLastStatus() == Gdiplus::Ok)
        picture->GetHBITMAP(Gdiplus::Color(255, 0, 0, 0), &gPicture);
    delete picture;
}

static void FillBar(HDC dc, int top, int height, COLORREF upper, COLORREF lower)
{
    TRIVERTEX vertices[2] = {};
    vertices[0].x = 34;
    vertices[0].y = top;
    vertices[0].Red = (COLOR16)(GetRValue(upper) << 8);
    vertices[0].Green = (COLOR16)(GetGValue(upper) << 8);
    vertices[0].Blue = (COLOR16)(GetBValue(upper) << 8);
    vertices[1].x = 34 + 246;
    vertices[1].y = top + height;
    vertices[1].Red = (COLOR16)(GetRValue(lower) << 8);
    vertices[1].Green = (COLOR16)(GetGValue(lower) << 8);
    vertices[1].Blue = (COLOR16)(GetBValue(lower) << 8);
    GRADIENT_RECT joined = { 0, 1 };
    GradientFill(dc, vertices, 2, &joined, 1, GRADIENT_FILL_RECT_V);
}

static void Paint(HWND window, HDC dc)
{
    RECT area;
    GetClientRect(window, &area);
    if (gPicture) {
        HDC source = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(source, gPicture);
        BITMAP size = {};
        GetObjectA(gPicture, sizeof(size), &size);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, area.right, area.bottom, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    } else {
        HBRUSH fill = CreateSolidBrush(RGB(18, 20, 32));
        FillRect(dc, &area, fill);
        DeleteObject(fill);
    }
    FillBar(dc, 490, 52, RGB(206, 160, 70), RGB(148, 106, 32));
    FillBar(dc, 550, 26, RGB(44, 60, 98), RGB(26, 36, 64));
}

static LRESULT CALLBACK PrototypeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        Paint(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_PROTOTYPE_INIT:
        LoadPicture();
        InvalidateRect(window, NULL, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        // Never reached by the benchmarks; keeps the shell's import as the launcher has it.
        if (ReadStoredVolume() > 10)
            ShellExecuteA(window, "open", "https://velkora.example/", NULL, NULL, SW_SHOWNORMAL);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);
    SetCurrentDirectoryW(OwnFolder().c_str());
    ReadStoredVolume();

    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, NULL);

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = PrototypeWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);

    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = { 0, 0, 900, 600 };
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    HWND window = CreateWindowExA(0, kClassName, "prototype", style, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, NULL, NULL,
                                  instance, NULL);
    if (window) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
        PostMessageA(window, WM_PROTOTYPE_INIT, 0, 0);
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    if (gPicture)
        DeleteObject(gPicture);
    Gdiplus::GdiplusShutdown(gdiplusToken);
    return 0;
}
