#include "support/ui_support.h"

#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    bits_ = (DWORD*)bits;
    dc_ = CreateCompatibleDC(NULL);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(fill);
}

Canvas::~Canvas()
{
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void Canvas::Fill(COLORREF color)
{
    GdiFlush();
    DWORD value = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    for (int i = 0; i < width_ * height_; ++i)
        bits_[i] = value;
}

COLORREF Canvas::Pixel(int x, int y) const
{
    GdiFlush();
    return At(x, y);
}

std::vector<COLORREF> Canvas::Pixels() const
{
    GdiFlush();
    std::vector<COLORREF> pixels;
    pixels.reserve((size_t)width_ * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            pixels.push_back(At(x, y));
    return pixels;
}

int Canvas::Count(const RECT& area, COLORREF color) const
{
    GdiFlush();
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            count += At(x, y) == color;
    return count;
}

int Canvas::CountOther(const RECT& area, COLORREF color) const
{
    return (area.right - area.left) * (area.bottom - area.top) - Count(area, color);
}

std::vector<bool> Canvas::Mask(COLORREF color) const
{
    GdiFlush();
    std::vector<bool> mask((size_t)width_ * height_);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x)
            mask[(size_t)y * width_ + x] = At(x, y) == color;
    return mask;
}

bool Canvas::SamePixels(const Canvas& other) const
{
    if (other.width_ != width_ || other.height_ != height_)
        return false;
    GdiFlush();
    for (int i = 0; i < width_ * height_; ++i) {
        if ((bits_[i] & 0xFFFFFF) != (other.bits_[i] & 0xFFFFFF))
            return false;
    }
    return true;
}

std::string ColorText(COLORREF color)
{
    char text[32];
    snprintf(text, sizeof(text), "RGB(%d, %d, %d)", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

::testing::AssertionResult PixelIs(const Canvas& canvas, int x, int y, COLORREF expected)
{
    return PixelNear(canvas, x, y, expected, 0);
}

::testing::AssertionResult PixelNear(const Canvas& canvas, int x, int y, COLORREF expected, int tolerance)
{
    COLORREF actual = canvas.Pixel(x, y);
    if (abs(GetRValue(actual) - GetRValue(expected)) <= tolerance &&
        abs(GetGValue(actual) - GetGValue(expected)) <= tolerance &&
        abs(GetBValue(actual) - GetBValue(expected)) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel (" << x << ", " << y << ") is " << ColorText(actual) << ", expected "
                                         << ColorText(expected)
                                         << (tolerance ? " within " + std::to_string(tolerance) : std::string());
}

CurrentFolder::CurrentFolder(const std::wstring& folder)
{
    wchar_t current[MAX_PATH];
    DWORD length = GetCurrentDirectoryW(MAX_PATH, current);
    previous_.assign(current, length < MAX_PATH ? length : 0);
    entered_ = SetCurrentDirectoryW(folder.c_str()) != FALSE;
}

CurrentFolder::~CurrentFolder()
{
    // A current folder cannot be removed: leave it before the scratch folder goes.
    if (!previous_.empty())
        SetCurrentDirectoryW(previous_.c_str());
}

HWND CreateHostWindow(int clientWidth, int clientHeight, const char* text)
{
    // WS_POPUP without a border: the window rectangle is the client area.
    return CreateWindowExA(0, "STATIC", text, WS_POPUP, 0, 0, clientWidth, clientHeight, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

static bool WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WriteQuadrantBmp(const std::wstring& path, int width, int height, const COLORREF quadrants[4])
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    if (!picture)
        return false;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(dc, picture);
    const RECT parts[4] = {
        { 0, 0, width / 2, height / 2 },
        { width / 2, 0, width, height / 2 },
        { 0, height / 2, width / 2, height },
        { width / 2, height / 2, width, height },
    };
    for (int i = 0; i < 4; ++i) {
        HBRUSH brush = CreateSolidBrush(quadrants[i]);
        FillRect(dc, &parts[i], brush);
        DeleteObject(brush);
    }
    GdiFlush();
    SelectObject(dc, previous);
    DeleteDC(dc);

    DWORD rowBytes = ((DWORD)width * 3 + 3) & ~3u;
    DWORD pixelBytes = rowBytes * height;
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + pixelBytes;
    info.bmiHeader.biSizeImage = pixelBytes;
    std::vector<BYTE> file(header.bfSize);
    memcpy(file.data(), &header, sizeof(header));
    memcpy(file.data() + sizeof(header), &info.bmiHeader, sizeof(info.bmiHeader));
    // The section is bottom-up with padded rows, exactly the file's pixel layout.
    memcpy(file.data() + header.bfOffBits, bits, pixelBytes);
    DeleteObject(picture);
    return WriteWholeFile(path, file);
}

namespace {

// GDI+ for the helpers' own use; nested start-ups are counted by GDI+.
class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&token_, &input, NULL) != Gdiplus::Ok)
            token_ = 0;
    }
    ~GdiplusSession()
    {
        if (token_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool Started() const { return token_ != 0; }

private:
    ULONG_PTR token_ = 0;
};

bool FindEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0;
    UINT bytes = 0;
    if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0)
        return false;
    std::vector<BYTE> buffer(bytes);
    Gdiplus::ImageCodecInfo* codecs = (Gdiplus::ImageCodecInfo*)buffer.data();
    if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// Fills a 32-bpp ARGB GDI+ bitmap row by row and saves it with the named encoder.
bool SavePixels(const std::wstring& path, int width, int height, const std::function<DWORD(int, int)>& pixelAt,
                const wchar_t* mimeType, Gdiplus::EncoderParameters* parameters)
{
    GdiplusSession session;
    CLSID encoder;
    if (!session.Started() || !FindEncoder(mimeType, &encoder))
        return false;
    bool saved = false;
    {
        Gdiplus::Bitmap picture(width, height, PixelFormat32bppARGB);
        Gdiplus::Rect all(0, 0, width, height);
        Gdiplus::BitmapData data;
        if (picture.LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &data) != Gdiplus::Ok)
            return false;
        for (int y = 0; y < height; ++y) {
            DWORD* row = (DWORD*)((BYTE*)data.Scan0 + (ptrdiff_t)y * data.Stride);
            for (int x = 0; x < width; ++x)
                row[x] = pixelAt(x, y);
        }
        picture.UnlockBits(&data);
        saved = picture.Save(path.c_str(), &encoder, parameters) == Gdiplus::Ok;
    }
    return saved;
}

} // namespace

bool WriteSolidJpeg(const std::wstring& path, int width, int height, COLORREF color)
{
    ULONG quality = 100;
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    DWORD argb = 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    return SavePixels(path, width, height, [argb](int, int) { return argb; }, L"image/jpeg", &parameters);
}

bool WritePng(const std::wstring& path, int width, int height, const std::function<DWORD(int, int)>& pixelAt)
{
    return SavePixels(path, width, height, pixelAt, L"image/png", NULL);
}

bool SaveCanvasPng(const Canvas& canvas, const std::wstring& path)
{
    // Opaque: the alpha byte of a captured DIB section means nothing.
    std::vector<COLORREF> pixels = canvas.Pixels();
    int width = canvas.Width();
    return WritePng(path, width, canvas.Height(), [&pixels, width](int x, int y) {
        COLORREF color = pixels[(size_t)y * width + x];
        return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    });
}

bool CaptureScreen(Canvas& canvas, POINT origin)
{
    HDC screen = GetDC(NULL);
    if (!screen)
        return false;
    BOOL copied = BitBlt(canvas.Dc(), 0, 0, canvas.Width(), canvas.Height(), screen, origin.x, origin.y, SRCCOPY);
    ReleaseDC(NULL, screen);
    GdiFlush();
    return copied != FALSE;
}

size_t CountCreatableGdiObjects()
{
    // Far above any handle table (Wine: 64K entries, Windows: 10,000 by default).
    const size_t kLimit = 1u << 20;
    std::vector<HBRUSH> made;
    made.reserve(70000);
    while (made.size() < kLimit) {
        HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
        if (!brush)
            break;
        made.push_back(brush);
    }
    for (HBRUSH brush : made)
        DeleteObject(brush);
    return made.size();
}
