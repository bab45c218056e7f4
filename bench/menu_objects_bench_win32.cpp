// Objects and memory after many openings of the two tray menus: the running Kelvarin.exe
// opens the resolution menu (left-button release on the icon) and the main menu (right)
// 1,000 times each, dismissed with Escape, and its GDI and USER objects, kernel handles
// and private bytes (CountProcessObjects) after the last opening are compared with those
// after the first. Run under Wine in the bench session: menu_objects_bench_win32 [openings]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "../tests/e2e/harness.h"
#include "../tests/e2e/objects.h"

namespace {

const UINT kTrayNotify = 0x8001;
// Heap pages the allocator keeps for reuse may shift a little; a leak of one menu per
// opening would show as megabytes.
const SIZE_T kPrivateSlack = 64 * 1024;

bool Poll(const e2e::Program& program, bool wantOpen) {
    for (int i = 0; i < 5000; ++i) {
        if ((e2e::FindPopupMenuWindow(program.Pid()) != NULL) == wantOpen)
            return true;
        Sleep(1);
    }
    return false;
}

bool OpenAndDismiss(e2e::Program& program, HWND window, LPARAM click) {
    SendNotifyMessageA(window, kTrayNotify, 1, click);
    if (!Poll(program, true))
        return false;
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    return Poll(program, false);
}

// Counted once the program is back in its message loop, the menu destroyed.
bool Count(DWORD pid, e2e::ObjectCounts* counts) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (process != NULL) {
        WaitForInputIdle(process, 5000);
        CloseHandle(process);
    }
    Sleep(100);
    return e2e::CountProcessObjects(pid, counts);
}

void Print(const char* when, const e2e::ObjectCounts& c) {
    printf(
        "    %-16s gdi %4ld  user %4ld (windows %ld, menus %ld, icons %ld)  handles %4ld  "
        "private %7lu KB\n",
        when, c.gdi, c.user, c.windows, c.menus, c.icons, c.handles,
        static_cast<unsigned long>(c.privateBytes / 1024));
}

// Returns false when a menu failed to open or close, or something grew.
bool Measure(e2e::Program& program, HWND window, const char* name, LPARAM click, int openings) {
    e2e::ObjectCounts first, last;
    if (!OpenAndDismiss(program, window, click) || !Count(program.Pid(), &first)) {
        printf("FAILED: %s did not open, close or count\n", name);
        return false;
    }
    for (int i = 1; i < openings; ++i) {
        if (!OpenAndDismiss(program, window, click)) {
            printf("FAILED: %s opening %d did not open or close\n", name, i + 1);
            return false;
        }
    }
    if (!Count(program.Pid(), &last)) {
        printf("FAILED: %s: no count after the last opening\n", name);
        return false;
    }
    const bool same = last.gdi == first.gdi && last.user == first.user &&
                      last.handles == first.handles &&
                      last.privateBytes <= first.privateBytes + kPrivateSlack;
    printf("  %s, %d openings:\n", name, openings);
    Print("after the first", first);
    Print("after the last", last);
    printf("    growth: gdi %+ld  user %+ld  handles %+ld  private %+ld bytes  -> %s\n",
           last.gdi - first.gdi, last.user - first.user, last.handles - first.handles,
           static_cast<long>(last.privateBytes) - static_cast<long>(first.privateBytes),
           same ? "no growth" : "GROWTH");
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    const int openings = argc > 1 ? atoi(argv[1]) : 1000;
    if (openings <= 0) {
        fprintf(stderr, "usage: menu_objects_bench_win32 [openings]\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    e2e::ScratchInstall install("kelvarin_bench_menus");
    e2e::Program program;
    if (!program.Start(install.Exe())) {
        printf("FAILED: could not start %s\n", install.Exe().c_str());
        return 1;
    }
    HWND window = program.WaitMainWindow();
    if (window == NULL) {
        printf("FAILED: no main window\n");
        return 1;
    }
    SetCursorPos(600, 500);
    printf("menu openings and dismissals, objects of Kelvarin.exe (CountProcessObjects):\n");
    bool ok = Measure(program, window, "resolution menu", WM_LBUTTONUP, openings);
    ok = Measure(program, window, "main menu", WM_RBUTTONUP, openings) && ok;
    program.Exit();
    program.WaitExit();
    return ok ? 0 : 1;
}
