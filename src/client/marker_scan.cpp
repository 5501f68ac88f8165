#include "client/marker_scan.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

static bool MarkerAt(const unsigned char* data)
{
    return memcmp(data, kClientMarker, kMarkerLength) == 0;
}

// Sixteen windows at a time: a window is compared in full only when its first and
// last bytes match the marker's. Windows are taken in increasing order, so the first
// match found is the first match in the data.
size_t FindMarker(const unsigned char* data, size_t count)
{
    if (count < kMarkerLength)
        return count;
    const size_t lastStart = count - kMarkerLength;
    size_t p = 0;
#ifdef __SSE2__
    const __m128i first = _mm_set1_epi8(kClientMarker[0]);
    const __m128i last = _mm_set1_epi8(kClientMarker[kMarkerLength - 1]);
    for (; p + 15 <= lastStart; p += 16) {
        __m128i heads = _mm_loadu_si128((const __m128i*)(data + p));
        __m128i tails = _mm_loadu_si128((const __m128i*)(data + p + kMarkerLength - 1));
        unsigned candidates = (unsigned)_mm_movemask_epi8(
            _mm_and_si128(_mm_cmpeq_epi8(heads, first), _mm_cmpeq_epi8(tails, last)));
        while (candidates) {
            unsigned offset = (unsigned)__builtin_ctz(candidates);
            if (MarkerAt(data + p + offset))
                return p + offset;
            candidates &= candidates - 1;
        }
    }
#endif
    for (; p <= lastStart; ++p) {
        if (data[p] == (unsigned char)kClientMarker[0] && MarkerAt(data + p))
            return p;
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
