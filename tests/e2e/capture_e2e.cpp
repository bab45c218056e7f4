// Screen captures by hotkey, as a user makes them: the file's name, headers and pixels,
// the cursor in the desktop picture, the window capture that becomes the wallpaper, the
// spellings of the capture folder, and failures that must cost nothing. The captures it
// checks are kept in tests\captures for the independent readers (check_captures.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "capture_input.h"
#include "harness.h"

namespace {

const COLORREF kTop = RGB(200, 30, 60), kBottom = RGB(20, 90, 220);

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> Files(const std::string& folder, const char* pattern = "*") {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Wallpaper() {
    char value[MAX_PATH * 2] = "";
    DWORD size = sizeof value - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == 0) {
        RegQueryValueExA(key, "Wallpaper", NULL, NULL, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    return value;
}

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

// A top-most window of this process, its client area kTop above and kBottom below,
// pumped by its own thread and brought to the foreground.
class PaintedWindow {
  public:
    PaintedWindow(DWORD style, int x, int y, int width, int height) : style_(style) {
        frame_ = {x, y, x + width, y + height};
        AdjustWindowRectEx(&frame_, style, FALSE, WS_EX_TOPMOST);
        thread_ = CreateThread(NULL, 0, Thread, this, 0, NULL);
        e2e::WaitUntil([&] { return window_ != NULL && GetForegroundWindow() == window_; }, 5000);
    }
    ~PaintedWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
    }
    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ERASEBKGND) {
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
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static DWORD WINAPI Thread(LPVOID self) {
        PaintedWindow* me = static_cast<PaintedWindow*>(self);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = "KelvarinPaintedWindow";
        RegisterClassA(&wc);
        const RECT& f = me->frame_;
        HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "capture me",
                                      me->style_ | WS_VISIBLE, f.left, f.top, f.right - f.left,
                                      f.bottom - f.top, NULL, NULL, NULL, NULL);
        UpdateWindow(window);
        SetForegroundWindow(window);
        me->window_ = window;
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }

    DWORD style_;
    RECT frame_;
    HANDLE thread_;
    HWND volatile window_ = NULL;
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
    void SetUp() override { saved_ = Wallpaper(); }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)saved_.c_str(), SPIF_UPDATEINIFILE);
    }
    static std::string MakeFolder(const std::string& name) {
        std::string folder = e2e::TempFolder() + "\\" + name;
        CreateDirectoryA(folder.c_str(), NULL);
        for (const std::string& file : Files(folder))
            DeleteFileA((folder + "\\" + file).c_str());
        return folder;
    }
    // Presses the key; the name of the one capture that then appears in folder, named
    // from the local time of the press (the second may tick meanwhile).
    static std::string PressAndWait(UINT vk, const std::string& folder) {
        std::vector<std::string> names = NamesFromNow(2), found;
        e2e::PressCaptureKey(vk);
        e2e::WaitUntil([&] { return !(found = Files(folder, "????????.bmp")).empty(); });
        if (found.size() != 1)
            return "";
        EXPECT_NE(std::find(names.begin(), names.end(), found[0]), names.end()) << found[0];
        return found[0];
    }
    // The file's bytes once every header field is checked: a 24-bit bottom-up picture of
    // width x height.
    static std::string CheckedCapture(const std::string& path, int width, int height) {
        std::string bytes = Slurp(path);
        const uint32_t image = ((width * 3 + 3) & ~3) * height;
        const uint32_t fields[][3] = {{0, 2, 0x4D42},
                                      {2, 4, 54 + image},
                                      {6, 4, 0},
                                      {10, 4, 54},
                                      {14, 4, 40},
                                      {18, 4, (uint32_t)width},
                                      {22, 4, (uint32_t)height},
                                      {26, 2, 1},
                                      {28, 2, 24},
                                      {30, 4, 0},
                                      {34, 4, image},
                                      {38, 4, 0},
                                      {42, 4, 0},
                                      {46, 4, 0},
                                      {50, 4, 0}};
        EXPECT_EQ(bytes.size(), 54 + image);
        if (bytes.size() != 54 + image)
            return "";
        for (const auto& f : fields) {
            uint32_t value = 0;
            memcpy(&value, &bytes[f[0]], f[1]);
            EXPECT_EQ(value, f[2]) << "header field at " << f[0];
        }
        return bytes;
    }
    static COLORREF Pixel(const std::string& bmp, int width, int height, int x, int y) {
        const char* p = &bmp[54 + (height - 1 - y) * ((width * 3 + 3) & ~3) + x * 3];
        return RGB((BYTE)p[2], (BYTE)p[1], (BYTE)p[0]);
    }
    // Keeps a checked capture for the reader check that runs after this test.
    static void Keep(const std::string& path, const char* as) {
        std::string kept = e2e::ProductExe();
        kept = kept.substr(0, kept.rfind('\\')) + "\\tests\\captures";
        CreateDirectoryA(kept.c_str(), NULL);
        CopyFileA(path.c_str(), (kept + "\\" + as).c_str(), FALSE);
    }
    std::string saved_;
};

