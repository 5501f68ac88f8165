// libFuzzer target for the marker scan: arbitrary file bytes delivered through an
// arbitrary sequence of read sizes, optionally ending in a failed read. The result
// must equal a plain search over the bytes that were actually delivered.
//
// Input layout (missing header bytes count as 0):
//   [0]    flags: bits 0-3 number N of read sizes; bit 4 a read fails; bit 5 the
//          file is padded; bit 6 the failing read scribbles the marker into the
//          buffer and reports bytes anyway; bit 7 the read sizes repeat
//   [1]    index of the failing read
//   [2..3] padding length, little-endian; [4] padding byte; [5] bit 0 adds 65536
//          to the padding length, bit 1 puts the padding after the data, bits 2-7
//          (modulo 22) pick where in the marker the stale bytes' text starts
//   then N read sizes, 16-bit little-endian (0xFFFF: as much as asked; 0: a zero
//   read, which is the end of the data for the scan); the rest is data.
// Reads past the given sizes (or, when they repeat, past the first 256 reads) fill
// what they are asked for. The padding lets a small input place a marker near
// 65,536 and beyond.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "client/marker_scan.h"
#include "scan_oracle.h"

#define CHECK(condition)                                                          \
    do {                                                                          \
        if (!(condition)) {                                                       \
            fprintf(stderr, "scan_fuzzer: check failed: %s (line %d)\n", #condition, __LINE__); \
            abort();                                                              \
        }                                                                         \
    } while (0)

namespace {

const size_t kPoisonLength = 64;
const size_t kRepeatedReads = 256;

struct PoisonPattern {
    unsigned char bytes[kScanBufferSize + kMarkerLength];
    PoisonPattern()
    {
        for (size_t i = 0; i < sizeof(bytes); ++i)
            bytes[i] = (unsigned char)kClientMarker[i % kMarkerLength];
    }
};
const PoisonPattern kPoison;

struct Delivery {
    const std::vector<unsigned char>& file;
    const std::vector<uint16_t>& sizes;
    bool repeat;
    bool fails;
    size_t failingRead;
    bool scribble;
    size_t phase;
    unsigned char* buffer;

    size_t position = 0;      // bytes delivered: the file's first `position` bytes
    size_t calls = 0;
    bool ended = false;       // a read reported 0 bytes
    bool failed = false;      // a read reported failure
    size_t lastReadStart = 0; // delivered bytes before the last successful read
};

// Kept across runs: allocating it afresh made every run pay for new pages.
std::vector<unsigned char> gFile;
// A global gets a redzone too, so AddressSanitizer sees a write past the scan's
// buffer, which is exactly kScanBufferSize bytes here.
unsigned char gBuffer[kScanBufferSize];

// Stale bytes full of marker text, starting at any letter of it: a scan that looks
// even one byte past what it was given can complete a marker that the delivered
// bytes only begin.
void Poison(unsigned char* from, unsigned char* limit, size_t phase)
{
    if (limit > from)
        memcpy(from, kPoison.bytes + phase, (size_t)(limit - from));
}

bool Read(void* context, unsigned char* destination, size_t capacity, size_t* bytesRead)
{
    Delivery& d = *(Delivery*)context;
    CHECK(!d.ended && !d.failed);
    CHECK(capacity == kScanReadSize);
    CHECK(destination >= d.buffer);
    size_t offset = (size_t)(destination - d.buffer);
    // The carry is the last min(delivered, 21) bytes, moved to the front.
    size_t carry = std::min(d.position, kScanCarry);
    CHECK(offset == carry);
    CHECK(offset + capacity <= kScanBufferSize);
    if (carry > 0)
        CHECK(memcmp(d.buffer, d.file.data() + d.position - carry, carry) == 0);

    size_t call = d.calls++;
    if (d.fails && call == d.failingRead) {
        d.failed = true;
        if (d.scribble) {
            size_t n = std::min(capacity, kPoisonLength);
            Poison(destination, destination + n, 0);
            *bytesRead = n;
        } else {
            *bytesRead = 0;
        }
        return false;
    }

    size_t want = capacity;
    size_t sizeCount = d.sizes.size();
    if (call < sizeCount || (d.repeat && sizeCount > 0 && call < kRepeatedReads)) {
        uint16_t size = d.sizes[call % sizeCount];
        if (size != 0xFFFF)
            want = size;
    }
    size_t n = std::min(want, d.file.size() - d.position);
    if (n > 0)
        memcpy(destination, d.file.data() + d.position, n);
    Poison(destination + n, std::min(destination + n + kPoisonLength, d.buffer + kScanBufferSize), d.phase);
    d.lastReadStart = d.position;
    d.position += n;
    *bytesRead = n;
    if (n == 0)
        d.ended = true;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    auto at = [&](size_t i) -> unsigned { return i < size ? input[i] : 0; };
    unsigned flags = at(0);
    size_t readCount = flags & 0x0F;
    size_t headerSize = 6 + 2 * readCount;

    std::vector<uint16_t> sizes;
    for (size_t i = 0; i < readCount; ++i)
        sizes.push_back((uint16_t)(at(6 + 2 * i) | at(7 + 2 * i) << 8));

    size_t padding = 0;
    if (flags & 0x20)
        padding = (at(2) | at(3) << 8) + ((at(5) & 1) ? 65536 : 0);
    size_t dataStart = std::min(size, headerSize);
    std::vector<unsigned char>& file = gFile;
    AssembleFile(file, padding, (unsigned char)at(4), input + dataStart, size - dataStart, (at(5) & 2) != 0);

    size_t first = PlainSearch(file.data(), file.size());
    // The window search on its own, over the whole file in one piece (large files
    // only through the scan, which runs it on every pass anyway).
    if (file.size() <= 8192)
        CHECK(FindMarker(file.data(), file.size()) == first);

    unsigned char* buffer = gBuffer;
    size_t phase = (at(5) >> 2) % kMarkerLength;
    Poison(buffer, buffer + kPoisonLength, phase);
    Delivery d{ file, sizes, (flags & 0x80) != 0, (flags & 0x10) != 0, at(1), (flags & 0x40) != 0, phase, buffer };
    int result = ScanForMarker(Read, &d, buffer);

    CHECK(result == 0 || result == 1);
    // The delivered bytes are the file's first d.position bytes.
    bool present = first + kMarkerLength <= d.position;
    if (d.failed) {
        // A marker already delivered would have ended the scan before the failing read.
        CHECK(!present);
        CHECK(result == 0);
    } else if (result == 1) {
        // Stopped at the read that completed the first marker, and read no further.
        CHECK(present);
        CHECK(first + kMarkerLength > d.lastReadStart);
    } else {
        CHECK(d.ended);
        CHECK(!present);
    }
    return 0;
}
