// A composed desktop for Kelvarin.exe alone: our dwmapi.dll (tests\dwmapi.dll beside the
// product) in the system folder with Wine's own stepped aside, the override "native" for
// Kelvarin.exe and "builtin" for every other program (Wine prefers a real DLL it finds in
// the system folder). Refused where either override is already set; all put back after.
#ifndef KELVARIN_TESTS_E2E_COMPOSITION_H
#define KELVARIN_TESTS_E2E_COMPOSITION_H

#include <string>

#include "harness.h"

namespace e2e {

class ComposedDesktop {
  public:
    ComposedDesktop() {
        char system[MAX_PATH];
        library_.assign(system, GetSystemDirectoryA(system, MAX_PATH)) += "\\dwmapi.dll";
        std::string ours = ProductExe();
        ours.replace(ours.rfind('\\'), std::string::npos, "\\tests\\dwmapi.dll");
        MoveFileA(library_.c_str(), (library_ + ".kelvarin").c_str());
        ok_ = CopyFileA(ours.c_str(), library_.c_str(), TRUE) && Set(kKeys[0], "builtin") &&
              Set(kKeys[1], "native");
    }
    ~ComposedDesktop() {
        DeleteFileA(library_.c_str());
        MoveFileA((library_ + ".kelvarin").c_str(), library_.c_str());
        for (int i = 0; i < set_; ++i) {
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kKeys[i], 0, KEY_SET_VALUE, &key) == 0) {
                RegDeleteValueA(key, "dwmapi");
                RegCloseKey(key);
            }
        }
    }
    bool Ok() const { return ok_; }

  private:
    bool Set(const char* path, const char* value) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL))
            return false;
        bool set = RegQueryValueExA(key, "dwmapi", NULL, NULL, NULL, NULL) != 0 &&
                   RegSetValueExA(key, "dwmapi", 0, REG_SZ, (const BYTE*)value,
                                  (DWORD)strlen(value) + 1) == 0;
        set_ += set;
        RegCloseKey(key);
        return set;
    }
    const char* const kKeys[2] = {"Software\\Wine\\DllOverrides",
                                  "Software\\Wine\\AppDefaults\\Kelvarin.exe\\DllOverrides"};
    std::string library_;
    int set_ = 0;
    bool ok_ = false;
};

}  // namespace e2e

#endif
