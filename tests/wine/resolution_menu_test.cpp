// The resolution menu and the mode switch over a stand-in driver put in place of the
// system's mode calls: a catalogue of any size, a mode in force of our choosing, and
// switches that the "system" refuses. The real display is never changed here.
#include "display/resolution_menu.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

struct Change {
    DisplayModeRecord mode;
    DWORD flags;
};

// The stand-in driver: lists modes, reports current as the mode in force (or fails),
// records every change request and answers it with result.
struct FakeDriver {
    std::vector<DisplayModeRecord> modes;
    DisplayModeRecord current;
    bool currentReadable = true;
    LONG result = DISP_CHANGE_SUCCESSFUL;
    std::vector<Change> changes;
};
FakeDriver* Driver;

BOOL WINAPI FakeEnumerate(LPCSTR, DWORD index, DEVMODEA* mode) {
    const DisplayModeRecord* source = NULL;
    if (index == ENUM_CURRENT_SETTINGS) {
        source = Driver->currentReadable ? &Driver->current : NULL;
    } else if (index < Driver->modes.size()) {
        source = &Driver->modes[index];
    }
    if (source == NULL)
        return FALSE;
    memcpy(mode, source, sizeof *source);
    return TRUE;
}

LONG WINAPI FakeChange(DEVMODEA* mode, DWORD flags) {
    Change change;
    memcpy(&change.mode, mode, sizeof change.mode);
    change.flags = flags;
    Driver->changes.push_back(change);
    return Driver->result;
}

DisplayModeRecord Mode(DWORD depth, DWORD width, DWORD height, DWORD rate) {
    DisplayModeRecord mode;
    PrepareModeQuery(&mode);
    mode.dmBitsPerPel = depth;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmDisplayFrequency = rate;
    mode.dmFields |= DM_DISPLAYFREQUENCY;
    mode.dmDisplayFlags = rate;  // tells the listed records apart beyond the four fields
    return mode;
}

bool SameBytes(const DisplayModeRecord& a, const DisplayModeRecord& b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

class SwitchTest : public testing::Test {
  protected:
    void SetUp() override {
        Driver = &driver;
        DisplayModeSystem.enumerate = FakeEnumerate;
        DisplayModeSystem.change = FakeChange;
        // Listed out of order, 800x600 at two rates: catalogue 0 is 640x480, 1 is
        // 800x600 at 75 Hz, 2 is 1024x768.
        driver.modes = {Mode(32, 1024, 768, 60), Mode(32, 800, 600, 60), Mode(32, 640, 480, 60),
                        Mode(32, 800, 600, 75)};
        driver.current = Mode(32, 1024, 768, 60);
        ASSERT_EQ(3, RebuildDisplayModeCatalogue());
    }
    void TearDown() override {
        DisplayModeSystem = kSystemDisplayModeCalls;
        Driver = NULL;
    }
    LRESULT Choose(WPARAM id) { return SwitchDisplayMode(NULL, id, 0); }

    FakeDriver driver;
};

TEST_F(SwitchTest, AcceptedModeIsRequestedOnceAsListedAndStoredForTheUser) {
    EXPECT_EQ(0, Choose(1));
    ASSERT_EQ(1u, driver.changes.size());
    EXPECT_TRUE(SameBytes(driver.modes[3], driver.changes[0].mode));  // the 75 Hz record
    EXPECT_EQ(static_cast<DWORD>(CDS_UPDATEREGISTRY), driver.changes[0].flags);
}

TEST_F(SwitchTest, RefusedModePutsThePreviousModeBack) {
    for (LONG refusal :
         {DISP_CHANGE_RESTART, DISP_CHANGE_FAILED, DISP_CHANGE_BADMODE, DISP_CHANGE_NOTUPDATED}) {
        driver.changes.clear();
        driver.result = refusal;
        EXPECT_EQ(0, Choose(0));
        ASSERT_EQ(2u, driver.changes.size()) << refusal;
        EXPECT_TRUE(SameBytes(driver.modes[2], driver.changes[0].mode)) << refusal;
        EXPECT_TRUE(SameBytes(driver.current, driver.changes[1].mode)) << refusal;
        EXPECT_EQ(static_cast<DWORD>(CDS_UPDATEREGISTRY), driver.changes[1].flags) << refusal;
    }
}

TEST_F(SwitchTest, ModeInForceAndIdsNoMenuShowedSwitchNothing) {
    driver.result = DISP_CHANGE_FAILED;
    EXPECT_EQ(0, Choose(2));  // the mode in force
    // A rate other than the one in force is another mode: 1024x768 at 85 Hz is chosen.
    driver.current = Mode(32, 1024, 768, 85);
    EXPECT_EQ(0, Choose(MAKEWPARAM(2, 1)));
    ASSERT_EQ(2u, driver.changes.size());
    driver.changes.clear();

    // After a build of 5 entries, one of 3: the table's entries 3 and 4 are leftovers.
    driver.modes.push_back(Mode(32, 1280, 1024, 60));
    driver.modes.push_back(Mode(32, 1600, 1200, 60));
    ASSERT_EQ(5, RebuildDisplayModeCatalogue());
    driver.modes.resize(4);
    ASSERT_EQ(3, RebuildDisplayModeCatalogue());
    for (WPARAM id : {3, 4, 4094, 4095, 40007, 65535})
        EXPECT_EQ(0, Choose(id)) << id;
    EXPECT_TRUE(driver.changes.empty());
}

TEST_F(SwitchTest, UnreadableModeInForceIsNotAModeToGoBackTo) {
    driver.currentReadable = false;
    driver.result = DISP_CHANGE_FAILED;
    EXPECT_EQ(0, Choose(1));
    ASSERT_EQ(1u, driver.changes.size());
    EXPECT_TRUE(SameBytes(driver.modes[3], driver.changes[0].mode));
}

struct MenuItem {
    UINT id;
    UINT state;
    std::string text;
};

std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[64] = {0};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        items.push_back({GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION), text});
    }
    return items;
}

