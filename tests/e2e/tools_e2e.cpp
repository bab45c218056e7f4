// The magnifier and the cursor-coordinate window as a user meets them: opened from the
// menu, their places and zoom kept in the INI file, the enlarged picture, the zoom by
// scroll bar, wheel and keys, the coordinates that follow the pointer.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <vector>

#include "harness.h"
#include "objects.h"

namespace {

using e2e::ReadIniValue;
using e2e::WaitUntil;

const char kLoupe[] = "虫眼鏡";
const char kCurInf[] = "カーソル座標窓";

// Wine keeps two pointer positions for a while: wait until readings agree, then move once
// more to the same place.
void PlacePointer(int x, int y) {
    SetCursorPos(x, y);
    WaitUntil([&] {
        POINT a, b;
        GetCursorPos(&a);
        Sleep(100);
        GetCursorPos(&b);
        return a.x == x && a.y == y && b.x == x && b.y == y;
    });
    SetCursorPos(x, y);
}

void Input(DWORD type, DWORD flags, WORD vk = 0, int x = 0, int y = 0) {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = type;
    input.ki.wVk = vk;
    input.ki.dwFlags = type == INPUT_KEYBOARD ? flags : 0;
    if (type == INPUT_MOUSE) {
        int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
        input.mi = {(x * 65536 + w - 1) / w, (y * 65536 + h - 1) / h, 0, flags, 0, 0};
    }
    SendInput(1, &input, sizeof input);
    Sleep(100);
}

void MoveMouse(int x, int y) {
    Input(INPUT_MOUSE, MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, x, y);
}

// A top-down 32-bit DIB of width x height.
BITMAPINFO Info32(int width, int height) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

// Pixels 0xRRGGBB, row by row, of rect in dc (the screen if null).
std::vector<DWORD> Grab(const RECT& rect, HDC dc = NULL) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info = Info32(width, height);
    void* bits = NULL;
    HDC source = dc ? dc : GetDC(NULL);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels((DWORD*)bits, (DWORD*)bits + width * height);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    if (dc == NULL)
        ReleaseDC(NULL, source);
    return pixels;
}

std::string Caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// "x,y wxh" of the window, to compare in one go.
std::string Placement(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left,
             r.bottom - r.top);
    return text;
}

// The window paints when its queue is empty: wait for the caption.
bool ShowsZoom(HWND loupe, int zoom) {
    char tail[16];
    snprintf(tail, sizeof tail, ") %d 倍", zoom);
    return WaitUntil([&] { return Caption(loupe).find(tail) != std::string::npos; }, 3000);
}

bool ShowsSource(HWND loupe, int left, int top, int width, int height, int zoom, DWORD ms = 3000) {
    char text[64];
    snprintf(text, sizeof text, "(%d,%d-%d,%d) %d 倍", left, top, left + width, top + height, zoom);
    return WaitUntil([&] { return Caption(loupe) == text; }, ms);
}

// A window whose every pixel has another colour, painted by its class background.
DWORD PatternColour(int x, int y) {
    return (DWORD)((x * 5 & 0xFF) << 16 | (y * 7 & 0xFF) << 8 | ((x * 3 + y * 11) & 0xFF));
}

HWND CreatePatternWindow(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    std::vector<DWORD> pixels;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            pixels.push_back(PatternColour(x, y));
    }
    BITMAPINFO info = Info32(w, h);
    HDC dc = GetDC(NULL);
    HBITMAP bitmap = CreateDIBitmap(dc, &info.bmiHeader, CBM_INIT, pixels.data(), &info, 0);
    ReleaseDC(NULL, dc);
    WNDCLASSA wc = {0,
                    DefWindowProcA,
                    0,
                    0,
                    GetModuleHandleA(NULL),
                    NULL,
                    NULL,
                    CreatePatternBrush(bitmap),
                    NULL,
                    "KelvarinTestPattern"};
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, r.left, r.top, w,
                                  h, NULL, NULL, wc.hInstance, NULL);
    UpdateWindow(window);
    return window;
}

