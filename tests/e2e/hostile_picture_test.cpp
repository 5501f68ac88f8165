// Hostile background pictures beside the real launcher: empty, cut short, lying
// about their size, in rarer JPEG flavours, a folder in the picture's place, and a
// huge valid one. Each time the launcher must start, keep running and answering,
// show either the flat fill or the picture away from the panel, and exit with 0.
#include <gtest/gtest.h>

#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/hostile_support.h"
#include "support/test_support.h"

namespace {

using namespace hostile;

// Solid 16x16 pictures in the JPEG flavours GDI+ cannot write, made with
// ImageMagick 6.9 and stored here so the test needs nothing at run time:
//   convert -size 16x16 'xc:rgb(40,160,90)' -strip -quality 100 -interlace Plane prog.jpg
//   convert -size 16x16 'xc:rgb(170,170,170)' -colorspace Gray -strip -quality 100 gray.jpg
//   convert -size 16x16 'xc:rgb(40,160,90)' -colorspace CMYK -strip -quality 100 cmyk.jpg
const unsigned char kProgressiveJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc2,
    0x00, 0x11, 0x08, 0x00, 0x10, 0x00, 0x10, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11,
    0x01, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0xff, 0xc4, 0x00, 0x16, 0x01, 0x01, 0x01, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x08,
    0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02, 0x10, 0x03, 0x10, 0x00, 0x00, 0x01, 0x8f, 0x83,
    0xc4, 0xe0, 0x0f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00,
    0x01, 0x05, 0x02, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01, 0x03,
    0x01, 0x01, 0x3f, 0x01, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08, 0x01,
    0x02, 0x01, 0x01, 0x3f, 0x01, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00, 0x08,
    0x01, 0x01, 0x00, 0x06, 0x3f, 0x02, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda, 0x00,
    0x08, 0x01, 0x01, 0x00, 0x01, 0x3f, 0x21, 0x1f, 0xff, 0xda, 0x00, 0x0c, 0x03, 0x01, 0x00, 0x02,
    0x00, 0x03, 0x00, 0x00, 0x00, 0x10, 0x00, 0x0f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff, 0xda,
    0x00, 0x08, 0x01, 0x03, 0x01, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20, 0xff,
    0xda, 0x00, 0x08, 0x01, 0x02, 0x01, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x20,
    0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x01, 0x3f, 0x10, 0x1f, 0xff, 0xd9,
};
const unsigned char kGrayscaleJpeg[] = {
    0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01,
    0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x10,
    0x00, 0x10, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4, 0x00,
    0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00, 0xaa, 0x00, 0x3f,
    0xff, 0xd9,
};
const unsigned char kCmykJpeg[] = {
    0xff, 0xd8, 0xff, 0xee, 0x00, 0x0e, 0x41, 0x64, 0x6f, 0x62, 0x65, 0x00, 0x64, 0x00, 0x00, 0x00,
    0x00, 0x02, 0xff, 0xdb, 0x00, 0x43, 0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xdb, 0x00, 0x43, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
    0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc0, 0x00, 0x14,
    0x08, 0x00, 0x10, 0x00, 0x10, 0x04, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0x04,
    0x11, 0x00, 0xff, 0xc4, 0x00, 0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x09, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff,
    0xc4, 0x00, 0x16, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x08, 0x0a, 0xff, 0xc4, 0x00, 0x14, 0x11, 0x01, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xff, 0xda, 0x00,
    0x0e, 0x04, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x04, 0x00, 0x00, 0x3f, 0x00, 0x85, 0xeb, 0x01,
    0xab, 0x05, 0x00, 0x00, 0x00, 0x00, 0x7f, 0xff, 0xd9,
};

const COLORREF kRarePictureColor = RGB(40, 160, 89);
const COLORREF kGrayPictureColor = RGB(170, 170, 170);
const COLORREF kJpegColor = RGB(200, 60, 40);
const COLORREF kBmpColor = RGB(60, 90, 200);

std::string Bytes(const unsigned char* data, size_t size)
{
    return std::string((const char*)data, size);
}

