// Stands in for the browser: registered as the https handler while a test runs, it
// writes the command line it was given to url-opened.txt beside itself.
#include <windows.h>

#include <string.h>

int main() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (length == 0 || length >= sizeof path || slash == NULL)
        return 1;
    strcpy(slash + 1, "url-opened.txt");
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* command = GetCommandLineA();
    DWORD written = 0;
    WriteFile(file, command, (DWORD)strlen(command), &written, NULL);
    CloseHandle(file);
    return 0;
}
