// Window and menu helpers against the real window manager: check marks, placement at the
// cursor inside the work area, the restored rectangle of a minimised window, and a menu
// resource without the requested popup; COM around the folder picker.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/app_class.h"
#include "base/system_path.h"
#include "base/winutil.h"
#include "dialogs/settings_dialog.h"
#include "import_patch.h"

namespace {

// Menus and icons this process owns, counted by the harness's probe (Wine hides them from
// other processes, and GetGuiResources reports nothing).
struct UserCounts {
    LONG menus, icons, accelerators;
};

UserCounts OwnUserObjects() {
    UserCounts counts = {-1, -1, -1};
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string probe(path);
    probe = probe.substr(0, probe.rfind('\\')) + "\\object_probe.dll";
    HMODULE dll = LoadLibraryA(probe.c_str());
    typedef DWORD(WINAPI * Probe)(LPVOID);
    Probe count = dll ? (Probe)(void*)GetProcAddress(dll, "ProbeUserObjects") : NULL;
    if (count != NULL)
        count(&counts);
    return counts;
}

// Kelvarin.exe, one folder above this test program.
std::string ProductExe() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string exe(path);
    exe = exe.substr(0, exe.rfind('\\'));
    return exe.substr(0, exe.rfind('\\')) + "\\Kelvarin.exe";
}

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
    HMODULE module = LoadLibraryExA(ProductExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    HWND owner = MakeWindow(0, 0, 10, 10);
    // Popup 2 does not exist: returns at once (a shown menu would block this thread).
    EXPECT_FALSE(TrackResourceMenuAtCursor(module, MAKEINTRESOURCEA(127), 2, owner, 0));
    EXPECT_FALSE(TrackResourceMenuAtCursor(module, MAKEINTRESOURCEA(999), 0, owner, 0));
    // The menu loaded for nothing is destroyed with its popups, every time.
    long before = OwnUserObjects().menus;
    ASSERT_GE(before, 0);
    for (int i = 0; i < 100; ++i)
        TrackResourceMenuAtCursor(module, MAKEINTRESOURCEA(127), 2, owner, 0);
    EXPECT_EQ(OwnUserObjects().menus, before);
    DestroyWindow(owner);
    FreeLibrary(module);
}

// Windows 95 keeps rundll32 in the Windows folder, NT in the system folder: a table of
// pretend folder queries and a pretend file system plays either.
struct FakeSystem {
    static const char* systemFolder;
    static const char* windowsFolder;
    static std::vector<std::string> files;
    static UINT WINAPI System(LPSTR buffer, UINT size) { return Copy(systemFolder, buffer, size); }
    static UINT WINAPI Windows(LPSTR buffer, UINT size) {
        return Copy(windowsFolder, buffer, size);
    }
    static DWORD WINAPI Attributes(LPCSTR path) {
        for (const std::string& file : files) {
            if (file == path)
                return FILE_ATTRIBUTE_NORMAL;
        }
        return INVALID_FILE_ATTRIBUTES;
    }
    // As the real queries: the length, or the size needed when the buffer is too small.
    static UINT Copy(const char* folder, LPSTR buffer, UINT size) {
        UINT length = (UINT)strlen(folder);
        if (length + 1 > size)
            return length + 1;
        strcpy(buffer, folder);
        return length;
    }
};
const char* FakeSystem::systemFolder;
const char* FakeSystem::windowsFolder;
std::vector<std::string> FakeSystem::files;

std::string FindWith(const char* system, const char* windows, std::vector<std::string> files) {
    FakeSystem::systemFolder = system;
    FakeSystem::windowsFolder = windows;
    FakeSystem::files = files;
    SystemFolderApi api = {FakeSystem::System, FakeSystem::Windows, FakeSystem::Attributes};
    char path[MAX_PATH + 16];
    memset(path, 'z', sizeof path);
    bool found = FindSystemProgram(api, "rundll32.exe", path, sizeof path);
    EXPECT_EQ(found, path[0] != '\0');
    return path;
}

