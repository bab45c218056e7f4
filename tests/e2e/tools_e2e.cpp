// The magnifier and the cursor-coordinate window as a user meets them: opened and closed
// from the menu, their places and zoom kept in the INI file, the enlarged picture, the
// zoom by scroll bar, wheel and keys, the coordinates that follow the pointer.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "harness.h"

namespace {

using e2e::Program;
using e2e::ReadIniValue;
using e2e::ScratchInstall;
using e2e::WaitUntil;

const char kLoupe[] = "虫眼鏡";
const char kCurInf[] = "カーソル座標窓";

// Wine keeps two pointer positions for a while: wait until readings agree, then move once
// more to the same place.
void PlacePointer(int x, int y) {
    SetCursorPos(x, y);
    WaitUntil(
        [&] {
            POINT a, b;
            GetCursorPos(&a);
            Sleep(100);
            GetCursorPos(&b);
            return a.x == x && a.y == y && b.x == x && b.y == y;
        },
        3000);
    SetCursorPos(x, y);
}

void Mouse(DWORD flags, int x = 0, int y = 0) {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx =
            (x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
        input.mi.dy =
            (y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    }
    SendInput(1, &input, sizeof input);
    Sleep(100);
}

void MoveMouse(int x, int y) {
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void Key(WORD vk, bool up) {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// The screen's pixels in rect, 0xRRGGBB, row by row.
std::vector<DWORD> Grab(const RECT& rect, HDC source = NULL) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HDC screen = source ? source : GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<DWORD*>(bits),
                              static_cast<DWORD*>(bits) + width * height);
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    if (source == NULL)
        ReleaseDC(NULL, screen);
    return pixels;
}

RECT ClientOnScreen(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, NULL, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string Caption(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The caption's rectangle and zoom, or zeros.
struct Shown {
    RECT source;
    int zoom;
};

Shown ReadCaption(HWND loupe) {
    Shown shown = {{0, 0, 0, 0}, 0};
    sscanf(Caption(loupe).c_str(), "(%ld,%ld-%ld,%ld) %d", &shown.source.left, &shown.source.top,
           &shown.source.right, &shown.source.bottom, &shown.zoom);
    return shown;
}

// The window paints when its queue is empty: wait for the caption to show the zoom.
bool ShowsZoom(HWND loupe, int zoom) {
    return WaitUntil([&] { return ReadCaption(loupe).zoom == zoom; }, 3000);
}

bool ShowsSource(HWND loupe, LONG left, LONG top, LONG width, LONG height, DWORD timeoutMs = 3000) {
    return WaitUntil(
        [&] {
            RECT r = ReadCaption(loupe).source;
            return r.left == left && r.top == top && r.right == left + width &&
                   r.bottom == top + height;
        },
        timeoutMs);
}

// A window of known, everywhere different colours, painted by its own thread.
DWORD PatternColour(int x, int y) {
    return static_cast<DWORD>(((x * 5) & 0xFF) << 16 | ((y * 7) & 0xFF) << 8 |
                              ((x * 3 + y * 11) & 0xFF));
}

class PatternWindow {
  public:
    explicit PatternWindow(RECT rect) : rect_(rect) {
        thread_ = std::thread([this] { Run(); });
        WaitUntil([&] { return window_ != NULL; });
        Sleep(300);
    }
    ~PatternWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }
    // The colour shown at a screen point.
    DWORD At(int x, int y) const { return PatternColour(x - rect_.left, y - rect_.top); }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT r;
            GetClientRect(window, &r);
            for (int y = 0; y < r.bottom; ++y) {
                for (int x = 0; x < r.right; ++x) {
                    DWORD c = PatternColour(x, y);
                    SetPixelV(dc, x, y, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
                }
            }
            EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    void Run() {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "KelvarinTestPattern";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, rect_.left,
                                      rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top,
                                      NULL, NULL, wc.hInstance, NULL);
        UpdateWindow(window);
        window_ = window;
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
    }
    RECT rect_;
    std::thread thread_;
    HWND volatile window_ = NULL;
};

class ToolsTest : public testing::Test {
  protected:
    void Start() {
        ASSERT_TRUE(program.Start(install.Exe()));
        main = program.WaitMainWindow();
        ASSERT_NE(main, (HWND)NULL);
    }
    void TearDown() override {
        if (program.Running()) {
            program.Exit();
            program.WaitExit();
        }
    }
    // The tool of the class after the menu command toggled it open, or null.
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
    void WriteIni(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, install.IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    }

    ScratchInstall install{"kelvarin_tools"};
    Program program;
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
    RECT rect, client;
    GetWindowRect(loupe, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 200);
    EXPECT_EQ(rect.right - rect.left, 128);
    EXPECT_EQ(rect.bottom - rect.top, 128);
    GetClientRect(loupe, &client);
    char expected[64];
    snprintf(expected, sizeof expected, "(0,0-%ld,%ld) 2 倍", client.right / 2 + 1,
             client.bottom / 2 + 1);
    EXPECT_EQ(Caption(loupe), expected);

    e2e::MenuSpy spy(main);
    ASSERT_TRUE(spy.Ok());
    SendNotifyMessageA(main, 0x8001, 1, WM_RBUTTONUP);
    ASSERT_TRUE(spy.WaitForPopup());
    SendMessageA(main, WM_CANCELMODE, 0, 0);
    for (const e2e::MenuSpy::Item& item : spy.LastPopup()) {
        if (item.id == 40051 || item.id == 40052) {
            EXPECT_EQ((item.state & MF_CHECKED) != 0, item.id == 40051) << item.id;
        }
    }

    Close(40051, loupe);
    const std::string ini = install.IniPath();
    EXPECT_EQ(ReadIniValue(ini, "x 位置", kLoupe), "300");
    EXPECT_EQ(ReadIniValue(ini, "y 位置", kLoupe), "200");
    EXPECT_EQ(ReadIniValue(ini, "幅", kLoupe), "128");
    EXPECT_EQ(ReadIniValue(ini, "高さ", kLoupe), "128");
    EXPECT_EQ(ReadIniValue(ini, "倍率", kLoupe), "2");

    // Values written while it was closed, a zoom of 0 among them, are read at the next
    // opening; a zoom outside 1..16 is brought inside.
    const struct {
        const char* stored;
        int shown;
    } zooms[] = {{"5", 5}, {"0", 1}, {"-3", 1}, {"99", 16}};
    WriteIni(kLoupe, "x 位置", "100");
    WriteIni(kLoupe, "y 位置", "120");
    WriteIni(kLoupe, "幅", "300");
    WriteIni(kLoupe, "高さ", "220");
    for (const auto& zoom : zooms) {
        WriteIni(kLoupe, "倍率", zoom.stored);
        loupe = Open(40051, "loupe");
        ASSERT_NE(loupe, (HWND)NULL) << zoom.stored;
        GetWindowRect(loupe, &rect);
        EXPECT_EQ(rect.left, 100);
        EXPECT_EQ(rect.top, 120);
        EXPECT_EQ(rect.right, 400);
        EXPECT_EQ(rect.bottom, 340);
        EXPECT_TRUE(ShowsZoom(loupe, zoom.shown)) << zoom.stored;
        Close(40051, loupe);
        ASSERT_TRUE(program.Running()) << zoom.stored;
        EXPECT_EQ(ReadIniValue(ini, "倍率", kLoupe), std::to_string(zoom.shown));
    }
}

TEST_F(ToolsTest, ZoomFollowsScrollBarWheelAndCtrlArrowsWithinOneToSixteen) {
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    // Codes that do not change the zoom show in the step after them.
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
    // The wheel: three lines a notch (Wine's default), toward the user enlarges; less than
    // a notch does nothing.
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
    Key(VK_CONTROL, false);
    for (const auto& key : keys) {
        Key(key.vk, false);
        Key(key.vk, true);
        EXPECT_TRUE(ShowsZoom(loupe, key.zoom)) << key.vk;
    }
    Key(VK_CONTROL, true);
}

// The wheel-lines setting, set for programs started while this lives, then put back.
struct WheelLines {
    explicit WheelLines(UINT lines) {
        SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &saved, 0);
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, NULL, SPIF_UPDATEINIFILE);
    }
    ~WheelLines() {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, saved, NULL, SPIF_UPDATEINIFILE);
    }
    UINT saved = 3;
};

