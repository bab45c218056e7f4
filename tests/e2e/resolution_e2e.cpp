// The resolution menu as a user meets it: opened by a left-button release on the icon, one
// item per listed mode in columns by depth with the mode in force checked, and the switch
// to the chosen mode, followed by the tooltip. Every test puts back the mode it found.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "display/mode_menu_layout.h"
#include "harness.h"

namespace {

using e2e::FakeTaskbar;
using e2e::MenuSpy;
using e2e::Program;
using e2e::ScratchInstall;
using e2e::TrayRecord;

const UINT kTrayNotify = 0x8001;
const DWORD kModify = 1;

typedef std::tuple<DWORD, DWORD, DWORD> Triple;

struct ListedMode {
    Triple size;  // depth, width, height
    DWORD rate;   // the highest the system lists for that size
};

// The system's modes as the menu should list them, worked out here independently: one
// per depth and size, in depth, width, height order, with the highest rate.
std::vector<ListedMode> ListedModes() {
    std::map<Triple, DWORD> rates;
    for (DWORD i = 0;; ++i) {
        DEVMODEA mode;
        ZeroMemory(&mode, sizeof mode);
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(NULL, i, &mode))
            break;
        DWORD& rate = rates[Triple(mode.dmBitsPerPel, mode.dmPelsWidth, mode.dmPelsHeight)];
        if (mode.dmDisplayFrequency > rate)
            rate = mode.dmDisplayFrequency;
    }
    std::vector<ListedMode> modes;
    for (const auto& entry : rates)
        modes.push_back({entry.first, entry.second});
    return modes;
}

DEVMODEA CurrentMode() {
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

std::string ItemText(const Triple& size) {
    char text[64];
    snprintf(text, sizeof text, "%lux%lu %lu bits", std::get<1>(size), std::get<2>(size),
             std::get<0>(size));
    return text;
}

std::string Tip(const Triple& size, DWORD rate) {
    return ItemText(size) + " " + std::to_string(rate) + " Hz";
}

// Index of the listed mode in force, or -1.
int CurrentIndex(const std::vector<ListedMode>& modes) {
    DEVMODEA mode = CurrentMode();
    for (size_t i = 0; i < modes.size(); ++i) {
        if (modes[i].size == Triple(mode.dmBitsPerPel, mode.dmPelsWidth, mode.dmPelsHeight) &&
            modes[i].rate == mode.dmDisplayFrequency) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Puts the display mode found at the start back at the end, stored as it was.
class ModeGuard {
  public:
    ModeGuard() : mode_(CurrentMode()) {}
    ~ModeGuard() {
        DEVMODEA now = CurrentMode();
        if (now.dmPelsWidth != mode_.dmPelsWidth || now.dmPelsHeight != mode_.dmPelsHeight ||
            now.dmBitsPerPel != mode_.dmBitsPerPel) {
            ChangeDisplaySettingsA(&mode_, CDS_UPDATEREGISTRY);
        }
    }

  private:
    DEVMODEA mode_;
};

class ResolutionMenuTest : public testing::Test {
  protected:
    void SetUp() override {
        taskbar.reset(new FakeTaskbar);
        ASSERT_TRUE(taskbar->Ok());
        install.reset(new ScratchInstall("kelvarin_modes"));
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        ASSERT_TRUE(taskbar->WaitForRecord(window, kModify));
        spy.reset(new MenuSpy(window));
        ASSERT_TRUE(spy->Ok());
    }
    void TearDown() override {
        spy.reset();
        if (program.Running()) {
            program.Exit();
            program.WaitExit();
        }
    }

    // A left-button release on the icon, as the shell reports it; waits for the menu.
    std::vector<MenuSpy::Item> OpenMenu() {
        spy->Clear();
        SendNotifyMessageA(window, kTrayNotify, 1, WM_LBUTTONUP);
        EXPECT_TRUE(spy->WaitForPopup());
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FindPopupMenuWindow(program.Pid()); }));
        return spy->LastPopup();
    }

    // Keys reach the menu loop through the owner's queue, as typed keys do.
    void Key(WPARAM vk) { PostMessageA(window, WM_KEYDOWN, vk, 0); }

    // Chooses mode item id by keyboard: the first Down selects item 0, separators are
    // skipped, Enter chooses.
    void Choose(int id) {
        OpenMenu();
        for (int i = 0; i <= id; ++i)
            Key(VK_DOWN);
        Key(VK_RETURN);
        EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
    }

    std::unique_ptr<FakeTaskbar> taskbar;
    std::unique_ptr<ScratchInstall> install;
    std::unique_ptr<MenuSpy> spy;
    Program program;
    HWND window = NULL;
    ModeGuard modeGuard;
};

