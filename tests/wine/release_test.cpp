// The executable as shipped: the manifest compiled into it is the one the build made.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

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

}  // namespace
