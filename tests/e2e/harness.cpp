// End-to-end harness support (see harness.h).
#include "harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <fstream>
#include <iterator>

namespace e2e {

const char kMainWindowClass[] = "ZadeduDodavizUdur";

namespace {

enum { WM_FAKE_CREATE_AREA = WM_APP + 1, WM_FAKE_DESTROY_AREA = WM_APP + 2 };

std::string ModuleFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path);
    return text.substr(0, text.rfind('\\'));
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &data));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

struct WindowSearch {
    DWORD pid;
    const char* className;
    bool visibleOnly;
    const char* title;  // null: any
    std::vector<HWND> found;
};

BOOL CALLBACK FindProcessWindowProc(HWND window, LPARAM lParam) {
    WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
    char className[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && (!search->visibleOnly || IsWindowVisible(window)) &&
        GetClassNameA(window, className, sizeof className) &&
        strcmp(className, search->className) == 0 &&
        (search->title == NULL || WindowText(window) == search->title)) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

// The first top-level window of the class that process pid owns, or null.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly) {
    std::vector<HWND> found = FindProcessWindows(pid, className, visibleOnly);
    return found.empty() ? NULL : found.front();
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam) {
    char className[16];
    if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0)
        *reinterpret_cast<std::string*>(lParam) += WindowText(child);
    return TRUE;
}

std::string ProductExe() {
    std::string folder = ModuleFolder();
    return folder.substr(0, folder.rfind('\\')) + "\\Kelvarin.exe";
}

std::string TempFolder() {
    char path[MAX_PATH];
    DWORD length = GetTempPathA(sizeof path, path);
    std::string text(path, length);
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    return text;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

ScratchInstall::ScratchInstall(const std::string& folderName, const std::string& exeName) {
    folder_ = TempFolder() + "\\" + folderName;
    RemoveTree(folder_);
    CreateDirectoryA(folder_.c_str(), NULL);
    exe_ = folder_ + "\\" + exeName;
    CopyFileA(ProductExe().c_str(), exe_.c_str(), FALSE);
}

ScratchInstall::~ScratchInstall() {
    RemoveTree(folder_);
}

std::string ScratchInstall::IniPath() const {
    std::string path = exe_.substr(0, exe_.rfind('.')) + ".ini";
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            path[i] = static_cast<char>(c + 32);
        }
    }
    return path;
}

Program::~Program() {
    if (process_ != NULL) {
        if (Running()) {
            Exit();
            if (WaitExit(5000) == -1)
                TerminateProcess(process_, 99);
        }
        CloseHandle(process_);
    }
}

