// Screen captures by hotkey, as a user makes them: the file's name, headers and pixels, the
// cursor at the pointer, the window capture that becomes the wallpaper, the spellings of
// the capture folder, and failures that must cost nothing. The checked captures are kept
// in tests\captures for the independent readers (check_captures.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "capture_input.h"
#include "composition.h"
#include "harness.h"

namespace {

const COLORREF kTop = RGB(200, 30, 60), kBottom = RGB(20, 90, 220);

// "DDhhmmss.bmp" for every second from the local time now to seconds later.
std::vector<std::string> NamesFromNow(int seconds) {
    std::vector<std::string> names;
    SYSTEMTIME s;
    ULARGE_INTEGER t;
    GetLocalTime(&s);
    SystemTimeToFileTime(&s, (FILETIME*)&t);
    for (int i = 0; i <= seconds; ++i, t.QuadPart += 10000000) {
        FileTimeToSystemTime((FILETIME*)&t, &s);
        char name[16];
        snprintf(name, sizeof name, "%02d%02d%02d%02d.bmp", s.wDay, s.wHour, s.wMinute, s.wSecond);
        names.push_back(name);
    }
    return names;
}

// A top-most foreground window of this process whose client area, at x, y, is kTop above
// and kBottom below; its own thread pumps it.
class PaintedWindow {
  public:
    PaintedWindow(DWORD style, int x, int y, int width, int height)
        : thread_(&PaintedWindow::Run, this, style, RECT{x, y, x + width, y + height}) {
        e2e::WaitUntil([&] { return window_ != NULL && GetForegroundWindow() == window_; }, 5000);
    }
    ~PaintedWindow() {
        PostMessageA(window_, WM_QUIT, 0, 0);  // the window goes with its thread
        thread_.join();
    }
    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != WM_ERASEBKGND)
            return DefWindowProcA(window, message, wParam, lParam);
        RECT half;
        GetClientRect(window, &half);
        for (COLORREF colour : {kBottom, kTop}) {
            HBRUSH brush = CreateSolidBrush(colour);
            FillRect((HDC)wParam, &half, brush);
            DeleteObject(brush);
            half.bottom /= 2;
        }
        return 1;
    }
    void Run(DWORD style, RECT f) {
        AdjustWindowRectEx(&f, style, FALSE, WS_EX_TOPMOST);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = "KelvarinPaintedWindow";
        RegisterClassA(&wc);
        HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "capture me",
                                      style | WS_VISIBLE, f.left, f.top, f.right - f.left,
                                      f.bottom - f.top, NULL, NULL, NULL, NULL);
        UpdateWindow(window);
        SetForegroundWindow(window);
        window_ = window;
        MSG message;
        while (window != NULL && GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
    }

    HWND volatile window_ = NULL;
    std::thread thread_;
};

// The program from a scratch folder, with the capture hotkeys and a capture folder.
struct Session {
    Session(const char* name, const std::string& folder) : install(name) {
        e2e::WriteCaptureSettings(install.IniPath(), folder);
        started = program.Start(install.Exe()) && program.WaitMainWindow() != NULL;
    }
    e2e::ScratchInstall install;
    e2e::Program program;
    bool started = false;
};

