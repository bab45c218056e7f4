// The tray icon as the shell sees it: what is added, the tooltip of the mode in force, a
// taskbar that comes back, the clicks that open the menus, and Exit.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <memory>
#include <string>
#include <vector>

#include "harness.h"

namespace {

using e2e::FakeTaskbar;
using e2e::MenuSpy;
using e2e::Program;
using e2e::ScratchInstall;
using e2e::TrayRecord;

const DWORD kAdd = 0, kModify = 1, kDelete = 2;
const UINT kTrayNotify = 0x8001, kShowModeMenu = 0x8002, kShowMainMenu = 0x8003;

std::string ModeTip(const DEVMODEA& mode) {
    char tip[64];
    snprintf(tip, sizeof tip, "%lux%lu %lu bits %lu Hz", mode.dmPelsWidth, mode.dmPelsHeight,
             mode.dmBitsPerPel, mode.dmDisplayFrequency);
    return tip;
}

DEVMODEA CurrentMode() {
    DEVMODEA mode;
    ZeroMemory(&mode, sizeof mode);
    mode.dmSize = sizeof mode;
    EnumDisplaySettingsA(NULL, ENUM_CURRENT_SETTINGS, &mode);
    return mode;
}

// The program's tip as the shell last heard it.
std::string LastTip(FakeTaskbar& taskbar, HWND owner) {
    std::string tip = "<none>";
    for (const TrayRecord& record : taskbar.RecordsFor(owner)) {
        if (record.message != kDelete)
            tip = record.tip;
    }
    return tip;
}

// A running Kelvarin whose tray requests all pass through a fake taskbar made first.
class TrayTest : public testing::Test {
  protected:
    void SetUp() override {
        taskbar.reset(new FakeTaskbar);
        ASSERT_TRUE(taskbar->Ok());
        install.reset(new ScratchInstall("kelvarin_tray"));
        ASSERT_TRUE(program.Start(install->Exe()));
        window = program.WaitMainWindow();
        ASSERT_NE(window, (HWND)NULL);
        ASSERT_TRUE(taskbar->WaitForRecord(window, kAdd));
        ASSERT_TRUE(taskbar->WaitForRecord(window, kModify));
    }
    void TearDown() override {
        if (program.Running()) {
            program.Exit();
            program.WaitExit();
        }
    }

