// Display mode catalogue: ordering, de-duplication, grouping and the build over a fake driver.
#include "display/mode_catalogue.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

namespace {

DisplayModeRecord Mode(uint32_t depth, uint32_t width, uint32_t height, uint32_t rate) {
    DisplayModeRecord mode;
    PrepareModeQuery(&mode);
    mode.dmBitsPerPel = depth;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmDisplayFrequency = rate;
    return mode;
}

bool SameBytes(const DisplayModeRecord& a, const DisplayModeRecord& b) {
    return memcmp(&a, &b, sizeof(a)) == 0;
}

// A driver that lists a fixed sequence of records and logs how it is asked.
struct FakeDriver {
    std::vector<DisplayModeRecord> modes;
    std::vector<uint32_t> askedIndices;
    std::vector<DisplayModeRecord> scratchSeen;  // scratch as each call received it
    int failAt = -1;                             // index that fails although more modes follow

    static bool Enumerate(void* context, uint32_t index, DisplayModeRecord* scratch) {
        FakeDriver* driver = static_cast<FakeDriver*>(context);
        driver->askedIndices.push_back(index);
        driver->scratchSeen.push_back(*scratch);
        if (static_cast<int>(index) == driver->failAt || index >= driver->modes.size()) {
            return false;
        }
        *scratch = driver->modes[index];
        return true;
    }

    int Build(std::vector<DisplayModeRecord>* table) {
        return BuildDisplayModeTableFrom(table->data(), static_cast<int>(table->size()), Enumerate,
                                         this);
    }
};

typedef std::tuple<uint32_t, uint32_t, uint32_t> Triple;
Triple TripleOf(const DisplayModeRecord& m) {
    return Triple(m.dmBitsPerPel, m.dmPelsWidth, m.dmPelsHeight);
}

// Checks table[0..count) against the catalogue invariant computed independently from the
// listed records: one entry per triple in ascending order, each byte-identical to a listed
// record of that triple carrying the triple's highest rate.
void ExpectCatalogueOf(const std::vector<DisplayModeRecord>& listed, const DisplayModeRecord* table,
                       int count) {
    std::map<Triple, std::vector<DisplayModeRecord>> best;
    for (const DisplayModeRecord& m : listed) {
        std::vector<DisplayModeRecord>& top = best[TripleOf(m)];
        if (!top.empty() && m.dmDisplayFrequency < top[0].dmDisplayFrequency) {
            continue;
        }
        if (!top.empty() && m.dmDisplayFrequency > top[0].dmDisplayFrequency) {
            top.clear();
        }
        top.push_back(m);
    }
    ASSERT_EQ(static_cast<int>(best.size()), count);
    int i = 0;
    for (const auto& entry : best) {
        const DisplayModeRecord& got = table[i++];
        ASSERT_EQ(entry.first, TripleOf(got)) << "entry " << i - 1;
        const bool listedRecord =
            std::any_of(entry.second.begin(), entry.second.end(),
                        [&](const DisplayModeRecord& m) { return SameBytes(m, got); });
        ASSERT_TRUE(listedRecord) << "entry " << i - 1 << " rate " << got.dmDisplayFrequency;
    }
}

TEST(CompareDisplayModes, OrdersByDepthThenWidthThenHeightThenRateDescending) {
    // Each record sorts strictly before the next.
    const DisplayModeRecord ordered[] = {
        Mode(8, 1280, 1024, 60),
        Mode(16, 640, 480, 60),
        Mode(16, 1152, 864, 60),
        Mode(16, 1280, 720, 60),
        Mode(16, 1280, 1024, 85),
        Mode(16, 1280, 1024, 60),
        Mode(16, 1280, 1024, 1),
        Mode(16, 1280, 1024, 0),
        Mode(0x80000000u, 0, 0, 0),
        Mode(0xFFFFFFFFu, 1, 1, 0xFFFFFFFFu),
        Mode(0xFFFFFFFFu, 1, 1, 0x80000000u),
        Mode(0xFFFFFFFFu, 1, 1, 0),
    };
    const int n = sizeof(ordered) / sizeof(ordered[0]);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int expected = i < j ? -1 : (i > j ? 1 : 0);
            EXPECT_EQ(expected, CompareDisplayModes(&ordered[i], &ordered[j])) << i << " vs " << j;
        }
    }
}

