// The magnifier and the cursor-coordinate window as a user meets them: opened from the
// menu, places and zoom kept in the INI file, the enlarged picture, zoom, coordinates.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "capture_input.h"
#include "harness.h"
#include "objects.h"

namespace {

using e2e::FindProcessWindow;
using e2e::Grab;
using e2e::Mouse;
using e2e::MovePointerTo;
using e2e::PatternColour;
using e2e::Placement;
using e2e::WaitUntil;
using e2e::WindowText;

const char kLoupe[] = "虫眼鏡";
const char kCurInf[] = "カーソル座標窓";
const char* const kKeys[] = {"x 位置", "y 位置", "幅", "高さ", "倍率"};

// The caption, "(left,top-right,bottom) zoom 倍", once the window has painted.
bool Shows(HWND loupe, const std::string& part, DWORD ms = 3000) {
    return WaitUntil([&] { return WindowText(loupe).find(part) != std::string::npos; }, ms);
}
std::string Zoom(int zoom) {
    return ") " + std::to_string(zoom) + " 倍";
}
std::string Source(int left, int top, int width, int height, int zoom) {
    char text[64];
    snprintf(text, sizeof text, "(%d,%d-%d,%d", left, top, left + width, top + height);
    return text + Zoom(zoom);
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
        WaitUntil([&] { return (window = FindProcessWindow(program.Pid(), className)); });
        WaitUntil([&] { return command != 40051 || WindowText(window) != "loupe"; });
        return window;
    }
    void Close(WPARAM command, HWND window) {
        PostMessageA(main, WM_COMMAND, command, 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(window); }));
    }
    std::string Ini(const char* section, const char* key) {
        return e2e::ReadIniValue(install.IniPath(), key, section);
    }
    void SetIni(const char* section, const char* key, const char* value) {
        WritePrivateProfileStringA(section, key, value, install.IniPath().c_str());
        WritePrivateProfileStringA(NULL, NULL, NULL, install.IniPath().c_str());
    }

    // A rectangle in the program's memory, for a message that points to one.
    LPARAM RemoteRect(const RECT& rect) {
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program.Pid());
        void* remote = VirtualAllocEx(process, NULL, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
        WriteProcessMemory(process, remote, &rect, sizeof rect, NULL);
        CloseHandle(process);
        return (LPARAM)remote;
    }

    e2e::ScratchInstall install{"kelvarin_tools"};
    e2e::Program program;
    HWND main = NULL;
};

