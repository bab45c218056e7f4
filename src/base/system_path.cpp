// Full paths of system programs (see system_path.h).
#include "base/system_path.h"

#include "base/sjis.h"

const SystemFolderApi kSystemFolderApi = {GetSystemDirectoryA, GetWindowsDirectoryA,
                                          GetFileAttributesA};

namespace {

typedef UINT(WINAPI* FolderQuery)(LPSTR buffer, UINT size);

bool ProgramIn(const SystemFolderApi& api, FolderQuery query, const char* name, char* out,
               size_t size) {
    char folder[MAX_PATH + 1];
    UINT length = query(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return false;
    if (!JoinPath(out, size, folder, name))
        return false;
    DWORD attributes = api.getFileAttributes(out);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

// NT keeps rundll32 in SYSTEM32; Windows 95, 98 and Me in the Windows folder itself.
bool FindSystemProgram(const SystemFolderApi& api, const char* name, char* out, size_t size) {
    if (size == 0)
        return false;
    if (ProgramIn(api, api.getSystemDirectory, name, out, size) ||
        ProgramIn(api, api.getWindowsDirectory, name, out, size))
        return true;
    out[0] = '\0';
    return false;
}

HMODULE LoadSystemLibrary(const char* name) {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    char library[MAX_PATH];
    if (length == 0 || length >= sizeof folder || !JoinPath(library, sizeof library, folder, name))
        return NULL;
    return LoadLibraryA(library);
}

// Where the system has side-by-side assemblies (ActivateActCtx, Windows XP and later), the
// manifest sends the bare name to version 6 of the library before any folder is searched;
// a full path would bypass that and give the old version. Before them, the bare name would
// look beside the program first, so the system folder's copy is named in full.
bool LoadCommonControls() {
    static HMODULE library;
    if (library != NULL)
        return true;
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    bool sideBySide = kernel != NULL && GetProcAddress(kernel, "ActivateActCtx") != NULL;
    library = sideBySide ? LoadLibraryA("comctl32.dll") : LoadSystemLibrary("comctl32.dll");
    if (library == NULL)
        return false;
    typedef void(WINAPI * InitFunction)(void);
    InitFunction init = (InitFunction)(void*)GetProcAddress(library, "InitCommonControls");
    if (init != NULL)
        init();
    return true;
}
