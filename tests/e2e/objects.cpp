// Counting another process's objects (see objects.h) from what Wine 8 keeps of them: the
// GDI handle table that win32u publishes in the PEB, the window tree, and the USER handle
// table that object_probe.dll reads from inside the process.
#include "objects.h"

#include <tlhelp32.h>

#include <string.h>

#include <string>
#include <vector>

namespace e2e {

namespace {

const ULONG kProcessBasicInformation = 0;
const ULONG kProcessVmCounters = 3;
const ULONG kSystemHandleInformation = 16;
const LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
// PEB.GdiSharedHandleTable of a process of this harness's own width (32- or 64-bit).
const ULONG_PTR kPebGdiTableOffset = sizeof(void*) == 8 ? 0xF8 : 0x94;
// Wine's GDI table: 0x10000 entries, handed out in order from index 32.
const ULONG kGdiFirstHandle = 32;
const ULONG kGdiHandleCount = 0x10000;
const BYTE kGdiDcType = 0x01;
const DWORD kRemoteTimeoutMs = 10000;

typedef LONG(WINAPI* NtQueryInformationProcessFn)(HANDLE, ULONG, PVOID, ULONG, PULONG);
typedef LONG(WINAPI* NtQuerySystemInformationFn)(ULONG, PVOID, ULONG, PULONG);

struct BasicInformation {
    LONG exitStatus;
    PVOID pebBaseAddress;
    ULONG_PTR affinityMask;
    LONG basePriority;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR parentProcessId;
};

struct VmCountersEx {
    SIZE_T peakVirtualSize;
    SIZE_T virtualSize;
    ULONG pageFaultCount;
    SIZE_T peakWorkingSetSize;
    SIZE_T workingSetSize;
    SIZE_T quotaPeakPagedPoolUsage;
    SIZE_T quotaPagedPoolUsage;
    SIZE_T quotaPeakNonPagedPoolUsage;
    SIZE_T quotaNonPagedPoolUsage;
    SIZE_T pagefileUsage;
    SIZE_T peakPagefileUsage;
    SIZE_T privateUsage;
};

// Wine's GDI_HANDLE_ENTRY, the same 24 bytes in 32- and 64-bit processes. A free entry
// has type 0; one never handed out is all zeros.
#pragma pack(push, 1)
struct GdiHandleEntry {
    ULONGLONG object;
    ULONG owner;
    BYTE extTypeAndStock;  // bit 7: stock object
    BYTE generation;
    BYTE type;
    BYTE flags;
    ULONGLONG userPointer;
};
#pragma pack(pop)
static_assert(sizeof(GdiHandleEntry) == 24, "Wine's GDI handle entry is 24 bytes");

// Must match object_probe.cpp.
struct UserObjectCounts {
    LONG menus;
    LONG icons;
    LONG accelerators;
};

// One entry of SystemHandleInformation: a handle and the process that holds it.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

// The list's count, then its entries: at offset 4 in a 32-bit process, 8 in a 64-bit one.
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

NtQueryInformationProcessFn QueryProcess() {
    static NtQueryInformationProcessFn query =
        reinterpret_cast<NtQueryInformationProcessFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    return query;
}

// Wine's ProcessHandleCount answers 0; the system-wide handle list names each owner.
bool CountHandles(DWORD pid, long* handles) {
    static NtQuerySystemInformationFn query =
        reinterpret_cast<NtQuerySystemInformationFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == NULL)
        return false;
    std::vector<ULONG> buffer(64 * 1024);
    LONG status;
    while ((status = query(kSystemHandleInformation, &buffer[0],
                           static_cast<ULONG>(buffer.size() * sizeof(ULONG)), NULL)) ==
           kStatusInfoLengthMismatch) {
        buffer.resize(buffer.size() * 2);
    }
    if (status != 0)
        return false;
    const SystemHandleList* list = reinterpret_cast<const SystemHandleList*>(&buffer[0]);
    ULONG total = list->count;
    if (offsetof(SystemHandleList, entries) + total * sizeof(SystemHandleEntry) >
        buffer.size() * sizeof(ULONG))
        return false;
    const SystemHandleEntry* entries = list->entries;
    long count = 0;
    for (ULONG i = 0; i < total; ++i) {
        if (entries[i].ownerPid == pid)
            ++count;
    }
    *handles = count;
    return true;
}

bool CountGdi(HANDLE process, long* gdi, long* dcs) {
    BasicInformation basic;
    if (QueryProcess()(process, kProcessBasicInformation, &basic, sizeof basic, NULL) != 0)
        return false;
    ULONG_PTR table = 0;
    SIZE_T read = 0;
    const char* peb = static_cast<const char*>(basic.pebBaseAddress);
    if (!ReadProcessMemory(process, peb + kPebGdiTableOffset, &table, sizeof table, &read) ||
        table == 0) {
        return false;
    }
    // Read in blocks up to the first entry never handed out.
    const ULONG kBlock = 4096;
    std::vector<GdiHandleEntry> entries(kBlock);
    long count = 0;
    *dcs = 0;
    for (ULONG first = 0; first < kGdiHandleCount; first += kBlock) {
        ULONG_PTR address = table + first * sizeof(GdiHandleEntry);
        if (!ReadProcessMemory(process, reinterpret_cast<LPCVOID>(address), &entries[0],
                               kBlock * sizeof(GdiHandleEntry), &read)) {
            return false;
        }
        for (ULONG i = 0; i < kBlock; ++i) {
            const GdiHandleEntry& entry = entries[i];
            if (first + i < kGdiFirstHandle)
                continue;
            if (entry.object == 0 && entry.type == 0 && entry.generation == 0) {
                *gdi = count;
                return true;
            }
            if (entry.type != 0 && !(entry.extTypeAndStock & 0x80)) {
                ++count;
                *dcs += entry.type == kGdiDcType;
            }
        }
    }
    *gdi = count;
    return true;
}

struct WindowCount {
    DWORD pid;
    long count;
};

BOOL CALLBACK CountChild(HWND window, LPARAM lParam) {
    WindowCount* windows = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == windows->pid)
        ++windows->count;
    return TRUE;
}

