// Display mode catalogue against the system's EnumDisplaySettingsA (read only: the display
// mode is never changed here).
#include "display/display_modes.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <map>
#include <vector>
#include <tuple>

namespace {

typedef std::tuple<DWORD, DWORD, DWORD> Triple;

// The highest rate the system lists for each (depth, width, height), queried independently
// of the catalogue with a fresh full-size DEVMODEA per index.
std::map<Triple, DWORD> HighestRates() {
    std::map<Triple, DWORD> rates;
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode;
        memset(&mode, 0, sizeof(mode));
        mode.dmSize = sizeof(mode);
        if (!EnumDisplaySettingsA(NULL, i, &mode)) {
            break;
        }
        DWORD& rate = rates[Triple(mode.dmBitsPerPel, mode.dmPelsWidth, mode.dmPelsHeight)];
        if (mode.dmDisplayFrequency > rate) {
            rate = mode.dmDisplayFrequency;
        }
    }
    return rates;
}

TEST(BuildDisplayModeTable, HoldsOneEntryPerListedSizeWithItsHighestRate) {
    const int count = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    ASSERT_GT(count, 0);
    ASSERT_LE(count, kDisplayModeTableCapacity);
    const std::map<Triple, DWORD> rates = HighestRates();
    ASSERT_EQ(rates.size(), static_cast<size_t>(count));
    int i = 0;
    for (const auto& listed : rates) {
        const DisplayModeRecord& entry = DisplayModeTable[i];
        EXPECT_EQ(listed.first, Triple(entry.dmBitsPerPel, entry.dmPelsWidth, entry.dmPelsHeight))
            << "entry " << i;
        EXPECT_EQ(listed.second, entry.dmDisplayFrequency) << "entry " << i;
        EXPECT_GT(entry.dmSize, 0) << "entry " << i;
        EXPECT_LE(entry.dmSize, kDisplayModeRecordSize) << "entry " << i;
        ++i;
    }
}

// Our records are the 148-byte form of DEVMODEA, which is declared longer: a query that
// claimed the longer size, or a copy of sizeof(DEVMODEA), would write past them.
TEST(BuildDisplayModeTable, WritesNothingPastThe148ByteRecords) {
    const int count = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    ASSERT_GT(count, 0);
    std::vector<unsigned char> buffer((count + 1) * sizeof(DisplayModeRecord), 0xCD);
    DisplayModeRecord* table = reinterpret_cast<DisplayModeRecord*>(buffer.data());
    ASSERT_EQ(BuildDisplayModeTable(table, count), count);
    for (size_t i = count * sizeof(DisplayModeRecord); i < buffer.size(); ++i)
        ASSERT_EQ(0xCD, buffer[i]) << "byte " << i;
    // A table too small for every mode is filled to its capacity and not a byte beyond.
    std::fill(buffer.begin(), buffer.end(), 0xCD);
    ASSERT_EQ(BuildDisplayModeTable(table, 1), 1);
    for (size_t i = sizeof(DisplayModeRecord); i < buffer.size(); ++i)
        ASSERT_EQ(0xCD, buffer[i]) << "byte " << i;

    std::fill(buffer.begin(), buffer.end(), 0xCD);
    ASSERT_TRUE(GetCurrentDisplayMode(table));
    EXPECT_EQ(table->dmPelsWidth, (DWORD)GetSystemMetrics(SM_CXSCREEN));
    for (size_t i = sizeof(DisplayModeRecord); i < buffer.size(); ++i)
        ASSERT_EQ(0xCD, buffer[i]) << "byte " << i;
}

TEST(GetCurrentDisplayMode, ReportsTheScreenAndACatalogueSize) {
    DisplayModeRecord current;
    memset(&current, 0xCD, sizeof(current));
    ASSERT_TRUE(GetCurrentDisplayMode(&current));
    EXPECT_EQ(static_cast<DWORD>(GetSystemMetrics(SM_CXSCREEN)), current.dmPelsWidth);
    EXPECT_EQ(static_cast<DWORD>(GetSystemMetrics(SM_CYSCREEN)), current.dmPelsHeight);
    HDC screen = GetDC(NULL);
    ASSERT_TRUE(screen != NULL);
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(NULL, screen);
    EXPECT_EQ(static_cast<DWORD>(depth), current.dmBitsPerPel);

    const int count = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    int sameSize = 0;
    for (int i = 0; i < count; ++i) {
        sameSize += CompareDisplaySizes(&DisplayModeTable[i], &current) == 0;
    }
    EXPECT_EQ(1, sameSize);
}

TEST(GetDisplayModeEntry, UsesTheLowWordOfTheIndex) {
    const int count = BuildDisplayModeTable(DisplayModeTable, kDisplayModeTableCapacity);
    ASSERT_GE(count, 2);
    for (UINT high : {0x00000000u, 0x00010000u, 0xFFFF0000u}) {
        for (int i : {0, count - 1}) {
            DisplayModeRecord entry;
            memset(&entry, 0xCD, sizeof(entry));
            EXPECT_TRUE(GetDisplayModeEntry(high | static_cast<UINT>(i), &entry));
            EXPECT_EQ(0, memcmp(&entry, &DisplayModeTable[i], sizeof(entry)))
                << "index " << i << " high word " << std::hex << high;
        }
    }
}

}  // namespace
