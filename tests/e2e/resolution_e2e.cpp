// The resolution menu as a user meets it: its items, in columns by depth, and the switch to
// the chosen mode, followed by the tooltip. The test puts back the mode it found.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "display/mode_menu_layout.h"
#include "harness.h"

namespace {

using e2e::MenuSpy;

typedef std::tuple<DWORD, DWORD, DWORD, DWORD> Mode;  // depth, width, height, rate

DEVMODEA CurrentMode() {
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

// The system's modes as the menu should list them, worked out here on their own: one per
// depth and size, in depth, width, height order, with the highest rate listed for it.
std::vector<Mode> ListedModes(int* current) {
    std::map<std::tuple<DWORD, DWORD, DWORD>, DWORD> rates;
    DEVMODEA mode = {};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsA(NULL, i, &mode); ++i) {
        DWORD& rate =
            rates[std::make_tuple(mode.dmBitsPerPel, mode.dmPelsWidth, mode.dmPelsHeight)];
        rate = std::max(rate, mode.dmDisplayFrequency);
    }
    const DEVMODEA now = CurrentMode();
    std::vector<Mode> modes;
    for (const auto& entry : rates) {
        modes.push_back(std::tuple_cat(entry.first, std::make_tuple(entry.second)));
        if (modes.back() ==
            Mode(now.dmBitsPerPel, now.dmPelsWidth, now.dmPelsHeight, now.dmDisplayFrequency)) {
            *current = static_cast<int>(modes.size()) - 1;
        }
    }
    return modes;
}

std::string Text(const Mode& mode) {
    char text[64];
    snprintf(text, sizeof text, "%lux%lu %lu bits", std::get<1>(mode), std::get<2>(mode),
             std::get<0>(mode));
    return text;
}

class ResolutionMenuTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(taskbar.Ok());
        ASSERT_TRUE(program.Start(install.Exe()));
        ASSERT_NE(window = program.WaitMainWindow(), (HWND)NULL);
        ASSERT_TRUE(taskbar.WaitForRecord(window, NIM_MODIFY));
        spy.reset(new MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
    }
    void TearDown() override {
        spy.reset();
        program.Exit();
        program.WaitExit();
        ChangeDisplaySettingsA(&found, CDS_UPDATEREGISTRY);
    }
    // A left-button release on the icon, as the shell reports it. Keys reach the menu loop
    // through the owner's queue, as typed keys do: the first Down selects mode 0, the next
    // ones skip the separators; the last key closes the menu.
    std::vector<MenuSpy::Item> UseMenu(int downs, WPARAM last) {
        spy->Clear();
        SendNotifyMessageA(window, 0x8001, 1, WM_LBUTTONUP);
        EXPECT_TRUE(spy->WaitForPopup());
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindPopupMenuWindow(program.Pid()); }));
        for (int i = 0; i < downs; ++i)
            PostMessageA(window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(window, WM_KEYDOWN, last, 0);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
        return spy->LastPopup();
    }

    DEVMODEA found = CurrentMode();
    e2e::FakeTaskbar taskbar;
    e2e::ScratchInstall install{"kelvarin_modes"};
    e2e::Program program;
    HWND window = NULL;
    std::unique_ptr<MenuSpy> spy;
};

TEST_F(ResolutionMenuTest, ListsEveryModeInColumnsByDepthAndSwitchesToTheChosenOne) {
    int current = -1;
    const std::vector<Mode> modes = ListedModes(&current);
    ASSERT_GE(current, 0);
    std::vector<uint32_t> depths;
    for (const Mode& mode : modes)
        depths.push_back(std::get<0>(mode));
    std::vector<ModeMenuEntry> layout;
    LayOutModeMenu(
        depths.data(), static_cast<int>(depths.size()),
        RowsPerColumn(GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYMENU)),
        [](void* out, const ModeMenuEntry& entry) {
            static_cast<std::vector<ModeMenuEntry>*>(out)->push_back(entry);
        },
        &layout);

    const std::vector<MenuSpy::Item> items = UseMenu(0, VK_ESCAPE);
    ASSERT_EQ(layout.size(), items.size());  // so no placeholder 40007 either
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuSpy::Item& item = items[i];
        const int mode = layout[i].mode;
        if (layout[i].flags == kModeItemSeparator) {
            EXPECT_TRUE(item.id == 0 && (item.state & MF_SEPARATOR)) << i;
        } else {
            EXPECT_EQ(mode, item.id) << i;
            EXPECT_EQ(Text(modes[mode]), item.text) << i;
            EXPECT_EQ(layout[i].flags, item.state & (MF_MENUBARBREAK | MF_GRAYED | MF_SEPARATOR));
            EXPECT_EQ(mode == current, (item.state & MF_CHECKED) != 0) << item.text;
        }
    }

    // Another size of the same depth, at least 640 wide, and back. The checked item is
    // chosen first: had it changed the mode, even to the same one, the system's
    // WM_DISPLAYCHANGE would bring a tooltip before the real switch's.
    int other = 0;
    while (other < (int)modes.size() &&
           (other == current || std::get<0>(modes[other]) != std::get<0>(modes[current]) ||
            std::get<1>(modes[other]) < 640))
        ++other;
    ASSERT_LT(other, (int)modes.size());
    for (int round = 0; round < 2; ++round, std::swap(current, other)) {
        taskbar.Clear();
        UseMenu(current + 1, VK_RETURN);
        UseMenu(other + 1, VK_RETURN);
        ASSERT_TRUE(taskbar.WaitForRecord(window, NIM_MODIFY));
        const Mode& mode = modes[other];
        EXPECT_EQ(Text(mode) + " " + std::to_string(std::get<3>(mode)) + " Hz",
                  taskbar.RecordsFor(window, NIM_MODIFY).front().tip);
        EXPECT_EQ((int)std::get<1>(mode), GetSystemMetrics(SM_CXSCREEN));
    }
}

}  // namespace
