// Time to build the display mode catalogue from a synthetic driver listing 4095 modes,
// against std::sort + std::unique over the same records as the baseline.
#include "display/mode_catalogue.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

namespace {

struct SyntheticDriver {
    std::vector<DisplayModeRecord> modes;

    static bool Enumerate(void* context, uint32_t index, DisplayModeRecord* scratch) {
        const std::vector<DisplayModeRecord>& modes = static_cast<SyntheticDriver*>(context)->modes;
        if (index >= modes.size()) {
            return false;
        }
        memcpy(scratch, &modes[index], sizeof(*scratch));
        return true;
    }
};

// 4095 modes in driver-like disorder: five depths, 91 sizes, nine rates, with repeats.
std::vector<DisplayModeRecord> SyntheticModes() {
    const uint32_t depths[] = {4, 8, 16, 24, 32};
    const uint32_t rates[] = {0, 1, 56, 60, 70, 72, 75, 85, 100};
    std::mt19937 random(148u);
    std::vector<DisplayModeRecord> modes;
    while (modes.size() < 4095) {
        DisplayModeRecord mode;
        PrepareModeQuery(&mode);
        mode.dmBitsPerPel = depths[random() % 5];
        mode.dmPelsWidth = 640 + 64 * (random() % 13);
        mode.dmPelsHeight = 480 + 48 * (random() % 7);
        mode.dmDisplayFrequency = rates[random() % 9];
        modes.push_back(mode);
    }
    return modes;
}

double MicrosecondsPerRun(int runs, const std::chrono::steady_clock::time_point& start) {
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    return elapsed.count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? atoi(argv[1]) : 2000;
    if (runs <= 0) {
        fprintf(stderr, "usage: catalogue_bench [runs]\n");
        return 2;
    }
    SyntheticDriver driver;
    driver.modes = SyntheticModes();
    std::vector<DisplayModeRecord> table(4095);
    long checksum = 0;

    auto start = std::chrono::steady_clock::now();
    for (int run = 0; run < runs; ++run) {
        checksum +=
            BuildDisplayModeTableFrom(table.data(), 4095, SyntheticDriver::Enumerate, &driver);
    }
    const double build = MicrosecondsPerRun(runs, start);
    const int entries = static_cast<int>(checksum / runs);

    start = std::chrono::steady_clock::now();
    for (int run = 0; run < runs; ++run) {
        std::vector<DisplayModeRecord>& copy = table;
        std::copy(driver.modes.begin(), driver.modes.end(), copy.begin());
        std::sort(copy.begin(), copy.end(),
                  [](const DisplayModeRecord& a, const DisplayModeRecord& b) {
                      return CompareDisplayModes(&a, &b) < 0;
                  });
        checksum += std::unique(copy.begin(), copy.end(),
                                [](const DisplayModeRecord& a, const DisplayModeRecord& b) {
                                    return CompareDisplaySizes(&a, &b) == 0;
                                }) -
                    copy.begin();
    }
    const double baseline = MicrosecondsPerRun(runs, start);

    printf("catalogue_build_4095: %.1f us per build (%d entries, %d runs)\n", build, entries, runs);
    printf("baseline_std_sort_unique_4095: %.1f us per build\n", baseline);
    printf("ratio: %.2f\n", build / baseline);
    return checksum == 2L * runs * entries ? 0 : 1;
}