class ToolsTest : public testing::Test {
  protected:
    void Start() {
        ASSERT_TRUE(program.Start(install.Exe()));
        main = program.WaitMainWindow();
        ASSERT_NE(main, (HWND)NULL);
    }
    // The tool toggled open by the menu command, once it has painted; null if none came.
    HWND Open(WPARAM command, const char* className) {
        PostMessageA(main, WM_COMMAND, command, 0);
        HWND window = NULL;
        WaitUntil(
            [&] { return (window = e2e::FindProcessWindow(program.Pid(), className, true)); });
        WaitUntil([&] { return command != 40051 || Caption(window) != "loupe"; });
        return window;
    }
    void Close(WPARAM command, HWND window) {
        PostMessageA(main, WM_COMMAND, command, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    }
    std::string Ini(const char* section, const char* key) {
        return ReadIniValue(install.IniPath(), key, section);
    }

    e2e::ScratchInstall install{"kelvarin_tools"};
    e2e::Program program;
    HWND main = NULL;
};

TEST_F(ToolsTest, MagnifierOpensAtThePointerKeepsItsPlaceAndClampsAStoredZoom) {
    PlacePointer(300, 200);
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    EXPECT_EQ((DWORD)GetWindowLongA(loupe, GWL_STYLE) & 0xFFFF0000u & ~WS_CLIPSIBLINGS,
              0x10EC0000u);
    EXPECT_TRUE(GetWindowLongA(loupe, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(loupe, GW_OWNER), main);
    EXPECT_EQ(Placement(loupe), "300,200 128x128");
    RECT client;
    GetClientRect(loupe, &client);  // the top-left corner of the screen at zoom 2
    EXPECT_TRUE(ShowsSource(loupe, 0, 0, client.right / 2 + 1, client.bottom / 2 + 1, 2));

    e2e::MenuSpy spy(main);
    ASSERT_TRUE(spy.Ok());
    SendNotifyMessageA(main, 0x8001, 1, WM_RBUTTONUP);  // the tray's main menu
    ASSERT_TRUE(spy.WaitForPopup());
    SendMessageA(main, WM_CANCELMODE, 0, 0);
    for (const e2e::MenuSpy::Item& item : spy.LastPopup()) {
        if (item.id == 40051 || item.id == 40052) {
            EXPECT_EQ((item.state & MF_CHECKED) != 0, item.id == 40051) << item.id;
        }
    }

    Close(40051, loupe);
    const char* keys[] = {"x 位置", "y 位置", "幅", "高さ", "倍率"};
    const char* saved[] = {"300", "200", "128", "128", "2"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Ini(kLoupe, keys[i]), saved[i]) << keys[i];

    // Values written while it was closed are read at the next opening; a zoom outside
    // 1..16 (0 would divide by zero) is brought inside.
    const char* stored[] = {"100", "120", "300", "220"};
    for (int i = 0; i < 4; ++i)
        WritePrivateProfileStringA(kLoupe, keys[i], stored[i], install.IniPath().c_str());
    const struct {
        const char* stored;
        int shown;
    } zooms[] = {{"5", 5}, {"0", 1}, {"-3", 1}, {"99", 16}};
    for (const auto& zoom : zooms) {
        WritePrivateProfileStringA(kLoupe, "倍率", zoom.stored, install.IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
        loupe = Open(40051, "loupe");
        EXPECT_EQ(Placement(loupe), "100,120 300x220");
        EXPECT_TRUE(ShowsZoom(loupe, zoom.shown)) << zoom.stored;
        Close(40051, loupe);
        ASSERT_TRUE(program.Running()) << zoom.stored;
        EXPECT_EQ(Ini(kLoupe, "倍率"), std::to_string(zoom.shown));
    }
}

TEST_F(ToolsTest, ZoomFollowsScrollBarWheelAndCtrlArrowsWithinOneToSixteen) {
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    // A code that leaves the zoom alone shows in the step after it.
    const struct {
        WORD code, thumb;
        int zoom;
    } steps[] = {{SB_LINEDOWN, 0, 3},   {SB_PAGEDOWN, 0, 5},     {SB_LINEUP, 0, 4},
                 {SB_PAGEUP, 0, 2},     {SB_THUMBTRACK, 11, 11}, {SB_THUMBPOSITION, 3, 11},
                 {SB_ENDSCROLL, 3, 11}, {SB_TOP, 0, 11},         {SB_BOTTOM, 0, 11},
                 {SB_LINEDOWN, 0, 12},  {SB_PAGEDOWN, 0, 14},    {SB_PAGEDOWN, 0, 16},
                 {SB_PAGEDOWN, 0, 16},  {SB_LINEDOWN, 0, 16},    {SB_LINEUP, 0, 15},
                 {SB_THUMBTRACK, 0, 1}, {SB_LINEUP, 0, 1},       {SB_PAGEUP, 0, 1},
                 {SB_LINEDOWN, 0, 2}};
    for (const auto& step : steps) {
        SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(step.code, step.thumb), 0);
        EXPECT_TRUE(ShowsZoom(loupe, step.zoom)) << step.code << " " << step.thumb;
    }
    // Three lines a notch (Wine's default); toward the user enlarges; part of a notch
    // does nothing.
    const struct {
        short delta;
        int zoom;
    } turns[] = {{-120, 5}, {119, 5}, {-119, 5}, {240, 1}, {-360, 10}, {-600, 16}};
    for (const auto& turn : turns) {
        SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, turn.delta), MAKELPARAM(400, 300));
        EXPECT_TRUE(ShowsZoom(loupe, turn.zoom)) << turn.delta;
    }
    // Ctrl+Left and Ctrl+Up lower it, Ctrl+Right and Ctrl+Down raise it.
    ASSERT_TRUE(SetForegroundWindow(loupe));
    WaitUntil([&] { return GetForegroundWindow() == loupe; });
    const struct {
        WORD vk;
        int zoom;
    } keys[] = {{VK_LEFT, 15}, {VK_UP, 14}, {VK_RIGHT, 15}, {VK_DOWN, 16}, {VK_DOWN, 16}};
    Input(INPUT_KEYBOARD, 0, VK_CONTROL);
    for (const auto& key : keys) {
        Input(INPUT_KEYBOARD, 0, key.vk);
        Input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, key.vk);
        EXPECT_TRUE(ShowsZoom(loupe, key.zoom)) << key.vk;
    }
    Input(INPUT_KEYBOARD, KEYEVENTF_KEYUP, VK_CONTROL);
}

