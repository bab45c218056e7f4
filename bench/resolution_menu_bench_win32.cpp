// Opening the resolution menu: the time from the request (the call that rebuilds the
// catalogue, fills the popup and tracks it) to the menu shown and waiting for the user
// (its owner's first WM_ENTERIDLE), with the system's modes and with a stand-in driver
// that lists 4095 modes. Baseline: the main menu, opened the same way in the same run.
// Run under Wine in the bench session: resolution_menu_bench_win32 [openings]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <vector>

#include "app/tray.h"
#include "display/resolution_menu.h"

namespace {

LARGE_INTEGER ShownAt;
bool Shown;

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU && !Shown) {
        QueryPerformanceCounter(&ShownAt);
        Shown = true;
        // Dismissed as a user does, through the menu loop.
        PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

typedef void (*OpenMenu)(HWND owner);

void OpenResolutionMenu(HWND owner) {
    ShowResolutionMenu(owner);
}

void OpenMainMenu(HWND owner) {
    OnShowMainMenu(owner);
}

// Median time to the menu shown over openings, or -1 when a menu never showed.
double TimeOpenings(HWND owner, OpenMenu open, int openings) {
    std::vector<double> times;
    for (int i = 0; i < openings; ++i) {
        Shown = false;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        open(owner);
        if (!Shown)
            return -1;
        times.push_back(Milliseconds(ShownAt.QuadPart - start.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 4095 modes at 8, 16, 24 and 32 bits, all sizes different; the mode in force is the
// system's.
BOOL WINAPI ManyModes(LPCSTR device, DWORD index, DEVMODEA* mode) {
    if (index == ENUM_CURRENT_SETTINGS)
        return kSystemDisplayModeCalls.enumerate(device, index, mode);
    if (index >= 4095)
        return FALSE;
    mode->dmBitsPerPel = 8 * (index % 4 + 1);
    mode->dmPelsWidth = 320 + index / 4;
    mode->dmPelsHeight = 200 + index / 4;
    mode->dmDisplayFrequency = 60;
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    const int openings = argc > 1 ? atoi(argv[1]) : 50;
    if (openings <= 0) {
        fprintf(stderr, "usage: resolution_menu_bench_win32 [openings]\n");
        return 2;
    }
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ResolutionMenuBench";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, NULL, NULL,
                                 wc.hInstance, NULL);
    if (owner == NULL) {
        printf("FAILED: no owner window\n");
        return 1;
    }
    SetCursorPos(600, 500);

    TimeOpenings(owner, OpenMainMenu, 3);  // warm-up: fonts, classes, the menu window
    const double mainMenu = TimeOpenings(owner, OpenMainMenu, openings);
    const int systemModes = RebuildDisplayModeCatalogue();
    const double system = TimeOpenings(owner, OpenResolutionMenu, openings);
    DisplayModeSystem.enumerate = ManyModes;
    const int manyModes = RebuildDisplayModeCatalogue();
    const int manyOpenings = std::max(1, openings / 5);
    const double many = TimeOpenings(owner, OpenResolutionMenu, manyOpenings);
    DisplayModeSystem = kSystemDisplayModeCalls;
    DestroyWindow(owner);
    if (mainMenu < 0 || system < 0 || many < 0) {
        printf("FAILED: a menu did not show\n");
        return 1;
    }

    printf("menu opening, request to menu shown (median), screen height %d, %d rows/column:\n",
           GetSystemMetrics(SM_CYSCREEN), GetMenuRowsPerColumn());
    printf("  main menu (baseline)          %8.2f ms  (%d openings)\n", mainMenu, openings);
    printf("  resolution menu, %4d modes   %8.2f ms  (%d openings)  ratio %.2f\n", systemModes,
           system, openings, system / mainMenu);
    printf("  resolution menu, %4d modes   %8.2f ms  (%d openings)  ratio %.2f\n", manyModes, many,
           manyOpenings, many / mainMenu);
    return 0;
}