TEST(FindSystemProgram, SystemFolderFirstThenTheWindowsFolder) {
    // NT: both folders, the system one wins.
    EXPECT_EQ(FindWith("C:\\WINNT\\system32", "C:\\WINNT",
                       {"C:\\WINNT\\system32\\rundll32.exe", "C:\\WINNT\\rundll32.exe"}),
              "C:\\WINNT\\system32\\rundll32.exe");
    // Windows 95/98/Me: not in SYSTEM, so the Windows folder, by full path.
    EXPECT_EQ(FindWith("C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS",
                       {"C:\\WINDOWS\\RUNDLL32.EXE", "C:\\WINDOWS\\rundll32.exe"}),
              "C:\\WINDOWS\\rundll32.exe");
    // A drive root as the Windows folder gets no second separator.
    EXPECT_EQ(FindWith("C:\\SYSTEM", "C:\\", {"C:\\rundll32.exe"}), "C:\\rundll32.exe");
    // Nowhere, or folders too long to query: nothing to start, never a bare name.
    EXPECT_EQ(FindWith("C:\\WINDOWS\\SYSTEM", "C:\\WINDOWS", {}), "");
    std::string huge(400, 'd');
    EXPECT_EQ(FindWith(huge.c_str(), huge.c_str(), {huge + "\\rundll32.exe"}), "");
    // The real system: a file that exists, by full path.
    char real[MAX_PATH + 16];
    ASSERT_TRUE(FindSystemProgram(kSystemFolderApi, "rundll32.exe", real, sizeof real));
    EXPECT_EQ(real[1], ':');
    EXPECT_NE(GetFileAttributesA(real), INVALID_FILE_ATTRIBUTES);
}

SIZE IconSize(HICON icon) {
    SIZE size = {0, 0};
    ICONINFO info;
    if (!GetIconInfo(icon, &info))
        return size;
    BITMAP bitmap;
    GetObjectA(info.hbmMask, sizeof bitmap, &bitmap);
    size.cx = bitmap.bmWidth;
    size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return size;
}

TEST(RegisterAppClass, TheShellsIconsOfTheProgramAndTheGivenBrush) {
    HINSTANCE instance = GetModuleHandleA(NULL);
    RegisterAppClass(instance, "KelvarinTestClass", DefWindowProcA, CS_DBLCLKS, NULL, WHITE_BRUSH);
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(GetClassInfoExA(instance, "KelvarinTestClass", &wc));
    EXPECT_EQ(wc.style, (UINT)CS_DBLCLKS);
    EXPECT_EQ(wc.hCursor, (HCURSOR)NULL);
    EXPECT_EQ(wc.hbrBackground, (HBRUSH)GetStockObject(WHITE_BRUSH));
    ASSERT_NE(wc.hIcon, (HICON)NULL);
    ASSERT_NE(wc.hIconSm, (HICON)NULL);
    EXPECT_EQ(wc.hIcon, GetAppIcon(true));
    EXPECT_EQ(wc.hIconSm, GetAppIcon(false));
    EXPECT_EQ(IconSize(wc.hIcon).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(IconSize(wc.hIconSm).cx, GetSystemMetrics(SM_CXSMICON));
    // Registering again (as each tool window does before it opens) fetches nothing new:
    // the shared icons stay the same live handles, and no icon is left behind.
    LONG icons = OwnUserObjects().icons;
    ASSERT_GE(icons, 0);
    for (int i = 0; i < 1000; ++i)
        RegisterAppClass(instance, "KelvarinTestClass", DefWindowProcA, 0, NULL, WHITE_BRUSH);
    EXPECT_EQ(OwnUserObjects().icons, icons);
    EXPECT_EQ(GetAppIcon(true), wc.hIcon);
    UnregisterClassA("KelvarinTestClass", instance);
}

TEST(LoadAppIcon, TheProgramsOwnIconAtTheSystemSizesElseTheShells) {
    HMODULE module = LoadLibraryExA(ProductExe().c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, (HMODULE)NULL);
    for (bool large : {true, false}) {
        HICON own = LoadAppIcon(module, large);
        ASSERT_NE(own, (HICON)NULL);
        EXPECT_EQ(IconSize(own).cx, GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON));
        DestroyIcon(own);
        // This test program has no icon resource: the shell's icon for it stands in.
        HICON fallback = LoadAppIcon(GetModuleHandleA(NULL), large);
        EXPECT_NE(fallback, (HICON)NULL);
        DestroyIcon(fallback);
    }
    FreeLibrary(module);
}