TEST_F(SwitchTest, MenuOfALargeCatalogueFillsColumnsByDepth) {
    // 10 modes at 8 bits, 10 at 16, 40 at 32: with M rows the first two groups share
    // column 1 when they fit, the 32-bit group starts a column of its own.
    driver.modes.clear();
    for (DWORD depth : {8, 16, 32}) {
        for (DWORD k = 0; k < (depth == 32 ? 40u : 10u); ++k)
            driver.modes.push_back(Mode(depth, 320 + 16 * k, 200 + k, 60));
    }
    driver.current = driver.modes[25];
    ASSERT_EQ(60, RebuildDisplayModeCatalogue());
    const int rows = GetMenuRowsPerColumn();
    ASSERT_GE(rows, 21) << "a desktop this short lays the groups out otherwise";
    ASSERT_LT(rows, 40);

    HMENU menu = CreatePopupMenu();
    ASSERT_TRUE(menu != NULL);
    FillResolutionMenu(menu, DisplayModeTable, 60);
    const std::vector<MenuItem> items = ReadMenu(menu);
    DestroyMenu(menu);

    ASSERT_EQ(61u, items.size());
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), items[10].state & MF_SEPARATOR);
    EXPECT_EQ(0u, items[10].id);
    EXPECT_EQ("320x200 8 bits", items[0].text);
    EXPECT_EQ("464x209 16 bits", items[20].text);
    EXPECT_EQ("944x239 32 bits", items[60].text);
    for (size_t i = 0; i < items.size(); ++i) {
        if (i == 10)
            continue;
        const UINT id = static_cast<UINT>(i < 10 ? i : i - 1);
        EXPECT_EQ(id, items[i].id) << i;
        // 20 rows used when the 32-bit group comes, which therefore begins column 2 at
        // id 20; in it, the item at row rows - 1 begins column 3.
        const bool breaks = id == 20 || id == 20u + static_cast<UINT>(rows) - 1;
        EXPECT_EQ(breaks, (items[i].state & MF_MENUBARBREAK) != 0) << i;
        EXPECT_EQ(id == 25, (items[i].state & MF_CHECKED) != 0) << i;
    }
}

}  // namespace
