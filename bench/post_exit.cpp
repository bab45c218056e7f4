// Ends the running Kelvarin as its menu's Exit does (WM_COMMAND 40001 to its hidden main
// window) and waits for the process to leave. Exit code: the program's own exit code, 2
// when no Kelvarin window was found, 3 when it did not leave within 15 seconds.
#include <windows.h>

#include <stdio.h>

int main() {
    HWND window = FindWindowA("ZadeduDodavizUdur", NULL);
    if (window == NULL) {
        printf("post_exit: no Kelvarin window\n");
        return 2;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    PostMessageA(window, WM_COMMAND, 40001, 0);
    if (process == NULL)
        return 0;  // asked; nothing to wait on
    DWORD code = 3;
    if (WaitForSingleObject(process, 15000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    else
        printf("post_exit: Kelvarin did not exit\n");
    CloseHandle(process);
    return static_cast<int>(code);
}
