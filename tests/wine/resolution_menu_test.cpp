// The mode switch over a stand-in driver put in place of the system's mode calls: a
// catalogue of our choosing, the mode in force, and switches the "system" refuses. The
// real display is never changed here.
#include "display/resolution_menu.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

namespace {

DisplayModeRecord Mode(DWORD width, DWORD height, DWORD rate) {
    DisplayModeRecord mode;
    PrepareModeQuery(&mode);
    mode.dmBitsPerPel = 32;
    mode.dmPelsWidth = width;
    mode.dmPelsHeight = height;
    mode.dmDisplayFrequency = rate;
    mode.dmDisplayFlags = rate;  // tells the records apart beyond the compared fields
    return mode;
}

// Listed out of order, 800x600 at two rates: catalogue 0 is 640x480, 1 is 800x600 at
// 75 Hz, 2 is 1024x768.
std::vector<DisplayModeRecord> Listed;
DisplayModeRecord Current;
bool CurrentReadable;
LONG Answer;
std::vector<DisplayModeRecord> Requests;  // each ChangeDisplaySettingsA record, in order

BOOL WINAPI FakeEnumerate(LPCSTR, DWORD index, DEVMODEA* mode) {
    const DisplayModeRecord* source = index == ENUM_CURRENT_SETTINGS
                                          ? (CurrentReadable ? &Current : NULL)
                                          : (index < Listed.size() ? &Listed[index] : NULL);
    if (source != NULL)
        memcpy(mode, source, sizeof *source);
    return source != NULL;
}

LONG WINAPI FakeChange(DEVMODEA* mode, DWORD flags) {
    EXPECT_EQ(static_cast<DWORD>(CDS_UPDATEREGISTRY), flags);  // stored for the user
    Requests.push_back(*reinterpret_cast<DisplayModeRecord*>(mode));
    return Answer;
}

bool SameBytes(const DisplayModeRecord& a, const DisplayModeRecord& b) {
    return memcmp(&a, &b, sizeof a) == 0;
}

class SwitchTest : public testing::Test {
  protected:
    void SetUp() override {
        DisplayModeSystem.enumerate = FakeEnumerate;
        DisplayModeSystem.change = FakeChange;
        Listed = {Mode(1024, 768, 60), Mode(800, 600, 60), Mode(640, 480, 60), Mode(800, 600, 75)};
        Current = Mode(1024, 768, 60);
        CurrentReadable = true;
        Answer = DISP_CHANGE_SUCCESSFUL;
        Requests.clear();
        ASSERT_EQ(3, RebuildDisplayModeCatalogue());
    }
    void TearDown() override { DisplayModeSystem = kSystemDisplayModeCalls; }
    static void Choose(WPARAM wParam) { EXPECT_EQ(0, SwitchDisplayMode(NULL, wParam, 0)); }
};

TEST_F(SwitchTest, ModeIsRequestedAsListedAndPutBackWhenRefused) {
    Choose(MAKEWPARAM(1, 1));  // the notification code in the high word is not looked at
    ASSERT_EQ(1u, Requests.size());
    EXPECT_TRUE(SameBytes(Listed[3], Requests[0]));  // the 75 Hz record, whole
    for (LONG refusal : {DISP_CHANGE_RESTART, DISP_CHANGE_FAILED, DISP_CHANGE_BADMODE}) {
        Requests.clear();
        Answer = refusal;
        Choose(0);
        ASSERT_EQ(2u, Requests.size()) << refusal;
        EXPECT_TRUE(SameBytes(Listed[2], Requests[0])) << refusal;
        EXPECT_TRUE(SameBytes(Current, Requests[1])) << refusal;
    }
    // Unread, as on Windows 95 (the query fails, or succeeds and writes nothing): the way
    // back is the mode the screen shows.
    PrepareModeQuery(&Current);
    for (bool readable : {false, true}) {
        Requests.clear();
        CurrentReadable = readable;
        Choose(0);
        ASSERT_EQ(2u, Requests.size()) << readable;
        EXPECT_EQ((DWORD)GetSystemMetrics(SM_CXSCREEN), Requests[1].dmPelsWidth) << readable;
    }
}

TEST_F(SwitchTest, ModeInForceAndIdsNoMenuShowedSwitchNothing) {
    Answer = DISP_CHANGE_FAILED;
    Choose(2);  // the mode in force
    // After a build of 5 entries, one of 3: entries 3 and 4 are leftovers of the first.
    Listed.push_back(Mode(1280, 1024, 60));
    Listed.push_back(Mode(1600, 1200, 60));
    ASSERT_EQ(5, RebuildDisplayModeCatalogue());
    Listed.resize(4);
    ASSERT_EQ(3, RebuildDisplayModeCatalogue());
    for (WPARAM id : {3, 4, 4094, 4095, 40007, 65535})
        Choose(id);
    EXPECT_TRUE(Requests.empty());
    // A rate other than the one in force is another mode.
    Current.dmDisplayFrequency = 85;
    Choose(2);
    EXPECT_EQ(2u, Requests.size());
}

}  // namespace