TEST(CompareDisplayModes, SizesIgnoreRateAndModesIgnoreOtherFields) {
    DisplayModeRecord a = Mode(32, 1024, 768, 60);
    DisplayModeRecord b = Mode(32, 1024, 768, 85);
    EXPECT_EQ(0, CompareDisplaySizes(&a, &b));
    EXPECT_EQ(1, CompareDisplayModes(&a, &b));
    EXPECT_FALSE(IsSameDisplayMode(&a, &b));  // the mode in force at 60 Hz vs the 85 Hz entry

    b.dmDisplayFrequency = 60;
    b.dmFields = 0x005C0000;
    b.dmDisplayFlags = 2;
    b.dmSize = 124;
    memcpy(b.dmDeviceName, "other", 6);
    EXPECT_TRUE(IsSameDisplayMode(&a, &b));
    for (uint32_t DisplayModeRecord::*field :
         {&DisplayModeRecord::dmBitsPerPel, &DisplayModeRecord::dmPelsWidth,
          &DisplayModeRecord::dmPelsHeight}) {
        DisplayModeRecord c = a;
        c.*field += 1;
        EXPECT_EQ(-1, CompareDisplaySizes(&a, &c));
        EXPECT_FALSE(IsSameDisplayMode(&a, &c));
    }
}

struct Tagged {
    int key;
    int tag;
};

int CompareKeys(const void* a, const void* b) {
    // Any non-zero value means "different"; the sign is deliberately meaningless.
    return static_cast<const Tagged*>(a)->key != static_cast<const Tagged*>(b)->key ? 42 : 0;
}

std::vector<Tagged> Unique(std::vector<Tagged> items) {
    const int kept = RemoveAdjacentDuplicates(items.data(), static_cast<int>(items.size()),
                                              sizeof(Tagged), CompareKeys);
    items.resize(static_cast<size_t>(kept));
    return items;
}

std::vector<Tagged> Keys(std::initializer_list<int> keys) {
    std::vector<Tagged> items;
    for (int key : keys) {
        items.push_back(Tagged{key, static_cast<int>(items.size())});
    }
    return items;
}

std::vector<int> Tags(const std::vector<Tagged>& items) {
    std::vector<int> tags;
    for (const Tagged& t : items) {
        tags.push_back(t.tag);
    }
    return tags;
}

TEST(RemoveAdjacentDuplicates, KeepsFirstOfEveryRunInOrder) {
    Tagged none[1] = {{7, 7}};
    EXPECT_EQ(0, RemoveAdjacentDuplicates(none, 0, sizeof(Tagged), CompareKeys));
    EXPECT_EQ(7, none[0].tag);
    EXPECT_EQ(std::vector<int>({0}), Tags(Unique(Keys({5}))));
    EXPECT_EQ(std::vector<int>({0}), Tags(Unique(Keys({3, 3, 3, 3}))));
    EXPECT_EQ(std::vector<int>({0, 1, 2}), Tags(Unique(Keys({1, 2, 3}))));
    EXPECT_EQ(std::vector<int>({0, 2, 3, 6, 7}), Tags(Unique(Keys({1, 1, 2, 3, 3, 3, 4, 5, 5}))));
    EXPECT_EQ(std::vector<int>({0, 1, 2}), Tags(Unique(Keys({1, 2, 1}))));  // adjacent only
    EXPECT_EQ(std::vector<int>({0, 3}), Tags(Unique(Keys({1, 1, 1, 2}))));
    EXPECT_EQ(std::vector<int>({0, 1}), Tags(Unique(Keys({1, 2, 2, 2}))));
}

TEST(RemoveAdjacentDuplicates, MatchesStdUniqueOnRandomRuns) {
    std::mt19937 random(20240611u);
    for (int round = 0; round < 2000; ++round) {
        std::vector<Tagged> items;
        const int n = static_cast<int>(random() % 40);
        for (int i = 0; i < n; ++i) {
            items.push_back(Tagged{static_cast<int>(random() % 4), i});
        }
        std::vector<Tagged> expected = items;
        expected.erase(std::unique(expected.begin(), expected.end(),
                                   [](const Tagged& a, const Tagged& b) { return a.key == b.key; }),
                       expected.end());
        ASSERT_EQ(Tags(expected), Tags(Unique(items))) << "round " << round;
    }
}

