// Driving the real Kelvarin.exe from another process in the same Wine desktop: scratch
// folders holding a copy of the program, process start and exit, its hidden main window,
// its INI file, and a recording stand-in for the taskbar.
#ifndef KELVARIN_TESTS_E2E_HARNESS_H
#define KELVARIN_TESTS_E2E_HARNESS_H

#include <windows.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace e2e {

extern const char kMainWindowClass[];

// The product, ..\Kelvarin.exe from the harness's folder.
std::string ProductExe();
std::string TempFolder();
// Polls until done() or the timeout; true when done() became true.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A fresh folder under %TEMP% holding a copy of Kelvarin.exe under the given name;
// removed with everything in it at the end.
class ScratchInstall {
  public:
    explicit ScratchInstall(const std::string& folderName,
                            const std::string& exeName = "Kelvarin.exe");
    ~ScratchInstall();
    const std::string& Folder() const { return folder_; }
    const std::string& Exe() const { return exe_; }
    // The INI path the program uses: its own path, extension .ini, ASCII lowercased.
    std::string IniPath() const;

  private:
    std::string folder_;
    std::string exe_;
};

// A running Kelvarin.
class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const std::string& exe);
    // Waits for the process to end; returns its exit code, or -1 on timeout.
    int WaitExit(DWORD timeoutMs = 15000);
    bool Running() const;
    DWORD Pid() const { return pid_; }
    // The program's hidden main window, once it exists (null on timeout).
    HWND WaitMainWindow(DWORD timeoutMs = 15000);
    // Exit as the menu's Exit does: command 40001.
    void Exit();

  private:
    HANDLE process_ = NULL;
    DWORD pid_ = 0;
    HWND mainWindow_ = NULL;
};

// The first top-level window of the class that process pid owns, or null.
HWND FindProcessWindow(DWORD pid, const char* className, bool visibleOnly = true);
// The main window of class "ZadeduDodavizUdur" owned by process pid, or null.
HWND FindMainWindow(DWORD pid);

std::string ReadIniValue(const std::string& ini, const char* key, const char* section = "Kelvarin");
bool FileExists(const std::string& path);
// A string value under HKEY_CURRENT_USER "Control Panel\Desktop" (empty if unreadable).
std::string ReadDesktopValue(const char* name);
// The whole file's bytes (empty if it cannot be read).
std::string ReadWholeFile(const std::string& path);
// The names of the files (not folders) in folder matching pattern, sorted.
std::vector<std::string> FilesIn(const std::string& folder, const char* pattern = "*");

// One Shell_NotifyIcon request as the shell receives it.
struct TrayRecord {
    DWORD message;  // NIM_ADD 0, NIM_MODIFY 1, NIM_DELETE 2
    HWND owner;
    UINT id;
    UINT flags;
    UINT callback;
    std::string tip;  // in code page 932
    UINT iconWidth;   // of the icon's bitmap; 0 when none came
    LONGLONG qpc;     // QueryPerformanceCounter when the request arrived
};

// A hidden top-most window of class "Shell_TrayWnd" that sees every tray request before
// Wine's own taskbar, records it and passes it on. It can also grow and lose a
// "TrayNotifyWnd" child, as a restarted taskbar does.
class FakeTaskbar {
  public:
    FakeTaskbar();
    ~FakeTaskbar();
    bool Ok() const { return window_ != NULL; }
    std::vector<TrayRecord> Records();
    void Clear();
    // Requests for owner since the last Clear, optionally only those of one kind.
    std::vector<TrayRecord> RecordsFor(HWND owner, int message = -1);
    bool WaitForRecord(HWND owner, DWORD message, DWORD timeoutMs = 5000);
    void CreateNotifyArea();
    void DestroyNotifyArea();
    // The next count NIM_ADD requests are recorded and answered FALSE, as a busy shell does;
    // with reachShell they still add the icon, as an add that timed out can.
    void RefuseAdds(int count, bool reachShell = false);

