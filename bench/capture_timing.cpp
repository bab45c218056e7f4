// Capture figures under Wine, driven by bench/capture.sh:
//   capture_timing speed N    hotkey 1 to complete file, N times, at the desktop's size (all
//                             monitors)
//                             (one line: the size and each time in ms)
//   capture_timing repeat N   objects and private memory after the first and Nth capture
//   capture_timing writer N   WriteBmpFile of 1920x1080x24 against one fwrite of its bytes
//   capture_timing window N   hotkey 2 to complete file, N times a round in 3 rounds, from
//                             the window's DC and, with a composed desktop, from the screen
// Each prints one line per figure; the script sets them against xwd and the targets.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture/bmp_writer.h"
#include "../tests/e2e/capture_input.h"
#include "../tests/e2e/composition.h"
#include "../tests/e2e/harness.h"
#include "../tests/e2e/objects.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The one finished capture in folder (the program renames it into place whole), or "".
std::string FindCapture(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\????????.bmp").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return "";
    FindClose(find);
    return folder + "\\" + data.cFileName;
}

// Kelvarin with the capture hotkeys and a folder of its own, waiting in its loop.
struct Installed {
    Installed() : install("kelvarin_bench_capture") {
        folder = install.Folder() + "\\captures";
        CreateDirectoryA(folder.c_str(), NULL);
        e2e::WriteCaptureSettings(install.IniPath(), folder);
        ok = program.Start(install.Exe()) && program.WaitMainWindow() != NULL;
        // Without a window manager (the two-monitor server) no window is in the foreground
        // of a new session until the pointer moves, and until then keys go nowhere.
        e2e::MovePointerTo(GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2);
        // The first key a process receives costs more than the rest: not what is timed.
        e2e::PressCaptureKey(VK_SHIFT);
    }
    // One capture: the time from the key press until the file is in place, or -1. The
    // wait sleeps on a change notification (the rename is the change), so that this
    // process takes no CPU from the one it times.
    double Capture(UINT key = e2e::kDesktopKey) {
        HANDLE change =
            FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
        if (change == INVALID_HANDLE_VALUE)
            return -1;
        std::string path;
        double start = Now(), elapsed = -1;
        e2e::PressCaptureKey(key);
        while (Now() - start < 10000) {
            if ((path = FindCapture(folder)).empty()) {
                WaitForSingleObject(change, 100);
                FindNextChangeNotification(change);
                continue;
            }
            elapsed = Now() - start;
            // The program may still hold the file for a moment after the rename; then
            // the name lasts until it lets go, and must be gone before the next press.
            e2e::WaitUntil([&] {
                DeleteFileA(path.c_str());
                return FindCapture(folder).empty();
            });
            break;
        }
        FindCloseChangeNotification(change);
        return elapsed;
    }
    e2e::ScratchInstall install;
    e2e::Program program;
    std::string folder;
    bool ok = false;
};

int Speed(int runs) {
    Installed kelvarin;
    if (!kelvarin.ok || kelvarin.Capture() < 0) {  // one unmeasured capture first
        printf("FAILED: no capture from Kelvarin.exe\n");
        return 1;
    }
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        double ms = kelvarin.Capture();
        if (ms < 0) {
            printf("FAILED: capture %d did not arrive\n", i + 1);
            return 1;
        }
        times.push_back(ms);
        Sleep(50);
    }
    // The virtual screen: on two monitors the capture holds both.
    printf("capture %dx%d ms:", GetSystemMetrics(SM_CXVIRTUALSCREEN),
           GetSystemMetrics(SM_CYVIRTUALSCREEN));
    for (double ms : times)
        printf(" %.2f", ms);
    printf("\n");
    return 0;
}

void PrintCounts(const char* when, const e2e::ObjectCounts& c) {
    printf("  %-16s GDI %4ld  USER %4ld (windows %ld)  handles %4ld  private %7.0f KB\n", when,
           c.gdi, c.user, c.windows, c.handles, c.privateBytes / 1024.0);
}

