// Full paths of the system's own programs, so that nothing in the current or the
// program's folder can stand in for them.
#ifndef KELVARIN_BASE_SYSTEM_PATH_H
#define KELVARIN_BASE_SYSTEM_PATH_H

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

// A library of the system folder, by full path: a copy of the same name beside the
// program or in the current folder is never taken instead.
HMODULE LoadSystemLibrary(const char* name);

// Loads the common controls (once) and registers their window classes; the dialogs call
// it before they open. Not imported: the library is needed only by the dialogs, and
// loading it at start would delay the tray icon.
bool LoadCommonControls();

#endif
