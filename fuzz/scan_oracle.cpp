#include "scan_oracle.h"

#include <algorithm>

#include "client/marker_scan.h"

size_t PlainSearch(const unsigned char* data, size_t count)
{
    const unsigned char* marker = (const unsigned char*)kClientMarker;
    return (size_t)(std::search(data, data + count, marker, marker + kMarkerLength) - data);
}

void AssembleFile(std::vector<unsigned char>& file, size_t padding, unsigned char padByte,
                  const unsigned char* data, size_t count, bool dataFirst)
{
    file.assign(padding, padByte);
    file.insert(dataFirst ? file.begin() : file.end(), data, data + count);
}