// Counts after the first capture, after a few more, and after the last: a leak grows with
// every capture, so it shows between the middle marks and the last as well.
int Repeat(int runs) {
    Installed kelvarin;
    const int marks[] = {1, 2, 10, runs / 10, runs / 2, runs};
    const int kMarks = sizeof marks / sizeof marks[0];
    e2e::ObjectCounts counts[kMarks];
    int done = 0;
    for (int m = 0; m < kMarks; ++m) {
        for (; done < marks[m]; ++done) {
            if (!kelvarin.ok || kelvarin.Capture() < 0) {
                printf("FAILED: capture %d did not arrive\n", done + 1);
                return 1;
            }
        }
        // Counted from another thread: only once the capture handler has returned and the
        // program waits in its message loop again.
        HANDLE process =
            OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, kelvarin.program.Pid());
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
        Sleep(100);
        if (!e2e::CountProcessObjects(kelvarin.program.Pid(), &counts[m])) {
            printf("FAILED: object count after %d captures\n", done);
            return 1;
        }
    }
    printf("%d desktop captures, objects of Kelvarin.exe (CountProcessObjects):\n", runs);
    for (int m = 0; m < kMarks; ++m) {
        char when[32];
        snprintf(when, sizeof when, "after %d", marks[m]);
        PrintCounts(when, counts[m]);
    }
    // Objects must come back to the same count. Private memory moves by a page or two as
    // Wine's heaps settle; a leak shows as the last mark above every earlier one.
    const e2e::ObjectCounts& first = counts[0];
    const e2e::ObjectCounts& last = counts[kMarks - 1];
    SIZE_T highest = 0;
    for (int m = 0; m < kMarks - 1; ++m)
        highest = counts[m].privateBytes > highest ? counts[m].privateBytes : highest;
    bool same = first.gdi == last.gdi && first.user == last.user && first.handles == last.handles;
    printf(
        "  first to last: GDI %+ld USER %+ld handles %+ld private %+.0f KB, last %s the "
        "earlier marks (target: no growth: %s)\n",
        last.gdi - first.gdi, last.user - first.user, last.handles - first.handles,
        ((double)last.privateBytes - (double)first.privateBytes) / 1024.0,
        last.privateBytes > highest ? "above" : "within",
        same && last.privateBytes <= highest ? "met" : "NOT met");
    return 0;
}

// Both write a name that does not exist yet, as a capture normally does (a new name each
// second); the rounds alternate which goes first. A second capture within the same second
// replaces the first: that case is timed apart, against fwrite over an existing file.
int Writer(int runs) {
    BmpInfoHeader header;
    InitDibHeader(&header, 1920, 1080, 24);
    // One buffer: the baseline writes it whole, the writer its pixel part, so both read
    // the same memory.
    std::vector<char> whole(54 + header.biSizeImage, 0x5A);
    const char* pixels = whole.data() + 54;
    const std::string path = e2e::TempFolder() + "\\kelvarin_bench_writer.bmp";
    auto plain = [&] {
        FILE* file = fopen(path.c_str(), "wb");
        bool ok = file != NULL && fwrite(whole.data(), 1, whole.size(), file) == whole.size();
        return file != NULL && fclose(file) == 0 && ok;
    };
    auto writer = [&] {
        char name[MAX_PATH + 1];
        strcpy(name, path.c_str());  // the file it replaces is its own of the same second
        return WriteBmpFile(name, sizeof name, header, NULL, pixels, path.c_str());
    };
    for (bool replacing : {false, true}) {
        std::vector<double> times[2];
        for (int i = 0; i <= 2 * runs; ++i) {
            int which = (i + i / 2) % 2;  // 0 1 1 0 0 1 1 0 ...
            if (replacing)
                plain();
            else
                DeleteFileA(path.c_str());
            double start = Now();
            if (!(which ? plain() : writer())) {
                printf("FAILED: writing %s\n", path.c_str());
                return 1;
            }
            if (i > 0)  // the first round warms the cache and the file system
                times[which].push_back(Now() - start);
        }
        double ratio = Median(times[0]) / Median(times[1]);
        printf("WriteBmpFile 1920x1080x24 %s: median %.2f ms, one fwrite %.2f ms: ratio %.2f%s\n",
               replacing ? "over an earlier file" : "to a new name", Median(times[0]),
               Median(times[1]), ratio,
               replacing      ? ""
               : ratio <= 1.1 ? " (target: within 1.1: met)"
                              : " (target: within 1.1: NOT met)");
    }
    DeleteFileA(path.c_str());
    return 0;
}

