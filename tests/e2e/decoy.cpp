// A program that must never be started: copied into Kelvarin's folder under the name of a
// system program, it leaves a marker file beside itself if anything runs it.
#include <windows.h>

#include <string.h>

int main() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return 1;
    char* slash = strrchr(path, '\\');
    if (slash == NULL)
        return 1;
    strcpy(slash + 1, "decoy-ran.txt");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return 0;
}
