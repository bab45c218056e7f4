// Start-up to tray icon: the time from CreateProcess to the shell's NIM_ADD request, for
// Kelvarin.exe and for a minimal program that adds one icon (minimal_tray.exe), measured
// alternately in the same session. The recording stand-in for the taskbar stamps each
// request as it arrives, so the polling interval below does not enter the figures.
// Run under Wine in the bench session: tray_startup_bench_win32 [rounds]
#include <windows.h>
#include <shellapi.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "../tests/e2e/harness.h"

namespace {

const double kTargetRatio = 1.2;
const DWORD kStartTimeoutMs = 15000;

std::string BaselineExe() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\')) + "\\minimal_tray.exe";
}

double Milliseconds(LONGLONG ticks) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
}

// The first NIM_ADD whose icon belongs to a window of process pid.
bool FindAdd(e2e::FakeTaskbar& taskbar, DWORD pid, e2e::TrayRecord* found) {
    for (const e2e::TrayRecord& record : taskbar.Records()) {
        DWORD owner = 0;
        if (record.message == NIM_ADD && GetWindowThreadProcessId(record.owner, &owner) &&
            owner == pid) {
            *found = record;
            return true;
        }
    }
    return false;
}

enum Subject { kKelvarin, kBaseline };

// Resident and private memory of a process once it idles with its icon up, from the
// process's VM counters (under Wine: the Linux process's resident set and its anonymous
// part).
struct Memory {
    double residentMb = 0;
    double privateMb = 0;
};

struct VmCounters {
    SIZE_T PeakVirtualSize, VirtualSize;
    ULONG PageFaultCount;
    SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
        QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage,
        PrivateUsage;
};

bool ReadMemory(DWORD pid, Memory* memory) {
    typedef LONG(WINAPI * QueryFn)(HANDLE, int, PVOID, ULONG, PULONG);
    QueryFn query =
        (QueryFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess");
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (query == NULL || process == NULL)
        return false;
    VmCounters counters;
    ZeroMemory(&counters, sizeof counters);
    bool ok = query(process, 3 /* ProcessVmCounters */, &counters, sizeof counters, NULL) == 0;
    CloseHandle(process);
    memory->residentMb = counters.WorkingSetSize / 1048576.0;
    memory->privateMb = counters.PrivateUsage / 1048576.0;
    return ok;
}

std::vector<double> kelvarinResident, kelvarinPrivate, minimalResident, minimalPrivate;

// One start, timed to the icon, then a clean exit. Returns the time in ms, or a negative
// value (after saying why) when the program did not get there or did not leave.
double TimeOneStart(e2e::FakeTaskbar& taskbar, Subject subject, const std::string& exe) {
    taskbar.Clear();
    e2e::Program program;
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!program.Start(exe)) {
        printf("FAILED: CreateProcess %s (error %lu)\n", exe.c_str(), GetLastError());
        return -1;
    }
    e2e::TrayRecord added;
    bool ok = e2e::WaitUntil(
        [&] { return FindAdd(taskbar, program.Pid(), &added) || !program.Running(); },
        kStartTimeoutMs);
    if (!ok || !FindAdd(taskbar, program.Pid(), &added)) {
        printf("FAILED: no NIM_ADD from %s (%s)\n", exe.c_str(),
               program.Running() ? "timed out" : "the process ended first");
        return -1;
    }
    double elapsed = Milliseconds(added.qpc - start.QuadPart);
    Sleep(500);  // settled, idle in its loop
    Memory memory;
    if (ReadMemory(program.Pid(), &memory)) {
        (subject == kKelvarin ? kelvarinResident : minimalResident).push_back(memory.residentMb);
        (subject == kKelvarin ? kelvarinPrivate : minimalPrivate).push_back(memory.privateMb);
    }

    if (subject == kKelvarin) {
        program.Exit();
    } else {
        PostMessageA(added.owner, WM_CLOSE, 0, 0);
    }
    // The next start of the single-instance program must not meet this one.
    int code = program.WaitExit();
    if (code != 0) {
        printf("FAILED: %s did not exit cleanly (%d)\n", exe.c_str(), code);
        return -1;
    }
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintLine(const char* name, const std::vector<double>& values) {
    printf("  %-16s median %7.1f ms   min %7.1f ms   max %7.1f ms\n", name, Median(values),
           *std::min_element(values.begin(), values.end()),
           *std::max_element(values.begin(), values.end()));
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? atoi(argv[1]) : 15;
    if (rounds <= 0) {
        fprintf(stderr, "usage: tray_startup_bench_win32 [rounds]\n");
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    if (FindWindowA(e2e::kMainWindowClass, NULL) != NULL) {
        printf("FAILED: a Kelvarin is already running in this session\n");
        return 1;
    }
    e2e::FakeTaskbar taskbar;
    if (!taskbar.Ok()) {
        printf("FAILED: could not create the recording taskbar\n");
        return 1;
    }
    e2e::ScratchInstall install("kelvarin_bench_startup");
    const std::string baseline = BaselineExe();
    if (!e2e::FileExists(install.Exe()) || !e2e::FileExists(baseline)) {
        printf("FAILED: missing %s or %s\n", install.Exe().c_str(), baseline.c_str());
        return 1;
    }

    // One unmeasured start of each first: loading the DLLs, and Kelvarin's first run
    // writing its settings file, are not what is compared.
    if (TimeOneStart(taskbar, kKelvarin, install.Exe()) < 0 ||
        TimeOneStart(taskbar, kBaseline, baseline) < 0) {
        return 1;
    }
    std::vector<double> kelvarin, minimal;
    for (int round = 0; round < rounds; ++round) {
        // Alternate which goes first, so neither always follows the other's exit.
        for (int turn = 0; turn < 2; ++turn) {
            bool kelvarinTurn = (turn == 0) == (round % 2 == 0);
            double ms = kelvarinTurn ? TimeOneStart(taskbar, kKelvarin, install.Exe())
                                     : TimeOneStart(taskbar, kBaseline, baseline);
            if (ms < 0)
                return 1;
            (kelvarinTurn ? kelvarin : minimal).push_back(ms);
        }
    }

    printf("start-up to tray icon (CreateProcess to NIM_ADD), %d rounds each:\n", rounds);
    PrintLine("Kelvarin.exe", kelvarin);
    PrintLine("minimal_tray.exe", minimal);
    double ratio = Median(kelvarin) / Median(minimal);
    printf("  ratio of medians (Kelvarin / minimal): %.2f  (target: within %.1fx: %s)\n", ratio,
           kTargetRatio, ratio <= kTargetRatio ? "met" : "NOT met");
    if (!kelvarinResident.empty() && !minimalResident.empty()) {
        double resident = Median(kelvarinResident) / Median(minimalResident);
        printf("memory half a second after the icon (medians):\n");
        printf(
            "  resident  Kelvarin %6.1f MB   minimal %6.1f MB   ratio %.2f  (target: within "
            "%.1fx: %s)\n",
            Median(kelvarinResident), Median(minimalResident), resident, kTargetRatio,
            resident <= kTargetRatio ? "met" : "NOT met");
        printf("  private   Kelvarin %6.1f MB   minimal %6.1f MB   ratio %.2f\n",
               Median(kelvarinPrivate), Median(minimalPrivate),
               Median(kelvarinPrivate) / Median(minimalPrivate));
    }
    return 0;
}
