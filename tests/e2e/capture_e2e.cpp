// Screen captures by hotkey, as a user makes them: the file's name, headers and pixels,
// the cursor in the desktop picture, the window capture that becomes the wallpaper, the
// spellings of the capture folder, and failures that must cost nothing. The captures it
// checks are kept in tests\captures for the independent readers (check_captures.sh).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture_input.h"
#include "harness.h"

namespace {

using e2e::Program;
using e2e::ScratchInstall;

const COLORREF kTop = RGB(200, 30, 60), kBottom = RGB(20, 90, 220);

std::string Slurp(const std::string& path) {
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    char buffer[65536];
    for (size_t n; file != NULL && (n = fread(buffer, 1, sizeof buffer, file)) > 0;)
        bytes.append(buffer, n);
    if (file != NULL)
        fclose(file);
    return bytes;
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
    DWORD size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == 0) {
        RegQueryValueExA(key, "Wallpaper", NULL, NULL, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    return value;
}

// "DDhhmmss.bmp" for every second from before to some seconds after after.
std::vector<std::string> NamesBetween(const SYSTEMTIME& before, const SYSTEMTIME& after,
                                      int seconds = 1) {
    std::vector<std::string> names;
    ULARGE_INTEGER t, end;
    SystemTimeToFileTime(&before, (FILETIME*)&t);
    SystemTimeToFileTime(&after, (FILETIME*)&end);
    for (; t.QuadPart <= end.QuadPart + seconds * 10000000ULL; t.QuadPart += 10000000) {
        SYSTEMTIME s;
        FileTimeToSystemTime((FILETIME*)&t, &s);
        char name[16];
        snprintf(name, sizeof name, "%02d%02d%02d%02d.bmp", s.wDay, s.wHour, s.wMinute, s.wSecond);
        names.push_back(name);
    }
    return names;
}

// A window of this process, its client area red above and blue below, pumped by its own
// thread and brought to the foreground.
class PaintedWindow {
  public:
    PaintedWindow(DWORD style, int x, int y, int width, int height) {
        RECT frame = {x, y, x + width, y + height};
        AdjustWindowRectEx(&frame, style, FALSE, WS_EX_TOPMOST);
        frame_ = frame;
        style_ = style;
        ready_ = CreateEventA(NULL, TRUE, FALSE, NULL);
        thread_ = CreateThread(NULL, 0, Thread, this, 0, NULL);
        WaitForSingleObject(ready_, 5000);
        e2e::WaitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
    }
    ~PaintedWindow() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        CloseHandle(ready_);
    }
    HWND Handle() const { return window_; }

  private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            RECT half = client;
            half.bottom = client.bottom / 2;
            for (COLORREF colour : {kTop, kBottom}) {
                HBRUSH brush = CreateSolidBrush(colour);
                FillRect(dc, &half, brush);
                DeleteObject(brush);
                half.top = half.bottom;
                half.bottom = client.bottom;
            }
            EndPaint(window, &paint);
            return 0;
        }
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    static DWORD WINAPI Thread(LPVOID self) {
        PaintedWindow* me = static_cast<PaintedWindow*>(self);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
        wc.lpszClassName = "KelvarinPaintedWindow";
        RegisterClassA(&wc);
        const RECT& f = me->frame_;
        me->window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "capture me",
                                      me->style_ | WS_VISIBLE, f.left, f.top, f.right - f.left,
                                      f.bottom - f.top, NULL, NULL, wc.hInstance, NULL);
        UpdateWindow(me->window_);
        SetForegroundWindow(me->window_);
        SetEvent(me->ready_);
        MSG message;
        while (GetMessageA(&message, NULL, 0, 0) > 0)
            DispatchMessageA(&message);
        return 0;
    }

    RECT frame_;
    DWORD style_;
    HANDLE ready_, thread_;
    HWND window_ = NULL;
};

// The program installed in a scratch folder with the capture hotkeys and a folder.
struct Session {
    Session(const char* name, const std::string& folder) : install(name) {
        e2e::WriteCaptureSettings(install.IniPath(), folder);
        started = program.Start(install.Exe()) && program.WaitMainWindow() != NULL;
    }
    ScratchInstall install;
    Program program;
    bool started = false;
};

