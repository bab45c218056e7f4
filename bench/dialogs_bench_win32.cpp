// The settings dialog and the About box: the time from the menu command to the dialog on
// the screen, and the GDI and USER objects, handles and private memory of the program
// after the first two openings and after 1,000 more (a leak shows as growth). The same
// for dialog_baseline.exe, which runs the same templates with a procedure that does
// nothing, so that what Wine itself costs per dialog can be told apart. The About box's
// title is read at each opening, so the tagline's share shows too.
// Run under Wine in the bench session: dialogs_bench_win32 [openings]
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../tests/e2e/harness.h"
#include "../tests/e2e/objects.h"

namespace {

struct Subject {
    const char* name;
    WPARAM command;
};

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// The program's visible dialog, or null.
HWND VisibleDialog(DWORD pid) {
    HWND dialog = NULL;
    while ((dialog = FindWindowExA(NULL, dialog, "#32770", NULL)) != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(dialog, &owner);
        if (owner == pid && IsWindowVisible(dialog))
            return dialog;
    }
    return NULL;
}

// One opening, timed to the dialog's showing, then Esc's command. Negative on a timeout.
double OpenAndClose(const e2e::Program& program, HWND window, WPARAM command, std::string* title) {
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    PostMessageA(window, WM_COMMAND, command, 0);
    HWND dialog = NULL;
    do {
        dialog = VisibleDialog(program.Pid());
        QueryPerformanceCounter(&now);
        if (Milliseconds(now.QuadPart - start.QuadPart) > 10000)
            return -1;
    } while (dialog == NULL);
    double elapsed = Milliseconds(now.QuadPart - start.QuadPart);
    *title = e2e::WindowText(dialog);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (!e2e::WaitUntil([&] { return !IsWindow(dialog); }))
        return -1;
    return elapsed;
}

void PrintCounts(const char* when, const e2e::ObjectCounts& c) {
    printf(
        "  %-16s gdi %4ld (DCs %3ld)  user %3ld (windows %2ld icons %3ld menus %2ld)  "
        "handles %3ld  private %6lu KB\n",
        when, c.gdi, c.dcs, c.user, c.windows, c.icons, c.menus, c.handles,
        static_cast<unsigned long>(c.privateBytes / 1024));
}

// GDI objects other than Wine's cached window DCs, each of which holds a DC, a region
// and a bitmap.
long OtherGdi(const e2e::ObjectCounts& c) {
    return c.gdi - 3 * c.dcs;
}

std::string BaselineExe() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\')) + "\\dialog_baseline.exe";
}

// The median time to shown, or a negative value after saying what failed.
double Measure(const Subject& subject, const std::string& exe, const char* who, int openings) {
    e2e::Program program;
    if (!program.Start(exe)) {
        printf("FAILED: cannot start %s\n", exe.c_str());
        return -1;
    }
    HWND window = program.WaitMainWindow();
    std::string title;
    std::vector<double> times;
    e2e::ObjectCounts first, last;
    // The first openings load what Wine sets up once per process (classes, fonts).
    if (window == NULL || OpenAndClose(program, window, subject.command, &title) < 0 ||
        OpenAndClose(program, window, subject.command, &title) < 0 ||
        !e2e::CountProcessObjects(program.Pid(), &first)) {
        printf("FAILED: %s did not open and close\n", subject.name);
        return -1;
    }
    const std::string usual = title;
    int unusual = 0;
    for (int i = 0; i < openings; ++i) {
        double ms = OpenAndClose(program, window, subject.command, &title);
        if (ms < 0) {
            printf("FAILED: %s opening %d timed out\n", subject.name, i + 2);
            return -1;
        }
        times.push_back(ms);
        unusual += title != usual;
    }
    Sleep(200);
    if (!e2e::CountProcessObjects(program.Pid(), &last)) {
        printf("FAILED: cannot count the objects of %s\n", subject.name);
        return -1;
    }
    std::sort(times.begin(), times.end());
    printf("%s in %s, %d openings after the first two:\n", subject.name, who, openings);
    printf("  command to shown: median %.1f ms, min %.1f ms, 95th %.1f ms, max %.1f ms\n",
           times[times.size() / 2], times.front(), times[times.size() * 95 / 100], times.back());
    if (unusual > 0)
        printf("  another title (the tagline) at %d of %d openings\n", unusual, openings);
    PrintCounts("after 2:", first);
    PrintCounts("after all:", last);
    // A few objects created once somewhere in the run are not a leak; one per opening
    // would show as hundreds.
    bool flat = OtherGdi(last) < OtherGdi(first) + 10 && last.user <= first.user &&
                last.handles <= first.handles;
    printf(
        "  growth: gdi %+ld (Wine's window-DC cache %+ld DCs, other gdi %+ld)  user %+ld  "
        "handles %+ld  private %+ld KB  (%s)\n",
        last.gdi - first.gdi, last.dcs - first.dcs, OtherGdi(last) - OtherGdi(first),
        last.user - first.user, last.handles - first.handles,
        (long)(last.privateBytes / 1024) - (long)(first.privateBytes / 1024),
        flat ? "no growth with the openings" : "GROWS WITH THE OPENINGS");
    program.Exit();
    program.WaitExit();
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int openings = argc > 1 ? atoi(argv[1]) : 1000;
    if (openings <= 0) {
        fprintf(stderr, "usage: dialogs_bench_win32 [openings]\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    if (FindWindowA(e2e::kMainWindowClass, NULL) != NULL) {
        printf("FAILED: a Kelvarin is already running in this session\n");
        return 1;
    }
    const Subject subjects[] = {{"settings dialog (40048)", 40048}, {"About box (40002)", 40002}};
    e2e::ScratchInstall install("kelvarin_bench_dialogs");
    for (const Subject& subject : subjects) {
        double kelvarin = Measure(subject, install.Exe(), "Kelvarin.exe", openings);
        double baseline = Measure(subject, BaselineExe(), "dialog_baseline.exe", openings);
        if (kelvarin < 0 || baseline < 0)
            return 1;
        printf("  ratio of medians, command to shown (Kelvarin / baseline): %.2f\n\n",
               kelvarin / baseline);
    }
    return 0;
}
