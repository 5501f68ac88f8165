// The fuzz target's reference side, built without coverage instrumentation: its
// loops run over every byte of large inputs and would otherwise dominate each run.
#pragma once

#include <cstddef>
#include <vector>

// Offset of the first marker in data[0..count) found by std::search, or count.
size_t PlainSearch(const unsigned char* data, size_t count);
// file = `padding` copies of padByte, with data[0..count) before or after them.
void AssembleFile(std::vector<unsigned char>& file, size_t padding, unsigned char padByte,
                  const unsigned char* data, size_t count, bool dataFirst);