std::string MakeFolder(const std::string& name) {
    std::string folder = e2e::TempFolder() + "\\" + name;
    CreateDirectoryA(folder.c_str(), NULL);
    for (const std::string& file : Files(folder))
        DeleteFileA((folder + "\\" + file).c_str());
    return folder;
}

// Presses the key and returns the name of the one capture that then appears in folder,
// after checking that it is named from the local time of the press.
std::string PressAndWait(UINT vk, const std::string& folder) {
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    e2e::PressCaptureKey(vk);
    std::vector<std::string> found;
    e2e::WaitUntil([&] { return !(found = Files(folder, "????????.bmp")).empty(); });
    GetLocalTime(&after);
    if (found.size() != 1)
        return "";
    std::vector<std::string> names = NamesBetween(before, after);
    EXPECT_NE(std::find(names.begin(), names.end(), found[0]), names.end()) << found[0];
    return found[0];
}

// A 24-bit bottom-up file of width x height with every header field as written; pixel
// colours read top row first.
class Capture {
  public:
    explicit Capture(const std::string& path) : bytes_(Slurp(path)) {}
    void CheckHeaders(int width, int height) {
        stride_ = (width * 3 + 3) & ~3;
        height_ = height;
        const uint32_t size = 54 + stride_ * height;
        const uint32_t fields[][3] = {{0, 2, 0x4D42},
                                      {2, 4, size},
                                      {6, 4, 0},
                                      {10, 4, 54},
                                      {14, 4, 40},
                                      {18, 4, (uint32_t)width},
                                      {22, 4, (uint32_t)height},
                                      {26, 2, 1},
                                      {28, 2, 24},
                                      {30, 4, 0},
                                      {34, 4, size - 54},
                                      {38, 16, 0}};
        ASSERT_EQ(bytes_.size(), size);
        for (const auto& f : fields) {
            uint32_t value = 0;
            for (uint32_t i = 0; i < f[1]; ++i)
                value |= (uint32_t)(unsigned char)bytes_[f[0] + i] << (8 * (i % 4));
            EXPECT_EQ(value, f[2]) << "header bytes at " << f[0];
        }
    }
    COLORREF Pixel(int x, int y) const {
        const char* p = &bytes_[54 + (height_ - 1 - y) * stride_ + x * 3];
        return RGB((BYTE)p[2], (BYTE)p[1], (BYTE)p[0]);
    }

  private:
    std::string bytes_;
    int stride_ = 0, height_ = 0;
};

// Keeps a checked capture for the reader check that runs after this test.
void Keep(const std::string& path, const char* as) {
    std::string kept = e2e::ProductExe();
    kept = kept.substr(0, kept.rfind('\\')) + "\\tests\\captures";
    CreateDirectoryA(kept.c_str(), NULL);
    CopyFileA(path.c_str(), (kept + "\\" + as).c_str(), FALSE);
}

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

TEST(Capture, DesktopHotkeyWritesTheScreenWithTheCursorAtThePointer) {
    std::string folder = MakeFolder("kelvarin_captures");
    Session session("kelvarin_capture_desktop", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 200, 150, 240, 160);
    const POINT at = {250, 170};
    MovePointer(at);
    std::string name = PressAndWait(e2e::kDesktopKey, folder);
    ASSERT_FALSE(name.empty());
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    Capture capture(folder + "\\" + name);
    capture.CheckHeaders(width, height);
    ASSERT_FALSE(HasFatalFailure());

    // What the screen showed: the window's halves, and in them the arrow drawn with its
    // top-left corner at the pointer (under Wine the foreground's own cursor cannot be
    // drawn; the window's class cursor is that arrow too).
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP expected = CreateCompatibleBitmap(screen, 240, 160);
    HGDIOBJ old = SelectObject(dc, expected);
    RECT top = {0, 0, 240, 80}, bottom = {0, 80, 240, 160};
    HBRUSH brushes[] = {CreateSolidBrush(kTop), CreateSolidBrush(kBottom)};
    FillRect(dc, &top, brushes[0]);
    FillRect(dc, &bottom, brushes[1]);
    DrawIconEx(dc, at.x - 200, at.y - 150, LoadCursorA(NULL, (LPCSTR)IDC_ARROW), 0, 0, 0, NULL,
               DI_NORMAL | DI_DEFAULTSIZE);
    int differing = 0, cursorPixels = 0;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 240; ++x) {
            COLORREF want = GetPixel(dc, x, y);
            differing += capture.Pixel(200 + x, 150 + y) != want;
            cursorPixels += want != (y < 80 ? kTop : kBottom);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(cursorPixels, 50);  // the reference does hold a cursor
    SelectObject(dc, old);
    DeleteObject(expected);
    DeleteObject(brushes[0]);
    DeleteObject(brushes[1]);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    Keep(folder + "\\" + name, "desktop.bmp");
}