    std::unique_ptr<FakeTaskbar> taskbar;
    std::unique_ptr<ScratchInstall> install;
    Program program;
    HWND window = NULL;
};

TEST_F(TrayTest, IconIsAddedOnceThenGetsTheTipOfTheModeInForce) {
    std::vector<TrayRecord> records = taskbar->RecordsFor(window);
    ASSERT_GE(records.size(), 2u);
    const TrayRecord& add = records[0];
    EXPECT_EQ(add.message, kAdd);
    EXPECT_EQ(add.id, 1u);
    EXPECT_EQ(add.flags, 7u);  // NIF_MESSAGE | NIF_ICON | NIF_TIP
    EXPECT_EQ(add.callback, kTrayNotify);
    EXPECT_EQ(add.tip, "");
    const TrayRecord& modify = records[1];
    EXPECT_EQ(modify.message, kModify);
    EXPECT_EQ(modify.id, 1u);
    EXPECT_EQ(modify.tip, ModeTip(CurrentMode()));
    char size[32];
    snprintf(size, sizeof size, "%dx%d ", GetSystemMetrics(SM_CXSCREEN),
             GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(modify.tip.compare(0, strlen(size), size), 0) << modify.tip;
    EXPECT_EQ(taskbar->RecordsFor(window, kAdd).size(), 1u);
}

TEST_F(TrayTest, TipFollowsAModeChangeMadeByAnotherProgram) {
    DEVMODEA original = CurrentMode();
    DEVMODEA other;
    bool found = false;
    for (DWORD i = 0; !found; ++i) {
        ZeroMemory(&other, sizeof other);
        other.dmSize = sizeof other;
        if (!EnumDisplaySettingsA(NULL, i, &other))
            break;
        found = other.dmPelsWidth != original.dmPelsWidth &&
                other.dmBitsPerPel == original.dmBitsPerPel && other.dmPelsWidth >= 640;
    }
    ASSERT_TRUE(found);
    taskbar->Clear();
    ASSERT_EQ(ChangeDisplaySettingsA(&other, 0), DISP_CHANGE_SUCCESSFUL);
    bool followed = e2e::WaitUntil([&] { return LastTip(*taskbar, window) == ModeTip(other); });
    ASSERT_EQ(ChangeDisplaySettingsA(&original, 0), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(followed) << LastTip(*taskbar, window) << " vs " << ModeTip(other);
    EXPECT_TRUE(e2e::WaitUntil([&] { return LastTip(*taskbar, window) == ModeTip(original); }))
        << LastTip(*taskbar, window);
    EXPECT_TRUE(taskbar->RecordsFor(window, kAdd).empty());
}

TEST_F(TrayTest, IconComesBackWhenTheNotificationAreaIsRecreated) {
    DEVMODEA mode = CurrentMode();
    for (int round = 0; round < 2; ++round) {
        taskbar->Clear();
        taskbar->CreateNotifyArea();
        ASSERT_TRUE(taskbar->WaitForRecord(window, kAdd, 3000)) << "round " << round;
        std::vector<TrayRecord> records = taskbar->RecordsFor(window);
        ASSERT_EQ(records.size(), 2u);
        EXPECT_EQ(records[0].message, kDelete);
        EXPECT_EQ(records[1].message, kAdd);
        EXPECT_EQ(records[1].id, 1u);
        EXPECT_EQ(records[1].flags, 7u);
        EXPECT_EQ(records[1].tip, ModeTip(mode));  // the latest tip, not the empty first one
        // While that area lives, the watchdog leaves the icon alone.
        Sleep(2200);
        EXPECT_EQ(taskbar->RecordsFor(window).size(), 2u);
        // Unless the taskbar says it is new: a new area may have the old one's handle.
        taskbar->Clear();
        SendNotifyMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        ASSERT_TRUE(taskbar->WaitForRecord(window, kAdd, 3000)) << "round " << round;
        taskbar->DestroyNotifyArea();
        Sleep(1200);
    }
}

TEST_F(TrayTest, ButtonReleasesPostOneMenuRequestEachAndNothingElseDoes) {
    MenuSpy spy(window);
    ASSERT_TRUE(spy.Ok());
    const LPARAM quiet[] = {WM_LBUTTONDOWN,   WM_RBUTTONDOWN, WM_LBUTTONDBLCLK,
                            WM_RBUTTONDBLCLK, WM_MOUSEMOVE,   WM_MBUTTONUP};
    for (LPARAM mouse : quiet)
        SendNotifyMessageA(window, kTrayNotify, 1, mouse);
    SendNotifyMessageA(window, kTrayNotify, 2, WM_RBUTTONUP);  // another icon's id
    SendNotifyMessageA(window, kTrayNotify, 2, WM_LBUTTONUP);
    // A left release opens the resolution menu; it marks the end of the quiet ones.
    SendNotifyMessageA(window, kTrayNotify, 1, WM_LBUTTONUP);
    ASSERT_TRUE(e2e::WaitUntil([&] { return spy.CountPosts(kShowModeMenu) > 0; }));
    Sleep(300);
    EXPECT_EQ(spy.CountPosts(kShowModeMenu), 1);
    EXPECT_EQ(spy.CountPosts(kShowMainMenu), 0);
    // Closed, the menu leaves a WM_NULL behind, so that the next one stays open.
    e2e::PressKey(VK_ESCAPE);
    EXPECT_TRUE(e2e::WaitUntil([&] { return spy.CountPosts(WM_NULL) == 1; }, 3000));
}

TEST_F(TrayTest, RightReleaseOpensTheMainMenuAtTheCursorAndExitEndsTheProgram) {
    MenuSpy spy(window);
    ASSERT_TRUE(spy.Ok());
    SetCursorPos(400, 500);
    SendNotifyMessageA(window, kTrayNotify, 1, WM_RBUTTONUP);
    ASSERT_TRUE(spy.WaitForPopup());
    EXPECT_EQ(spy.CountPosts(kShowMainMenu), 1);

    struct Expected {
        int id;
        const char* text;
    };
    const Expected expected[] = {
        {40044, "中央に表示(&C)"},
        {40045, "並べて表示(&T)"},
        {40046, "拡大して表示(&Z)"},
        {0, ""},
        {40049, "壁紙をはがす(&N)"},
        {0, ""},
        {40051, "虫眼鏡(&L)"},
        {40052, "ｶｰｿﾙ座標(&M)"},
        {0, ""},
        {40056, "画面のﾌﾟﾛﾊﾟﾃｨ(&S)..."},
        {40048, "設定(&P)..."},
        {40002, "About(&A)"},
        {0, ""},
        {40001, "終了(&Q)"},
    };
    std::vector<MenuSpy::Item> items = spy.LastPopup();
    ASSERT_EQ(items.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(items[i].id, expected[i].id) << i;
        EXPECT_EQ(items[i].text, expected[i].text) << i;
        if (expected[i].id == 0) {
            EXPECT_TRUE(items[i].state & MF_SEPARATOR) << i;
        } else {
            EXPECT_EQ(items[i].state & (MF_GRAYED | MF_DISABLED), 0u) << i;
        }
    }
    // Checked: the wallpaper layout in force (its own tests say which), nothing else.
    int checked = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].state & MF_CHECKED) {
            EXPECT_LT(i, 3u) << items[i].text;
            ++checked;
        }
    }
    EXPECT_EQ(checked, 1);

