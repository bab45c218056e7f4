// Two monitors, as Wine shows an X server with two RandR outputs and no virtual desktop
// (scripts/wine-env.sh with KELVARIN_MONITORS; one session per layout): the desktop
// capture of the whole virtual screen, the magnifier and the coordinate window on a monitor
// at negative coordinates, stored places in the gaps of an L-shape, dialogs at the pointer.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "capture_input.h"
#include "harness.h"

namespace {

using e2e::FindProcessWindow;
using e2e::WaitUntil;

RECT VirtualScreen() {
    int x = GetSystemMetrics(SM_XVIRTUALSCREEN), y = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{x, y, x + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                y + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<RECT>*>(list)->push_back(*rect);
    return TRUE;
}

// The monitor that is not the primary one (the primary's corner is 0,0).
RECT SecondMonitor() {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(NULL, NULL, AddMonitor, (LPARAM)&monitors);
    for (const RECT& r : monitors) {
        if (r.left != 0 || r.top != 0)
            return r;
    }
    return RECT{0, 0, 0, 0};
}

// A press, release or move as one input at a point of the virtual screen.
void Mouse(DWORD flags, int x, int y) {
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE;
    e2e::AbsolutePointer(x, y, &input.mi.dx, &input.mi.dy, &input.mi.dwFlags);
    SendInput(1, &input, sizeof input);
    Sleep(100);
}

// The screen's pixels 0x00RRGGBB in r, row by row from the top.
std::vector<DWORD> Grab(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader = {sizeof info.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD* bits = NULL;
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(
        memory, CreateDIBSection(memory, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0));
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    std::vector<DWORD> pixels(bits, bits + w * h);
    DeleteObject(SelectObject(memory, old));
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return pixels;
}

// A window of stripes, so that a picture shifted by a pixel shows.
LRESULT CALLBACK StripesProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_ERASEBKGND)
        return DefWindowProcA(window, message, wParam, lParam);
    RECT r;
    GetClientRect(window, &r);
    for (int x = 0; x < r.right; ++x) {
        RECT column = {x, 0, x + 1, r.bottom};
        HBRUSH brush = CreateSolidBrush(RGB(x * 7 & 0xFF, x * 3 & 0xFF, 200 - (x & 0x7F)));
        FillRect((HDC)wParam, &column, brush);
        DeleteObject(brush);
    }
    return 1;
}

HWND CreateStripes(const RECT& r) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = StripesProc;
    wc.lpszClassName = "KelvarinStripes";
    RegisterClassA(&wc);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, NULL, NULL, NULL, NULL);
    UpdateWindow(window);
    return window;
}

std::string Placement(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top);
}