// An 800 x 600 top-most window of this process, in the foreground, painted in two colours;
// its own thread pumps it.
DWORD WINAPI ForegroundWindowThread(LPVOID ready) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hbrBackground = CreateSolidBrush(RGB(40, 160, 90));
    wc.lpszClassName = "KelvarinBenchTarget";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        60, 40, 800, 600, NULL, NULL, NULL, NULL);
    UpdateWindow(window);
    SetForegroundWindow(window);
    *(HWND volatile*)ready = window;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    DestroyWindow(window);
    DeleteObject(wc.hbrBackground);
    return 0;
}

// Hotkey 2 (the client area, which then becomes the wallpaper) from the window's DC and,
// with the stand-in that says the desktop is composed, from the screen DC; the rounds
// alternate so that a busy machine slows both alike.
int Window(int runs) {
    const std::string wallpaper = e2e::ReadDesktopValue("Wallpaper");
    HWND volatile window = NULL;
    DWORD threadId = 0;
    HANDLE thread = CreateThread(NULL, 0, ForegroundWindowThread, (LPVOID)&window, 0, &threadId);
    e2e::WaitUntil([&] { return window != NULL && GetForegroundWindow() == window; }, 5000);
    std::vector<double> times[2];
    bool ok = GetForegroundWindow() == window;
    for (int round = 0; ok && round < 3; ++round) {
        for (int composed = 0; ok && composed < 2; ++composed) {
            e2e::ComposedDesktop* standIn = composed ? new e2e::ComposedDesktop : NULL;
            ok = standIn == NULL || standIn->Ok();
            if (ok) {
                Installed kelvarin;
                SetForegroundWindow(window);
                ok = kelvarin.ok && kelvarin.Capture(e2e::kWindowKey) >= 0;
                for (int i = 0; ok && i < runs; ++i, Sleep(200)) {
                    double ms = kelvarin.Capture(e2e::kWindowKey);
                    ok = ms >= 0;
                    times[composed].push_back(ms);
                }
            }
            delete standIn;
        }
    }
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)wallpaper.c_str(), SPIF_UPDATEINIFILE);
    if (!ok) {
        printf("FAILED: no window capture from Kelvarin.exe\n");
        return 1;
    }
    const double ratio = Median(times[1]) / Median(times[0]);
    printf("hotkey 2 to complete file, 800x600 client area, %d runs each:\n", (int)times[0].size());
    printf("  window DC (not composed)  median %7.1f ms\n", Median(times[0]));
    printf("  screen DC (composed)      median %7.1f ms\n", Median(times[1]));
    printf("  ratio of medians %.2f (target: 1.10 or less: %s)\n", ratio,
           ratio <= 1.10 ? "met" : "NOT met");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, NULL, _IONBF, 0);
    int runs = argc > 2 ? atoi(argv[2]) : 0;
    if (runs > 0 && strcmp(argv[1], "speed") == 0)
        return Speed(runs);
    if (runs > 0 && strcmp(argv[1], "repeat") == 0)
        return Repeat(runs);
    if (runs > 0 && strcmp(argv[1], "writer") == 0)
        return Writer(runs);
    if (runs > 0 && strcmp(argv[1], "window") == 0)
        return Window(runs);
    fprintf(stderr, "usage: capture_timing speed|repeat|writer|window N\n");
    return 2;
}
