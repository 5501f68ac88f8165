// The marker scan against a plain search over what the good reads delivered: any file, any read sizes, maybe a last
// read that fails after scribbling into the buffer. Input: [0] bits 0-3 the number N of 16-bit read sizes that follow
// (0: the end of the file; the last repeats), bit 4 read N+1 fails, bit 5 65,536 copies of the data's first byte go
// before it; then the data.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "client/marker_scan.h"

static std::string gFile;
static const unsigned char* gSizes;
static size_t gSizeCount, gFailing, gOffset, gReads;

static bool Read(void*, unsigned char* destination, size_t capacity, size_t* bytesRead)
{
    size_t i = std::min(gReads, gSizeCount - 1), size = gSizeCount ? gSizes[2 * i] | gSizes[2 * i + 1] << 8 : capacity;
    *bytesRead = std::min(std::min(size, capacity), gFile.size() - gOffset);
    if (gReads++ == gFailing)
        return !memcpy(destination, kClientMarker, std::min(capacity, kMarkerLength));
    memcpy(destination, gFile.data() + gOffset, *bytesRead);
    gOffset += *bytesRead;
    return true;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    static unsigned char buffer[kScanBufferSize];
    if (size == 0)
        return 0;
    gSizeCount = std::min<size_t>(data[0] & 15, (size - 1) / 2);
    gSizes = data + 1;
    gFailing = data[0] & 16 ? gSizeCount : SIZE_MAX;
    gOffset = gReads = 0;
    const char *rest = (const char*)data + 1 + 2 * gSizeCount, *end = (const char*)data + size;
    gFile.assign(data[0] & 32 && rest < end ? 65536 : 0, rest < end ? *rest : 0).append(rest, end);
    int found = ScanForMarker(Read, NULL, buffer);
    size_t first = gFile.find(kClientMarker);
    if (found != (gFile.substr(0, gOffset).find(kClientMarker) != std::string::npos)
        || FindMarker((const unsigned char*)gFile.data(), gFile.size()) != std::min(first, gFile.size()))
        abort();
    return 0;
}