    // Bottom-left corner at the cursor.
    HWND popup = NULL;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (popup = e2e::FindPopupMenuWindow(program.Pid())); }));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(popup, &rect));
    EXPECT_EQ(rect.left, 400);
    EXPECT_EQ(rect.bottom, 500);

    // Exit is the last item, just above the menu's bottom edge.
    taskbar->Clear();
    e2e::ClickAt(rect.left + 30, rect.bottom - 10);
    EXPECT_EQ(program.WaitExit(), 0);
    std::vector<TrayRecord> records = taskbar->RecordsFor(window);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().message, kDelete);
    EXPECT_EQ(records.back().id, 1u);
}

TEST(TrayLate, ABusyTaskbarThatRefusesTheFirstAddsGetsTheIconLater) {
    FakeTaskbar taskbar;
    ASSERT_TRUE(taskbar.Ok());
    taskbar.RefuseAdds(2);
    ScratchInstall install("kelvarin_tray_busy");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    // Refused at start and at the first retry; the watchdog's next tick is accepted.
    ASSERT_TRUE(e2e::WaitUntil([&] { return taskbar.RecordsFor(window, kAdd).size() >= 3; }, 5000));
    std::vector<TrayRecord> adds = taskbar.RecordsFor(window, kAdd);
    EXPECT_EQ(adds[2].flags, 7u);
    EXPECT_EQ(adds[2].tip, ModeTip(CurrentMode()));
    // Once the shell holds the icon, no more adds.
    Sleep(2200);
    EXPECT_EQ(taskbar.RecordsFor(window, kAdd).size(), 3u);
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
}

// The shell added the icon but answered late: the program finds it there and adds no more.
TEST(TrayLate, AnAddThatTimedOutButTookTheIconIsNotRepeated) {
    FakeTaskbar taskbar;
    ASSERT_TRUE(taskbar.Ok());
    taskbar.RefuseAdds(1, true);
    ScratchInstall install("kelvarin_tray_timeout");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    ASSERT_TRUE(taskbar.WaitForRecord(window, kModify));
    Sleep(2500);  // two watchdog ticks
    EXPECT_EQ(taskbar.RecordsFor(window, kAdd).size(), 1u);
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
}

TEST(TrayLate, ATaskbarThatAppearsAfterTheStartGetsTheIcon) {
    ScratchInstall install("kelvarin_tray_late");
    Program program;
    ASSERT_TRUE(program.Start(install.Exe()));
    HWND window = program.WaitMainWindow();
    ASSERT_NE(window, (HWND)NULL);
    Sleep(1500);  // running, with no notification area the program can find
    FakeTaskbar taskbar;
    ASSERT_TRUE(taskbar.Ok());
    taskbar.CreateNotifyArea();
    ASSERT_TRUE(taskbar.WaitForRecord(window, kAdd, 3000));
    std::vector<TrayRecord> records = taskbar.RecordsFor(window);
    EXPECT_EQ(records.back().message, kAdd);
    EXPECT_EQ(records.back().tip, ModeTip(CurrentMode()));
    program.Exit();
    EXPECT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(taskbar.RecordsFor(window).back().message, kDelete);
}

}  // namespace