// Every test starts with empty folders and leaves the wallpaper setting as it found it.
class Capture : public testing::Test {
  protected:
    void SetUp() override { saved_ = e2e::ReadDesktopValue("Wallpaper"); }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)saved_.c_str(), SPIF_UPDATEINIFILE);
    }
    static std::string MakeFolder(const std::string& name) {
        std::string folder = e2e::TempFolder() + "\\" + name;
        CreateDirectoryA(folder.c_str(), NULL);
        for (const std::string& file : e2e::FilesIn(folder))
            DeleteFileA((folder + "\\" + file).c_str());
        return folder;
    }
    // Presses the key; the name of the one capture that then appears in folder, named from
    // the local time of the press (the second may tick meanwhile).
    static std::string PressAndWait(UINT vk, const std::string& folder) {
        std::vector<std::string> names = NamesFromNow(2), found;
        e2e::PressCaptureKey(vk);
        e2e::WaitUntil([&] { return !(found = e2e::FilesIn(folder, "????????.bmp")).empty(); });
        if (found.size() != 1)
            return "";
        EXPECT_NE(std::find(names.begin(), names.end(), found[0]), names.end()) << found[0];
        return found[0];
    }
    // The file's bytes once every header field is checked for a 24-bit bottom-up picture
    // of width x height, kept as tests\captures\<as> for the readers; empty if wrong size.
    static std::string CheckedCapture(const std::string& path, int width, int height,
                                      const char* as) {
        std::string bytes = e2e::ReadWholeFile(path);
        const uint32_t w = width, h = height, image = ((w * 3 + 3) & ~3u) * h;
        const uint32_t fields[][3] = {
            {0, 2, 0x4D42}, {2, 4, 54 + image}, {6, 4, 0},  {10, 4, 54}, {14, 4, 40},
            {18, 4, w},     {22, 4, h},         {26, 2, 1}, {28, 2, 24}, {30, 4, 0},
            {34, 4, image}, {38, 4, 0},         {42, 4, 0}, {46, 4, 0},  {50, 4, 0}};
        EXPECT_EQ(bytes.size(), 54 + image);
        if (bytes.size() != 54 + image)
            return "";
        for (const auto& f : fields) {
            uint32_t value = 0;
            memcpy(&value, &bytes[f[0]], f[1]);
            EXPECT_EQ(value, f[2]) << "header field at " << f[0];
        }
        std::string kept = e2e::ProductExe();
        kept = kept.substr(0, kept.rfind('\\')) + "\\tests\\captures";
        CreateDirectoryA(kept.c_str(), NULL);
        CopyFileA(path.c_str(), (kept + "\\" + as).c_str(), FALSE);
        return bytes;
    }
    // The points of the 320 x 200 painted client area at x0, y0 in bmp that show otherwise.
    static std::vector<POINT> Unpainted(const std::string& bmp, int width, int height, int x0,
                                        int y0) {
        std::vector<POINT> off;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 320; ++x) {
                const char* p =
                    &bmp[54 + (height - 1 - y0 - y) * ((width * 3 + 3) & ~3) + (x0 + x) * 3];
                if (RGB((BYTE)p[2], (BYTE)p[1], (BYTE)p[0]) != (y < 100 ? kTop : kBottom))
                    off.push_back({x, y});
            }
        }
        return off;
    }
    std::string saved_;
};

TEST_F(Capture, HotkeysWriteTheDesktopWithTheCursorAndTheClientAreaAsWallpaper) {
    std::string folder = MakeFolder("kelvarin_captures");
    Session session("kelvarin_capture", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_OVERLAPPEDWINDOW, 150, 120, 320, 200);
    e2e::MovePointerTo(150 + 50, 120 + 20);

    // Hotkey 1: the whole screen, the window's halves, and over them a cursor image whose
    // top-left corner is the pointer (under Wine the arrow stands in for the foreground's).
    std::string name = PressAndWait(e2e::kDesktopKey, folder);
    ASSERT_FALSE(name.empty());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::string bmp = CheckedCapture(folder + "\\" + name, width, height, "desktop.bmp");
    ASSERT_FALSE(bmp.empty());
    std::vector<POINT> off = Unpainted(bmp, width, height, 150, 120);
    int stray = 0, left = 320, top = 200;
    for (POINT p : off) {
        stray += p.x < 50 || p.x >= 50 + 32 || p.y < 20 || p.y >= 20 + 32;  // the cursor's box
        left = std::min(left, (int)p.x);
        top = std::min(top, (int)p.y);
    }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(off.size(), 50u);
    EXPECT_EQ(left, 50);
    EXPECT_EQ(top, 20);
    DeleteFileA((folder + "\\" + name).c_str());

    // Hotkey 2: exactly the client area, without frame or cursor, then the wallpaper.
    name = PressAndWait(e2e::kWindowKey, folder);
    ASSERT_FALSE(name.empty());
    bmp = CheckedCapture(folder + "\\" + name, 320, 200, "window.bmp");
    ASSERT_FALSE(bmp.empty());
    EXPECT_TRUE(Unpainted(bmp, 320, 200, 0, 0).empty()) << "not the client area alone";
    EXPECT_TRUE(e2e::WaitUntil(
        [&] { return e2e::ReadDesktopValue("Wallpaper") == folder + "\\" + name; }, 5000))
        << e2e::ReadDesktopValue("Wallpaper");
}