TEST_F(ToolsTest, MagnifierOpensAtThePointerZoomsShowsTheSpotEnlargedAndKeepsItsPlace) {
    const RECT area = {560, 360, 760, 520};
    // Its own thread repaints it at once where the frame uncovers it, as a program does.
    e2e::PumpedWindow pattern([&] { return e2e::CreatePatternWindow(area); });
    MovePointerTo(300, 200);
    Start();
    HWND loupe = Open(40051, "loupe");
    ASSERT_NE(loupe, (HWND)NULL);
    EXPECT_TRUE(GetWindowLongA(loupe, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(loupe, GW_OWNER), main);
    EXPECT_EQ(Placement(loupe), "300,200 128x128");
    SendMessageA(loupe, 0x02E0, MAKEWPARAM(144, 144), RemoteRect(RECT{310, 210, 502, 402}));
    EXPECT_EQ(Placement(loupe), "310,210 192x192");  // WM_DPICHANGED: the suggested rectangle
    SendMessageA(loupe, 0x02E0, MAKEWPARAM(96, 96), RemoteRect(RECT{300, 200, 428, 328}));
    RECT client;
    GetClientRect(loupe, &client);  // the top-left corner of the screen at zoom 2
    EXPECT_TRUE(Shows(loupe, Source(0, 0, client.right / 2 + 1, client.bottom / 2 + 1, 2)));

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

    // A scroll code that leaves the zoom alone shows in the step after it.
    const struct {
        WORD code, thumb;
        int zoom;
    } steps[] = {{SB_LINEDOWN, 0, 3},   {SB_PAGEDOWN, 0, 5},     {SB_LINEUP, 0, 4},
                 {SB_PAGEUP, 0, 2},     {SB_THUMBTRACK, 11, 11}, {SB_THUMBPOSITION, 3, 11},
                 {SB_ENDSCROLL, 3, 11}, {SB_TOP, 0, 11},         {SB_BOTTOM, 0, 11},
                 {SB_PAGEDOWN, 0, 13},  {SB_PAGEDOWN, 0, 15},    {SB_PAGEDOWN, 0, 16},
                 {SB_LINEDOWN, 0, 16},  {SB_THUMBTRACK, 0, 1},   {SB_PAGEUP, 0, 1},
                 {SB_LINEDOWN, 0, 2}};
    for (const auto& step : steps) {
        SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(step.code, step.thumb), 0);
        EXPECT_TRUE(Shows(loupe, Zoom(step.zoom))) << step.code << " " << step.thumb;
    }
    // Three lines a notch (Wine's default), toward the user enlarges, part of a notch
    // does nothing until the rest comes.
    const short deltas[] = {-120, 119, -119, 240, -360, -600}, zooms[] = {5, 5, 5, 1, 10, 16};
    for (int i = 0; i < 6; ++i) {
        SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, deltas[i]), MAKELPARAM(400, 300));
        EXPECT_TRUE(Shows(loupe, Zoom(zooms[i]))) << deltas[i];
    }
    // Ctrl+Left and Ctrl+Up lower it, Ctrl+Right and Ctrl+Down raise it.
    ASSERT_TRUE(SetForegroundWindow(loupe));
    WaitUntil([&] { return GetForegroundWindow() == loupe; });
    // The key that changes nothing goes first: a last one could still be on its way when the
    // zoom is set next, and raise it then.
    const WORD vks[] = {VK_DOWN, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN}, after[] = {16, 15, 14, 15, 16};
    for (int i = 0; i < 5; ++i) {
        // Ctrl goes down with each key: the focus change, which Wine can take in late, sets
        // the modifiers to what X holds, and X never saw this Ctrl.
        keybd_event(VK_CONTROL, 0, 0, 0);
        e2e::PressKey(vks[i]);
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
        EXPECT_TRUE(Shows(loupe, Zoom(after[i]))) << vks[i];
    }

    const int zoom = 3;
    SendMessageA(loupe, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, zoom), 0);
    MapWindowPoints(loupe, NULL, (POINT*)&client, 2);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int w = cw / zoom + 1, h = ch / zoom + 1, left = 660 - w / 2, top = 440 - h / 2;

    // Dragged from the window to the pattern's middle; the wheel turned on the way is
    // ignored, so the frame is removed with the size it was drawn with.
    MovePointerTo(client.left + 20, client.top + 20);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(0, 640, 430);
    // A move can be read at the pointer's old place: repeat it.
    for (int i = 0; i < 5 && !Shows(loupe, Source(left, top, w, h, zoom), 500); ++i) {
        Mouse(0, 659, 440);
        Mouse(0, 660, 440);
    }
    ASSERT_TRUE(Shows(loupe, Source(left, top, w, h, zoom))) << WindowText(loupe);
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-120), 0);
    Sleep(300);
    // The frame: two rings of top-most bars of the program's own, round the source.
    RECT frame = {0, 0, 0, 0}, bar, round = {left - 2, top - 2, left + w + 2, top + h + 2};
    std::vector<HWND> bars = e2e::FindProcessWindows(program.Pid(), "Static", true);
    for (HWND b : bars) {
        GetWindowRect(b, &bar);
        UnionRect(&frame, &frame, &bar);
    }
    EXPECT_EQ(bars.size(), 8u);
    EXPECT_TRUE(EqualRect(&frame, &round)) << Placement(bars.empty() ? NULL : bars[0]);
    // Released where the last move went: a move the program reads late, at the pointer's
    // earlier place, no longer decides the spot.
    Mouse(MOUSEEVENTF_LEFTUP, 660, 440);
    EXPECT_TRUE(Shows(loupe, Source(left, top, w, h, zoom))) << WindowText(loupe);
    EXPECT_TRUE(
        WaitUntil([&] { return e2e::FindProcessWindows(program.Pid(), "Static", true).empty(); }));

    std::vector<DWORD> shown = Grab(client), screen = Grab(area);
    int wrong = 0, changed = 0, aw = area.right - area.left;
    for (int i = 0; i < cw * ch; ++i)
        wrong += shown[i] !=
                 PatternColour(left - area.left + i % cw / zoom, top - area.top + i / cw / zoom);
    for (int i = 0; i < (int)screen.size(); ++i)
        changed += screen[i] != PatternColour(i % aw, i / aw);
    EXPECT_EQ(wrong, 0) << "of " << cw * ch << " client pixels differ from the source";
    EXPECT_EQ(changed, 0) << "pixels of the pattern changed by the frame";

    SendMessageA(loupe, WM_KEYDOWN, VK_RIGHT, 0);  // plain arrows move the spot a pixel
    SendMessageA(loupe, WM_KEYDOWN, VK_UP, 0);
    EXPECT_TRUE(Shows(loupe, Source(left + 1, top - 1, w, h, zoom)));

    // A press and release without moving: the new spot lies in the client, which shows
    // the pattern, so any frame left in the picture shows in colours the pattern lacks.
    std::unordered_set<DWORD> colours;
    for (int i = 0; i < (int)screen.size(); ++i)
        colours.insert(PatternColour(i % aw, i / aw));
    const int px = client.left + cw / 2, py = client.top + ch / 2;
    MovePointerTo(px, py);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(Shows(loupe, Source(px - w / 2, py - h / 2, w, h, zoom))) << WindowText(loupe);
    Sleep(300);
    int foreign = 0;
    for (DWORD pixel : Grab(client))
        foreign += colours.count(pixel) == 0;
    EXPECT_EQ(foreign, 0) << "client pixels that are not the pattern's";

    Close(40051, loupe);
    const char* saved[] = {"300", "200", "128", "128", "3"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Ini(kLoupe, kKeys[i]), saved[i]) << kKeys[i];

    // Values written while it was closed are read at the next opening; a zoom outside
    // 1..16 (0 would divide by zero) is brought inside.
    const char* stored[] = {"100", "120", "300", "220"};
    for (int i = 0; i < 4; ++i)
        SetIni(kLoupe, kKeys[i], stored[i]);
    for (auto value : {std::make_pair("5", 5), std::make_pair("0", 1), std::make_pair("99", 16)}) {
        SetIni(kLoupe, "倍率", value.first);
        loupe = Open(40051, "loupe");
        EXPECT_EQ(Placement(loupe), "100,120 300x220");
        EXPECT_TRUE(Shows(loupe, Zoom(value.second))) << value.first;
        Close(40051, loupe);
        EXPECT_EQ(Ini(kLoupe, "倍率"), std::to_string(value.second));
    }
    // A place off the screen (stored at a larger mode, on a monitor since removed) comes
    // back inside it.
    SetIni(kLoupe, "x 位置", "5000");
    SetIni(kLoupe, "y 位置", "-3000");
    loupe = Open(40051, "loupe");
    EXPECT_EQ(Placement(loupe), std::to_string(GetSystemMetrics(SM_CXSCREEN) - 300) + ",0 300x220");
    Close(40051, loupe);
}