TEST_F(ToolsTest, ZoomByPagesWhenTheWheelScrollsPages) {
    UINT saved = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, NULL, SPIF_UPDATEINIFILE);
    Start();
    HWND loupe = Open(40051, "loupe");
    // The program reads the setting once, at its first wheel message.
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-240), 0);
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, saved, NULL, SPIF_UPDATEINIFILE);
    EXPECT_TRUE(ShowsZoom(loupe, 6));
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_TRUE(ShowsZoom(loupe, 4));
}

TEST_F(ToolsTest, PictureIsTheDraggedSpotEnlargedAndTheFrameLeavesNoTrace) {
    const RECT area = {560, 360, 760, 520};
    HWND pattern = CreatePatternWindow(area);
    PlacePointer(100, 100);
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    const int zoom = 3;
    SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, zoom), 0);
    RECT client;
    GetClientRect(loupe, &client);
    MapWindowPoints(loupe, NULL, (POINT*)&client, 2);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int w = cw / zoom + 1, h = ch / zoom + 1, left = 660 - w / 2, top = 440 - h / 2;

    // Drag from the window to the middle of the pattern, and turn the wheel on the way: it
    // is ignored, so the frame is removed with the size it was drawn with.
    PlacePointer(client.left + 20, client.top + 20);
    Input(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    MoveMouse(640, 430);
    // A move can be read at the pointer's old place (see PlacePointer): repeat it.
    for (int i = 0; i < 5 && !ShowsSource(loupe, left, top, w, h, zoom, 500); ++i) {
        MoveMouse(659, 440);
        MoveMouse(660, 440);
    }
    ASSERT_TRUE(ShowsSource(loupe, left, top, w, h, zoom)) << Caption(loupe);
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), 0);
    Sleep(300);
    Input(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(ShowsSource(loupe, left, top, w, h, zoom)) << Caption(loupe);

    std::vector<DWORD> shown = Grab(client), screen = Grab(area);
    int wrong = 0, changed = 0;
    for (int y = 0; y < ch; ++y) {
        for (int x = 0; x < cw; ++x)
            wrong += shown[y * cw + x] !=
                     PatternColour(left - area.left + x / zoom, top - area.top + y / zoom);
    }
    for (int y = 0; y < area.bottom - area.top; ++y) {
        for (int x = 0; x < area.right - area.left; ++x)
            changed += screen[y * (area.right - area.left) + x] != PatternColour(x, y);
    }
    EXPECT_EQ(wrong, 0) << "of " << cw * ch << " client pixels differ from the source";
    EXPECT_EQ(changed, 0) << "pixels of the pattern changed by the frame";

    // Plain arrows move the spot by one pixel.
    SendMessageA(loupe, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(loupe, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(ShowsSource(loupe, left + 1, top - 1, w, h, zoom));
    DestroyWindow(pattern);
}

TEST_F(ToolsTest, CoordinateWindowShowsThePointerAndIsDraggedAnywhere) {
    PlacePointer(200, 150);
    Start();
    HWND window = Open(40052, "CursorInfoWindow");
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, (LONG)(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(window, GW_OWNER), main);
    // Sized for "[8888, 8888]" in a DC's default font, its corner at the pointer.
    HDC dc = CreateCompatibleDC(NULL);
    RECT size = {0, 0, 0, 0}, rect;
    DrawTextA(dc, "[8888, 8888]", -1, &size, DT_CALCRECT);
    EXPECT_EQ(Placement(window),
              "200,150 " + std::to_string(size.right) + "x" + std::to_string(size.bottom));
    GetWindowRect(window, &rect);

    // "x, y" centred on white as DrawText draws it, following the pointer.
    BITMAPINFO info = Info32(size.right, size.bottom);
    void* bits = NULL;
    HGDIOBJ old = SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0));
    for (POINT point : {POINT{5, 7}, POINT{321, 654}, POINT{1023, 0}}) {
        std::string text = std::to_string(point.x) + ", " + std::to_string(point.y);
        FillRect(dc, &size, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DrawTextA(dc, text.c_str(), -1, &size, DT_CENTER | DT_VCENTER);
        std::vector<DWORD> expected = Grab(size, dc);
        PlacePointer(point.x, point.y);
        EXPECT_TRUE(WaitUntil([&] { return Grab(rect) == expected; }, 3000)) << text;
    }
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);

    LPARAM inside = MAKELPARAM(rect.left + 3, rect.bottom - 2), outside = MAKELPARAM(0, 0);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, outside), HTNOWHERE);
    // Dragged to another place, which it keeps for the next opening.
    PlacePointer(rect.left + 20, rect.top + 5);
    Input(INPUT_MOUSE, MOUSEEVENTF_LEFTDOWN);
    MoveMouse(rect.left + 60, rect.top + 45);
    MoveMouse(rect.left + 120, rect.top + 85);
    Input(INPUT_MOUSE, MOUSEEVENTF_LEFTUP);
    std::string moved = "300,230 " + Placement(window).substr(Placement(window).find(' ') + 1);
    EXPECT_TRUE(WaitUntil([&] { return Placement(window) == moved; })) << Placement(window);
    Close(40052, window);
    EXPECT_EQ(Ini(kCurInf, "x 位置"), "300");
    EXPECT_EQ(Ini(kCurInf, "y 位置"), "230");
    PlacePointer(10, 10);
    EXPECT_EQ(Placement(Open(40052, "CursorInfoWindow")), moved);
}

