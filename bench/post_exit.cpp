// Ends the running Kelvarin as its menu's Exit does (WM_COMMAND 40001 to its hidden main
// window) and waits for the process to leave; `post_exit CLASS` ends a baseline program
// instead, by WM_CLOSE to its window of that class. Exit code: the program's own exit code,
// 2 when no such window was found, 3 when it did not leave within 15 seconds.
#include <windows.h>

#include <stdio.h>

int main(int argc, char** argv) {
    const char* className = argc > 1 ? argv[1] : "ZadeduDodavizUdur";
    HWND window = FindWindowA(className, NULL);
    if (window == NULL) {
        printf("post_exit: no %s window\n", className);
        return 2;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (argc > 1)
        PostMessageA(window, WM_CLOSE, 0, 0);
    else
        PostMessageA(window, WM_COMMAND, 40001, 0);
    if (process == NULL)
        return 0;  // asked; nothing to wait on
    DWORD code = 3;
    if (WaitForSingleObject(process, 15000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        printf("post_exit: %s did not exit\n", className);
    CloseHandle(process);
    return static_cast<int>(code);
}