TEST(CountSameDepth, CountsTheRunFromIndexWithinCount) {
    const DisplayModeRecord table[] = {Mode(8, 640, 480, 60),  Mode(8, 800, 600, 60),
                                       Mode(8, 1024, 768, 60), Mode(16, 640, 480, 60),
                                       Mode(16, 800, 600, 60), Mode(32, 640, 480, 60),
                                       Mode(32, 800, 600, 60)};
    EXPECT_EQ(3, CountSameDepth(table, 7, 0));  // start of a group: the whole group
    EXPECT_EQ(2, CountSameDepth(table, 7, 1));  // from the middle: to the group's end
    EXPECT_EQ(2, CountSameDepth(table, 7, 3));
    EXPECT_EQ(1, CountSameDepth(table, 7, 6));  // last index
    EXPECT_EQ(0, CountSameDepth(table, 7, 7));  // index = count
    EXPECT_EQ(0, CountSameDepth(table, 7, 100));
    EXPECT_EQ(0, CountSameDepth(table, 7, -1));
    EXPECT_EQ(1, CountSameDepth(table, 6, 5));  // count ends the group early
}

TEST(PrepareModeQuery, ZeroesEverythingButSizeAndFields) {
    DisplayModeRecord query;
    memset(&query, 0xAB, sizeof(query));
    PrepareModeQuery(&query);
    unsigned char expected[148] = {};
    expected[36] = 148;   // dmSize, little-endian
    expected[42] = 0x1C;  // dmFields 0x001C0000
    EXPECT_EQ(0, memcmp(expected, &query, sizeof(expected)));
}

TEST(BuildDisplayModeTable, KeepsHighestRatePerDepthAndSize) {
    FakeDriver driver;
    for (uint32_t rate : {72u, 60u, 85u, 75u}) {
        for (uint32_t depth : {32u, 8u, 16u}) {
            DisplayModeRecord mode = Mode(depth, 640, 480, rate);
            mode.dmDisplayFlags = rate;  // the survivor keeps its own other fields
            driver.modes.push_back(mode);
        }
    }
    driver.modes.push_back(Mode(8, 800, 600, 1));  // default rate, alone: survives
    driver.modes.push_back(Mode(8, 1024, 768, 0));
    driver.modes.push_back(Mode(8, 1024, 768, 56));  // beats the default rate
    std::vector<DisplayModeRecord> table(20);
    ASSERT_EQ(5, driver.Build(&table));
    const uint32_t expected[][4] = {{8, 640, 480, 85},
                                    {8, 800, 600, 1},
                                    {8, 1024, 768, 56},
                                    {16, 640, 480, 85},
                                    {32, 640, 480, 85}};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(expected[i][0], table[i].dmBitsPerPel);
        EXPECT_EQ(expected[i][1], table[i].dmPelsWidth);
        EXPECT_EQ(expected[i][2], table[i].dmPelsHeight);
        EXPECT_EQ(expected[i][3], table[i].dmDisplayFrequency);
    }
    EXPECT_EQ(85u, table[0].dmDisplayFlags);
    ExpectCatalogueOf(driver.modes, table.data(), 5);
}

TEST(BuildDisplayModeTable, StopsAtFirstFailureOrCapacity) {
    FakeDriver failing;
    failing.modes = {Mode(16, 800, 600, 60), Mode(8, 640, 480, 60), Mode(8, 320, 200, 60),
                     Mode(4, 320, 200, 60)};
    failing.failAt = 2;
    std::vector<DisplayModeRecord> table(10);
    EXPECT_EQ(2, failing.Build(&table));
    EXPECT_EQ(std::vector<uint32_t>({0, 1, 2}), failing.askedIndices);
    EXPECT_EQ(8u, table[0].dmBitsPerPel);

    FakeDriver full;  // exactly as many modes as room: no call past the capacity
    full.modes = failing.modes;
    std::vector<DisplayModeRecord> exact(4);
    EXPECT_EQ(4, full.Build(&exact));
    EXPECT_EQ(std::vector<uint32_t>({0, 1, 2, 3}), full.askedIndices);

    FakeDriver empty;
    std::vector<DisplayModeRecord> untouched(3, Mode(1, 2, 3, 4));
    EXPECT_EQ(0, empty.Build(&untouched));
    EXPECT_EQ(1u, empty.askedIndices.size());
    EXPECT_TRUE(SameBytes(Mode(1, 2, 3, 4), untouched[0]));

    for (int capacity : {0, -1}) {
        FakeDriver unused;
        unused.modes = failing.modes;
        EXPECT_EQ(0, BuildDisplayModeTableFrom(nullptr, capacity, FakeDriver::Enumerate, &unused));
        EXPECT_TRUE(unused.askedIndices.empty());
    }
}