// Where the desktop is composed the window capture is what the screen shows over the client
// area: a small top-most window over it is in the picture (the window's own DC would give
// black there).
TEST_F(Capture, WindowCaptureOfAComposedDesktopShowsWhatCoversTheClientArea) {
    std::string folder = MakeFolder("kelvarin_composed");
    e2e::ComposedDesktop composed;
    ASSERT_TRUE(composed.Ok());
    Session session("kelvarin_capture_composed", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_OVERLAPPEDWINDOW, 150, 120, 320, 200);
    HWND cover =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | SS_WHITERECT,
                        150 + 100, 120 + 40, 60, 30, NULL, NULL, NULL, NULL);
    SetWindowPos(cover, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    UpdateWindow(cover);
    ASSERT_EQ(GetForegroundWindow(), window.Handle());
    HDC screen = GetDC(NULL);
    const COLORREF white = GetPixel(screen, 150 + 130, 120 + 55);
    ReleaseDC(NULL, screen);
    std::string name = PressAndWait(e2e::kWindowKey, folder);
    DestroyWindow(cover);
    ASSERT_FALSE(name.empty());
    std::string bmp = CheckedCapture(folder + "\\" + name, 320, 200, "composed.bmp");
    ASSERT_FALSE(bmp.empty());
    std::vector<POINT> off = Unpainted(bmp, 320, 200, 0, 0);
    int covered = 0;
    for (POINT p : off) {
        const char* bgr = &bmp[54 + (199 - p.y) * 960 + p.x * 3];
        covered += p.x >= 100 && p.x < 160 && p.y >= 40 && p.y < 70 &&
                   RGB((BYTE)bgr[2], (BYTE)bgr[1], (BYTE)bgr[0]) == white;
    }
    EXPECT_NE(white, RGB(0, 0, 0));
    EXPECT_EQ(off.size(), 60u * 30u);
    EXPECT_EQ(covered, 60 * 30) << "the covering window is not in the picture";
}

// The exact path the program built shows in the wallpaper value. A missing folder is not
// created, nothing is written elsewhere, and the program carries on.
TEST_F(Capture, FolderSpellingsAndAMissingFolder) {
    const std::string sep = MakeFolder("kelvarin_sep"), kanji = MakeFolder("kelvarin_\x95\x5C");
    struct Case {
        std::string folder, where, prefix;  // setting, folder of the file, path before name
    } cases[] = {{sep + "\\", sep, sep + "\\"},
                 {"C:\\", "C:", "C:\\"},
                 {kanji, kanji, kanji + "\\"},  // its last 0x5C is 表's second byte
                 {"", "", ""}};
    PaintedWindow window(WS_POPUP, 100, 100, 64, 48);
    for (Case& c : cases) {
        Session session("kelvarin_capture_folder", c.folder);
        ASSERT_TRUE(session.started);
        if (c.folder.empty())
            c.where = session.install.Folder();  // the program's current directory
        SetForegroundWindow(window.Handle());
        std::string name = PressAndWait(e2e::kWindowKey, c.where);
        EXPECT_FALSE(name.empty()) << c.folder;
        EXPECT_TRUE(e2e::WaitUntil(
            [&] { return e2e::ReadDesktopValue("Wallpaper") == c.prefix + name; }, 5000))
            << "wanted " << c.prefix + name << ", got " << e2e::ReadDesktopValue("Wallpaper");
        DeleteFileA((c.where + "\\" + name).c_str());
    }
    Session session("kelvarin_capture_missing", e2e::TempFolder() + "\\kelvarin_missing\\sub");
    ASSERT_TRUE(session.started);
    const std::string before = e2e::ReadDesktopValue("Wallpaper");
    e2e::PressCaptureKey(e2e::kDesktopKey);
    e2e::PressCaptureKey(e2e::kWindowKey);
    // The exit request queues behind both hotkeys: a clean exit means they were handled.
    session.program.Exit();
    EXPECT_EQ(session.program.WaitExit(), 0);
    EXPECT_FALSE(e2e::FileExists(e2e::TempFolder() + "\\kelvarin_missing"));
    EXPECT_EQ(e2e::FilesIn(session.install.Folder()),
              (std::vector<std::string>{"Kelvarin.exe", "kelvarin.ini"}));
    EXPECT_EQ(e2e::ReadDesktopValue("Wallpaper"), before);
}

// Run by e2e.capture_full_disk under a 1 MB file-size limit: every capture here is over
// 2 MB, so each write fails part-way, as on a full disk.
TEST_F(Capture, FullDiskKeepsTheEarlierFileOfTheSameName) {
    if (getenv("KELVARIN_FULL_DISK") == NULL)
        GTEST_SKIP() << "needs a file-size limit (ctest runs it as e2e.capture_full_disk)";
    std::string folder = MakeFolder("kelvarin_full");
    // An earlier capture under every name the next seconds can give.
    std::vector<std::string> earlier = NamesFromNow(8);
    for (const std::string& name : earlier)
        std::ofstream(folder + "\\" + name) << "earlier";
    Session session("kelvarin_capture_full", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 0, 0, 1000, 720);
    e2e::PressCaptureKey(e2e::kWindowKey);
    e2e::PressCaptureKey(e2e::kDesktopKey);
    session.program.Exit();
    EXPECT_EQ(session.program.WaitExit(), 0);
    EXPECT_EQ(e2e::FilesIn(folder), earlier);  // nothing new, no temporary file left
    for (const std::string& name : earlier)
        EXPECT_TRUE(e2e::ReadWholeFile(folder + "\\" + name) == "earlier")
            << name << " was replaced";
    EXPECT_EQ(e2e::ReadDesktopValue("Wallpaper"), saved_);
}

}  // namespace
