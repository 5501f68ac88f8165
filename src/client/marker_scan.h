// The search for the client's marker text through a file read in chunks. No Windows
// headers: the reads come through a callback, so any sequence of reads can drive it.
#pragma once

#include <cstddef>

constexpr char kClientMarker[] = "Change display setting";
const size_t kMarkerLength = sizeof(kClientMarker) - 1;  // 22, no terminating zero
const size_t kScanReadSize = 65536;
// The end of one pass kept in front of the next read: one byte less than the marker,
// so a marker across two reads is seen, and no window is compared twice.
const size_t kScanCarry = kMarkerLength - 1;
const size_t kScanBufferSize = 65600;

// Reads up to `capacity` bytes into `destination`. Returns false when the read
// fails; sets *bytesRead to 0 at the end of the file.
typedef bool (*ScanReader)(void* context, unsigned char* destination, size_t capacity, size_t* bytesRead);

// Scans the reads front to back in a caller-owned buffer of kScanBufferSize bytes.
// Returns 1 at the first marker, 0 at the end of the data or on a failed read.
int ScanForMarker(ScanReader read, void* context, unsigned char* buffer);

// Offset of the first marker in data[0..count), or count when there is none.
size_t FindMarker(const unsigned char* data, size_t count);
