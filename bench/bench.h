// What the benchmark programs share: one clock and the sample lines scripts/bench
// turns into its table, "sample FIGURE INDEX VALUE".
#pragma once

#include <windows.h>
#include <cstdio>

inline double NowMs()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart * 1000.0 / (double)frequency.QuadPart;
}

inline void Sample(const char* figure, int index, double value)
{
    printf("sample %s %d %.4f\n", figure, index, value);
    fflush(stdout);
}
