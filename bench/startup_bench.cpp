// Start-up seen from outside: starts a program, watches the screen pixels of its
// client area and reports when its window is shown, when its first paint and its
// picture appear, its peak working set at that moment, and when it has ended after
// a WM_CLOSE.
//
//   startup_bench FOLDER RUNS                 warm: programs interleaved, RUNS each
//   startup_bench FOLDER 1 --cold NAME T0_NS  one run of NAME, times from T0_NS
//                                             (Unix time in ns, taken by the caller
//                                             before it started Wine)
//   startup_bench --keepalive                 only a hidden window, until killed
//
// Prints "sample METRIC VARIANT INDEX VALUE" lines (times in ms, sizes in bytes).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// What a program looks like on screen once painted. The launcher shows its settings
// panel and the two button gradients over a flat fill, then the picture; the
// prototype the same without the panel; the minimal window only the fill.
enum class Look { Launcher, Buttons, FlatOnly };

struct Program {
    const char* variant;
    const char* exeName;
    const char* className;
    Look look;
};

const Program kPrograms[] = {
    { "launcher", "VelkoraLauncher.exe", "VelkoraLauncher", Look::Launcher },
    { "minimal", "minimal_window.exe", "VelkoraBenchMinimal", Look::FlatOnly },
    { "prototype", "size_prototype.exe", "VelkoraBenchPrototype", Look::Buttons },
};
const int kProgramCount = (int)(sizeof(kPrograms) / sizeof(kPrograms[0]));

const COLORREF kFlatFill = RGB(18, 20, 32);
// Inside the PLAY and site-link buttons, clear of their border, focus rectangle and caption.
const POINT kPlayPoint = { 40, 496 };
const POINT kLinkPoint = { 40, 556 };
// The white field of the resolution box, right of its text, and the inside of the
// "Full screen" check box.
const POINT kComboFieldPoint = { 240, 358 };
const POINT kCheckBoxPoint = { 40, 398 };
// Bare background, away from every control.
const POINT kBackgroundPoints[] = { { 450, 100 }, { 700, 300 }, { 850, 50 }, { 600, 560 }, { 880, 580 } };

struct Timing {
    double windowShownMs;
    double firstPaintMs;
    double picturePaintMs;
    double exitMs;
    SIZE_T peakWorkingSet;
};