// The pointer at p for every process: the first move can be undone by pending events.
void MovePointer(POINT p) {
    POINT a, b;
    SetCursorPos(p.x, p.y);
    e2e::WaitUntil([&] {
        GetCursorPos(&a);
        Sleep(100);
        GetCursorPos(&b);
        return a.x == b.x && a.y == b.y && a.x == p.x && a.y == p.y;
    });
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    move.mi.dx = (p.x * 65536 + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN);
    move.mi.dy = (p.y * 65536 + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN);
    SendInput(1, &move, sizeof move);
    Sleep(200);
}

TEST_F(Capture, DesktopHotkeyWritesTheScreenWithTheCursorAtThePointer) {
    std::string folder = MakeFolder("kelvarin_captures");
    Session session("kelvarin_capture_desktop", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 200, 150, 240, 160);
    MovePointer({250, 170});
    std::string name = PressAndWait(e2e::kDesktopKey, folder);
    ASSERT_FALSE(name.empty());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    std::string bmp = CheckedCapture(folder + "\\" + name, width, height);
    ASSERT_FALSE(bmp.empty());

    // What the screen showed: the window's halves, and over them a cursor image whose
    // top-left corner is the pointer (under Wine the arrow stands in for the foreground's).
    int stray = 0, cursor = 0, left = 240, top = 160;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (Pixel(bmp, width, height, 200 + x, 150 + y) == (y < 80 ? kTop : kBottom))
                continue;
            bool inCursorBox = x >= 50 && x < 50 + 32 && y >= 20 && y < 20 + 32;
            stray += !inCursorBox;
            cursor += inCursorBox;
            left = std::min(left, x);
            top = std::min(top, y);
        }
    }
    EXPECT_EQ(stray, 0);
    EXPECT_GT(cursor, 50);
    EXPECT_EQ(left, 50);
    EXPECT_EQ(top, 20);
    Keep(folder + "\\" + name, "desktop.bmp");
}

TEST_F(Capture, WindowHotkeySavesTheClientAreaAndMakesItTheWallpaper) {
    std::string folder = MakeFolder("kelvarin_captures");
    Session session("kelvarin_capture_window", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_OVERLAPPEDWINDOW, 150, 120, 320, 200);
    std::string name = PressAndWait(e2e::kWindowKey, folder);
    ASSERT_FALSE(name.empty());
    std::string bmp = CheckedCapture(folder + "\\" + name, 320, 200);
    ASSERT_FALSE(bmp.empty());
    int differing = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x)
            differing += Pixel(bmp, 320, 200, x, y) != (y < 100 ? kTop : kBottom);
    }
    EXPECT_EQ(differing, 0) << "not the client area alone";
    EXPECT_TRUE(e2e::WaitUntil([&] { return Wallpaper() == folder + "\\" + name; }, 5000))
        << Wallpaper();
    Keep(folder + "\\" + name, "window.bmp");
}

// The exact path the program built shows in the wallpaper value.
TEST_F(Capture, FolderSpellingsGiveOneSeparatorAndAnEmptyFolderTheCurrentOne) {
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
        EXPECT_TRUE(e2e::WaitUntil([&] { return Wallpaper() == c.prefix + name; }, 5000))
            << "wanted " << c.prefix + name << ", got " << Wallpaper();
        DeleteFileA((c.where + "\\" + name).c_str());
    }
}

TEST_F(Capture, MissingFolderWritesNothingAndTheProgramCarriesOn) {
    Session session("kelvarin_capture_missing", e2e::TempFolder() + "\\kelvarin_missing\\sub");
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 100, 100, 64, 48);
    e2e::PressCaptureKey(e2e::kDesktopKey);
    e2e::PressCaptureKey(e2e::kWindowKey);
    // The exit request queues behind both hotkeys: a clean exit means they were handled.
    session.program.Exit();
    EXPECT_EQ(session.program.WaitExit(), 0);
    EXPECT_FALSE(e2e::FileExists(e2e::TempFolder() + "\\kelvarin_missing"));
    std::vector<std::string> left = Files(session.install.Folder());
    EXPECT_EQ(left, (std::vector<std::string>{"Kelvarin.exe", "kelvarin.ini"}));
    EXPECT_EQ(Wallpaper(), saved_);
}

// Run under a file-size limit of 1 MB by e2e.capture_full_disk (see Register.cmake), which
// sets KELVARIN_FULL_DISK: every capture here is over 2 MB, so each write fails part-way,
// as on a full disk. In the plain run, without a limit, the test has nothing to do.
TEST_F(Capture, FullDiskKeepsTheEarlierFileOfTheSameName) {
    std::string folder = MakeFolder("kelvarin_full");
    {
        std::ofstream probe(folder + "\\probe", std::ios::binary);
        probe << std::string((2 << 20) + 1, 'x') << std::flush;
        bool limited = !probe.good();
        probe.close();
        DeleteFileA((folder + "\\probe").c_str());
        if (!limited) {
            ASSERT_EQ(getenv("KELVARIN_FULL_DISK"), nullptr) << "no file-size limit in force";
            GTEST_SKIP() << "needs a file-size limit (ctest runs it as e2e.capture_full_disk)";
        }
    }
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
    EXPECT_EQ(Files(folder), earlier);  // nothing new, no temporary file left
    for (const std::string& name : earlier)
        EXPECT_TRUE(Slurp(folder + "\\" + name) == "earlier") << name << " was replaced";
    EXPECT_EQ(Wallpaper(), saved_);
}

}  // namespace
