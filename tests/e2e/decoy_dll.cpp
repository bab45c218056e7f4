// A library that must never be loaded: planted beside Kelvarin under the name of a
// system library, it leaves a marker file in its own folder if anything loads it.
#include <windows.h>

#include <string.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    char* slash = length > 0 && length < sizeof path ? strrchr(path, '\\') : NULL;
    if (slash != NULL && (size_t)(slash - path) + 24 < sizeof path) {
        strcpy(slash + 1, "decoy-dll-loaded.txt");
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
    return TRUE;
}
