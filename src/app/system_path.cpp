// Full paths of system programs (see system_path.h).
#include "app/system_path.h"

#include "app/sjis.h"

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
