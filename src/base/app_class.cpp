// Window-class registration and shell icons (see app_class.h).
#include "base/app_class.h"

#include <shellapi.h>

#include "base/settings.h"

void RegisterAppClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style,
                      const char* menuName, int stockObject) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = GetAppIcon(true);
    wc.hIconSm = GetAppIcon(false);
    wc.hCursor = NULL;
    wc.hbrBackground = (HBRUSH)GetStockObject(stockObject);
    wc.lpszMenuName = menuName;
    wc.lpszClassName = className;
    // A failed registration shows itself when the window cannot be created.
    RegisterClassExA(&wc);
}

// The shell hands out a new icon at every call and the caller owns it. Classes are
// registered again before each tool window opens, so the program's own two icons are
// fetched once and shared by every class and dialog until the process ends. They come
// from the icon resource itself, which is what the shell shows for the executable:
// asking the shell would load its image list and COM at start-up, before the tray
// icon, for the same picture. A module without an icon resource gets the shell's.
HICON LoadAppIcon(HINSTANCE module, bool large) {
    HICON icon = (HICON)LoadImageA(module, "IDI_ICON", IMAGE_ICON,
                                   GetSystemMetrics(large ? SM_CXICON : SM_CXSMICON),
                                   GetSystemMetrics(large ? SM_CYICON : SM_CYSMICON), 0);
    return icon != NULL ? icon : GetModuleIcon(module, large);
}

HICON GetAppIcon(bool large) {
    static HICON icons[2];
    int index = large ? 1 : 0;
    if (icons[index] == NULL)
        icons[index] = LoadAppIcon(GetModuleHandleA(NULL), large);
    return icons[index];
}

HICON GetModuleIcon(HINSTANCE instance, bool large) {
    char path[MODULE_PATH_SIZE];
    DWORD length = GetModuleFileNameA(instance, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return NULL;
    return GetFileIcon(path, large);
}

HICON GetFileIcon(const char* path, bool large) {
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof info);
    UINT flags = SHGFI_ICON | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
    if (!SHGetFileInfoA(path, 0, &info, sizeof info, flags))
        return NULL;
    return info.hIcon;
}

void SetWindowIcon(HWND window, WPARAM which, HICON icon) {
    SendMessageA(window, WM_SETICON, which, (LPARAM)icon);
}