// MessageBeep, as the test program imports it, replaced for one test by a recorder.
std::vector<UINT> beeps;
BOOL WINAPI RecordBeep(UINT type) {
    beeps.push_back(type);
    return TRUE;
}

struct BoxSeen {
    std::string caption, text;
};

// Reads the box that opens on this thread, then answers it with No.
DWORD WINAPI AnswerBox(LPVOID out) {
    BoxSeen* seen = (BoxSeen*)out;
    for (int i = 0; i < 500; ++i) {
        HWND box = FindWindowA("#32770", NULL);
        if (box != NULL && GetDlgItem(box, IDNO) != NULL) {
            char buffer[256] = {0};
            GetWindowTextA(box, buffer, sizeof buffer);
            seen->caption = buffer;
            GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);  // the text's static
            seen->text = buffer;
            PostMessageA(box, WM_COMMAND, IDNO, 0);
            return 0;
        }
        Sleep(20);
    }
    return 1;
}

TEST(ShowMessageBox, BeepsForTheIconThenShowsCaptionAndText) {
    ImportPatch beep("user32.dll", "MessageBeep", (void*)RecordBeep);
    ASSERT_TRUE(beep.Active());
    BoxSeen seen;
    HANDLE answer = CreateThread(NULL, 0, AnswerBox, &seen, 0, NULL);
    int button = ShowMessageBox(NULL, "ホットキーの設定", "保存しますか？",
                                MB_YESNOCANCEL | MB_ICONEXCLAMATION);
    WaitForSingleObject(answer, 15000);
    CloseHandle(answer);
    EXPECT_EQ(button, IDNO);
    EXPECT_EQ(seen.caption, "ホットキーの設定");
    EXPECT_EQ(seen.text, "保存しますか？");
    ASSERT_EQ(beeps.size(), 1u);
    EXPECT_EQ(beeps[0], (UINT)MB_ICONEXCLAMATION);  // 0x33 beeps 0x30, not 0x33
}

// SHBrowseForFolderA's stand-in: its flags, and the thread's COM (S_FALSE: initialised).
std::vector<std::pair<UINT, HRESULT>> browsed;
LPITEMIDLIST WINAPI RecordBrowse(LPBROWSEINFOA info) {
    HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    if (SUCCEEDED(com))
        CoUninitialize();
    browsed.push_back({info->ulFlags, com});
    return NULL;
}

TEST(PickFolder, TheNewStyleOnlyWithComInitialisedAroundIt) {
    ImportPatch browse("shell32.dll", "SHBrowseForFolderA", (void*)RecordBrowse);
    ASSERT_TRUE(browse.Active());
    char path[MAX_PATH] = "C:\\";
    EXPECT_FALSE(PickFolder(NULL, "", path, path));
    CoInitializeEx(NULL, COINIT_MULTITHREADED);  // no single-threaded apartment to be had
    EXPECT_FALSE(PickFolder(NULL, "", path, path));
    CoUninitialize();
    ASSERT_EQ(browsed.size(), 2u);
    EXPECT_EQ(browsed[0], std::make_pair((UINT)(BIF_RETURNONLYFSDIRS | 0x40), S_FALSE));
    EXPECT_EQ(browsed[1], std::make_pair((UINT)BIF_RETURNONLYFSDIRS, RPC_E_CHANGED_MODE));
    EXPECT_EQ(CoInitializeEx(NULL, COINIT_MULTITHREADED), S_OK) << "COM left initialised";
    CoUninitialize();
}

}  // namespace
