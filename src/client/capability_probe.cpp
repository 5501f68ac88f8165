#include "client/capability_probe.h"

#include <windows.h>

#include <cstdlib>

#include "client/marker_scan.h"

static bool ReadFileChunk(void* context, unsigned char* destination, size_t capacity, size_t* bytesRead)
{
    DWORD count = 0;
    BOOL ok = ReadFile((HANDLE)context, destination, (DWORD)capacity, &count, NULL);
    *bytesRead = count;
    return ok != FALSE;
}

int ClientSupportsDisplaySetting(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int found = 0;
    unsigned char* buffer = (unsigned char*)malloc(kScanBufferSize);
    if (buffer) {
        found = ScanForMarker(ReadFileChunk, file, buffer);
        free(buffer);
    }
    CloseHandle(file);
    return found;
}