TEST_F(ToolsTest, ZoomByPageWhenTheWheelScrollsPages) {
    WheelLines pages(WHEEL_PAGESCROLL);  // read once, at the program's first wheel message
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-240), 0);
    EXPECT_TRUE(ShowsZoom(loupe, 6));
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
    EXPECT_TRUE(ShowsZoom(loupe, 4));
}

TEST_F(ToolsTest, PictureIsTheDraggedSpotEnlargedAndTheFrameLeavesNoTrace) {
    const RECT area = {560, 360, 760, 520};
    PatternWindow pattern(area);
    PlacePointer(100, 100);
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    const int zoom = 3;
    SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, zoom), 0);
    ASSERT_TRUE(ShowsZoom(loupe, zoom));
    RECT client = ClientOnScreen(loupe);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const LONG w = cw / zoom + 1, h = ch / zoom + 1;

    // Drag from the window to the middle of the pattern. The wheel is ignored during the
    // drag, so the frame is removed with the size it was drawn with.
    PlacePointer((client.left + client.right) / 2, (client.top + client.bottom) / 2);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    MoveMouse(640, 430);
    // A move can be read at the pointer's old place (see PlacePointer): repeat it.
    for (int i = 0; i < 5 && !ShowsSource(loupe, 660 - w / 2, 440 - h / 2, w, h, 500); ++i) {
        MoveMouse(659, 440);
        MoveMouse(660, 440);
    }
    ASSERT_TRUE(ShowsSource(loupe, 660 - w / 2, 440 - h / 2, w, h)) << Caption(loupe);
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), 0);
    Sleep(300);
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(ReadCaption(loupe).zoom, zoom);

    const LONG left = 660 - w / 2, top = 440 - h / 2;
    std::vector<DWORD> shown = Grab(client);
    std::vector<DWORD> screen = Grab(area);
    int wrong = 0, changed = 0;
    for (int y = 0; y < ch; ++y) {
        for (int x = 0; x < cw; ++x)
            wrong += shown[y * cw + x] != pattern.At(left + x / zoom, top + y / zoom);
    }
    const int aw = area.right - area.left;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x)
            changed += screen[(y - area.top) * aw + x - area.left] != pattern.At(x, y);
    }
    EXPECT_EQ(wrong, 0) << "of " << cw * ch << " client pixels differ from the source";
    EXPECT_EQ(changed, 0) << "pixels of the pattern left changed by the frame";

    // Plain arrows move the spot by one pixel.
    SendMessageA(loupe, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(loupe, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(ShowsSource(loupe, left + 1, top - 1, w, h));
}

TEST_F(ToolsTest, CoordinateWindowShowsThePointerAndIsDraggedAnywhere) {
    PlacePointer(200, 150);
    Start();
    HWND window = Open(40052, "CursorInfoWindow");
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, (LONG)(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(window, GW_OWNER), main);
    // Sized for "[8888, 8888]" in a DC's default font, top-left corner at the pointer.
    HDC dc = CreateCompatibleDC(NULL);
    RECT size = {0, 0, 0, 0};
    DrawTextA(dc, "[8888, 8888]", -1, &size, DT_CALCRECT);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 200);
    EXPECT_EQ(rect.top, 150);
    EXPECT_EQ(rect.right - rect.left, size.right);
    EXPECT_EQ(rect.bottom - rect.top, size.bottom);

    // The text "x, y" centred on white, as DrawText draws it, following the pointer.
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader = {
        sizeof info.bmiHeader, size.right, -size.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = NULL;
    HBITMAP dib = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ old = SelectObject(dc, dib);
    const POINT points[] = {{5, 7}, {321, 654}, {1023, 0}};
    for (const POINT& point : points) {
        char text[32];
        snprintf(text, sizeof text, "%ld, %ld", point.x, point.y);
        FillRect(dc, &size, (HBRUSH)GetStockObject(WHITE_BRUSH));
        DrawTextA(dc, text, -1, &size, DT_CENTER | DT_VCENTER);
        std::vector<DWORD> expected = Grab(size, dc);
        PlacePointer(point.x, point.y);
        EXPECT_TRUE(WaitUntil([&] { return Grab(rect) == expected; }, 3000)) << text;
    }
    SelectObject(dc, old);
    DeleteObject(dib);
    DeleteDC(dc);

    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(rect.left + 3, rect.bottom - 2)),
              HTCAPTION);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(rect.right + 5, rect.top)),
              HTNOWHERE);
    // Dragged by its middle to another place, which it keeps for the next opening.
    PlacePointer(rect.left + 20, rect.top + 5);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    MoveMouse(rect.left + 60, rect.top + 45);
    MoveMouse(rect.left + 120, rect.top + 85);
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&] {
        RECT now;
        GetWindowRect(window, &now);
        return now.left == rect.left + 100 && now.top == rect.top + 80;
    }));
    Close(40052, window);
    EXPECT_EQ(ReadIniValue(install.IniPath(), "x 位置", kCurInf), "300");
    EXPECT_EQ(ReadIniValue(install.IniPath(), "y 位置", kCurInf), "230");
    PlacePointer(10, 10);
    window = Open(40052, "CursorInfoWindow");
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 300);
    EXPECT_EQ(rect.top, 230);
}

TEST_F(ToolsTest, BothOpenAtExitOpenThemselvesAtTheNextStart) {
    Start();
    ASSERT_NE(Open(40051, "loupe"), (HWND)NULL);
    ASSERT_NE(Open(40052, "CursorInfoWindow"), (HWND)NULL);
    program.Exit();
    ASSERT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(ReadIniValue(install.IniPath(), "虫眼鏡を表示"), "1");
    EXPECT_EQ(ReadIniValue(install.IniPath(), "カーソル座標窓を表示"), "1");
    EXPECT_NE(ReadIniValue(install.IniPath(), "倍率", kLoupe), "<missing>");
    EXPECT_NE(ReadIniValue(install.IniPath(), "x 位置", kCurInf), "<missing>");
    Start();
    EXPECT_TRUE(WaitUntil([&] { return e2e::FindProcessWindow(program.Pid(), "loupe", true); }));
    EXPECT_TRUE(
        WaitUntil([&] { return e2e::FindProcessWindow(program.Pid(), "CursorInfoWindow", true); }));
}

}  // namespace
