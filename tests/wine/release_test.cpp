// The executable as shipped: the manifest compiled into it is the one the build made, and
// every function it imports exists on Windows 95 and NT 4.0, in libraries that a planted
// copy beside the program cannot replace.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <map>
#include <set>
#include <string>

#include "legacy_exports.h"

namespace {

std::string BuildFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path);
    text = text.substr(0, text.rfind('\\'));  // tests
    return text.substr(0, text.rfind('\\'));
}

std::string ReadFile(const std::string& path) {
    std::string bytes;
    FILE* file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return bytes;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    fclose(file);
    return bytes;
}

TEST(Manifest, TheExeCarriesTheGeneratedManifestAsResourceOne) {
    std::string expected = ReadFile(BuildFolder() + "\\generated\\Kelvarin.manifest");
    ASSERT_FALSE(expected.empty());
    HMODULE exe =
        LoadLibraryExA((BuildFolder() + "\\Kelvarin.exe").c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, (HMODULE)NULL);
    HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, (HRSRC)NULL);
    const char* data = (const char*)LockResource(LoadResource(exe, found));
    std::string actual(data, SizeofResource(exe, found));
    FreeLibrary(exe);
    EXPECT_EQ(actual, expected);
}

std::string Upper(std::string text) {
    for (char& c : text)
        c = (char)toupper((unsigned char)c);
    return text;
}

// The import table of Kelvarin.exe: library name (upper case) to function names.
std::map<std::string, std::set<std::string>> Imports() {
    std::map<std::string, std::set<std::string>> imports;
    HMODULE exe = LoadLibraryExA((BuildFolder() + "\\Kelvarin.exe").c_str(), NULL,
                                 DONT_RESOLVE_DLL_REFERENCES);
    if (exe == NULL)
        return imports;
    BYTE* base = (BYTE*)exe;
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
         d->Name != 0; ++d) {
        std::set<std::string>& functions = imports[Upper((char*)(base + d->Name))];
        for (IMAGE_THUNK_DATA* t = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
             t->u1.AddressOfData != 0; ++t) {
            if (IMAGE_SNAP_BY_ORDINAL(t->u1.Ordinal))
                functions.insert("#ordinal");
            else
                functions.insert(
                    (char*)((IMAGE_IMPORT_BY_NAME*)(base + t->u1.AddressOfData))->Name);
        }
    }
    FreeLibrary(exe);
    return imports;
}

bool Listed(const char* const* list, const std::string& name) {
    for (; *list != NULL; ++list) {
        if (name == *list)
            return true;
    }
    return false;
}

TEST(Imports, OnlyFunctionsWindows95AndNt4Export) {
    std::map<std::string, std::set<std::string>> imports = Imports();
    ASSERT_FALSE(imports.empty());
    for (const auto& library : imports) {
        const LegacyLibrary* known = NULL;
        for (const LegacyLibrary& legacy : kLegacyLibraries) {
            if (Upper(legacy.dll) == library.first)
                known = &legacy;
        }
        ASSERT_NE(known, (const LegacyLibrary*)NULL) << "imports " << library.first;
        for (const std::string& function : library.second) {
            EXPECT_TRUE(Listed(known->functions, function) || Listed(kStubsOn95, function))
                << library.first << "!" << function << " is not on both Windows 95 and NT 4.0";
        }
    }
}

// KERNEL32, USER32, GDI32, ADVAPI32, SHELL32 and msvcrt are "known DLLs", always taken
// from the system. COMCTL32 is allowed only because the manifest sends it to the
// side-by-side copy; VERSION and anything else would be looked for beside the program.
TEST(Imports, OnlyLibrariesAPlantedCopyCannotReplace) {
    std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL",   "ADVAPI32.DLL",
                                     "SHELL32.DLL",  "MSVCRT.DLL", "COMCTL32.DLL"};
    std::map<std::string, std::set<std::string>> imports = Imports();
    ASSERT_FALSE(imports.empty());
    for (const auto& library : imports)
        EXPECT_EQ(allowed.count(library.first), 1u) << "imports " << library.first;
    std::string manifest = ReadFile(BuildFolder() + "\\generated\\Kelvarin.manifest");
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

}  // namespace
