// Start-up and memory seen from outside, the launcher against its floors in the same
// run (floor_window.cpp: the bare window, the nine controls, the controls and the
// picture). Starts the four programs in turns, watches the screen pixels of the client
// area and reports when the first paint and the picture show, and the peak working set
// as the last of them shows.
//
//   startup_bench FOLDER RUNS
//
// FOLDER holds VelkoraLauncher.exe, floor_window.exe and launcher_bg.jpg.
#include "bench.h"

#include <psapi.h>

#include <cstdlib>

namespace {

struct Program {
    const char* name;
    const char* commandLine;
    const char* className;
    // The first paint holds the nine controls (else only the flat fill); a picture follows.
    bool hasControls;
    bool hasPicture;
};

const int kProgramCount = 4;
const Program kPrograms[kProgramCount] = {
    { "launcher", "VelkoraLauncher.exe\"", "VelkoraLauncher", true, true },
    { "bare", "floor_window.exe\" bare", "VelkoraBenchFloor", false, false },
    { "controls", "floor_window.exe\" controls", "VelkoraBenchFloor", true, false },
    { "picture", "floor_window.exe\" picture", "VelkoraBenchFloor", true, true },
};

const COLORREF kFlatFill = RGB(18, 20, 32);
// Client points inside the PLAY and site-link buttons, clear of border and caption.
const POINT kPlayPoint = { 40, 496 };
const POINT kLinkPoint = { 40, 556 };
// The white field of the resolution box and the inside of the "Full screen" box.
const POINT kLightPoints[2] = { { 240, 358 }, { 40, 398 } };
// Bare background, away from every control.
const POINT kBackgroundPoints[5] = { { 450, 100 }, { 700, 300 }, { 850, 50 }, { 600, 560 }, { 880, 580 } };
const double kStageTimeoutMs = 30000;

COLORREF ClientPixel(HDC screen, POINT origin, POINT at)
{
    return GetPixel(screen, origin.x + at.x, origin.y + at.y);
}

// Every pixel read is a round trip to the X server, which the program measured needs
// too: the tests below stop at the first pixel that decides, the last painted first.

// Whether at most `flat` of the bare background points show the fill colour.
bool AtMostFlat(HDC screen, POINT origin, int flat)
{
    int seen = 0;
    for (POINT at : kBackgroundPoints)
        if (ClientPixel(screen, origin, at) == kFlatFill && ++seen > flat)
            return false;
    return true;
}

bool FirstPaintShown(HDC screen, POINT origin, bool hasControls)
{
    if (!hasControls)
        return ClientPixel(screen, origin, kBackgroundPoints[0]) == kFlatFill;
    // The site link is the last control painted.
    COLORREF link = ClientPixel(screen, origin, kLinkPoint);
    if (GetBValue(link) < 60 || GetBValue(link) < GetRValue(link) + 25)
        return false;
    COLORREF play = ClientPixel(screen, origin, kPlayPoint);
    if (GetRValue(play) < 120 || GetRValue(play) < GetBValue(play) + 80)
        return false;
    for (POINT at : kLightPoints) {
        COLORREF c = ClientPixel(screen, origin, at);
        if (GetRValue(c) < 200 || GetGValue(c) < 200 || GetBValue(c) < 200)
            return false;
    }
    return true;
}

void PrintFigure(const char* figure, const Program& program, int index, double value)
{
    char name[64];
    snprintf(name, sizeof(name), "%s.%s", figure, program.name);
    Sample(name, index, value);
}

// One run of a program up to its picture (without one: its first paint), then WM_CLOSE.
// False when a stage never came. A negative index prints nothing.
bool MeasureRun(const char* folder, const Program& program, int index)
{
    char commandLine[2 * MAX_PATH];
    snprintf(commandLine, sizeof(commandLine), "\"%s\\%s", folder, program.commandLine);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // Under load Wine now and then fails a start (error 1359): the clock starts again.
    double start = 0;
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt) {
            fprintf(stderr, "note: start %d of %s failed (%lu), retried\n", attempt, commandLine, GetLastError());
            Sleep(500);
        }
        start = NowMs();
        started = CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process);
    }
    if (!started) {
        fprintf(stderr, "error: cannot start %s (%lu)\n", commandLine, GetLastError());
        return false;
    }
    CloseHandle(process.hThread);

    HDC screen = GetDC(NULL);
    HWND window = NULL;
    POINT origin = {};
    double firstPaint = 0;
    double picture = 0;
    while (!picture && NowMs() - start < kStageTimeoutMs &&
           WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        if (!window) {
            HWND found = FindWindowA(program.className, NULL);
            DWORD owner = 0;
            GetWindowThreadProcessId(found, &owner);
            if (found && owner == process.dwProcessId && IsWindowVisible(found)) {
                window = found;
                ClientToScreen(window, &origin);
            }
        } else if (!firstPaint && FirstPaintShown(screen, origin, program.hasControls)) {
            firstPaint = NowMs() - start;
            if (!program.hasPicture)
                picture = firstPaint;
        } else if (firstPaint && AtMostFlat(screen, origin, 1)) {
            // A picture may meet the fill colour at one point by chance; four of five cannot.
            picture = NowMs() - start;
        }
        Sleep(1);
    }
    ReleaseDC(NULL, screen);

    bool shown = picture != 0;
    if (shown && index >= 0) {
        PROCESS_MEMORY_COUNTERS memory = {};
        GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory));
        PrintFigure("first_paint", program, index, firstPaint);
        if (program.hasPicture)
            PrintFigure("picture", program, index, picture);
        PrintFigure("peak_ws", program, index, (double)memory.PeakWorkingSetSize / 1048576.0);
    } else if (!shown) {
        fprintf(stderr, "error: %s: no %s\n", program.name, window ? "picture" : "window");
    }
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process.hProcess, (DWORD)kStageTimeoutMs) == WAIT_OBJECT_0;
    if (!ended) {
        fprintf(stderr, "error: %s did not end after WM_CLOSE\n", program.name);
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return shown && ended;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: startup_bench FOLDER RUNS\n");
        return 2;
    }
    const char* folder = argv[1];
    int runs = atoi(argv[2]);
    // The pointer off the window, or the buttons would show their hover look.
    SetCursorPos(0, 0);
    // A window of our own keeps Wine's desktop process up between the runs.
    CreateWindowExA(0, "STATIC", "bench", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);

    int failures = 0;
    // A first round not counted brings every file into the page cache. Each round
    // starts with the next program, every other four rounds in the reverse order, so
    // none always follows the same one.
    for (int round = -1; round < runs; ++round) {
        int first = round + 1;
        int step = first / kProgramCount % 2 ? kProgramCount - 1 : 1;
        for (int slot = 0; slot < kProgramCount; ++slot) {
            // The previous program's exit must not fall into this one's start.
            Sleep(100);
            failures += !MeasureRun(folder, kPrograms[(first + step * slot) % kProgramCount], round);
        }
    }
    return failures ? 1 : 0;
}