// A window of the process with every descendant (EnumChildWindows walks the whole tree).
BOOL CALLBACK CountTree(HWND window, LPARAM lParam) {
    WindowCount* windows = reinterpret_cast<WindowCount*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == windows->pid) {
        ++windows->count;
        EnumChildWindows(window, CountChild, lParam);
    }
    return TRUE;
}

long CountWindows(DWORD pid) {
    WindowCount windows = {pid, 0};
    EnumWindows(CountTree, reinterpret_cast<LPARAM>(&windows));
    // Message-only windows are not top-level: list them under HWND_MESSAGE.
    HWND window = NULL;
    while ((window = FindWindowExA(HWND_MESSAGE, window, NULL, NULL)) != NULL)
        CountTree(window, reinterpret_cast<LPARAM>(&windows));
    return windows.count;
}

std::string HarnessFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\'));
}

// Where a module sits in process pid (toolhelp reads the process's module list). A
// remote LoadLibraryA's thread exit code cannot tell: it is 32 bits wide.
ULONG_PTR RemoteModule(DWORD pid, const char* name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    ULONG_PTR base = 0;
    MODULEENTRY32 module;
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot, &module); more && base == 0;
         more = Module32Next(snapshot, &module)) {
        if (lstrcmpiA(module.szModule, name) == 0)
            base = reinterpret_cast<ULONG_PTR>(module.modBaseAddr);
    }
    CloseHandle(snapshot);
    return base;
}

// Runs start(parameter) on a new thread of the process; its exit code, or false.
bool RunRemote(HANDLE process, ULONG_PTR start, LPVOID parameter, DWORD* exitCode) {
    HANDLE thread = CreateRemoteThread(
        process, NULL, 0, reinterpret_cast<LPTHREAD_START_ROUTINE>(start), parameter, 0, NULL);
    if (thread == NULL)
        return false;
    bool ended = WaitForSingleObject(thread, kRemoteTimeoutMs) == WAIT_OBJECT_0;
    bool ok = ended && GetExitCodeThread(thread, exitCode);
    CloseHandle(thread);
    return ok;
}

bool CountUserHandles(HANDLE process, DWORD pid, UserObjectCounts* counts) {
    std::string dll = HarnessFolder() + "\\object_probe.dll";
    // Loaded here too, only to learn where the probe lies within the module.
    static HMODULE local = LoadLibraryA(dll.c_str());
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    FARPROC probe = local != NULL ? GetProcAddress(local, "ProbeUserObjects") : NULL;
    FARPROC loadLibrary = GetProcAddress(kernel32, "LoadLibraryA");
    ULONG_PTR remoteKernel32 = RemoteModule(pid, "kernel32.dll");
    if (probe == NULL || loadLibrary == NULL || remoteKernel32 == 0)
        return false;
    ULONG_PTR remoteLoadLibrary = remoteKernel32 + (reinterpret_cast<ULONG_PTR>(loadLibrary) -
                                                    reinterpret_cast<ULONG_PTR>(kernel32));

    SIZE_T size = sizeof(UserObjectCounts) + dll.size() + 1;
    char* block = static_cast<char*>(
        VirtualAllocEx(process, NULL, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (block == NULL)
        return false;
    char* remotePath = block + sizeof(UserObjectCounts);
    SIZE_T done = 0;
    DWORD loaded = 0, probeResult = 1;
    ULONG_PTR remoteModule = 0;
    // The probe stays loaded: a second LoadLibraryA only counts a reference.
    bool ok = WriteProcessMemory(process, remotePath, dll.c_str(), dll.size() + 1, &done) &&
              RunRemote(process, remoteLoadLibrary, remotePath, &loaded) && loaded != 0 &&
              (remoteModule = RemoteModule(pid, "object_probe.dll")) != 0 &&
              RunRemote(process,
                        remoteModule + (reinterpret_cast<ULONG_PTR>(probe) -
                                        reinterpret_cast<ULONG_PTR>(local)),
                        block, &probeResult) &&
              probeResult == 0 && ReadProcessMemory(process, block, counts, sizeof *counts, &done);
    VirtualFreeEx(process, block, 0, MEM_RELEASE);
    return ok;
}

}  // namespace

bool CountProcessObjects(DWORD pid, ObjectCounts* counts) {
    ZeroMemory(counts, sizeof *counts);
    if (QueryProcess() == NULL)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                     PROCESS_VM_OPERATION | PROCESS_CREATE_THREAD,
                                 FALSE, pid);
    if (process == NULL)
        return false;
    // The probe first: its own traces (a thread, a loaded module) are then in every figure
    // read after it, the first call's included.
    UserObjectCounts user;
    bool ok = CountUserHandles(process, pid, &user);
    if (ok) {
        counts->menus = user.menus;
        counts->icons = user.icons;
        counts->accelerators = user.accelerators;
        counts->windows = CountWindows(pid);
        counts->user = counts->windows + counts->menus + counts->icons + counts->accelerators;
    }
    VmCountersEx vm;
    ZeroMemory(&vm, sizeof vm);
    ok = ok && CountGdi(process, &counts->gdi, &counts->dcs) &&
         CountHandles(pid, &counts->handles) &&
         QueryProcess()(process, kProcessVmCounters, &vm, sizeof vm, NULL) == 0;
    counts->privateBytes = vm.privateUsage;
    CloseHandle(process);
    return ok;
}

}  // namespace e2e
