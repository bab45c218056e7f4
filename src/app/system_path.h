// Full paths of the system's own programs, so that nothing in the current or the
// program's folder can stand in for them.
#ifndef KELVARIN_APP_SYSTEM_PATH_H
#define KELVARIN_APP_SYSTEM_PATH_H

#include <windows.h>

// The folder queries and the existence check, a table so that tests can play Windows 95
// (programs such as rundll32 in the Windows folder) or NT (in the system folder).
struct SystemFolderApi {
    UINT(WINAPI* getSystemDirectory)(LPSTR buffer, UINT size);
    UINT(WINAPI* getWindowsDirectory)(LPSTR buffer, UINT size);
    DWORD(WINAPI* getFileAttributes)(LPCSTR path);
};

extern const SystemFolderApi kSystemFolderApi;

// The program's full path in the system folder when it is there, else in the Windows
// folder; false (and an empty out) when neither holds it.
bool FindSystemProgram(const SystemFolderApi& api, const char* name, char* out, size_t size);

#endif
