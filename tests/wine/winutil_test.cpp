// Window and menu helpers against the real window manager: check marks, placement at the
// cursor inside the work area, the restored rectangle of a minimised window, and a menu
// resource without the requested popup.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/winutil.h"

namespace {

HWND MakeWindow(int x, int y, int width, int height, HWND parent = NULL, DWORD style = WS_POPUP) {
    return CreateWindowExA(0, "STATIC", "", style | (parent ? WS_CHILD : 0), x, y, width, height,
                           parent, NULL, GetModuleHandleA(NULL), NULL);
}

RECT WindowRect(HWND window) {
    RECT rect = {0, 0, 0, 0};
    GetWindowRect(window, &rect);
    return rect;
}

TEST(CheckMenuItemIf, SetsAndClearsTheMark) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 40051, "x");
    CheckMenuItemIf(menu, 40051, MF_BYCOMMAND, 1);
    EXPECT_TRUE(GetMenuState(menu, 40051, MF_BYCOMMAND) & MF_CHECKED);
    CheckMenuItemIf(menu, 40051, MF_BYCOMMAND, 0);
    EXPECT_FALSE(GetMenuState(menu, 40051, MF_BYCOMMAND) & MF_CHECKED);
    CheckMenuItemIf(menu, 40051, MF_BYCOMMAND, 0x80);  // any non-zero flag checks
    EXPECT_TRUE(GetMenuState(menu, 40051, MF_BYCOMMAND) & MF_CHECKED);
    DestroyMenu(menu);
}

class Placement : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(GetWorkArea(&work));
        GetCursorPos(&savedCursor);
    }
    void TearDown() override { SetCursorPos(savedCursor.x, savedCursor.y); }
    RECT work;
    POINT savedCursor;
};

TEST_F(Placement, CentredOnTheCursorAndKeptInsideTheWorkArea) {
    HWND window = MakeWindow(0, 0, 200, 101);
    ASSERT_NE(window, (HWND)NULL);
    SetCursorPos(400, 300);
    ASSERT_TRUE(PlaceWindowAtCursor(window));
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 250);  // 101 / 2 truncates to 50
    EXPECT_EQ(RectWidth(rect), 200);
    EXPECT_EQ(RectHeight(rect), 101);

    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    PlaceWindowAtCursor(window);
    rect = WindowRect(window);
    EXPECT_EQ(rect.right, work.right);
    EXPECT_EQ(rect.bottom, work.bottom);

    SetCursorPos(0, 0);
    PlaceWindowAtCursor(window);
    rect = WindowRect(window);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    DestroyWindow(window);
}

TEST_F(Placement, AWindowLargerThanTheWorkAreaAlignsWithItsTopLeft) {
    HWND window = MakeWindow(0, 0, RectWidth(work) + 300, RectHeight(work) + 200);
    SetCursorPos(700, 500);
    PlaceWindowAtCursor(window);
    RECT rect = WindowRect(window);
    EXPECT_EQ(rect.left, work.left);
    EXPECT_EQ(rect.top, work.top);
    DestroyWindow(window);
}

TEST_F(Placement, AChildIsPlacedInItsParentsClientCoordinates) {
    HWND parent = MakeWindow(100, 80, 600, 500, NULL, WS_POPUP | WS_VISIBLE);
    HWND child = MakeWindow(0, 0, 40, 20, parent);
    SetCursorPos(300, 200);
    PlaceWindowAtCursor(child);
    RECT rect = WindowRect(child);  // screen coordinates
    EXPECT_EQ(rect.left, 280);
    EXPECT_EQ(rect.top, 190);
    DestroyWindow(parent);
}

TEST(WindowGeometry, NormalRectSurvivesMinimising) {
    HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 60, 300,
                                  200, NULL, NULL, GetModuleHandleA(NULL), NULL);
    ASSERT_NE(window, (HWND)NULL);
    ShowWindow(window, SW_MINIMIZE);
    RECT rect;
    ASSERT_TRUE(GetNormalWindowRect(window, &rect));
    EXPECT_EQ(rect.left, 50);
    EXPECT_EQ(rect.top, 60);
    EXPECT_EQ(rect.right, 350);
    EXPECT_EQ(rect.bottom, 260);
    ShowWindow(window, SW_RESTORE);
    ASSERT_TRUE(MoveWindowTo(window, 70, 90));
    ASSERT_TRUE(ResizeWindow(window, 310, 220));
    rect = WindowRect(window);
    EXPECT_EQ(rect.left, 70);
    EXPECT_EQ(rect.top, 90);
    EXPECT_EQ(GetWindowWidth(window), 310);
    EXPECT_EQ(GetWindowHeight(window), 220);
    DestroyWindow(window);
    EXPECT_FALSE(IsLiveWindow(window));
    EXPECT_FALSE(IsLiveWindow(NULL));
    RECT empty;
    EXPECT_FALSE(GetNormalWindowRect(window, &empty));
}

TEST(TrackResourceMenuAtCursor, AMissingPopupShowsNothingAndReturnsZero) {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string exe(path);
    exe = exe.substr(0, exe.rfind('\\'));
    exe = exe.substr(0, exe.rfind('\\')) + "\\Kelvarin.exe";
    HMODULE module = LoadLibraryExA(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    HWND owner = MakeWindow(0, 0, 10, 10);
    // Popup 2 does not exist: returns at once (a shown menu would block this thread).
    EXPECT_FALSE(TrackResourceMenuAtCursor(module, MAKEINTRESOURCEA(127), 2, owner, 0));
    EXPECT_FALSE(TrackResourceMenuAtCursor(module, MAKEINTRESOURCEA(999), 0, owner, 0));
    DestroyWindow(owner);
    FreeLibrary(module);
}

}  // namespace
