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

// This test's own build, or the 32-bit product's when a 64-bit run audits it.
std::string BuildFolder() {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KELVARIN_PRODUCT_DIR", path, sizeof path);
    if (length != 0 && length < sizeof path)
        return path;
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

// The import table of Kelvarin.exe: library name (upper case) to function names. Read
// from the file, not a loaded image, so that a 64-bit test can audit the 32-bit exe.
std::map<std::string, std::set<std::string>> Imports() {
    std::map<std::string, std::set<std::string>> imports;
    std::string file = ReadFile(BuildFolder() + "\\Kelvarin.exe");
    if (file.size() < 4096)
        return imports;
    const BYTE* base = (const BYTE*)file.data();
    const IMAGE_NT_HEADERS32* nt =
        (const IMAGE_NT_HEADERS32*)(base + ((const IMAGE_DOS_HEADER*)base)->e_lfanew);
    bool wide = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    DWORD table =
        wide ? ((const IMAGE_NT_HEADERS64*)nt)->OptionalHeader.DataDirectory[1].VirtualAddress
             : nt->OptionalHeader.DataDirectory[1].VirtualAddress;
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto at = [&](DWORD rva) -> const BYTE* {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
            const IMAGE_SECTION_HEADER& s = sections[i];
            if (rva >= s.VirtualAddress && rva - s.VirtualAddress < s.SizeOfRawData)
                return base + s.PointerToRawData + (rva - s.VirtualAddress);
        }
        return NULL;
    };
    for (const IMAGE_IMPORT_DESCRIPTOR* d = (const IMAGE_IMPORT_DESCRIPTOR*)at(table);
         d != NULL && d->Name != 0; ++d) {
        std::set<std::string>& functions = imports[Upper((const char*)at(d->Name))];
        const BYTE* thunk = at(d->OriginalFirstThunk != 0 ? d->OriginalFirstThunk : d->FirstThunk);
        for (;; thunk += wide ? 8 : 4) {
            ULONGLONG entry = wide ? *(const ULONGLONG*)thunk : *(const DWORD*)thunk;
            if (entry == 0)
                break;
            if (entry >> (wide ? 63 : 31))
                functions.insert("#ordinal");
            else
                functions.insert((const char*)at((DWORD)entry) + 2);  // past the hint
        }
    }
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

// KERNEL32, USER32, GDI32, ADVAPI32 and SHELL32 are "known DLLs", always taken from the
// system. COMCTL32 is allowed only because the manifest sends it to the side-by-side copy;
// VERSION and anything else would be looked for beside the program. No C runtime: the
// first release of Windows 95 had none to offer.
TEST(Imports, OnlyLibrariesAPlantedCopyCannotReplace) {
    std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL",  "GDI32.DLL",
                                     "ADVAPI32.DLL", "SHELL32.DLL", "COMCTL32.DLL"};
    std::map<std::string, std::set<std::string>> imports = Imports();
    ASSERT_FALSE(imports.empty());
    for (const auto& library : imports)
        EXPECT_EQ(allowed.count(library.first), 1u) << "imports " << library.first;
    std::string manifest = ReadFile(BuildFolder() + "\\generated\\Kelvarin.manifest");
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
}

}  // namespace