TEST_F(ToolsTest, CoordinateWindowFollowsThePointerKeepsItsPlaceAndBothReopenAtStart) {
    MovePointerTo(200, 150);
    Start();
    HWND window = Open(40052, "CursorInfoWindow");
    ASSERT_NE(window, (HWND)NULL);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & ~WS_CLIPSIBLINGS, (LONG)(WS_POPUP | WS_VISIBLE));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(window, GW_OWNER), main);
    // Sized for "[8888, 8888]" in a DC's default font, its corner at the pointer.
    RECT size = e2e::TextBox("[8888, 8888]"), rect;
    const std::string placed =
        "200,150 " + std::to_string(size.right) + "x" + std::to_string(size.bottom);
    EXPECT_EQ(Placement(window), placed);
    // Moved to a monitor at 144 DPI: the suggested place, a larger font and the size to fit
    // it; back at the system's DPI, the size of one scale.
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    SendMessageA(window, 0x02E0, MAKEWPARAM(144, 144), RemoteRect(RECT{400, 300, 500, 340}));
    GetClientRect(window, &rect);
    EXPECT_EQ(Placement(window).substr(0, 8), "400,300 ");
    EXPECT_TRUE(rect.right > size.right * 5 / 4 && rect.bottom > size.bottom * 5 / 4);
    SendMessageA(window, 0x02E0, MAKEWPARAM(dpi, dpi), RemoteRect(RECT{200, 150, 300, 190}));
    EXPECT_EQ(Placement(window), placed);
    GetWindowRect(window, &rect);

    // "x, y" centred on white as DrawText draws it, following the pointer.
    for (POINT point : {POINT{5, 7}, POINT{321, 654}, POINT{1023, 0}}) {
        std::string text = std::to_string(point.x) + ", " + std::to_string(point.y);
        std::vector<DWORD> expected = e2e::TextPicture(text.c_str(), size);
        MovePointerTo(point.x, point.y);
        EXPECT_TRUE(WaitUntil([&] { return Grab(rect) == expected; }, 3000)) << text;
    }
    // With the pointer still nothing repaints it: what is drawn over it stays.
    PatBlt(screen, rect.left, rect.top, size.right, size.bottom, BLACKNESS);
    ReleaseDC(NULL, screen);
    Grab(rect);  // a read sends the drawing to the X server at once
    Sleep(500);
    EXPECT_TRUE(Grab(rect) == std::vector<DWORD>(size.right * size.bottom, 0)) << "repainted";

    LPARAM inside = MAKELPARAM(rect.left + 3, rect.bottom - 2);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, inside), HTCAPTION);
    EXPECT_EQ(SendMessageA(window, WM_NCHITTEST, 0, 0), HTNOWHERE);
    // Dragged to another place, kept for the next opening and the next start.
    MovePointerTo(rect.left + 20, rect.top + 5);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(0, rect.left + 60, rect.top + 45);
    Mouse(0, rect.left + 120, rect.top + 85);
    Mouse(MOUSEEVENTF_LEFTUP);
    std::string moved = "300,230 " + Placement(window).substr(Placement(window).find(' ') + 1);
    EXPECT_TRUE(WaitUntil([&] { return Placement(window) == moved; })) << Placement(window);
    Close(40052, window);
    EXPECT_EQ(GetPropA(main, "PROP_CURINFWINDOW"), (HANDLE)NULL) << "a dead handle kept";
    MovePointerTo(10, 10);
    EXPECT_EQ(Placement(Open(40052, "CursorInfoWindow")), moved);

    // Both open at exit: both open themselves at the next start.
    ASSERT_NE(Open(40051, "loupe"), (HWND)NULL);
    program.Exit();
    ASSERT_EQ(program.WaitExit(), 0);
    EXPECT_EQ(Ini("Kelvarin", "虫眼鏡を表示"), "1");
    EXPECT_EQ(Ini("Kelvarin", "カーソル座標窓を表示"), "1");
    // With the wheel set to scroll pages, read at the first turn, a notch zooms by 2.
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, NULL, SPIF_UPDATEINIFILE);
    Start();
    HWND loupe = NULL;
    EXPECT_TRUE(WaitUntil([&] { return FindProcessWindow(program.Pid(), "CursorInfoWindow"); }));
    EXPECT_TRUE(WaitUntil([&] { return (loupe = FindProcessWindow(program.Pid(), "loupe")); }));
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)-240), 0);
    SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, NULL, SPIF_UPDATEINIFILE);
    EXPECT_TRUE(Shows(loupe, Zoom(6)));
}