TEST(BuildDisplayModeTable, CutsAnOverlongListToTheFirst4095BeforeSorting) {
    std::mt19937 random(4095u);
    FakeDriver driver;
    for (int i = 0; i < 4095; ++i) {
        driver.modes.push_back(Mode(8u << (random() % 3), 320 + 8 * (random() % 160),
                                    200 + 8 * (random() % 100), 60 + random() % 30));
    }
    // Past the cut: a mode that would sort first, and higher rates for listed sizes.
    driver.modes.push_back(Mode(1, 320, 200, 60));
    for (int i = 0; i < 900; ++i) {
        DisplayModeRecord better = driver.modes[static_cast<size_t>(i)];
        better.dmDisplayFrequency = 200;
        driver.modes.push_back(better);
    }
    std::vector<DisplayModeRecord> table(4095);
    const int count = driver.Build(&table);
    EXPECT_EQ(4094u, driver.askedIndices.back());
    const std::vector<DisplayModeRecord> seen(driver.modes.begin(), driver.modes.begin() + 4095);
    ExpectCatalogueOf(seen, table.data(), count);
}

TEST(BuildDisplayModeTable, ScratchCarriesThePreviousRecordIntoTheNextCall) {
    // A driver that, like some real ones, writes only the mode fields after the first call.
    struct PartialDriver {
        static bool Enumerate(void* context, uint32_t index, DisplayModeRecord* scratch) {
            static_cast<std::vector<DisplayModeRecord>*>(context)->push_back(*scratch);
            if (index == 0) {
                *scratch = Mode(32, 1024, 768, 60);
                scratch->dmDisplayFlags = 2;
                scratch->dmSize = 156;        // a longer form, and private data, that this
                scratch->dmDriverExtra = 64;  // record has no room for
                return true;
            }
            if (index > 2) {
                return false;
            }
            scratch->dmPelsWidth = 640 + index;
            scratch->dmPelsHeight = 480;
            return true;
        }
    };
    std::vector<DisplayModeRecord> seen;
    std::vector<DisplayModeRecord> table(8);
    ASSERT_EQ(3, BuildDisplayModeTableFrom(table.data(), 8, PartialDriver::Enumerate, &seen));
    ASSERT_EQ(4u, seen.size());
    DisplayModeRecord query;
    PrepareModeQuery(&query);
    EXPECT_TRUE(SameBytes(query, seen[0]));
    EXPECT_EQ(1024u, seen[1].dmPelsWidth);
    EXPECT_EQ(641u, seen[2].dmPelsWidth);
    for (int i = 1; i < 4; ++i)  // but every call is told the record's true room
        EXPECT_TRUE(seen[i].dmSize == kDisplayModeRecordSize && seen[i].dmDriverExtra == 0) << i;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(2u, table[i].dmDisplayFlags) << i;
        EXPECT_EQ(32u, table[i].dmBitsPerPel) << i;
    }
}

TEST(BuildDisplayModeTable, RandomListsSatisfyTheCatalogueInvariant) {
    const uint32_t rates[] = {0, 1, 56, 60, 60, 72, 75, 85, 0x80000000u, 0xFFFFFFFFu};
    const uint32_t depths[] = {4, 8, 16, 24, 32, 0x80000000u};
    for (uint32_t seed : {1u, 7u, 1234u}) {
        std::mt19937 random(seed);
        for (int round = 0; round < 1000; ++round) {
            FakeDriver driver;
            const int n = static_cast<int>(random() % (round % 10 == 0 ? 600 : 60));
            for (int i = 0; i < n; ++i) {
                DisplayModeRecord mode =
                    Mode(depths[random() % 6], 640 * (1 + random() % 3) + (random() % 2),
                         480 * (1 + random() % 3), rates[random() % 10]);
                memcpy(mode.dmDeviceName, &i, sizeof(i));  // every listed record distinct
                mode.dmDisplayFlags = random();
                mode.dmReserved2 = random();  // whole records, up to the last byte
                driver.modes.push_back(mode);
            }
            const int capacity = 1 + static_cast<int>(random() % static_cast<uint32_t>(n + 8));
            std::vector<DisplayModeRecord> table(static_cast<size_t>(capacity));
            const int count = driver.Build(&table);
            const size_t listed = std::min(driver.modes.size(), static_cast<size_t>(capacity));
            const std::vector<DisplayModeRecord> seen(driver.modes.begin(),
                                                      driver.modes.begin() + listed);
            ExpectCatalogueOf(seen, table.data(), count);
            if (HasFatalFailure()) {
                FAIL() << "seed " << seed << " round " << round;
            }
        }
    }
}

}  // namespace
