#include "client/marker_scan.h"

#include <cstring>

// The search samples one pair of bytes every kPairStride bytes. A marker spans 21
// overlapping pairs, so exactly one sampled pair lies inside any marker; a pair that
// is not one of the marker's rules out the 21 starts around it at once.
static const size_t kPairStride = kMarkerLength - 1;
static const unsigned char kSeveralPlaces = 0xFF;

// For each two-byte value, its place in the marker plus one; 0 where the marker does
// not hold it, kSeveralPlaces where it holds it more than once ("ng"). Filled by the
// first search: 64 KiB of zero pages of which only the few holding the marker's pairs
// are ever written.
static unsigned char gPairPlace[65536];

static unsigned PairAt(const unsigned char* bytes)
{
    return bytes[0] | (unsigned)bytes[1] << 8;
}

// The first byte alone turns away nearly every window that shares a pair with the marker.
static bool MarkerAt(const unsigned char* data)
{
    return data[0] == (unsigned char)kClientMarker[0] && memcmp(data, kClientMarker, kMarkerLength) == 0;
}

static void FillPairPlaces()
{
    const unsigned char* marker = (const unsigned char*)kClientMarker;
    if (gPairPlace[PairAt(marker)] != 0)
        return;
    for (size_t place = 0; place < kPairStride; ++place) {
        unsigned char& entry = gPairPlace[PairAt(marker + place)];
        entry = entry != 0 ? kSeveralPlaces : (unsigned char)(place + 1);
    }
}

// The start of a marker holding the sampled pair at `sample`, or a value past
// lastStart. Such a start lies in sample - 20 .. sample; the earliest is tried first.
static size_t MarkerAround(const unsigned char* data, size_t sample, size_t lastStart)
{
    unsigned pair = PairAt(data + sample);
    unsigned char entry = gPairPlace[pair];
    if (entry == 0)
        return lastStart + 1;
    if (entry != kSeveralPlaces) {
        size_t start = sample - (entry - 1);
        return start <= lastStart && MarkerAt(data + start) ? start : lastStart + 1;
    }
    const unsigned char* marker = (const unsigned char*)kClientMarker;
    for (size_t place = kPairStride; place-- > 0;) {
        size_t start = sample - place;
        if (PairAt(marker + place) == pair && start <= lastStart && MarkerAt(data + start))
            return start;
    }
    return lastStart + 1;
}

// The samples sit at 20, 41, 62, ...: the one at s covers the starts s - 20 .. s, so
// taking them in order finds the first marker in the data. The last sample needed is
// the first that reaches lastStart; its pair still lies inside the data.
size_t FindMarker(const unsigned char* data, size_t count)
{
    if (count < kMarkerLength)
        return count;
    FillPairPlaces();
    const size_t lastStart = count - kMarkerLength;
    const size_t lastSample = lastStart + kPairStride - 1;
    size_t sample = kPairStride - 1;
    // Four samples at a time, tested together: nearly all of them miss.
    for (; sample + 3 * kPairStride <= lastSample; sample += 4 * kPairStride) {
        const unsigned char* at = data + sample;
        if ((gPairPlace[PairAt(at)] | gPairPlace[PairAt(at + kPairStride)] |
             gPairPlace[PairAt(at + 2 * kPairStride)] | gPairPlace[PairAt(at + 3 * kPairStride)]) == 0)
            continue;
        for (size_t next = sample; next <= sample + 3 * kPairStride; next += kPairStride) {
            size_t start = MarkerAround(data, next, lastStart);
            if (start <= lastStart)
                return start;
        }
    }
    for (; sample <= lastSample; sample += kPairStride) {
        size_t start = MarkerAround(data, sample, lastStart);
        if (start <= lastStart)
            return start;
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