bool Program::Start(const std::string& exe) {
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string command = "\"" + exe + "\"";
    std::string folder = exe.substr(0, exe.rfind('\\'));
    if (!CreateProcessA(exe.c_str(), &command[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(),
                        &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
    mainWindow_ = NULL;
    return true;
}

int Program::WaitExit(DWORD timeoutMs) {
    if (process_ == NULL)
        return -1;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return static_cast<int>(code);
}

bool Program::Running() const {
    return process_ != NULL && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND Program::WaitMainWindow(DWORD timeoutMs) {
    WaitUntil([&] { return (mainWindow_ = FindMainWindow(pid_)) != NULL || !Running(); },
              timeoutMs);
    // The window is listed while its WM_CREATE still runs; the program is ready once its
    // thread waits in its message loop.
    if (mainWindow_ != NULL)
        WaitForInputIdle(process_, timeoutMs);
    return mainWindow_;
}

void Program::Exit() {
    HWND window = mainWindow_ != NULL ? mainWindow_ : FindMainWindow(pid_);
    if (window != NULL)
        PostMessageA(window, WM_COMMAND, 40001, 0);
}

HWND FindMainWindow(DWORD pid) {
    return FindProcessWindow(pid, kMainWindowClass, false);
}

std::string ReadIniValue(const std::string& ini, const char* key, const char* section) {
    char value[1024];
    // Profile files are cached: flush so that a file written by another process is read.
    WritePrivateProfileStringA(NULL, NULL, NULL, ini.c_str());
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, ini.c_str());
    return value;
}

// --- FakeTaskbar -------------------------------------------------------------------

FakeTaskbar::FakeTaskbar() {
    realTaskbar_ = FindWindowA("Shell_TrayWnd", NULL);
    ready_ = CreateEventA(NULL, TRUE, FALSE, NULL);
    thread_ = CreateThread(NULL, 0, Thread, this, 0, &threadId_);
    WaitForSingleObject(ready_, 10000);
}

FakeTaskbar::~FakeTaskbar() {
    if (window_ != NULL)
        PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_ != NULL) {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    CloseHandle(ready_);
}

DWORD WINAPI FakeTaskbar::Thread(LPVOID self) {
    FakeTaskbar* taskbar = static_cast<FakeTaskbar*>(self);
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    WNDCLASSA area = wc;
    area.lpfnWndProc = DefWindowProcA;
    area.lpszClassName = "TrayNotifyWnd";
    RegisterClassA(&area);
    // Top-most, so that the shell's lookup of "Shell_TrayWnd" finds this one first.
    taskbar->window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "Shell_TrayWnd", "",
                                       WS_POPUP, 0, 0, 1, 1, NULL, NULL, wc.hInstance, NULL);
    if (taskbar->window_ != NULL) {
        SetWindowLongPtrA(taskbar->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(taskbar));
        SetWindowPos(taskbar->window_, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SetEvent(taskbar->ready_);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

LRESULT CALLBACK FakeTaskbar::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    FakeTaskbar* taskbar = reinterpret_cast<FakeTaskbar*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_COPYDATA:
            if (taskbar != NULL)
                return taskbar->OnCopyData(window, wParam, lParam);
            return FALSE;
        case WM_FAKE_CREATE_AREA:
            if (taskbar->notifyArea_ == NULL) {
                taskbar->notifyArea_ = CreateWindowExA(0, "TrayNotifyWnd", "", WS_CHILD, 0, 0, 1, 1,
                                                       window, NULL, GetModuleHandleA(NULL), NULL);
            }
            return 0;
        case WM_FAKE_DESTROY_AREA:
            if (taskbar->notifyArea_ != NULL)
                DestroyWindow(taskbar->notifyArea_);
            taskbar->notifyArea_ = NULL;
            return 0;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

// The shell's tray request: dwData is the NIM_ code, the data starts with the icon's
// owner, id, flags, callback message and a 128-character UTF-16 tip.
LRESULT FakeTaskbar::OnCopyData(HWND, WPARAM wParam, LPARAM lParam) {
    const COPYDATASTRUCT* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    struct Head {
        LONG owner;
        UINT id, flags, callback;
        WCHAR tip[128];
    };
    if (copy != NULL && copy->cbData >= sizeof(Head)) {
        const Head* head = static_cast<const Head*>(copy->lpData);
        TrayRecord record;
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        record.qpc = now.QuadPart;
        record.message = static_cast<DWORD>(copy->dwData);
        record.owner = reinterpret_cast<HWND>(static_cast<LONG_PTR>(head->owner));
        record.id = head->id;
        record.flags = head->flags;
        record.callback = head->callback;
        char tip[300] = {0};
        WideCharToMultiByte(932, 0, head->tip, -1, tip, sizeof tip - 1, NULL, NULL);
        record.tip = tip;
        // 944 bytes on (past state, balloon texts, flags and GUID), the icon bitmap's width.
        record.iconWidth = copy->cbData >= 948 ? *(const UINT*)((const BYTE*)head + 944) : 0;
        std::lock_guard<std::mutex> guard(lock_);
        records_.push_back(record);
        if (record.message == 0 /* NIM_ADD */ && addsToRefuse_ > 0) {
            --addsToRefuse_;
            if (refusedAddsReachShell_ && realTaskbar_ != NULL && IsWindow(realTaskbar_))
                SendMessageA(realTaskbar_, WM_COPYDATA, wParam, lParam);
            return FALSE;
        }
    }
    if (realTaskbar_ != NULL && IsWindow(realTaskbar_)) {
        return SendMessageA(realTaskbar_, WM_COPYDATA, wParam, lParam);
    }
    return TRUE;
}

std::vector<TrayRecord> FakeTaskbar::Records() {
    std::lock_guard<std::mutex> guard(lock_);
    return records_;
}

void FakeTaskbar::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    records_.clear();
}

std::vector<TrayRecord> FakeTaskbar::RecordsFor(HWND owner, int message) {
    std::vector<TrayRecord> out;
    for (const TrayRecord& record : Records()) {
        if (record.owner == owner && (message < 0 || record.message == (DWORD)message)) {
            out.push_back(record);
        }
    }
    return out;
}

bool FakeTaskbar::WaitForRecord(HWND owner, DWORD message, DWORD timeoutMs) {
    return WaitUntil([&] { return !RecordsFor(owner, (int)message).empty(); }, timeoutMs);
}

void FakeTaskbar::RefuseAdds(int count, bool reachShell) {
    std::lock_guard<std::mutex> guard(lock_);
    addsToRefuse_ = count;
    refusedAddsReachShell_ = reachShell;
}

void FakeTaskbar::CreateNotifyArea() {
    SendMessageA(window_, WM_FAKE_CREATE_AREA, 0, 0);
}

void FakeTaskbar::DestroyNotifyArea() {
    SendMessageA(window_, WM_FAKE_DESTROY_AREA, 0, 0);
}

// --- PumpedWindow ---------------------------------------------------------------

PumpedWindow::PumpedWindow(const std::function<HWND()>& create) : create_(create) {
    thread_ = CreateThread(NULL, 0, Thread, this, 0, &threadId_);
    WaitUntil([&] { return window_ != NULL; }, 5000);
}

PumpedWindow::~PumpedWindow() {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
}

DWORD WINAPI PumpedWindow::Thread(LPVOID self) {
    PumpedWindow* pumped = static_cast<PumpedWindow*>(self);
    HWND window = pumped->create_();
    UpdateWindow(window);
    pumped->window_ = window;
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}

// --- MenuSpy ---------------------------------------------------------------------

namespace {

// A stdcall export may carry its argument size in its name.
HOOKPROC SpyProc(HMODULE dll, const char* name) {
    FARPROC proc = GetProcAddress(dll, name);
    if (proc == NULL)
        proc = GetProcAddress(dll, (std::string(name) + "@12").c_str());
    return reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(proc));
}

}  // namespace

MenuSpy::MenuSpy(HWND target) {
    log_ = TempFolder() + "\\kelvarin_spy.log";
    DeleteFileA(log_.c_str());
    std::string dll = ModuleFolder() + "\\menu_spy.dll";
    dll_ = LoadLibraryA(dll.c_str());
    DWORD thread = GetWindowThreadProcessId(target, NULL);
    if (dll_ == NULL || thread == 0)
        return;
    HOOKPROC call = SpyProc(dll_, "SpyCallWndProc");
    HOOKPROC message = SpyProc(dll_, "SpyGetMsgProc");
    if (call != NULL)
        callHook_ = SetWindowsHookExA(WH_CALLWNDPROC, call, dll_, thread);
    if (message != NULL)
        messageHook_ = SetWindowsHookExA(WH_GETMESSAGE, message, dll_, thread);
}

MenuSpy::~MenuSpy() {
    if (callHook_ != NULL)
        UnhookWindowsHookEx(callHook_);
    if (messageHook_ != NULL)
        UnhookWindowsHookEx(messageHook_);
    if (dll_ != NULL)
        FreeLibrary(dll_);
    DeleteFileA(log_.c_str());
}

void MenuSpy::Clear() {
    DeleteFileA(log_.c_str());
}

std::vector<std::string> MenuSpy::Lines() {
    std::vector<std::string> lines;
    FILE* file = fopen(log_.c_str(), "rb");
    if (file == NULL)
        return lines;
    char line[512];
    while (fgets(line, sizeof line, file) != NULL) {
        size_t end = strcspn(line, "\r\n");
        if (line[end] == '\0')
            break;  // a line still being written
        line[end] = '\0';
        lines.push_back(line);
    }
    fclose(file);
    return lines;
}

int MenuSpy::CountPosts(UINT message) {
    char prefix[32];
    snprintf(prefix, sizeof prefix, "post %x ", message);
    int count = 0;
    for (const std::string& line : Lines()) {
        if (line.compare(0, strlen(prefix), prefix) == 0)
            ++count;
    }
    return count;
}

// Only a popup whose every item has been written counts: the spy writes while the
// test reads.
std::vector<MenuSpy::Item> MenuSpy::LastPopup() {
    std::vector<Item> complete, items;
    int expected = -1;
    for (const std::string& line : Lines()) {
        if (line.compare(0, 6, "popup ") == 0) {
            items.clear();
            expected = atoi(line.c_str() + 6);
        } else if (line.compare(0, 5, "item ") == 0) {
            int position = 0, id = 0, consumed = 0;
            unsigned state = 0;
            if (sscanf(line.c_str(), "item %d %d %x %n", &position, &id, &state, &consumed) >= 3) {
                Item item = {id, state, line.substr(static_cast<size_t>(consumed))};
                items.push_back(item);
            }
        }
        if (expected >= 0 && static_cast<int>(items.size()) == expected) {
            complete = items;
            expected = -1;
        }
    }
    return complete;
}

bool MenuSpy::WaitForPopup(DWORD timeoutMs) {
    return WaitUntil([&] { return !LastPopup().empty(); }, timeoutMs);
}

HWND FindPopupMenuWindow(DWORD pid) {
    return FindProcessWindow(pid, "#32768", true);
}

std::vector<HWND> FindProcessWindows(DWORD pid, const char* className, bool visibleOnly,
                                     const char* title) {
    WindowSearch search = {pid, className, visibleOnly, title, {}};
    EnumWindows(FindProcessWindowProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitProcessDialog(DWORD pid, const char* title, const char* text, DWORD timeoutMs) {
    HWND found = NULL;
    WaitUntil(
        [&] {
            for (HWND dialog : FindProcessWindows(pid, "#32770", true, title)) {
                if (StaticTexts(dialog).find(text) != std::string::npos)
                    found = dialog;
            }
            return found != NULL;
        },
        timeoutMs);
    return found;
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 2000, &length);
    text[sizeof text - 1] = '\0';
    return text;
}

std::string StaticTexts(HWND dialog) {
    std::string texts;
    EnumChildWindows(dialog, CollectStaticText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::string ReadDesktopValue(const char* name) {
    char value[MAX_PATH * 2] = "";
    DWORD size = sizeof value - 1;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_READ, &key) == 0) {
        RegQueryValueExA(key, name, NULL, NULL, (BYTE*)value, &size);
        RegCloseKey(key);
    }
    return value;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> FilesIn(const std::string& folder, const char* pattern) {
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

bool HotkeyHeldElsewhere(UINT modifiers, UINT vk) {
    if (RegisterHotKey(NULL, 0x7000, modifiers, vk)) {
        UnregisterHotKey(NULL, 0x7000);
        return false;
    }
    return GetLastError() == 1409;
}

namespace {

// In 1/65536 of the virtual screen: rounded up so that x maps back to x.
void AbsolutePointer(int x, int y, LONG* dx, LONG* dy, DWORD* flags) {
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    *dx = ((x - left) * 65536 + width - 1) / width;
    *dy = ((y - top) * 65536 + height - 1) / height;
    *flags |= MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
}

BITMAPINFO Info32(int width, int height) {  // top-down
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return info;
}

}  // namespace

void MovePointerTo(int x, int y) {
    SetCursorPos(x, y);
    POINT last = {-1, -1};
    WaitUntil(
        [&] {
            POINT now;
            GetCursorPos(&now);
            bool settled = now.x == x && now.y == y && last.x == x && last.y == y;
            last = now;
            Sleep(100);
            return settled;
        },
        3000);
    INPUT input;
    ZeroMemory(&input, sizeof input);
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    AbsolutePointer(x, y, &input.mi.dx, &input.mi.dy, &input.mi.dwFlags);
    SendInput(1, &input, sizeof input);
}

void Mouse(DWORD flags) {
    mouse_event(flags, 0, 0, 0, 0);
    WaitUntil([] { return false; }, 100);
}

void Mouse(DWORD flags, int x, int y) {
    LONG dx = 0, dy = 0;
    AbsolutePointer(x, y, &dx, &dy, &(flags |= MOUSEEVENTF_MOVE));
    mouse_event(flags, dx, dy, 0, 0);
    WaitUntil([] { return false; }, 100);
}

std::vector<DWORD> Grab(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = Info32(w, h);
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

std::string Placement(HWND window) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(window, &r);
    char text[64];
    snprintf(text, sizeof text, "%ld,%ld %ldx%ld", r.left, r.top, r.right - r.left,
             r.bottom - r.top);
    return text;
}

DWORD PatternColour(int x, int y) {
    return (DWORD)((x * 5 & 0xFF) << 16 | (y * 7 & 0xFF) << 8 | ((x * 3 + y * 11) & 0xFF));
}

HWND CreatePatternWindow(const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = Info32(w, h);
    DWORD* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    for (int i = 0; i < w * h; ++i)
        bits[i] = PatternColour(i % w, i / w);
    HWND window = CreateWindowExA(0, "STATIC", NULL, WS_POPUP | WS_VISIBLE | SS_BITMAP, r.left,
                                  r.top, w, h, NULL, NULL, NULL, NULL);
    SendMessageA(window, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)bitmap);
    UpdateWindow(window);
    return window;
}

RECT TextBox(const char* text, HFONT font) {
    RECT box = {0, 0, 0, 0};
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, font != NULL ? font : GetStockObject(SYSTEM_FONT));
    DrawTextA(dc, text, -1, &box, DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    return box;
}

std::vector<DWORD> TextPicture(const char* text, const RECT& box) {
    BITMAPINFO info = Info32(box.right, box.bottom);
    DWORD* bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old =
        SelectObject(dc, CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0));
    RECT r = box;
    FillRect(dc, &r, (HBRUSH)GetStockObject(WHITE_BRUSH));
    DrawTextA(dc, text, -1, &r, DT_CENTER | DT_VCENTER);
    GdiFlush();
    std::vector<DWORD> pixels(bits, bits + box.right * box.bottom);
    DeleteObject(SelectObject(dc, old));
    DeleteDC(dc);
    return pixels;
}

void PressKey(WORD vk) {
    INPUT inputs[2];
    ZeroMemory(inputs, sizeof inputs);
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = vk;
    inputs[0].ki.wScan = inputs[1].ki.wScan = (WORD)MapVirtualKeyA(vk, 0 /*MAPVK_VK_TO_VSC*/);
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
}

void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    Sleep(50);
    INPUT inputs[2];
    ZeroMemory(inputs, sizeof inputs);
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

}  // namespace e2e