TEST_F(ToolsTest, BothOpenAtExitOpenThemselvesAtTheNextStart) {
    Start();
    ASSERT_NE(Open(40051, "loupe"), (HWND)NULL);
    ASSERT_NE(Open(40052, "CursorInfoWindow"), (HWND)NULL);
    program.Exit();
    ASSERT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(Ini("Kelvarin", "虫眼鏡を表示"), "1");
    EXPECT_EQ(Ini("Kelvarin", "カーソル座標窓を表示"), "1");
    EXPECT_NE(Ini(kLoupe, "倍率"), "<missing>");  // each saved its own section
    EXPECT_NE(Ini(kCurInf, "x 位置"), "<missing>");
    Start();
    for (const char* name : {"loupe", "CursorInfoWindow"}) {
        EXPECT_TRUE(WaitUntil([&] { return e2e::FindProcessWindow(program.Pid(), name, true); }))
            << name;
    }
}

// Opened, painted and closed times over: the window class is registered again at each
// opening, with the program's icons.
void Cycle(HWND main, DWORD pid, WPARAM command, const char* className, int times) {
    for (int i = 0; i < times; ++i) {
        SendMessageA(main, WM_COMMAND, command, 0);
        HWND tool = e2e::FindProcessWindow(pid, className, true);
        ASSERT_NE(tool, (HWND)NULL) << i;
        SendMessageA(tool, WM_PAINT, 0, 0);
        SendMessageA(main, WM_COMMAND, command, 0);
        ASSERT_FALSE(IsWindow(tool)) << i;
    }
}

TEST_F(ToolsTest, AThousandOpeningsOfEachToolLeaveNoObjectsOrMemoryBehind) {
    // The pointer away from both: a sizing cursor, loaded once and kept by the system,
    // would otherwise appear in the counts whenever the pointer met a window's border.
    for (const char* section : {kLoupe, kCurInf}) {
        WritePrivateProfileStringA(section, "x 位置", "100", install.IniPath().c_str());
        WritePrivateProfileStringA(section, "y 位置", "100", install.IniPath().c_str());
    }
    PlacePointer(900, 600);
    Start();
    for (const auto& tool :
         {std::make_pair(40051, "loupe"), std::make_pair(40052, "CursorInfoWindow")}) {
        e2e::ObjectCounts first, last;
        Cycle(main, program.Pid(), tool.first, tool.second, 1);
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &first));
        Cycle(main, program.Pid(), tool.first, tool.second, 1000);
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &last));
        printf("%s after 1 and 1001: gdi %ld/%ld user %ld/%ld handles %ld/%ld private %lu/%lu\n",
               tool.second, first.gdi, last.gdi, first.user, last.user, first.handles, last.handles,
               (unsigned long)first.privateBytes, (unsigned long)last.privateBytes);
        EXPECT_EQ(last.gdi, first.gdi) << tool.second;
        EXPECT_EQ(last.user, first.user) << tool.second;
        EXPECT_EQ(last.handles, first.handles) << tool.second;
        EXPECT_LT(last.privateBytes, first.privateBytes + 256 * 1024) << tool.second;
    }
}

}  // namespace