LARGE_INTEGER gFrequency;
double gStageTimeoutMs = 30000;
DWORD gSettleMs = 100;

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)gFrequency.QuadPart;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context)
{
    WindowSearch* search = (WindowSearch*)context;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    if (owner == search->processId && IsWindowVisible(window) &&
        GetClassNameA(window, className, (int)sizeof(className)) && strcmp(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool IsPlayColour(COLORREF c)
{
    return GetRValue(c) >= 120 && GetRValue(c) >= GetBValue(c) + 80;
}

bool IsLinkColour(COLORREF c)
{
    return GetBValue(c) >= 60 && GetBValue(c) >= GetRValue(c) + 25;
}

COLORREF ScreenPixel(HDC screen, POINT origin, POINT at)
{
    return GetPixel(screen, origin.x + at.x, origin.y + at.y);
}

bool IsLight(COLORREF c)
{
    return GetRValue(c) >= 200 && GetGValue(c) >= 200 && GetBValue(c) >= 200;
}

bool FirstPaintShown(HDC screen, POINT origin, Look look)
{
    if (look == Look::Launcher && (!IsLight(ScreenPixel(screen, origin, kComboFieldPoint)) ||
                                   !IsLight(ScreenPixel(screen, origin, kCheckBoxPoint))))
        return false;
    if (look != Look::FlatOnly)
        return IsPlayColour(ScreenPixel(screen, origin, kPlayPoint)) &&
               IsLinkColour(ScreenPixel(screen, origin, kLinkPoint));
    return ScreenPixel(screen, origin, kPlayPoint) == kFlatFill &&
           ScreenPixel(screen, origin, kBackgroundPoints[0]) == kFlatFill &&
           ScreenPixel(screen, origin, kBackgroundPoints[4]) == kFlatFill;
}

// A JPEG may hit the fill colour at one point by chance; four of five cannot.
bool PictureShown(HDC screen, POINT origin)
{
    int differing = 0;
    for (const POINT& at : kBackgroundPoints)
        if (ScreenPixel(screen, origin, at) != kFlatFill)
            ++differing;
    return differing >= 4;
}

// Runs one program to the end; false (with a message) when a stage never came.
bool MeasureRun(const char* folder, const Program& program, const LARGE_INTEGER& start, Timing* timing)
{
    char exePath[MAX_PATH];
    snprintf(exePath, sizeof(exePath), "%s\\%s", folder, program.exeName);
    char commandLine[MAX_PATH + 2];
    snprintf(commandLine, sizeof(commandLine), "\"%s\"", exePath);
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(exePath, commandLine, NULL, NULL, FALSE, 0, NULL, folder, &startup, &process)) {
        fprintf(stderr, "error: cannot start %s (%lu)\n", exePath, GetLastError());
        return false;
    }
    CloseHandle(process.hThread);

    HDC screen = GetDC(NULL);
    WindowSearch search = { process.dwProcessId, program.className, NULL };
    POINT origin = {};
    bool firstSeen = false;
    bool pictureSeen = program.look == Look::FlatOnly;
    double stageStart = MillisecondsSince(start);
    const char* waitingFor = "its window";
    while (!firstSeen || !pictureSeen) {
        if (!search.found) {
            EnumWindows(MatchWindow, (LPARAM)&search);
            if (search.found) {
                timing->windowShownMs = MillisecondsSince(start);
                ClientToScreen(search.found, &origin);
                waitingFor = "its first paint";
            }
        }
        if (search.found && !firstSeen && FirstPaintShown(screen, origin, program.look)) {
            firstSeen = true;
            timing->firstPaintMs = MillisecondsSince(start);
            if (program.look == Look::FlatOnly)
                timing->picturePaintMs = timing->firstPaintMs;
            stageStart = timing->firstPaintMs;
            waitingFor = "its picture";
        }
        if (firstSeen && !pictureSeen && PictureShown(screen, origin)) {
            pictureSeen = true;
            timing->picturePaintMs = MillisecondsSince(start);
        }
        if (firstSeen && pictureSeen)
            break;
        if (MillisecondsSince(start) - stageStart > gStageTimeoutMs ||
            WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) {
            fprintf(stderr, "error: %s: no sign of %s\n", program.variant, waitingFor);
            ReleaseDC(NULL, screen);
            TerminateProcess(process.hProcess, 1);
            CloseHandle(process.hProcess);
            return false;
        }
        Sleep(1);
    }
    ReleaseDC(NULL, screen);

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    timing->peakWorkingSet = GetProcessMemoryInfo(process.hProcess, &memory, sizeof(memory))
                                 ? memory.PeakWorkingSetSize
                                 : 0;
    PostMessageA(search.found, WM_CLOSE, 0, 0);
    bool ended = WaitForSingleObject(process.hProcess, (DWORD)gStageTimeoutMs) == WAIT_OBJECT_0;
    timing->exitMs = MillisecondsSince(start);
    if (!ended) {
        fprintf(stderr, "error: %s did not end after WM_CLOSE\n", program.variant);
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    return ended;
}

void PrintTiming(const char* prefix, const Program& program, int index, const Timing& timing)
{
    printf("sample %s.window_shown %s %d %.3f\n", prefix, program.variant, index, timing.windowShownMs);
    printf("sample %s.first_paint %s %d %.3f\n", prefix, program.variant, index, timing.firstPaintMs);
    if (program.look != Look::FlatOnly)
        printf("sample %s.picture %s %d %.3f\n", prefix, program.variant, index, timing.picturePaintMs);
    printf("sample %s.whole %s %d %.3f\n", prefix, program.variant, index, timing.exitMs);
    if (timing.peakWorkingSet)
        printf("sample %s.peak_ws %s %d %llu\n", prefix, program.variant, index,
               (unsigned long long)timing.peakWorkingSet);
    fflush(stdout);
}

// Keeps Wine's desktop process alive between the warm runs, as a resident program would.
HWND CreateKeepAliveWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "VelkoraBenchKeepAlive";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "keepalive", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                           windowClass.hInstance, NULL);
}

const Program* FindProgram(const char* variant)
{
    for (const Program& program : kPrograms)
        if (strcmp(program.variant, variant) == 0)
            return &program;
    return NULL;
}

// The caller's clock is Unix time; ours is the performance counter. Maps the caller's
// instant onto the counter through one reading of the precise system time.
LARGE_INTEGER CounterAtUnixTime(long long unixNs)
{
    LARGE_INTEGER counterNow;
    FILETIME fileTime;
    QueryPerformanceCounter(&counterNow);
    GetSystemTimePreciseAsFileTime(&fileTime);
    ULARGE_INTEGER ticks;
    ticks.LowPart = fileTime.dwLowDateTime;
    ticks.HighPart = fileTime.dwHighDateTime;
    const long long unixEpochTicks = 116444736000000000LL;  // 1601 to 1970 in 100 ns
    long long nowNs = ((long long)ticks.QuadPart - unixEpochTicks) * 100;
    double agoSeconds = (double)(nowNs - unixNs) / 1e9;
    LARGE_INTEGER start;
    start.QuadPart = counterNow.QuadPart - (LONGLONG)(agoSeconds * (double)gFrequency.QuadPart);
    return start;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--keepalive") == 0) {
        CreateKeepAliveWindow();
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }
    if (argc < 3) {
        fprintf(stderr, "usage: startup_bench FOLDER RUNS [--cold VARIANT T0_UNIX_NS] | --keepalive\n");
        return 2;
    }
    const char* folder = argv[1];
    int runs = atoi(argv[2]);
    QueryPerformanceFrequency(&gFrequency);
    if (const char* settle = getenv("VELKORA_BENCH_SETTLE_MS"))
        gSettleMs = (DWORD)atoi(settle);
    if (const char* scale = getenv("VELKORA_TIME_SCALE"))
        if (atof(scale) > 0)
            gStageTimeoutMs *= atof(scale);
    // The pointer stays off the window, or the buttons would show their hover look.
    SetCursorPos(0, 0);

    if (argc >= 6 && strcmp(argv[3], "--cold") == 0) {
        const Program* program = FindProgram(argv[4]);
        if (!program) {
            fprintf(stderr, "error: unknown program %s\n", argv[4]);
            return 2;
        }
        LARGE_INTEGER start = CounterAtUnixTime(_atoi64(argv[5]));
        Timing timing = {};
        if (!MeasureRun(folder, *program, start, &timing))
            return 1;
        PrintTiming("startup_cold", *program, runs, timing);
        return 0;
    }

    HWND keepAlive = CreateKeepAliveWindow();
    int failures = 0;
    // One discarded round brings every program's files into the page cache.
    for (int round = -1; round < runs; ++round) {
        // Each round starts with another program, so none always follows the same one.
        for (int slot = 0; slot < kProgramCount; ++slot) {
            const Program& program = kPrograms[(slot + round + kProgramCount) % kProgramCount];
            // The previous program's teardown (Wine's side of its exit) must not fall
            // into this one's start.
            Sleep(gSettleMs);
            Timing timing = {};
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            if (!MeasureRun(folder, program, start, &timing)) {
                ++failures;
                continue;
            }
            if (round >= 0)
                PrintTiming("startup", program, round, timing);
        }
    }
    DestroyWindow(keepAlive);
    return failures ? 1 : 0;
}