  private:
    static DWORD WINAPI Thread(LPVOID self);
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnCopyData(HWND window, WPARAM wParam, LPARAM lParam);

    HANDLE thread_ = NULL;
    DWORD threadId_ = 0;
    HANDLE ready_ = NULL;
    HWND window_ = NULL;
    HWND realTaskbar_ = NULL;
    HWND notifyArea_ = NULL;
    std::mutex lock_;
    std::vector<TrayRecord> records_;
    int addsToRefuse_ = 0;
    bool refusedAddsReachShell_ = false;
};

// menu_spy.dll hooked into the program's thread: the items of every popup menu it opens
// and the private messages it posts itself, read back from the spy's log.
class MenuSpy {
  public:
    struct Item {
        int id;
        UINT state;
        std::string text;
    };

    explicit MenuSpy(HWND target);
    ~MenuSpy();
    bool Ok() const { return callHook_ != NULL && messageHook_ != NULL; }
    void Clear();
    std::vector<std::string> Lines();
    // How many times the program took message off its queue since the last Clear.
    int CountPosts(UINT message);
    // The items of the last popup menu opened since the last Clear (empty if none).
    std::vector<Item> LastPopup();
    bool WaitForPopup(DWORD timeoutMs = 5000);

  private:
    std::string log_;
    HMODULE dll_ = NULL;
    HHOOK callHook_ = NULL;
    HHOOK messageHook_ = NULL;
};

// A window of this process that its own thread pumps, so that it repaints what other
// windows uncover as a real program does; made by create on that thread, gone at the end.
class PumpedWindow {
  public:
    explicit PumpedWindow(const std::function<HWND()>& create);
    ~PumpedWindow();
    HWND Handle() const { return window_; }

  private:
    static DWORD WINAPI Thread(LPVOID self);
    std::function<HWND()> create_;
    HWND volatile window_ = NULL;
    HANDLE thread_ = NULL;
    DWORD threadId_ = 0;
};

// The visible popup menu window ("#32768") of process pid, or null.
HWND FindPopupMenuWindow(DWORD pid);
// A left click at a screen point, as the user makes it.
void ClickAt(int x, int y);
// Puts the pointer at a point of the virtual screen (any monitor) and waits until every
// process sees it there.
void MovePointerTo(int x, int y);
// A press or release as one input, seen on its own; with a point, a move there with it.
void Mouse(DWORD flags);
void Mouse(DWORD flags, int x, int y);
// The screen's pixels 0xRRGGBB in r, row by row.
std::vector<DWORD> Grab(const RECT& r);
// "x,y wxh" of the window's rectangle.
std::string Placement(HWND window);
// A window whose every pixel has another colour: PatternColour(x, y).
DWORD PatternColour(int x, int y);
HWND CreatePatternWindow(const RECT& r);
// The size DrawText gives text in a DC's default font (or font), and text centred on
// white in a box of that size as the coordinate window draws it.
RECT TextBox(const char* text, HFONT font = NULL);
std::vector<DWORD> TextPicture(const char* text, const RECT& box);
// One press and release of a key, to whatever window has the focus.
void PressKey(WORD vk);

// The top-level windows of a class that process pid owns, with this title (any when
// null); dialogs and message boxes are of class "#32770".
std::vector<HWND> FindProcessWindows(DWORD pid, const char* className, bool visibleOnly,
                                     const char* title = NULL);
// The first visible dialog with this title whose static texts contain text; null on timeout.
HWND WaitProcessDialog(DWORD pid, const char* title, const char* text = "", DWORD timeoutMs = 5000);
// A window's text through WM_GETTEXT, so also what a control of another process shows.
std::string WindowText(HWND window);
// The texts of a dialog's static controls, joined: a message box's message.
std::string StaticTexts(HWND dialog);
// True when another process holds the combination: registering it here fails with
// ERROR_HOTKEY_ALREADY_REGISTERED. A registration that succeeds is undone at once.
bool HotkeyHeldElsewhere(UINT modifiers, UINT vk);

}  // namespace e2e

#endif