TEST_F(ToolsTest, AThousandOpeningsOfEachToolLeaveNoObjectsOrMemoryBehind) {
    // The pointer away from both: a sizing cursor, loaded once and kept by the system,
    // would otherwise appear in the counts whenever the pointer met a window's border.
    for (const char* section : {kLoupe, kCurInf}) {
        SetIni(section, "x 位置", "100");
        SetIni(section, "y 位置", "100");
    }
    MovePointerTo(900, 600);
    Start();
    for (const auto& tool :
         {std::make_pair(40051, "loupe"), std::make_pair(40052, "CursorInfoWindow")}) {
        // Opened, painted, clicked (the magnifier's frame comes and goes) and closed: the
        // class is registered again at each opening.
        auto cycle = [&](int times) {
            for (int i = 0; i < times; ++i) {
                SendMessageA(main, WM_COMMAND, tool.first, 0);
                HWND window = FindProcessWindow(program.Pid(), tool.second);
                ASSERT_NE(window, (HWND)NULL) << i;
                SendMessageA(window, WM_PAINT, 0, 0);
                SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
                SendMessageA(window, WM_LBUTTONUP, 0, 0);
                SendMessageA(main, WM_COMMAND, tool.first, 0);
                ASSERT_FALSE(IsWindow(window)) << i;
            }
        };
        // A few rounds first: Wine grows its own caches (the window DCs) once, when several
        // of the frame's bars paint at a time.
        e2e::ObjectCounts first, last;
        cycle(5);
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &first));
        cycle(1000);
        ASSERT_TRUE(e2e::CountProcessObjects(program.Pid(), &last));
        printf("%s after 5 and 1005: gdi %ld/%ld user %ld/%ld handles %ld/%ld private %lu/%lu\n",
               tool.second, first.gdi, last.gdi, first.user, last.user, first.handles, last.handles,
               (unsigned long)first.privateBytes, (unsigned long)last.privateBytes);
        EXPECT_EQ(last.gdi, first.gdi) << tool.second;
        EXPECT_EQ(last.user, first.user) << tool.second;
        EXPECT_EQ(last.handles, first.handles) << tool.second;
        EXPECT_LT(last.privateBytes, first.privateBytes + 256 * 1024) << tool.second;
    }
}

