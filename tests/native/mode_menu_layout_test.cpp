// Column layout of the resolution menu: the worked cases, rows per column, and a seeded
// random comparison with a step-by-step run of the layout rule over catalogue records.
#include "display/mode_menu_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

#include "display/mode_catalogue.h"

namespace {

std::vector<ModeMenuEntry> LayOut(const std::vector<uint32_t>& depths, int rows) {
    std::vector<ModeMenuEntry> entries;
    LayOutModeMenu(
        depths.data(), static_cast<int>(depths.size()), rows,
        [](void* out, const ModeMenuEntry& entry) {
            static_cast<std::vector<ModeMenuEntry>*>(out)->push_back(entry);
        },
        &entries);
    return entries;
}

TEST(RowsPerColumn, IsTheScreenOverAMenuRowAndNeverBelowOne) {
    EXPECT_EQ(36, RowsPerColumn(768, 19));
    EXPECT_EQ(1, RowsPerColumn(21, 19));
    // A screen shorter than one row, or a broken metric, still gives one row.
    EXPECT_EQ(1, RowsPerColumn(20, 19));
    EXPECT_EQ(1, RowsPerColumn(768, -2));
    EXPECT_EQ(1, RowsPerColumn(768, -40));
}

TEST(LayOutModeMenu, WorkedCases) {
    struct Case {
        std::vector<int> groups;  // lengths of consecutive depth groups
        int rows;
        std::set<int> breaking;          // modes that begin a column
        std::vector<size_t> separators;  // menu positions
    } const cases[] = {
        // 8 and 16 bits share column 1; 32 bits does not fit (40 + 20 > 36) and begins
        // column 2 at index 20; the item at row 35 (index 55) begins column 3.
        {{10, 10, 40}, 36, {20, 55}, {10}},
        // A group that exactly fills the rows left stays, and its last item (row 35)
        // begins a column; the next group then starts at row 0, without a separator.
        {{20, 16, 3}, 36, {35}, {20}},
        // A first group longer than the rows breaks at the very first item.
        {{7, 2}, 5, {0, 4}, {7}},
        // One row, or none: every item in a column of its own, no separators.
        {{2, 3, 1}, 1, {0, 1, 2, 3, 4, 5}, {}},
        {{2, 3, 1}, 0, {0, 1, 2, 3, 4, 5}, {}},
        {{2, 3, 1}, -3, {0, 1, 2, 3, 4, 5}, {}},
        {{}, 36, {}, {}},
    };
    for (const Case& c : cases) {
        std::vector<uint32_t> depths;
        for (size_t g = 0; g < c.groups.size(); ++g)
            depths.insert(depths.end(), c.groups[g], 8u * (g + 1));
        std::set<int> breaking;
        std::vector<size_t> separators;
        int next = 0;
        for (const ModeMenuEntry& entry : LayOut(depths, c.rows)) {
            if (entry.flags == kModeItemSeparator) {
                separators.push_back(next + separators.size());
                continue;
            }
            EXPECT_EQ(next++, entry.mode);
            if (entry.flags == kModeItemColumnBreak)
                breaking.insert(entry.mode);
        }
        EXPECT_EQ(static_cast<int>(depths.size()), next);
        EXPECT_EQ(c.breaking, breaking) << "rows " << c.rows << ", " << depths.size() << " modes";
        EXPECT_EQ(c.separators, separators) << "rows " << c.rows << ", " << depths.size();
    }
}

// The layout rule followed literally over a catalogue: group lengths from CountSameDepth,
// the fit test as L + n > M in 64 bits.
std::vector<ModeMenuEntry> StepByStep(const std::vector<DisplayModeRecord>& table, int m) {
    std::vector<ModeMenuEntry> out;
    const int count = static_cast<int>(table.size());
    int n = 0, i = 0;
    while (i < count) {
        bool brk = false;
        if (static_cast<int64_t>(CountSameDepth(table.data(), count, i)) + n > m) {
            brk = true;
            n = 0;
        }
        if (n > 0)
            out.push_back({-1, kModeItemSeparator});
        do {
            out.push_back({i, (brk || n + 1 >= m) ? kModeItemColumnBreak : 0u});
            brk = false;
            n = (n + 1) % m;
            ++i;
        } while (i < count && table[i].dmBitsPerPel == table[i - 1].dmBitsPerPel);
    }
    return out;
}

TEST(LayOutModeMenu, MatchesTheRuleRunStepByStepOnRandomCatalogues) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 3000; ++round) {
        const int rows = std::uniform_int_distribution<int>(1, 45)(random);
        std::vector<DisplayModeRecord> table;
        std::vector<uint32_t> depths;
        for (int g = std::uniform_int_distribution<int>(0, 6)(random); g > 0; --g) {
            for (int k = std::uniform_int_distribution<int>(1, 3 * rows)(random); k > 0; --k) {
                DisplayModeRecord mode;
                PrepareModeQuery(&mode);
                mode.dmBitsPerPel = 8u * static_cast<uint32_t>(g);
                table.push_back(mode);
                depths.push_back(mode.dmBitsPerPel);
            }
        }
        const std::vector<ModeMenuEntry> entries = LayOut(depths, rows);
        const std::vector<ModeMenuEntry> expected = StepByStep(table, rows);
        ASSERT_EQ(expected.size(), entries.size()) << "round " << round;
        int inColumn = 0;
        for (size_t k = 0; k < entries.size(); ++k) {
            ASSERT_EQ(expected[k].mode, entries[k].mode) << "round " << round << " entry " << k;
            ASSERT_EQ(expected[k].flags, entries[k].flags) << "round " << round << " entry " << k;
            // And what the menu shows: no column holds more items than the rows.
            if (entries[k].flags != kModeItemSeparator) {
                inColumn = entries[k].flags == kModeItemColumnBreak ? 1 : inColumn + 1;
                ASSERT_LE(inColumn, rows) << "round " << round;
            }
        }
    }
}

}  // namespace