class Monitors : public testing::Test {
  protected:
    void SetUp() override {
        second = SecondMonitor();
        ASSERT_FALSE(IsRectEmpty(&second)) << "one monitor only: the session has no layout";
    }
    void Start() {
        ASSERT_TRUE(program.Start(install.Exe()));
        main = program.WaitMainWindow();
        ASSERT_NE(main, (HWND)NULL);
    }
    HWND Open(WPARAM command, const char* className) {
        PostMessageA(main, WM_COMMAND, command, 0);
        HWND window = NULL;
        WaitUntil([&] { return (window = FindProcessWindow(program.Pid(), className)); });
        WaitUntil([&] { return command != 40051 || e2e::WindowText(window) != "loupe"; });
        return window;
    }
    void SetIni(const char* section, const char* key, int value) {
        WritePrivateProfileStringA(section, key, std::to_string(value).c_str(),
                                   install.IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    }

    RECT second;
    e2e::ScratchInstall install{"kelvarin_monitors"};
    e2e::Program program;
    HWND main = NULL;
};

// Hotkey 1 with the pointer on the second monitor: the picture is the whole virtual
// screen, pixel for pixel as the screen shows it, and the cursor is drawn at the pointer
// less the virtual screen's origin.
TEST_F(Monitors, DesktopCaptureHoldsEveryMonitorWithTheCursorOnTheSecond) {
    std::string folder = e2e::TempFolder() + "\\kelvarin_monitor_captures";
    CreateDirectoryA(folder.c_str(), NULL);
    for (const std::string& file : e2e::FilesIn(folder))
        DeleteFileA((folder + "\\" + file).c_str());
    e2e::WriteCaptureSettings(install.IniPath(), folder);
    // Stripes across the edge between the two monitors.
    int edge = second.left < 0 ? 0 : second.left;
    e2e::PumpedWindow stripes([&] {
        return CreateStripes(RECT{edge - 300, 200, edge + 300, 500});
    });
    Start();
    const RECT screen = VirtualScreen();
    const int width = screen.right - screen.left, height = screen.bottom - screen.top;
    const POINT pointer = {second.left + 100, second.top + 120};
    e2e::MovePointerTo(pointer.x, pointer.y);
    std::vector<DWORD> expected = Grab(screen);
    e2e::PressCaptureKey(e2e::kDesktopKey);
    std::vector<std::string> found;
    ASSERT_TRUE(WaitUntil([&] { return !(found = e2e::FilesIn(folder, "*.bmp")).empty(); }));
    Sleep(500);  // written whole
    std::string bmp = e2e::ReadWholeFile(folder + "\\" + found[0]);
    // Kept for the readers and the README's picture (docs/two-monitors.png).
    std::string kept = e2e::ProductExe();
    kept = kept.substr(0, kept.rfind('\\')) + "\\tests\\captures";
    CreateDirectoryA(kept.c_str(), NULL);
    CopyFileA((folder + "\\" + found[0]).c_str(), (kept + "\\two-monitors.bmp").c_str(), FALSE);
    DeleteFileA((folder + "\\" + found[0]).c_str());
    RemoveDirectoryA(folder.c_str());
    const int stride = (width * 3 + 3) & ~3;
    ASSERT_EQ(bmp.size(), 54u + (size_t)stride * height) << "not " << width << "x" << height;
    // The cursor's box: its top-left corner at the pointer (the arrow's hot spot is 0,0).
    const int cx = pointer.x - screen.left, cy = pointer.y - screen.top;
    int stray = 0, cursor = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char* p =
                (const unsigned char*)&bmp[54 + (height - 1 - y) * stride + x * 3];
            bool same =
                (DWORD)(p[2] << 16 | p[1] << 8 | p[0]) == (expected[y * width + x] & 0xFFFFFF);
            bool inBox = x >= cx && x < cx + 32 && y >= cy && y < cy + 32;
            stray += !same && !inBox;
            cursor += !same && inBox;
        }
    }
    EXPECT_EQ(stray, 0) << "pixels that differ from the screen outside the cursor";
    EXPECT_GT(cursor, 50) << "no cursor drawn at the pointer";
}

// The spot dragged onto the monitor left of the primary one: negative coordinates in the
// caption, the picture is that monitor's, and the frame went round it there.
TEST_F(Monitors, MagnifierIsDraggedOntoTheMonitorAtNegativeCoordinates) {
    ASSERT_LT(second.left, 0);
    e2e::PumpedWindow stripes([] { return CreateStripes(RECT{-700, 200, -500, 360}); });
    e2e::MovePointerTo(200, 200);
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 2), 0);
    RECT client;
    GetClientRect(loupe, &client);
    MapWindowPoints(loupe, NULL, (POINT*)&client, 2);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int w = cw / 2 + 1, h = ch / 2 + 1, left = -600 - w / 2, top = 280 - h / 2;
    char caption[64];
    snprintf(caption, sizeof caption, "(%d,%d-%d,%d) 2 倍", left, top, left + w, top + h);

    e2e::MovePointerTo(client.left + 10, client.top + 10);
    Mouse(MOUSEEVENTF_LEFTDOWN, client.left + 10, client.top + 10);
    Mouse(0, -300, 250);
    Mouse(0, -600, 280);
    std::vector<HWND> bars = e2e::FindProcessWindows(program.Pid(), "Static", true);
    RECT frame = {0, 0, 0, 0}, bar, round = {left - 2, top - 2, left + w + 2, top + h + 2};
    for (HWND b : bars) {
        GetWindowRect(b, &bar);
        UnionRect(&frame, &frame, &bar);
    }
    Mouse(MOUSEEVENTF_LEFTUP, -600, 280);
    EXPECT_TRUE(WaitUntil([&] { return e2e::WindowText(loupe) == caption; }, 3000))
        << e2e::WindowText(loupe) << " not " << caption;
    EXPECT_TRUE(EqualRect(&frame, &round)) << frame.left << "," << frame.top;
    Sleep(300);
    std::vector<DWORD> shown = Grab(client), spot = Grab(RECT{left, top, left + w, top + h});
    int wrong = 0;
    for (int i = 0; i < cw * ch; ++i)
        wrong += shown[i] != spot[i / cw / 2 * w + i % cw / 2];
    EXPECT_EQ(wrong, 0) << "client pixels that are not the spot enlarged";
    // The keys keep the spot on the virtual screen, not on the primary monitor.
    SetForegroundWindow(loupe);
    for (int i = 0; i < 3; ++i)
        SendMessageA(loupe, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(WaitUntil([&] {
        return e2e::WindowText(loupe).find(std::to_string(left - 3)) == 1;
    })) << e2e::WindowText(loupe);
}

