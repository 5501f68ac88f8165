// Throughput of the client probe over one file without the marker, against the same
// read loop with no search, and the probe's peak working set.
//
//   probe_bench FILE LABEL RUNS
//
// Prints "sample METRIC VARIANT INDEX VALUE" lines (MiB/s, bytes). Run one process
// per file size: the peak working set only ever grows within a process.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "client/capability_probe.h"
#include "client/marker_scan.h"

namespace {

LARGE_INTEGER gFrequency;

double SecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - start.QuadPart) / (double)gFrequency.QuadPart;
}

// The probe's reads without its search: what the file system alone costs. The reads
// land where the probe's land after its first, behind the carried bytes.
unsigned long long ReadWhole(const char* path, unsigned char* buffer)
{
    buffer += kScanCarry;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    unsigned long long total = 0;
    DWORD count = 0;
    while (ReadFile(file, buffer, (DWORD)kScanReadSize, &count, NULL) && count != 0)
        total += count;
    CloseHandle(file);
    return total;
}

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    return GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory)) ? memory.PeakWorkingSetSize : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: probe_bench FILE LABEL RUNS\n");
        return 2;
    }
    const char* path = argv[1];
    std::string label = argv[2];
    int runs = atoi(argv[3]);
    QueryPerformanceFrequency(&gFrequency);

    // The first probe also warms the cache; the peak is read before the plain read
    // loop has run, so it is the probe's alone.
    if (ClientSupportsDisplaySetting(path) != 0) {
        fprintf(stderr, "error: %s holds the marker; the probe would stop early\n", path);
        return 1;
    }
    printf("sample probe.peak_ws %s 0 %llu\n", label.c_str(), (unsigned long long)PeakWorkingSet());

    unsigned char* buffer = (unsigned char*)malloc(kScanBufferSize);
    if (!buffer)
        return 1;
    unsigned long long size = ReadWhole(path, buffer);
    if (size == 0) {
        fprintf(stderr, "error: cannot read %s\n", path);
        return 1;
    }
    const double mebibytes = (double)size / (1024.0 * 1024.0);
    int failures = 0;
    for (int run = 0; run < runs; ++run) {
        int found = 0;
        unsigned long long read = 0;
        double probeSeconds = 0;
        double floorSeconds = 0;
        // A B, then B A: neither always runs right after the other.
        for (int turn = 0; turn < 2; ++turn) {
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            if ((turn + run) % 2 == 0) {
                found = ClientSupportsDisplaySetting(path);
                probeSeconds = SecondsSince(start);
            } else {
                read = ReadWhole(path, buffer);
                floorSeconds = SecondsSince(start);
            }
        }

        if (found != 0 || read != size)
            ++failures;
        printf("sample probe.rate %s.probe %d %.3f\n", label.c_str(), run, mebibytes / probeSeconds);
        printf("sample probe.rate %s.read %d %.3f\n", label.c_str(), run, mebibytes / floorSeconds);
        fflush(stdout);
    }
    free(buffer);
    if (failures)
        fprintf(stderr, "error: %d runs found a marker or read a different size\n", failures);
    return failures ? 1 : 0;
}
