// Private memory of a bare program that opens the version block of a file 1,000 times as
// the About box does: version.dll loaded by full path, GetFileVersionInfoSizeA and
// GetFileVersionInfoA into a heap block, the library freed again. With "kept" the library
// stays loaded from the first round on, which tells the loader's share from the calls'.
//   version_growth.exe FILE [kept]
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "../tests/e2e/objects.h"

namespace {

typedef DWORD(WINAPI* GetSize)(LPCSTR, LPDWORD);
typedef BOOL(WINAPI* GetInfo)(LPCSTR, DWORD, DWORD, LPVOID);

// Measured as the soak measures the program.
SIZE_T PrivateBytes() {
    e2e::ObjectCounts counts;
    return e2e::CountProcessObjects(GetCurrentProcessId(), &counts) ? counts.privateBytes : 0;
}

HMODULE LoadVersionLibrary() {
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH - 13);
    strcpy(path + length, "\\version.dll");
    return LoadLibraryA(path);
}

// One opening of the block; kept: the library loaded once for all rounds, or null.
bool Round(const char* file, HMODULE kept) {
    HMODULE library = kept != NULL ? kept : LoadVersionLibrary();
    if (library == NULL)
        return false;
    GetSize getSize = (GetSize)(void*)GetProcAddress(library, "GetFileVersionInfoSizeA");
    GetInfo getInfo = (GetInfo)(void*)GetProcAddress(library, "GetFileVersionInfoA");
    DWORD handle = 0, size = getSize(file, &handle);
    void* block = HeapAlloc(GetProcessHeap(), 0, size);
    bool ok = block != NULL && getInfo(file, handle, size, block);
    HeapFree(GetProcessHeap(), 0, block);
    if (kept == NULL)
        FreeLibrary(library);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return 2;
    bool keep = argc > 2 && strcmp(argv[2], "kept") == 0;
    HMODULE kept = keep ? LoadVersionLibrary() : NULL;
    if (!Round(argv[1], kept))
        return 1;
    SIZE_T first = PrivateBytes();
    for (int i = 2; i <= 1000; ++i)
        Round(argv[1], kept);
    SIZE_T last = PrivateBytes();
    printf("version.dll %s: private %lu KB after round 1, %lu KB after round 1000 (%+ld KB)\n",
           keep ? "kept loaded" : "loaded and freed each round", (unsigned long)(first / 1024),
           (unsigned long)(last / 1024), (long)(last / 1024) - (long)(first / 1024));
    return 0;
}
