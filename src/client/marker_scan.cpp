#include "client/marker_scan.h"

#include <cstring>

namespace {

// Horspool shift table: how far the window may move when its last byte is b.
struct ShiftTable {
    unsigned char shift[256];
};

constexpr ShiftTable MakeShiftTable()
{
    ShiftTable table = {};
    for (int b = 0; b < 256; ++b)
        table.shift[b] = (unsigned char)kMarkerLength;
    for (size_t i = 0; i + 1 < kMarkerLength; ++i)
        table.shift[(unsigned char)kClientMarker[i]] = (unsigned char)(kMarkerLength - 1 - i);
    return table;
}

constexpr ShiftTable kShift = MakeShiftTable();

}  // namespace

// Windows are tested in increasing order, and a window is skipped only when its
// last byte proves that no marker can start before the next one tested, so the
// first match found is the first match in the data.
size_t FindMarker(const unsigned char* data, size_t count)
{
    if (count < kMarkerLength)
        return count;
    const unsigned char last = (unsigned char)kClientMarker[kMarkerLength - 1];
    size_t p = 0;
    while (p <= count - kMarkerLength) {
        unsigned char tail = data[p + kMarkerLength - 1];
        if (tail == last && memcmp(data + p, kClientMarker, kMarkerLength - 1) == 0)
            return p;
        p += kShift.shift[tail];
    }
    return count;
}

int ScanForMarker(ScanReader read, void* context, unsigned char* buffer)
{
    size_t carried = 0;
    size_t bytesRead = 0;
    if (!read(context, buffer, kScanReadSize, &bytesRead))
        return 0;
    while (bytesRead != 0) {
        size_t count = carried + bytesRead;
        if (FindMarker(buffer, count) < count)
            return 1;
        carried = count < kScanCarry ? count : kScanCarry;
        memmove(buffer, buffer + count - carried, carried);
        if (!read(context, buffer + carried, kScanReadSize, &bytesRead))
            return 0;
    }
    return 0;
}