class WallpaperKept : public testing::Test {
  protected:
    void SetUp() override { saved_ = Wallpaper(); }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, (PVOID)saved_.c_str(), SPIF_UPDATEINIFILE);
    }
    std::string saved_;
};

TEST_F(WallpaperKept, WindowHotkeySavesTheClientAreaAndMakesItTheWallpaper) {
    std::string folder = MakeFolder("kelvarin_captures");
    Session session("kelvarin_capture_window", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_OVERLAPPEDWINDOW, 150, 120, 320, 200);
    std::string name = PressAndWait(e2e::kWindowKey, folder);
    ASSERT_FALSE(name.empty());
    Capture capture(folder + "\\" + name);
    capture.CheckHeaders(320, 200);
    ASSERT_FALSE(HasFatalFailure());
    int differing = 0;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 320; ++x)
            differing += capture.Pixel(x, y) != (y < 100 ? kTop : kBottom);
    }
    EXPECT_EQ(differing, 0) << "not the client area alone";
    EXPECT_TRUE(e2e::WaitUntil([&] { return Wallpaper() == folder + "\\" + name; }, 5000))
        << Wallpaper();
    Keep(folder + "\\" + name, "window.bmp");
}

// The exact path the program built shows in the wallpaper value.
TEST_F(WallpaperKept, FolderSpellingsGiveOneSeparatorAndAnEmptyFolderTheCurrentOne) {
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

TEST_F(WallpaperKept, MissingFolderWritesNothingAndTheProgramCarriesOn) {
    std::string folder = e2e::TempFolder() + "\\kelvarin_missing\\sub";
    Session session("kelvarin_capture_missing", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 100, 100, 64, 48);
    e2e::PressCaptureKey(e2e::kDesktopKey);
    e2e::PressCaptureKey(e2e::kWindowKey);
    // The exit request queues behind both hotkeys: a clean exit means they were handled.
    session.program.Exit();
    EXPECT_EQ(session.program.WaitExit(), 0);
    EXPECT_FALSE(e2e::FileExists(e2e::TempFolder() + "\\kelvarin_missing"));
    EXPECT_TRUE(Files(session.install.Folder(), "*.bmp").empty());
    EXPECT_TRUE(Files(session.install.Folder(), "*.tmp").empty());
    EXPECT_EQ(Wallpaper(), saved_);
}

// Run under a file-size limit of 1 MB (see Register.cmake): every capture here is larger,
// so each write fails part-way, as on a full disk.
TEST_F(WallpaperKept, FullDiskKeepsTheEarlierFileOfTheSameName) {
    std::string folder = MakeFolder("kelvarin_full");
    std::string probe = folder + "\\probe";
    FILE* file = fopen(probe.c_str(), "wb");
    std::string megabyte(1 << 20, 'x');
    bool limited = fwrite(megabyte.data(), 1, megabyte.size(), file) < megabyte.size() ||
                   fputc('x', file) == EOF || fflush(file) != 0;
    fclose(file);
    DeleteFileA(probe.c_str());
    if (!limited)
        GTEST_SKIP() << "needs a file-size limit of 1 MB (ctest runs it as e2e.capture_full_disk)";

    // An earlier capture under every name the next seconds can give.
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::vector<std::string> earlier = NamesBetween(now, now, 8);
    for (const std::string& name : earlier) {
        FILE* f = fopen((folder + "\\" + name).c_str(), "wb");
        fputs("earlier", f);
        fclose(f);
    }
    Session session("kelvarin_capture_full", folder);
    ASSERT_TRUE(session.started);
    PaintedWindow window(WS_POPUP, 0, 0, 800, 600);
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