TEST_F(ResolutionMenuTest, ListsEveryModeInColumnsByDepthWithTheModeInForceChecked) {
    const std::vector<ListedMode> modes = ListedModes();
    ASSERT_FALSE(modes.empty());
    const int current = CurrentIndex(modes);
    ASSERT_GE(current, 0);
    std::vector<uint32_t> depths;
    for (const ListedMode& mode : modes)
        depths.push_back(std::get<0>(mode.size));
    std::vector<ModeMenuEntry> layout;
    LayOutModeMenu(
        depths.data(), static_cast<int>(depths.size()),
        RowsPerColumn(GetSystemMetrics(SM_CYSCREEN), GetSystemMetrics(SM_CYMENU)),
        [](void* context, const ModeMenuEntry& entry) {
            static_cast<std::vector<ModeMenuEntry>*>(context)->push_back(entry);
        },
        &layout);

    const std::vector<MenuSpy::Item> items = OpenMenu();
    ASSERT_EQ(layout.size(), items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        const MenuSpy::Item& item = items[i];
        EXPECT_NE(40007, item.id) << i;
        if (layout[i].flags == kModeItemSeparator) {
            EXPECT_EQ(0, item.id) << i;
            EXPECT_TRUE(item.state & MF_SEPARATOR) << i;
            continue;
        }
        const int mode = layout[i].mode;
        EXPECT_EQ(mode, item.id) << i;
        EXPECT_EQ(ItemText(modes[mode].size), item.text) << i;
        EXPECT_EQ(layout[i].flags, item.state & MF_MENUBARBREAK) << i;
        EXPECT_EQ(mode == current, (item.state & MF_CHECKED) != 0) << item.text;
        EXPECT_EQ(0u, item.state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR)) << i;
    }
    Key(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
}

TEST_F(ResolutionMenuTest, ChoosingAnItemSwitchesToItAndChoosingTheCheckedOneDoesNothing) {
    const std::vector<ListedMode> modes = ListedModes();
    const int current = CurrentIndex(modes);
    ASSERT_GE(current, 0);
    // Another size of the same depth, at least 640 wide.
    int other = -1;
    for (size_t i = 0; i < modes.size() && other < 0; ++i) {
        if (static_cast<int>(i) != current &&
            std::get<0>(modes[i].size) == std::get<0>(modes[current].size) &&
            std::get<1>(modes[i].size) >= 640) {
            other = static_cast<int>(i);
        }
    }
    ASSERT_GE(other, 0);

    taskbar->Clear();
    // The checked item first: had it changed the mode, even to the same one, the system's
    // WM_DISPLAYCHANGE would give a tooltip update before the one of the real switch.
    Choose(current);
    Choose(other);
    ASSERT_TRUE(taskbar->WaitForRecord(window, kModify));
    std::vector<TrayRecord> updates = taskbar->RecordsFor(window, kModify);
    EXPECT_EQ(Tip(modes[other].size, modes[other].rate), updates.front().tip);
    DEVMODEA now = CurrentMode();
    EXPECT_EQ(modes[other].size, Triple(now.dmBitsPerPel, now.dmPelsWidth, now.dmPelsHeight));
    EXPECT_EQ(static_cast<int>(std::get<1>(modes[other].size)), GetSystemMetrics(SM_CXSCREEN));

    // Back through the menu: the original mode is checked again and switches back.
    const std::vector<MenuSpy::Item> items = OpenMenu();
    for (const MenuSpy::Item& item : items) {
        if (!(item.state & MF_SEPARATOR)) {
            EXPECT_EQ(item.id == other, (item.state & MF_CHECKED) != 0) << item.text;
        }
    }
    Key(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::FindPopupMenuWindow(program.Pid()); }));
    taskbar->Clear();
    Choose(current);
    ASSERT_TRUE(taskbar->WaitForRecord(window, kModify));
    EXPECT_EQ(Tip(modes[current].size, modes[current].rate),
              taskbar->RecordsFor(window, kModify).front().tip);
}

}  // namespace
