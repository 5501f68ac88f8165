// The marker search driven by scripted reads: any chunking, any failure point.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "client/marker_scan.h"

namespace {

const std::string kMarker = "Change display setting";
const size_t kNotFound = std::string::npos;

// Serves `data` to the scan in chunks chosen per call, and checks every request
// against the caller-owned buffer the scan was given.
struct ScriptedReader {
    const std::string* data = nullptr;
    size_t position = 0;
    // Most bytes call n may deliver; 0 means "as many as asked".
    std::vector<size_t> chunks;
    bool randomChunks = false;
    size_t randomLimit = 64;
    std::mt19937 random{ 1 };
    int failAtCall = -1;
    int calls = 0;
    int callsAfterEnd = 0;
    bool reachedEnd = false;
    size_t lastCount = 0;
    const unsigned char* buffer = nullptr;
    std::vector<std::string> faults;
};

size_t NextChunk(ScriptedReader* reader, int call, size_t capacity)
{
    size_t limit = capacity;
    if (reader->randomChunks) {
        // Random sizes up to the limit, now and then a whole read.
        if (std::uniform_int_distribution<int>(0, 7)(reader->random) != 0)
            limit = std::uniform_int_distribution<size_t>(1, reader->randomLimit)(reader->random);
    } else if (!reader->chunks.empty()) {
        size_t index = std::min((size_t)call, reader->chunks.size() - 1);
        if (reader->chunks[index] != 0)
            limit = reader->chunks[index];
    }
    return std::min(limit, capacity);
}

bool ReadScripted(void* context, unsigned char* destination, size_t capacity, size_t* bytesRead)
{
    ScriptedReader* reader = (ScriptedReader*)context;
    int call = reader->calls++;
    if (reader->reachedEnd)
        ++reader->callsAfterEnd;
    if (capacity != kScanReadSize)
        reader->faults.push_back("read " + std::to_string(call) + " asked for " + std::to_string(capacity));
    if (reader->buffer &&
        (destination < reader->buffer || destination + capacity > reader->buffer + kScanBufferSize))
        reader->faults.push_back("read " + std::to_string(call) + " outside the buffer at offset " +
                                 std::to_string(destination - reader->buffer));
    if (call == reader->failAtCall) {
        // A failed read that still left bytes behind: they must not count.
        size_t junk = std::min(kMarker.size(), capacity);
        memcpy(destination, kMarker.data(), junk);
        *bytesRead = junk;
        return false;
    }
    size_t remaining = reader->data->size() - reader->position;
    size_t count = std::min(NextChunk(reader, call, capacity), remaining);
    memcpy(destination, reader->data->data() + reader->position, count);
    reader->position += count;
    reader->lastCount = count;
    *bytesRead = count;
    if (count == 0)
        reader->reachedEnd = true;
    return true;
}

// The scan over data in the real buffer size, with a guard zone behind it.
int Scan(ScriptedReader& reader, const std::string& data)
{
    const unsigned char kGuard = 0xA5;
    std::vector<unsigned char> buffer(kScanBufferSize + 256, kGuard);
    reader.data = &data;
    reader.buffer = buffer.data();
    int found = ScanForMarker(ReadScripted, &reader, buffer.data());
    for (size_t i = kScanBufferSize; i < buffer.size(); ++i) {
        if (buffer[i] != kGuard) {
            reader.faults.push_back("byte " + std::to_string(i) + " behind the buffer was written");
            break;
        }
    }
    return found;
}

int ScanInChunks(const std::string& data, std::vector<size_t> chunks = {})
{
    ScriptedReader reader;
    reader.chunks = chunks;
    int found = Scan(reader, data);
    EXPECT_TRUE(reader.faults.empty()) << reader.faults.front();
    EXPECT_EQ(reader.callsAfterEnd, 0) << "read again after the end of the data";
    return found;
}

size_t FindIn(const std::string& data)
{
    size_t offset = FindMarker((const unsigned char*)data.data(), data.size());
    return offset == data.size() ? kNotFound : offset;
}

std::string Filler(size_t size, char byte = 'x')
{
    return std::string(size, byte);
}

std::string Utf16(const std::string& ascii)
{
    std::string wide;
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

std::string At(size_t offset, const std::string& piece, size_t total)
{
    std::string data = Filler(offset) + piece;
    if (data.size() < total)
        data += Filler(total - data.size());
    return data;
}

}  // namespace

TEST(MarkerScan, SizesAreThoseOfOneReadPlusTheCarry)
{
    EXPECT_EQ(kMarkerLength, 22u);
    EXPECT_EQ(std::string(kClientMarker), kMarker);
    EXPECT_EQ(kScanReadSize, 65536u);
    EXPECT_EQ(kScanCarry, 21u);
    EXPECT_GE(kScanBufferSize, kScanCarry + kScanReadSize);
}

TEST(FindMarker, NearMissesAndPlacementsTable)
{
    const struct {
        const char* name;
        std::string data;
        size_t expected;
    } cases[] = {
        { "exact", kMarker, 0 },
        { "at offset 0 with tail", kMarker + "tail", 0 },
        { "ends the data", Filler(100) + kMarker, 100 },
        { "followed by zero", kMarker + std::string(1, '\0'), 0 },
        { "followed by s", "Change display settings", 0 },
        { "missing last byte", "Change display settin", kNotFound },
        { "missing last byte, then other", "Change display settinX", kNotFound },
        { "missing first byte", "hange display setting", kNotFound },
        { "missing inner e", "Chang display setting", kNotFound },
        { "all lower case", "change display setting", kNotFound },
        { "all upper case", "CHANGE DISPLAY SETTING", kNotFound },
        { "title case", "Change Display Setting", kNotFound },
        { "two blanks", "Change  display setting", kNotFound },
        { "tab for blank", "Change\tdisplay setting", kNotFound },
        { "last byte upper", "Change display settinG", kNotFound },
        { "high bit set", "Change display settin\xE7", kNotFound },
        { "UTF-16", Utf16(kMarker), kNotFound },
        { "UTF-16 then ASCII", Utf16(kMarker) + kMarker, 44 },
        { "doubled C", "CChange display setting", 1 },
        { "repeated CChange", "CChangeCChangeCChange display setting", 15 },
        { "Change twice", "ChangeChange display setting", 6 },
        { "preceded by partial marker", "Change display settinChange display setting", 21 },
        { "preceded by suffix", "hange display settingChange display setting", 21 },
        { "g in every tail position", "gggggggggggggggggggggggggggggggChange display setting", 31 },
        { "near miss ending in g", "Changg display settingChange display setting", 22 },
        { "blanks before", "                      Change display setting", 22 },
        { "two markers", kMarker + "--" + kMarker, 0 },
        { "one byte short", kMarker.substr(0, 21), kNotFound },
        { "empty", "", kNotFound },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(FindIn(c.data), c.expected);
        // The same through the scan, in one read and in single bytes.
        int expectedFound = c.expected == kNotFound ? 0 : 1;
        EXPECT_EQ(ScanInChunks(c.data), expectedFound);
        EXPECT_EQ(ScanInChunks(c.data, { 1 }), expectedFound);
        EXPECT_EQ(ScanInChunks(c.data, { 7 }), expectedFound);
    }
}

// Each byte of the marker counts: a text differing in any one position is no
// marker, wherever it stands and whatever surrounds it.
TEST(FindMarker, EveryOneByteChangeIsAMiss)
{
    const char replacements[] = { 'x', '\0', ' ', 'g', 'C' };
    for (size_t position = 0; position < kMarker.size(); ++position) {
        for (char replacement : replacements) {
            std::string changed = kMarker;
            if (changed[position] == replacement)
                continue;
            changed[position] = replacement;
            SCOPED_TRACE(testing::Message() << "byte " << position << " = " << (int)replacement);
            EXPECT_EQ(FindIn(changed), kNotFound);
            EXPECT_EQ(FindIn("Change " + changed + " setting"), kNotFound);
            EXPECT_EQ(FindIn(changed + kMarker), changed.size()) << "the real marker after it";
            EXPECT_EQ(ScanInChunks(Filler(kScanReadSize - 11) + changed + Filler(40)), 0);
        }
    }
}

// Data that ends at an inaccessible page: any byte read outside [data, data+count)
// faults, so these show that the search compares nothing it was not given.
TEST(FindMarker, ReadsNothingOutsideTheData)
{
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    unsigned char* region = (unsigned char*)VirtualAlloc(NULL, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(region, nullptr);
    DWORD oldProtection = 0;
    ASSERT_TRUE(VirtualProtect(region + page, page, PAGE_NOACCESS, &oldProtection));
    unsigned char* end = region + page;

    // Too short for a marker: no byte is compared at all, so even an inaccessible
    // address is fine.
    for (size_t count = 0; count < kMarkerLength; ++count) {
        SCOPED_TRACE(count);
        EXPECT_EQ(FindMarker(end, count), count);
    }
    // The marker's last byte is the last accessible byte.
    memset(region, 'x', page);
    memcpy(end - kMarker.size(), kMarker.data(), kMarker.size());
    EXPECT_EQ(FindMarker(region, page), page - kMarker.size());
    EXPECT_EQ(FindMarker(end - kMarker.size(), kMarker.size()), 0u);
    // A partial marker up to the edge: must stop without looking past it.
    memcpy(end - 21, kMarker.data(), 21);
    EXPECT_EQ(FindMarker(region, page), page);

    VirtualFree(region, 0, MEM_RELEASE);
}

TEST(MarkerScan, PlacementsAcrossReadBoundariesTable)
{
    const size_t kTotal = 3 * kScanReadSize + 100;
    const struct {
        const char* name;
        size_t offset;
        size_t total;
    } cases[] = {
        { "offset 0", 0, kTotal },
        { "offset 1", 1, kTotal },
        { "last bytes of the file", kTotal - 22, kTotal },
        { "last bytes of a one-read file", kScanReadSize - 22, kScanReadSize },
        { "last bytes of a file one byte longer than a read", kScanReadSize + 1 - 22, kScanReadSize + 1 },
        { "ends at the first read's end", kScanReadSize - 22, kTotal },
        { "straddles the first reads at 65530", 65530, kTotal },
        { "one byte in the second read", kScanReadSize - 21, kTotal },
        { "one byte in the first read", kScanReadSize - 1, kTotal },
        { "starts the second read", kScanReadSize, kTotal },
        { "straddles the second and third reads", 2 * kScanReadSize - 11, kTotal },
        { "one byte in the third read", 2 * kScanReadSize - 21, kTotal },
        { "starts the third read", 2 * kScanReadSize, kTotal },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string data = At(c.offset, kMarker, c.total);
        ASSERT_EQ(data.size(), c.total);
        EXPECT_EQ(ScanInChunks(data), 1);
        // The same place holding a near miss is not found.
        std::string nearMiss = kMarker;
        nearMiss[21] = 'G';
        EXPECT_EQ(ScanInChunks(At(c.offset, nearMiss, c.total)), 0);
    }
}

TEST(MarkerScan, EveryStraddleOfTheFirstReadBoundary)
{
    for (size_t inFirst = 0; inFirst <= kMarker.size(); ++inFirst) {
        SCOPED_TRACE(inFirst);
        std::string data = At(kScanReadSize - inFirst, kMarker, kScanReadSize + 200);
        EXPECT_EQ(ScanInChunks(data), 1);
    }
}

TEST(MarkerScan, ShortFilesTable)
{
    const struct {
        const char* name;
        std::string data;
        int expected;
    } cases[] = {
        { "empty", "", 0 },
        { "one byte", "C", 0 },
        { "21 bytes of the marker", kMarker.substr(0, 21), 0 },
        { "21 bytes ending the marker", kMarker.substr(1), 0 },
        { "exactly the marker", kMarker, 1 },
        { "the marker then zero", kMarker + std::string(1, '\0'), 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedReader reader;
        EXPECT_EQ(Scan(reader, c.data), c.expected);
        EXPECT_TRUE(reader.faults.empty());
        // A match ends the scan at once; otherwise one read for the data (if any)
        // and one that reports the end.
        int expectedCalls = c.expected ? 1 : (c.data.empty() ? 1 : 2);
        EXPECT_EQ(reader.calls, expectedCalls);
    }
}

TEST(MarkerScan, ShortChunksTable)
{
    const std::string data = At(1000, kMarker, 3000);
    const std::string nearMiss = At(1000, "Change display settin", 3000);
    const struct {
        const char* name;
        std::vector<size_t> chunks;
    } cases[] = {
        { "single bytes", { 1 } },
        { "seven bytes", { 7 } },
        { "21 bytes", { 21 } },
        { "22 bytes", { 22 } },
        { "23 bytes", { 23 } },
        { "mixed", { 5, 1, 30, 2, 21, 22, 1, 0 } },
        { "whole then singles", { 1005, 1 } },
        { "singles then whole", { 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ScanInChunks(data, c.chunks), 1);
        EXPECT_EQ(ScanInChunks(nearMiss, c.chunks), 0);
    }
    for (unsigned round = 1; round <= 50; ++round) {
        SCOPED_TRACE(round);
        ScriptedReader reader;
        reader.randomChunks = true;
        reader.randomLimit = round % 2 ? 9 : 40;
        reader.random = std::mt19937(round);
        EXPECT_EQ(Scan(reader, data), 1);
        EXPECT_TRUE(reader.faults.empty());
    }
}

TEST(MarkerScan, FailingReadsTable)
{
    // Marker at 100 in a 300-byte file read in 64-byte chunks: it arrives whole by
    // the end of the second read (call 1).
    const std::string data = At(100, kMarker, 300);
    const struct {
        const char* name;
        int failAtCall;
        int expected;
        int expectedCalls;
    } cases[] = {
        { "first read fails", 0, 0, 1 },
        { "fails before the marker's bytes", 1, 0, 2 },
        { "fails after the marker", 2, 1, 2 },
        { "never fails", -1, 1, 2 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedReader reader;
        reader.chunks = { 64 };
        reader.failAtCall = c.failAtCall;
        EXPECT_EQ(Scan(reader, data), c.expected);
        EXPECT_EQ(reader.calls, c.expectedCalls) << "the scan stops at a failed read or a match";
        EXPECT_TRUE(reader.faults.empty());
    }

    // A failure while the marker is half delivered: no match, no further reads.
    ScriptedReader reader;
    reader.chunks = { 111 };
    reader.failAtCall = 1;
    EXPECT_EQ(Scan(reader, data), 0);
    EXPECT_EQ(reader.calls, 2);
}

TEST(MarkerScan, FirstMatchEndsTheScan)
{
    // Marker in the first read; the rest of a large file is never asked for.
    std::string data = At(500, kMarker, 10 * kScanReadSize);
    ScriptedReader reader;
    EXPECT_EQ(Scan(reader, data), 1);
    EXPECT_EQ(reader.calls, 1);
    EXPECT_EQ(reader.position, kScanReadSize);

    // Marker completed by the third single-byte read after 20 were already there.
    ScriptedReader slow;
    slow.chunks = { 20, 1, 1, 1 };
    EXPECT_EQ(Scan(slow, kMarker + Filler(1000)), 1);
    EXPECT_EQ(slow.calls, 3);
}

// Random data full of marker fragments and near misses, cut into random reads: the
// scan must agree with a plain search over the whole input.
TEST(MarkerScan, AgreesWithPlainSearchOnRandomInputs)
{
    std::mt19937 random(20240611);
    const std::string pieces[] = {
        kMarker,
        "Change display settin",
        "hange display setting",
        "CChange",
        "Change ",
        "display setting",
        "g",
        "Change display settinG",
        "change display setting",
        Utf16(kMarker),
    };
    const std::string alphabet = std::string("Change dispaytigxC") + '\0';
    std::uniform_int_distribution<size_t> markerByte(0, kMarker.size() - 1);
    int roundsWithMarker = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        size_t size = round < 200 ? std::uniform_int_distribution<size_t>(0, 300)(random)
                                  : std::uniform_int_distribution<size_t>(0, 3 * kScanReadSize)(random);
        std::string data;
        while (data.size() < size) {
            if (std::uniform_int_distribution<int>(0, 9)(random) == 0) {
                // One round in three plants markers, often; the others only near misses.
                int piece = std::uniform_int_distribution<int>(round % 3 == 0 ? -8 : 1, 10)(random);
                if (piece == 10) {
                    // The marker with one byte taken from elsewhere in it.
                    std::string changed = kMarker;
                    changed[markerByte(random)] = kMarker[markerByte(random)];
                    data += changed;
                } else {
                    data += pieces[std::max(piece, 0)];
                }
            } else {
                size_t run = std::uniform_int_distribution<size_t>(1, size < 1000 ? 8 : 4000)(random);
                for (size_t i = 0; i < run; ++i)
                    data += alphabet[std::uniform_int_distribution<size_t>(0, alphabet.size() - 1)(random)];
            }
        }
        auto match = std::search(data.begin(), data.end(), kMarker.begin(), kMarker.end());
        size_t expectedOffset = match == data.end() ? kNotFound : (size_t)(match - data.begin());

        EXPECT_EQ(FindIn(data), expectedOffset);
        ScriptedReader reader;
        reader.randomChunks = true;
        const size_t limits[] = { 8, 64, 3000, 70000 };
        reader.randomLimit = limits[(round / 3) % 4];
        reader.random = std::mt19937(round + 1);
        EXPECT_EQ(Scan(reader, data), expectedOffset == kNotFound ? 0 : 1);
        EXPECT_TRUE(reader.faults.empty()) << reader.faults.front();
        EXPECT_EQ(reader.callsAfterEnd, 0);
        if (expectedOffset != kNotFound) {
            ++roundsWithMarker;
            // The last read is the one that completed the first marker.
            size_t markerEnd = expectedOffset + kMarker.size();
            EXPECT_GE(reader.position, markerEnd);
            EXPECT_LT(reader.position - reader.lastCount, markerEnd) << "read on after the first match";
        }
    }
    // Both outcomes must be well represented, or the comparison proves little.
    EXPECT_GT(roundsWithMarker, 80);
    EXPECT_LT(roundsWithMarker, 320);
}
