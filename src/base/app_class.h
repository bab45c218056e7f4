// Window-class registration with the program's own icons, and the shell icons of files.
#ifndef KELVARIN_BASE_APP_CLASS_H
#define KELVARIN_BASE_APP_CLASS_H

#include <windows.h>

void RegisterAppClass(HINSTANCE instance, const char* className, WNDPROC procedure, UINT style,
                      const char* menuName, int stockObject);
// The program's own icons (the picture the shell shows for it), fetched once and shared:
// never destroy them.
HICON GetAppIcon(bool large);
// A fresh copy of a module's icon at the system's large or small size, from its
// "IDI_ICON" resource, or the shell's icon for the module when it has none.
HICON LoadAppIcon(HINSTANCE module, bool large);
// A fresh shell icon that the caller owns and must destroy.
HICON GetModuleIcon(HINSTANCE instance, bool large);
HICON GetFileIcon(const char* path, bool large);
void SetWindowIcon(HWND window, WPARAM which, HICON icon);

#endif