// On the monitor at negative coordinates the coordinate window stays where it was put and
// shows the pointer's negative coordinates whole.
TEST_F(Monitors, CoordinateWindowShowsNegativeCoordinatesWhole) {
    ASSERT_LT(second.left, 0);
    SetIni("カーソル座標窓", "x 位置", -900);
    SetIni("カーソル座標窓", "y 位置", 100);
    e2e::MovePointerTo(300, 300);
    Start();
    HWND window = Open(40052, "CursorInfoWindow");
    ASSERT_NE(window, (HWND)NULL);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(Placement(window), "-900,100");
    HDC dc = CreateCompatibleDC(NULL);
    RECT size = {0, 0, 0, 0};
    DrawTextA(dc, "[-8888, 8888]", -1, &size, DT_CALCRECT);
    EXPECT_EQ(rect.right - rect.left, size.right);
    EXPECT_EQ(rect.bottom - rect.top, size.bottom);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader = {
        sizeof info.bmiHeader, size.right, -size.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD* bits = NULL;
    HGDIOBJ old =
        SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0));
    FillRect(dc, &size, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawTextA(dc, "-1000, 700", -1, &size, DT_CENTER | DT_VCENTER);
    GdiFlush();
    std::vector<DWORD> expected(bits, bits + size.right * size.bottom);
    e2e::MovePointerTo(-1000, 700);
    EXPECT_TRUE(WaitUntil([&] { return Grab(rect) == expected; }, 3000)) << "-1000, 700";
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
}

// The settings dialog opened with the pointer in the corner of the second monitor lies
// inside that monitor (no window manager: its work area is all of it).
TEST_F(Monitors, DialogsOpenOnTheMonitorOfThePointer) {
    e2e::MovePointerTo(second.right - 1, second.bottom - 1);
    Start();
    PostMessageA(main, WM_COMMAND, 40048, 0);
    HWND dialog = e2e::WaitProcessDialog(program.Pid(), "設定");
    ASSERT_NE(dialog, (HWND)NULL);
    RECT rect;
    GetWindowRect(dialog, &rect);
    EXPECT_EQ(rect.right, second.right);
    EXPECT_EQ(rect.bottom, second.bottom);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
}

// The L-shape: a primary 1024x768 at 0,0 and an 800x600 monitor at -800,-300 leave gaps
// below the second and above the primary. A stored place there comes back onto the nearest
// monitor; a place that both monitors show whole stays as it was, across their edge.
TEST_F(Monitors, StoredPlacesInTheGapsComeBackOntoTheNearestMonitor) {
    ASSERT_EQ(second.left, -800);
    ASSERT_EQ(second.top, -300);
    const char* loupe = "虫眼鏡";
    SetIni(loupe, "x 位置", -700);
    SetIni(loupe, "y 位置", 500);
    SetIni(loupe, "幅", 128);
    SetIni(loupe, "高さ", 128);
    SetIni("カーソル座標窓", "x 位置", 500);
    SetIni("カーソル座標窓", "y 位置", -200);
    Start();
    HWND window = Open(40051, "loupe");
    EXPECT_EQ(Placement(window), "-700,172");                        // up onto the second monitor
    EXPECT_EQ(Placement(Open(40052, "CursorInfoWindow")), "500,0");  // down onto the primary
    PostMessageA(main, WM_COMMAND, 40051, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    SetIni(loupe, "x 位置", -100);
    SetIni(loupe, "y 位置", 100);
    EXPECT_EQ(Placement(Open(40051, "loupe")), "-100,100");
}

}  // namespace