class GdiplusSession {
public:
    GdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        ok_ = Gdiplus::GdiplusStartup(&token_, &input, NULL) == Gdiplus::Ok;
    }
    ~GdiplusSession()
    {
        if (ok_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool Ok() const { return ok_; }

private:
    ULONG_PTR token_ = 0;
    bool ok_ = false;
};

bool FindEncoder(const wchar_t* mimeType, CLSID* clsid)
{
    UINT count = 0, size = 0;
    Gdiplus::GetImageEncodersSize(&count, &size);
    if (size == 0)
        return false;
    std::vector<BYTE> buffer(size);
    Gdiplus::ImageCodecInfo* codecs = (Gdiplus::ImageCodecInfo*)buffer.data();
    Gdiplus::GetImageEncoders(count, size, codecs);
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mimeType) == 0) {
            *clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

// A solid-colour baseline JPEG written by GDI+'s own encoder; empty on failure.
std::string SolidJpeg(int width, int height, COLORREF color)
{
    CLSID jpeg;
    if (!FindEncoder(L"image/jpeg", &jpeg))
        return std::string();
    Gdiplus::Bitmap picture(width, height, PixelFormat24bppRGB);
    {
        Gdiplus::Graphics graphics(&picture);
        graphics.Clear(Gdiplus::Color(255, GetRValue(color), GetGValue(color), GetBValue(color)));
    }
    IStream* stream = NULL;
    if (CreateStreamOnHGlobal(NULL, TRUE, &stream) != S_OK)
        return std::string();
    ULONG quality = 95;
    Gdiplus::EncoderParameters parameters;
    parameters.Count = 1;
    parameters.Parameter[0].Guid = Gdiplus::EncoderQuality;
    parameters.Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    parameters.Parameter[0].NumberOfValues = 1;
    parameters.Parameter[0].Value = &quality;
    std::string bytes;
    if (picture.Save(stream, &jpeg, &parameters) == Gdiplus::Ok) {
        STATSTG stat = {};
        stream->Stat(&stat, STATFLAG_NONAME);
        bytes.resize((size_t)stat.cbSize.QuadPart);
        LARGE_INTEGER start = {};
        stream->Seek(start, STREAM_SEEK_SET, NULL);
        ULONG read = 0;
        stream->Read(&bytes[0], (ULONG)bytes.size(), &read);
        bytes.resize(read);
    }
    stream->Release();
    return bytes;
}

// A bottom-up 24-bit BMP of one colour, written by hand.
std::string SolidBmp(int width, int height, COLORREF color)
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
    info.biSizeImage = stride * height;
    std::string bytes((const char*)&file, sizeof(file));
    bytes.append((const char*)&info, sizeof(info));
    std::string row(stride, '\0');
    for (int x = 0; x < width; ++x) {
        row[x * 3] = (char)GetBValue(color);
        row[x * 3 + 1] = (char)GetGValue(color);
        row[x * 3 + 2] = (char)GetRValue(color);
    }
    for (int y = 0; y < height; ++y)
        bytes += row;
    return bytes;
}

// A BMP whose header is nonsense in every field that sizes the picture.
std::string BogusBmp()
{
    std::string bytes = SolidBmp(4, 4, kBmpColor);
    BITMAPFILEHEADER* file = (BITMAPFILEHEADER*)&bytes[0];
    BITMAPINFOHEADER* info = (BITMAPINFOHEADER*)&bytes[sizeof(BITMAPFILEHEADER)];
    file->bfSize = 0xFFFFFFFF;
    file->bfOffBits = 0x7FFFFFF0;
    info->biWidth = 0x7FFFFFFF;
    info->biHeight = -0x7FFFFFFF;
    info->biBitCount = 7;
    info->biSizeImage = 12;
    info->biClrUsed = 0xFFFFFFFF;
    return bytes;
}

// The same JPEG with the frame header claiming 65535 x 65535 pixels.
std::string GiantClaimJpeg(std::string bytes)
{
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        unsigned char marker = (unsigned char)bytes[i + 1];
        if ((unsigned char)bytes[i] == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
            for (size_t k = i + 5; k < i + 9; ++k)
                bytes[k] = (char)0xFF;
            return bytes;
        }
    }
    return std::string();
}

enum class Shows { Fallback, Picture, FallbackOrPicture };

struct PictureCase {
    const char* name;
    // Fills the launcher's folder; false when the test could not make its files.
    std::function<bool(const ScratchFolder&)> prepare;
    Shows shows;
    COLORREF picture;
    // Where to look, away from the panel (x 34-314, y 350-576) and the buttons.
    std::vector<POINT> samples;
};

void PrintTo(const PictureCase& pictureCase, std::ostream* out)
{
    *out << pictureCase.name;
}

bool Near(COLORREF a, COLORREF b)
{
    const int kTolerance = 8;
    return abs(GetRValue(a) - GetRValue(b)) <= kTolerance && abs(GetGValue(a) - GetGValue(b)) <= kTolerance &&
           abs(GetBValue(a) - GetBValue(b)) <= kTolerance;
}