// On two monitors: the server of e2e.monitors.<layout> (Wine without a virtual desktop on
// two RandR outputs); the one-monitor session leaves these out. The monitor that is not
// the primary one (whose corner is 0,0).
BOOL CALLBACK KeepSecond(HMONITOR, HDC, LPRECT rect, LPARAM second) {
    if (rect->left != 0 || rect->top != 0)
        *(RECT*)second = *rect;
    return TRUE;
}
RECT SecondMonitor() {
    RECT second = {0, 0, 0, 0};
    EnumDisplayMonitors(NULL, NULL, KeepSecond, (LPARAM)&second);
    return second;
}

// The pointer on the second monitor: the picture is the whole virtual screen as the screen
// shows it, with the cursor at the pointer less the virtual screen's origin.
TEST_F(ToolsTest, OnTwoMonitorsHotkey1CapturesEveryMonitorWithTheCursorOnTheSecond) {
    const RECT second = SecondMonitor();
    const int edge = second.left < 0 ? 0 : second.left;  // a pattern across the monitors' edge
    HWND pattern = e2e::CreatePatternWindow(RECT{edge - 300, 200, edge + 300, 500});
    const std::string folder = install.Folder() + "\\captures";
    CreateDirectoryA(folder.c_str(), NULL);
    e2e::WriteCaptureSettings(install.IniPath(), folder);
    Start();
    const int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN), stride = (width * 3 + 3) & ~3;
    MovePointerTo(second.left + 100, second.top + 120);
    // The cursor the picture shows is the foreground thread's: this one's arrow, which the
    // program cannot draw from another process and replaces by its own.
    SetForegroundWindow(pattern);
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    std::vector<DWORD> screen = Grab(RECT{x0, y0, x0 + width, y0 + height});
    e2e::PressCaptureKey(e2e::kDesktopKey);
    std::vector<std::string> found;
    ASSERT_TRUE(WaitUntil([&] { return !(found = e2e::FilesIn(folder, "*.bmp")).empty(); }));
    Sleep(500);  // written whole; kept for the readers and the README (docs/two-monitors.png)
    std::string bmp = e2e::ReadWholeFile(folder + "\\" + found[0]), kept = e2e::ProductExe();
    kept = kept.substr(0, kept.rfind('\\')) + "\\tests\\captures";
    CreateDirectoryA(kept.c_str(), NULL);
    CopyFileA((folder + "\\" + found[0]).c_str(), (kept + "\\two-monitors.bmp").c_str(), FALSE);
    ASSERT_EQ(bmp.size(), 54u + (size_t)stride * height) << "not " << width << "x" << height;
    int stray = 0, cursor = 0;  // differing pixels outside and inside the arrow's 32x32 box
    for (int i = 0; i < width * height; ++i) {
        const int x = i % width, y = i / width, cx = x + x0 - second.left - 100,
                  cy = y + y0 - second.top - 120;
        const unsigned char* p = (const unsigned char*)&bmp[54 + (height - 1 - y) * stride + x * 3];
        bool differs = (DWORD)(p[2] << 16 | p[1] << 8 | p[0]) != (screen[i] & 0xFFFFFF);
        (cx >= 0 && cx < 32 && cy >= 0 && cy < 32 ? cursor : stray) += differs;
    }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(cursor, 50) << "no cursor at the pointer";
    DestroyWindow(pattern);
}

