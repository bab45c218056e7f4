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
        [](void* context, const ModeMenuEntry& entry) {
            static_cast<std::vector<ModeMenuEntry>*>(context)->push_back(entry);
        },
        &entries);
    return entries;
}

std::vector<uint32_t> Groups(std::initializer_list<std::pair<int, uint32_t>> groups) {
    std::vector<uint32_t> depths;
    for (const auto& group : groups)
        depths.insert(depths.end(), group.first, group.second);
    return depths;
}

std::set<int> BreakingModes(const std::vector<ModeMenuEntry>& entries) {
    std::set<int> modes;
    for (const ModeMenuEntry& entry : entries) {
        if (entry.flags == kModeItemColumnBreak)
            modes.insert(entry.mode);
    }
    return modes;
}

// Menu positions of the separators.
std::vector<int> Separators(const std::vector<ModeMenuEntry>& entries) {
    std::vector<int> positions;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].flags == kModeItemSeparator)
            positions.push_back(static_cast<int>(i));
    }
    return positions;
}

TEST(RowsPerColumn, IsTheScreenOverAMenuRowAndNeverBelowOne) {
    EXPECT_EQ(36, RowsPerColumn(768, 19));
    EXPECT_EQ(28, RowsPerColumn(600, 19));
    EXPECT_EQ(1, RowsPerColumn(21, 19));
    // A screen shorter than one row, or a broken metric, still gives one row.
    EXPECT_EQ(1, RowsPerColumn(20, 19));
    EXPECT_EQ(1, RowsPerColumn(0, 19));
    EXPECT_EQ(1, RowsPerColumn(768, -2));
    EXPECT_EQ(1, RowsPerColumn(768, -40));
}

TEST(LayOutModeMenu, ThirtySixRowsWithTenTenAndFortyModes) {
    const std::vector<ModeMenuEntry> entries = LayOut(Groups({{10, 8}, {10, 16}, {40, 32}}), 36);
    ASSERT_EQ(61u, entries.size());
    // Column 1: the 8-bit items, a separator, the 16-bit items; the 32-bit group does not
    // fit beside them and begins column 2; the item at row 35 (index 55) begins column 3.
    EXPECT_EQ(std::vector<int>({10}), Separators(entries));
    EXPECT_EQ(std::set<int>({20, 55}), BreakingModes(entries));
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].flags != kModeItemSeparator) {
            EXPECT_EQ(static_cast<int>(i < 10 ? i : i - 1), entries[i].mode);
        }
    }
}

TEST(LayOutModeMenu, AGroupThatExactlyFillsTheRowsStaysInItsColumn) {
    // 20 rows used, 16 more fill the 36: no new column for the group, but its last item
    // (row 35) begins one. The next group then starts at row 0, so no separator.
    const std::vector<ModeMenuEntry> entries = LayOut(Groups({{20, 8}, {16, 16}, {3, 32}}), 36);
    EXPECT_EQ(std::vector<int>({20}), Separators(entries));
    EXPECT_EQ(std::set<int>({35}), BreakingModes(entries));
    EXPECT_EQ(40u, entries.size());
}

TEST(LayOutModeMenu, AFirstGroupLongerThanTheRowsBreaksAtTheVeryFirstItem) {
    const std::vector<ModeMenuEntry> entries = LayOut(Groups({{7, 8}, {2, 16}}), 5);
    EXPECT_EQ(0, entries[0].mode);
    EXPECT_EQ(std::set<int>({0, 4}), BreakingModes(entries));
    // The column begun at index 4 holds 4 to 6, and the next group fits beside them.
    EXPECT_EQ(std::vector<int>({7}), Separators(entries));
}

TEST(LayOutModeMenu, OneRowPutsEveryItemInAColumnOfItsOwnWithoutSeparators) {
    const std::vector<uint32_t> depths = Groups({{2, 8}, {3, 16}, {1, 32}});
    // Zero or negative rows (a screen shorter than one row) lay out as one row.
    for (int rows : {1, 0, -3}) {
        const std::vector<ModeMenuEntry> entries = LayOut(depths, rows);
        ASSERT_EQ(6u, entries.size()) << rows;
        for (const ModeMenuEntry& entry : entries)
            EXPECT_EQ(kModeItemColumnBreak, entry.flags) << rows;
    }
}

TEST(LayOutModeMenu, NoEntriesGiveAnEmptyMenu) {
    EXPECT_TRUE(LayOut({}, 36).empty());
}

// The layout rule followed literally over a catalogue: group lengths from CountSameDepth,
// the fit test as L + n > M in 64 bits.
std::vector<ModeMenuEntry> StepByStep(const std::vector<DisplayModeRecord>& table, int m) {
    std::vector<ModeMenuEntry> out;
    const int count = static_cast<int>(table.size());
    int n = 0, i = 0;
    while (i < count) {
        const int64_t length = CountSameDepth(table.data(), count, i);
        bool brk = false;
        if (length + n > m) {
            brk = true;
            n = 0;
        }
        if (n > 0)
            out.push_back({-1, kModeItemSeparator});
        for (;;) {
            out.push_back({i, (brk || n + 1 >= m) ? kModeItemColumnBreak : 0u});
            brk = false;
            n = (n + 1) % m;
            ++i;
            if (i == count || table[i].dmBitsPerPel != table[i - 1].dmBitsPerPel)
                break;
        }
    }
    return out;
}

TEST(LayOutModeMenu, MatchesTheRuleRunStepByStepOnRandomCatalogues) {
    std::mt19937 random(20240607);
    for (int round = 0; round < 3000; ++round) {
        const int rows = std::uniform_int_distribution<int>(1, 45)(random);
        std::vector<uint32_t> depths;
        std::vector<DisplayModeRecord> table;
        const int groups = std::uniform_int_distribution<int>(0, 6)(random);
        for (int g = 0; g < groups; ++g) {
            const int length = std::uniform_int_distribution<int>(1, 3 * rows)(random);
            for (int k = 0; k < length; ++k) {
                DisplayModeRecord mode;
                PrepareModeQuery(&mode);
                mode.dmBitsPerPel = 8u * static_cast<uint32_t>(g + 1);
                table.push_back(mode);
                depths.push_back(mode.dmBitsPerPel);
            }
        }
        const std::vector<ModeMenuEntry> entries = LayOut(depths, rows);
        const std::vector<ModeMenuEntry> expected = StepByStep(table, rows);
        ASSERT_EQ(expected.size(), entries.size()) << "round " << round;
        for (size_t k = 0; k < entries.size(); ++k) {
            ASSERT_EQ(expected[k].mode, entries[k].mode) << "round " << round << " entry " << k;
            ASSERT_EQ(expected[k].flags, entries[k].flags) << "round " << round << " entry " << k;
        }
        // What the menu shows: every mode once and in order, separators only between
        // depths, no column taller than the rows.
        int next = 0, inColumn = 0;
        for (size_t k = 0; k < entries.size(); ++k) {
            if (entries[k].flags == kModeItemSeparator) {
                ASSERT_GT(k, 0u);
                ASSERT_LT(k + 1, entries.size());
                ASSERT_NE(depths[entries[k - 1].mode], depths[entries[k + 1].mode]);
                continue;
            }
            ASSERT_EQ(next++, entries[k].mode);
            inColumn = entries[k].flags == kModeItemColumnBreak ? 1 : inColumn + 1;
            ASSERT_LE(inColumn, rows) << "round " << round;
        }
        ASSERT_EQ(static_cast<int>(depths.size()), next);
    }
}

}  // namespace