std::string Describe(COLORREF color)
{
    char text[32];
    snprintf(text, sizeof(text), "RGB(%d, %d, %d)", GetRValue(color), GetGValue(color), GetBValue(color));
    return text;
}

// Whether the pixels match what the case allows, and which of the two shows.
bool Matches(const PictureCase& c, const std::vector<COLORREF>& pixels, bool* showsPicture)
{
    bool allFallback = true, allPicture = true;
    for (COLORREF pixel : pixels) {
        allFallback = allFallback && pixel == kFallbackFill;
        allPicture = allPicture && Near(pixel, c.picture);
    }
    *showsPicture = allPicture;
    switch (c.shows) {
    case Shows::Fallback:
        return allFallback;
    case Shows::Picture:
        return allPicture;
    default:
        return allFallback || allPicture;
    }
}

const std::vector<POINT> kOpenArea = { { 600, 100 }, { 850, 300 }, { 450, 40 }, { 870, 580 } };
const std::vector<POINT> kTopArea = { { 600, 10 }, { 850, 30 }, { 450, 5 } };
const std::vector<POINT> kBottomArea = { { 600, 590 }, { 850, 570 }, { 450, 595 } };

// A decoder that believes a lying header may try to allocate gigabytes; the
// machine running the suite must survive that, so the run stops well before.
const SIZE_T kMemoryCeiling = (SIZE_T)3 << 30;

class HostilePictures : public testing::TestWithParam<PictureCase> {};

TEST_P(HostilePictures, LauncherRunsAndShowsFillOrPicture)
{
    const PictureCase& c = GetParam();
    GdiplusSession gdiplus;
    ASSERT_TRUE(gdiplus.Ok());
    EndCrashesWithoutDialog();
    DeleteConfigKey();
    ScratchFolder folder(L"picture");
    ASSERT_TRUE(c.prepare(folder)) << "could not make the files of this case";
    std::wstring exe = folder.AddLauncher();

    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, folder.Path().c_str()));
    SIZE_T largest = 0;
    bool overran = false;
    auto guard = [&] {
        SIZE_T now = CurrentMemory(launcher.Handle());
        largest = now > largest ? now : largest;
        if (now > kMemoryCeiling && !overran) {
            overran = true;
            TerminateProcess(launcher.Handle(), 0xDEAD);
        }
        return overran;
    };

    HWND window = NULL;
    PumpUntil([&] {
        window = FindProcessWindow(launcher.Id(), "VelkoraLauncher", NULL);
        return guard() || launcher.HasExited() || (window && IsWindowVisible(window));
    }, 60000);
    ASSERT_FALSE(overran) << "the launcher took over 3 GiB";
    ASSERT_NE(window, (HWND)NULL) << "no window; exit code " << launcher.WaitForExit(0);

    // Short round trips until the posted start-up work (picture, probe) is done.
    int answered = 0;
    PumpUntil([&] {
        if (guard() || launcher.HasExited())
            return true;
        if (IsResponsive(window, 200))
            ++answered;
        return answered >= 3;
    }, 60000);
    ASSERT_FALSE(overran) << "the launcher took over 3 GiB";
    ASSERT_FALSE(launcher.HasExited()) << "the launcher ended, exit code " << launcher.WaitForExit(0);
    ASSERT_EQ(answered, 3) << "the launcher stopped answering";

    std::vector<COLORREF> pixels;
    bool showsPicture = false;
    bool matched = PumpUntil([&] {
        pixels.clear();
        for (const POINT& p : c.samples)
            pixels.push_back(ClientPixel(window, p.x, p.y));
        return Matches(c, pixels, &showsPicture) || guard();
    }, 30000);
    std::string seen;
    for (COLORREF pixel : pixels)
        seen += Describe(pixel) + " ";
    EXPECT_TRUE(matched && !overran) << "pixels: " << seen << "fallback " << Describe(kFallbackFill)
                                     << ", picture " << Describe(c.picture);
    printf("%s: %s (pixels %s), launcher's memory at most %u MiB\n", c.name,
           showsPicture ? "picture" : "flat fill", seen.c_str(), (unsigned)(largest >> 20));

    EXPECT_TRUE(IsResponsive(window)) << "no answer after painting";
    EXPECT_FALSE(launcher.HasExited());
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(60000), 0u);
    DeleteConfigKey();
}

