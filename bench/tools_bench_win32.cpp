// The tool windows' cost: the magnifier's paint at zoom 2 and 16 for a 400x300 and an
// 800x600 client, against a plain 1:1 copy of the same client size from the screen; and
// 1,000 openings and closings of each tool in the running Kelvarin.exe, with its GDI and
// USER objects, handles and private memory after the first and after the last.
// Run under Wine in the bench session: tools_bench_win32 [paints]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <utility>

#include "../tests/e2e/harness.h"
#include "../tests/e2e/objects.h"
#include "base/settings.h"
#include "base/winutil.h"
#include "tools/loupe.h"

namespace {

double Now() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)counter.QuadPart / (double)frequency.QuadPart;
}

// Sizes the window so that its client area is width x height.
void SetClientSize(HWND window, int width, int height) {
    for (int i = 0; i < 2; ++i) {
        RECT outer, client;
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        SetWindowPos(window, NULL, 0, 0, outer.right - outer.left + width - client.right,
                     outer.bottom - outer.top + height - client.bottom,
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

// Milliseconds per paint of the magnifier, each a full repaint done at once.
double TimeLoupePaint(HWND loupe, int zoom, int paints) {
    SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, zoom), 0);
    UpdateWindow(loupe);
    double start = Now();
    for (int i = 0; i < paints; ++i) {
        InvalidateRect(loupe, NULL, FALSE);
        UpdateWindow(loupe);
    }
    return (Now() - start) / paints;
}

// The same client area copied 1:1 from the screen into the window.
double TimeScreenCopy(HWND window, int paints) {
    RECT client;
    GetClientRect(window, &client);
    double start = Now();
    for (int i = 0; i < paints; ++i) {
        HDC dc = GetDC(window);
        HDC screen = GetDC(NULL);
        BitBlt(dc, 0, 0, client.right, client.bottom, screen, 300, 200, SRCCOPY);
        ReleaseDC(NULL, screen);
        ReleaseDC(window, dc);
    }
    GdiFlush();
    return (Now() - start) / paints;
}

bool BenchPaint(int paints) {
    HWND loupe = CreateLoupeWindow(
        GetModuleHandleA(NULL), NULL,
        WS_VISIBLE | WS_CAPTION | WS_VSCROLL | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOPMOST);
    if (loupe == NULL) {
        printf("FAILED: no magnifier window\n");
        return false;
    }
    MoveWindowTo(loupe, 10, 10);
    printf("magnifier paint, %d paints each (ms per paint):\n", paints);
    const SIZE sizes[] = {{400, 300}, {800, 600}};
    for (const SIZE& size : sizes) {
        SetClientSize(loupe, size.cx, size.cy);
        double copy = TimeScreenCopy(loupe, paints);
        for (int zoom : {2, 16}) {
            double paint = TimeLoupePaint(loupe, zoom, paints);
            printf("  %ldx%ld zoom %2d   %7.3f ms   1:1 screen copy %7.3f ms   ratio %.2f\n",
                   size.cx, size.cy, zoom, paint, copy, paint / copy);
        }
    }
    DestroyWindow(loupe);
    // The magnifier saved its place beside this program.
    char ini[MODULE_PATH_SIZE];
    if (GetModulePath(ini, sizeof ini, ".ini"))
        DeleteFileA(ini);
    return true;
}

void Print(const char* what, const e2e::ObjectCounts& counts) {
    printf(
        "    %-10s gdi %4ld  user %4ld (windows %ld icons %ld)  handles %4ld  private %7.1f KB\n",
        what, counts.gdi, counts.user, counts.windows, counts.icons, counts.handles,
        counts.privateBytes / 1024.0);
}

bool BenchOpenings(int times) {
    e2e::ScratchInstall install("kelvarin_bench_tools");
    // Both tools away from the pointer, whose passing over a border would load a shared
    // sizing cursor once.
    for (const char* section : {"虫眼鏡", "カーソル座標窓"}) {
        WritePrivateProfileStringA(section, "x 位置", "100", install.IniPath().c_str());
        WritePrivateProfileStringA(section, "y 位置", "100", install.IniPath().c_str());
    }
    SetCursorPos(900, 600);
    e2e::Program program;
    HWND main = NULL;
    if (!program.Start(install.Exe()) || (main = program.WaitMainWindow()) == NULL) {
        printf("FAILED: Kelvarin.exe did not start\n");
        return false;
    }
    printf("%d openings and closings (open, paint, close) of each tool in Kelvarin.exe:\n", times);
    for (const auto& tool :
         {std::make_pair(40051, "loupe"), std::make_pair(40052, "CursorInfoWindow")}) {
        e2e::ObjectCounts first, last;
        double start = 0;
        for (int i = 0; i <= times; ++i) {
            if (i == 1) {
                e2e::CountProcessObjects(program.Pid(), &first);
                start = Now();
            }
            SendMessageA(main, WM_COMMAND, tool.first, 0);
            HWND window = e2e::FindProcessWindow(program.Pid(), tool.second, true);
            if (window == NULL) {
                printf("FAILED: %s did not open\n", tool.second);
                return false;
            }
            SendMessageA(window, WM_PAINT, 0, 0);
            SendMessageA(main, WM_COMMAND, tool.first, 0);
        }
        double perCycle = (Now() - start) / times;
        e2e::CountProcessObjects(program.Pid(), &last);
        printf("  %s: %.2f ms per opening and closing\n", tool.second, perCycle);
        Print("after 1", first);
        Print("after last", last);
        bool grew =
            last.gdi != first.gdi || last.user != first.user || last.handles != first.handles;
        printf("    objects %s, private memory %+.1f KB\n", grew ? "GREW" : "unchanged",
               ((double)last.privateBytes - (double)first.privateBytes) / 1024.0);
    }
    program.Exit();
    return program.WaitExit() == 0;
}

}  // namespace

int main(int argc, char** argv) {
    setvbuf(stdout, NULL, _IONBF, 0);
    int paints = argc > 1 ? atoi(argv[1]) : 200;
    if (paints <= 0) {
        fprintf(stderr, "usage: tools_bench_win32 [paints]\n");
        return 2;
    }
    if (FindWindowA(e2e::kMainWindowClass, NULL) != NULL) {
        printf("FAILED: a Kelvarin is already running in this session\n");
        return 1;
    }
    return BenchPaint(paints) && BenchOpenings(1000) ? 0 : 1;
}
