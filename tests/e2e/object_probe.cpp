// Loaded into a process under test by CountProcessObjects: counts the menus, icons/cursors
// and accelerator tables that process owns, which only the owning process can see in Wine.
#include <windows.h>

namespace {

// Wine numbers USER handles 0x20, 0x22 ... 0xffee in the low word; a zero high word
// matches any generation, and a handle of another process is refused without a server trip.
const UINT kFirstUserHandle = 0x0020;
const UINT kUserHandleCount = (0xffef - kFirstUserHandle + 1) >> 1;

typedef HCURSOR(WINAPI* GetCursorFrameInfoFn)(HCURSOR, DWORD, DWORD, DWORD*, DWORD*);

}  // namespace

struct UserObjectCounts {
    LONG menus;
    LONG icons;
    LONG accelerators;
};

// A thread start routine, run by CreateRemoteThread; writes the counts to counts.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeUserObjects(LPVOID counts) {
    UserObjectCounts* out = static_cast<UserObjectCounts*>(counts);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    GetCursorFrameInfoFn frameInfo = reinterpret_cast<GetCursorFrameInfoFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "GetCursorFrameInfo")));
    if (frameInfo == NULL)
        return 1;
    LONG menus = 0, icons = 0, accelerators = 0;
    for (UINT index = 0; index < kUserHandleCount; ++index) {
        HANDLE handle =
            reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(kFirstUserHandle + index * 2));
        DWORD rate = 0, steps = 0;
        if (IsMenu(static_cast<HMENU>(handle)))
            ++menus;
        else if (frameInfo(static_cast<HCURSOR>(handle), 0, 0, &rate, &steps) != NULL)
            ++icons;
        else if (CopyAcceleratorTableA(static_cast<HACCEL>(handle), NULL, 0) > 0)
            ++accelerators;
    }
    out->menus = menus;
    out->icons = icons;
    out->accelerators = accelerators;
    return 0;
}