// Writes one file of the case; an empty result of a generator is a failure.
bool PutFile(const ScratchFolder& folder, const wchar_t* name, const std::string& bytes, bool empty = false)
{
    if (bytes.empty() != empty)
        return false;
    folder.Write(name, bytes);
    return GetFileAttributesW(folder.File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

const PictureCase kCases[] = {
    { "zero_byte_jpeg",
      [](const ScratchFolder& f) { return PutFile(f, L"launcher_bg.jpg", "", true); },
      Shows::Fallback, kJpegColor, kOpenArea },
    { "jpeg_cut_in_half",
      [](const ScratchFolder& f) {
          std::string jpeg = SolidJpeg(320, 240, kJpegColor);
          return !jpeg.empty() && PutFile(f, L"launcher_bg.jpg", jpeg.substr(0, jpeg.size() / 2));
      },
      Shows::FallbackOrPicture, kJpegColor, kTopArea },
    { "jpeg_cut_inside_its_headers",
      [](const ScratchFolder& f) {
          std::string jpeg = SolidJpeg(320, 240, kJpegColor);
          return jpeg.size() > 100 && PutFile(f, L"launcher_bg.jpg", jpeg.substr(0, 100));
      },
      Shows::Fallback, kJpegColor, kOpenArea },
    { "bmp_cut_in_half",
      [](const ScratchFolder& f) {
          std::string bmp = SolidBmp(320, 240, kBmpColor);
          return PutFile(f, L"launcher_bg.bmp", bmp.substr(0, bmp.size() / 2));
      },
      Shows::FallbackOrPicture, kBmpColor, kBottomArea },
    { "jpeg_claiming_65535_by_65535",
      [](const ScratchFolder& f) {
          return PutFile(f, L"launcher_bg.jpg", GiantClaimJpeg(SolidJpeg(64, 64, kJpegColor)));
      },
      Shows::FallbackOrPicture, kJpegColor, kTopArea },
    { "progressive_jpeg",
      [](const ScratchFolder& f) {
          return PutFile(f, L"launcher_bg.jpg", Bytes(kProgressiveJpeg, sizeof(kProgressiveJpeg)));
      },
      Shows::Picture, kRarePictureColor, kOpenArea },
    { "grayscale_jpeg",
      [](const ScratchFolder& f) {
          return PutFile(f, L"launcher_bg.jpg", Bytes(kGrayscaleJpeg, sizeof(kGrayscaleJpeg)));
      },
      Shows::Picture, kGrayPictureColor, kOpenArea },
    { "cmyk_jpeg",
      [](const ScratchFolder& f) { return PutFile(f, L"launcher_bg.jpg", Bytes(kCmykJpeg, sizeof(kCmykJpeg))); },
      Shows::Picture, kRarePictureColor, kOpenArea },
    { "bmp_with_bogus_header",
      [](const ScratchFolder& f) { return PutFile(f, L"launcher_bg.bmp", BogusBmp()); },
      Shows::Fallback, kBmpColor, kOpenArea },
    { "text_as_jpeg_and_bogus_bmp",
      [](const ScratchFolder& f) {
          return PutFile(f, L"launcher_bg.jpg", "not a picture\r\n") && PutFile(f, L"launcher_bg.bmp", BogusBmp());
      },
      Shows::Fallback, kBmpColor, kOpenArea },
    { "folder_named_launcher_bg_jpg",
      [](const ScratchFolder& f) { return CreateDirectoryW(f.File(L"launcher_bg.jpg").c_str(), NULL) != FALSE; },
      Shows::Fallback, kJpegColor, kOpenArea },
    { "folder_named_jpg_beside_a_valid_bmp",
      [](const ScratchFolder& f) {
          return CreateDirectoryW(f.File(L"launcher_bg.jpg").c_str(), NULL) &&
                 PutFile(f, L"launcher_bg.bmp", SolidBmp(300, 200, kBmpColor));
      },
      Shows::Picture, kBmpColor, kOpenArea },
    { "folders_named_like_both_pictures",
      [](const ScratchFolder& f) {
          return CreateDirectoryW(f.File(L"launcher_bg.jpg").c_str(), NULL) &&
                 CreateDirectoryW(f.File(L"launcher_bg.bmp").c_str(), NULL);
      },
      Shows::Fallback, kBmpColor, kOpenArea },
    { "huge_valid_jpeg_8000_by_8000",
      [](const ScratchFolder& f) { return PutFile(f, L"launcher_bg.jpg", SolidJpeg(8000, 8000, kJpegColor)); },
      Shows::Picture, kJpegColor, kOpenArea },
};

INSTANTIATE_TEST_SUITE_P(Files, HostilePictures, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

}  // namespace