// The magnifier's spot dragged onto a pattern there and moved by a key (zoom 2): negative
// coordinates in the caption, the spot enlarged in the picture. The coordinate window stays
// where it was put there, sized for "[-8888, 8888]", and shows "-1000, 700" whole. A dialog
// opened with the pointer in that monitor's corner lies inside it.
TEST_F(ToolsTest, OnTwoMonitorsToolsAndDialogsReachTheMonitorAtNegativeCoordinates) {
    const RECT second = SecondMonitor(), area = {-700, 200, -500, 360};
    ASSERT_EQ(second.left, -1024);
    e2e::PumpedWindow pattern([&] { return e2e::CreatePatternWindow(area); });
    SetIni(kCurInf, "x 位置", "-900");
    SetIni(kCurInf, "y 位置", "100");
    MovePointerTo(200, 200);
    Start();
    HWND loupe = Open(40051, "loupe");
    RECT client;
    GetClientRect(loupe, &client);
    MapWindowPoints(loupe, NULL, (POINT*)&client, 2);
    const int cw = client.right - client.left, ch = client.bottom - client.top;
    const int w = cw / 2 + 1, h = ch / 2 + 1, left = -600 - w / 2, top = 280 - h / 2;
    MovePointerTo(client.left + 10, client.top + 10);
    Mouse(MOUSEEVENTF_LEFTDOWN);
    Mouse(0, -300, 250);
    Mouse(MOUSEEVENTF_LEFTUP, -600, 280);
    EXPECT_TRUE(Shows(loupe, Source(left, top, w, h, 2))) << WindowText(loupe);
    std::vector<DWORD> shown = Grab(client);
    int wrong = 0;
    for (int i = 0; i < cw * ch; ++i)
        wrong +=
            shown[i] != PatternColour(left - area.left + i % cw / 2, top - area.top + i / cw / 2);
    EXPECT_EQ(wrong, 0) << "client pixels that are not the spot enlarged";
    SendMessageA(loupe, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(Shows(loupe, Source(left - 1, top, w, h, 2))) << WindowText(loupe);

    HWND window = Open(40052, "CursorInfoWindow");
    RECT rect, box = e2e::TextBox("[-8888, 8888]");
    EXPECT_EQ(Placement(window),
              "-900,100 " + std::to_string(box.right) + "x" + std::to_string(box.bottom));
    GetWindowRect(window, &rect);
    MovePointerTo(-1000, 700);
    std::vector<DWORD> expected = e2e::TextPicture("-1000, 700", box);
    EXPECT_TRUE(WaitUntil([&] { return Grab(rect) == expected; }, 3000)) << "-1000, 700";

    MovePointerTo(second.right - 1, second.bottom - 1);
    PostMessageA(main, WM_COMMAND, 40048, 0);
    HWND dialog = e2e::WaitProcessDialog(program.Pid(), "設定");
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(rect.right == second.right && rect.bottom == second.bottom) << rect.right;
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

// The L-shape: a primary 1024x768 at 0,0 and an 800x600 monitor at -800,-300 leave gaps
// below the second and above the primary. A stored place there comes back onto the nearest
// monitor; a place that both monitors show whole stays as it was, across their edge.
TEST_F(ToolsTest, OnTwoMonitorsStoredPlacesInTheGapsComeBackOntoTheNearestMonitor) {
    const RECT second = SecondMonitor();
    ASSERT_TRUE(second.left == -800 && second.top == -300);
    const char* stored[][3] = {{kLoupe, "x 位置", "-700"},
                               {kLoupe, "y 位置", "500"},
                               {kCurInf, "x 位置", "500"},
                               {kCurInf, "y 位置", "-200"}};
    for (auto value : stored)
        SetIni(value[0], value[1], value[2]);
    Start();
    HWND loupe = Open(40051, "loupe");
    EXPECT_EQ(Placement(loupe), "-700,172 128x128");  // up onto the second monitor
    EXPECT_EQ(Placement(Open(40052, "CursorInfoWindow")).substr(0, 6), "500,0 ");
    Close(40051, loupe);
    SetIni(kLoupe, "x 位置", "-100");
    SetIni(kLoupe, "y 位置", "100");
    EXPECT_EQ(Placement(Open(40051, "loupe")), "-100,100 128x128");
}

}  // namespace
