// A system function, as this test program imports it, replaced by a stand-in for the life
// of one object. The program's code is linked into the test program, so its calls go
// through the same import slots.
#ifndef KELVARIN_TESTS_WINE_IMPORT_PATCH_H
#define KELVARIN_TESTS_WINE_IMPORT_PATCH_H

#include <windows.h>

#include <string.h>

inline void** FindImport(const char* dll, const char* function) {
    BYTE* base = (BYTE*)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        if (lstrcmpiA((char*)(base + d->Name), dll) != 0)
            continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            IMAGE_IMPORT_BY_NAME* name = (IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData);
            if (strcmp((char*)name->Name, function) == 0)
                return (void**)&slots->u1.Function;
        }
    }
    return NULL;
}

class ImportPatch {
  public:
    ImportPatch(const char* dll, const char* function, void* standIn)
        : slot_(FindImport(dll, function)), original_(NULL) {
        if (slot_ != NULL && VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection_)) {
            original_ = *slot_;
            *slot_ = standIn;
        } else {
            slot_ = NULL;
        }
    }
    ~ImportPatch() {
        if (slot_ != NULL) {
            *slot_ = original_;
            VirtualProtect(slot_, sizeof *slot_, protection_, &protection_);
        }
    }
    bool Active() const { return slot_ != NULL; }
    // The real function, for a stand-in that passes calls on.
    void* Original() const { return original_; }

  private:
    ImportPatch(const ImportPatch&) = delete;
    void** slot_;
    void* original_;
    DWORD protection_;
};

#endif
