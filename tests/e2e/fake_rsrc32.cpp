// A resource-meter library of our own: it reports 85 % free and, once loaded, leaves
// "<its own path>.loaded" so that a test can tell which copy a program took.
#include <windows.h>

#include <string.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        char path[MAX_PATH + 8];
        DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            strcpy(path + length, ".loaded");
            HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
            if (file != INVALID_HANDLE_VALUE)
                CloseHandle(file);
        }
    }
    return TRUE;
}

extern "C" DWORD WINAPI MyGetFreeSystemResources32(DWORD) {
    return 85;
}
