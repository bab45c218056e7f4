// Time to build the display mode catalogue from the system's EnumDisplaySettingsA, against
// the bare enumeration of the same modes as the baseline. Run under Wine.
#include "display/display_modes.h"

#include <stdio.h>
#include <stdlib.h>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

int EnumerateOnly() {
    DisplayModeRecord scratch;
    PrepareModeQuery(&scratch);
    int listed = 0;
    while (listed < kDisplayModeTableCapacity &&
           EnumDisplaySettingsA(NULL, listed, reinterpret_cast<DEVMODEA*>(&scratch))) {
        ++listed;
    }
    return listed;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 200;
    if (runs <= 0) {
        fprintf(stderr, "usage: catalogue_bench_win32 [runs]\n");
        return 2;
    }
    int entries = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);  // warm-up
    const int listed = EnumerateOnly();

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int run = 0; run < runs; ++run) {
        entries = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    }
    QueryPerformanceCounter(&end);
    const double build = Seconds(start, end) * 1e6 / runs;

    QueryPerformanceCounter(&start);
    for (int run = 0; run < runs; ++run) {
        EnumerateOnly();
    }
    QueryPerformanceCounter(&end);
    const double baseline = Seconds(start, end) * 1e6 / runs;

    printf("catalogue_build_system: %.1f us per build (%d modes listed, %d entries, %d runs)\n",
           build, listed, entries, runs);
    printf("baseline_enumeration_only: %.1f us per pass\n", baseline);
    printf("ratio: %.2f\n", build / baseline);
    return entries > 0 ? 0 : 1;
}
