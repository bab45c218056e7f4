// The resolution menu as a user meets it: opened by a left-button release on the icon, one
// item per listed mode in columns by depth with the mode in force checked, and the switch
// to the chosen mode, followed by the tooltip. Every test puts back the mode it found.
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

std::string Tip(const Mode& mode) {
    return Text(mode) + " " + std::to_string(std::get<3>(mode)) + " Hz";
}

class ResolutionMenuTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(taskbar.Ok());
        ASSERT_TRUE(program.Start(install.Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        ASSERT_TRUE(taskbar.WaitForRecord(window, NIM_MODIFY));
        spy.reset(new MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
        modes = ListedModes(&current);
        ASSERT_GE(current, 0);
    }
    void TearDown() override {
        spy.reset();
        program.Exit();
        program.WaitExit();
        DEVMODEA now = CurrentMode();
        if (now.dmPelsWidth != found.dmPelsWidth || now.dmBitsPerPel != found.dmBitsPerPel)
            ChangeDisplaySettingsA(&found, CDS_UPDATEREGISTRY);
    }

    // A left-button release on the icon, as the shell reports it.
    std::vector<MenuSpy::Item> OpenMenu() {
        spy->Clear();
        SendNotifyMessageA(window, 0x8001, 1, WM_LBUTTONUP);
        EXPECT_TRUE(spy->WaitForPopup());
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindPopupMenuWindow(program.Pid()); }));
        return spy->LastPopup();
    }
    // Keys reach the menu loop through the owner's queue, as typed keys do.
    void Keys(WPARAM vk, int times = 1) {
        for (int i = 0; i < times; ++i)
            PostMessageA(window, WM_KEYDOWN, vk, 0);
        if (vk == VK_ESCAPE || vk == VK_RETURN) {
            EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
        }
    }
    // The first Down selects mode 0, the next ones skip the separators; Enter chooses.
    void Choose(int id) {
        OpenMenu();
        Keys(VK_DOWN, id + 1);
        Keys(VK_RETURN);
    }

    DEVMODEA found = CurrentMode();
    e2e::FakeTaskbar taskbar;
    e2e::ScratchInstall install{"kelvarin_modes"};
    e2e::Program program;
    HWND window = NULL;
    std::unique_ptr<MenuSpy> spy;
    std::vector<Mode> modes;
    int current = -1;
};

TEST_F(ResolutionMenuTest, ListsEveryModeInColumnsByDepthWithTheModeInForceChecked) {
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

    const std::vector<MenuSpy::Item> items = OpenMenu();
    ASSERT_EQ(layout.size(), items.size());  // so no placeholder 40007 either
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuSpy::Item& item = items[i];
        if (layout[i].flags == kModeItemSeparator) {
            EXPECT_EQ(0, item.id) << i;
            EXPECT_TRUE(item.state & MF_SEPARATOR) << i;
            continue;
        }
        const int mode = layout[i].mode;
        EXPECT_EQ(mode, item.id) << i;
        EXPECT_EQ(Text(modes[mode]), item.text) << i;
        EXPECT_EQ(layout[i].flags, item.state & MF_MENUBARBREAK) << i;
        EXPECT_EQ(mode == current, (item.state & MF_CHECKED) != 0) << item.text;
        EXPECT_EQ(0u, item.state & (MF_GRAYED | MF_SEPARATOR)) << i;
    }
    Keys(VK_ESCAPE);
}

TEST_F(ResolutionMenuTest, ChoosingAnItemSwitchesToItAndChoosingTheCheckedOneDoesNothing) {
    int other = -1;  // another size of the same depth, at least 640 wide
    for (size_t i = 0; i < modes.size(); ++i) {
        if (std::get<0>(modes[i]) == std::get<0>(modes[current]) && std::get<1>(modes[i]) >= 640 &&
            static_cast<int>(i) != current && other < 0) {
            other = static_cast<int>(i);
        }
    }
    ASSERT_GE(other, 0);
    for (int round = 0; round < 2; ++round) {
        taskbar.Clear();
        // The checked item first: had it changed the mode, even to the same one, the
        // system's WM_DISPLAYCHANGE would bring a tooltip before the real switch's.
        Choose(current);
        for (const MenuSpy::Item& item : spy->LastPopup()) {
            if (item.id == current && !(item.state & MF_SEPARATOR)) {
                EXPECT_TRUE(item.state & MF_CHECKED) << item.text;
            }
        }
        Choose(other);
        ASSERT_TRUE(taskbar.WaitForRecord(window, NIM_MODIFY));
        EXPECT_EQ(Tip(modes[other]), taskbar.RecordsFor(window, NIM_MODIFY).front().tip);
        EXPECT_EQ(static_cast<int>(std::get<1>(modes[other])), GetSystemMetrics(SM_CXSCREEN));
        std::swap(current, other);  // and back, the item now checked being the other
    }
}

}  // namespace
