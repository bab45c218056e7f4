// A composed desktop for Kelvarin.exe alone: our dwmapi.dll (tests\dwmapi.dll beside the
// product) in the system folder, Wine's own stepped aside; the program's DLL override says
// "native", the global one "builtin" so that no other program takes ours (Wine prefers a
// real DLL it finds in the system folder). All of it is put back as it was at the end.
#ifndef KELVARIN_TESTS_E2E_COMPOSITION_H
#define KELVARIN_TESTS_E2E_COMPOSITION_H

#include <windows.h>

#include <string>
#include <vector>

#include "harness.h"

namespace e2e {

class ComposedDesktop {
  public:
    ComposedDesktop() {
        char system[MAX_PATH];
        GetSystemDirectoryA(system, sizeof system);
        library_ = std::string(system) + "\\dwmapi.dll";
        std::string ours = ProductExe();
        ours = ours.substr(0, ours.rfind('\\')) + "\\tests\\dwmapi.dll";
        moved_ = MoveFileA(library_.c_str(), (library_ + ".kelvarin").c_str()) != FALSE;
        ok_ = CopyFileA(ours.c_str(), library_.c_str(), TRUE) &&
              Override("Software\\Wine\\DllOverrides", "builtin") &&
              Override("Software\\Wine\\AppDefaults\\Kelvarin.exe\\DllOverrides", "native");
    }
    ~ComposedDesktop() {
        DeleteFileA(library_.c_str());
        if (moved_)
            MoveFileA((library_ + ".kelvarin").c_str(), library_.c_str());
        for (auto v = values_.rbegin(); v != values_.rend(); ++v) {
            HKEY key;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, v->key.c_str(), 0, KEY_SET_VALUE, &key) == 0) {
                if (v->existed)
                    RegSetValueExA(key, "dwmapi", 0, REG_SZ, (const BYTE*)v->old.c_str(),
                                   (DWORD)v->old.size() + 1);
                else
                    RegDeleteValueA(key, "dwmapi");
                RegCloseKey(key);
            }
        }
        for (auto k = created_.rbegin(); k != created_.rend(); ++k)
            RegDeleteKeyA(HKEY_CURRENT_USER, k->c_str());
    }
    bool Ok() const { return ok_; }

  private:
    struct Saved {
        std::string key, old;
        bool existed;
    };
    // Sets "dwmapi" under key, creating (and remembering) each missing level.
    bool Override(const std::string& path, const char* value) {
        HKEY key = NULL;
        for (size_t end = 0; end != std::string::npos;) {
            end = path.find('\\', end + 1);
            DWORD made = 0;
            if (key != NULL)
                RegCloseKey(key);
            if (RegCreateKeyExA(HKEY_CURRENT_USER, path.substr(0, end).c_str(), 0, NULL, 0,
                                KEY_ALL_ACCESS, NULL, &key, &made) != 0)
                return false;
            if (made == REG_CREATED_NEW_KEY)
                created_.push_back(path.substr(0, end));
        }
        char old[64] = "";
        DWORD size = sizeof old - 1;
        Saved saved = {path, "",
                       RegQueryValueExA(key, "dwmapi", NULL, NULL, (BYTE*)old, &size) == 0};
        saved.old = old;
        values_.push_back(saved);
        bool set = RegSetValueExA(key, "dwmapi", 0, REG_SZ, (const BYTE*)value,
                                  (DWORD)strlen(value) + 1) == 0;
        RegCloseKey(key);
        return set;
    }
    std::string library_;
    std::vector<Saved> values_;
    std::vector<std::string> created_;
    bool moved_ = false, ok_ = false;
};

}  // namespace e2e

#endif
