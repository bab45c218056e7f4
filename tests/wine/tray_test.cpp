// The tray's message filter, through a GetProcAddress that hands out recorders: an
// elevated program hears the taskbar's "TaskbarCreated" only where it lets it through.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tray.h"
#include "import_patch.h"

namespace {

std::vector<std::string> filtered;
bool windowFormExists;
HWND expectedWindow;
FARPROC(WINAPI* realGetProcAddress)(HMODULE, LPCSTR);

BOOL WINAPI RecordWindowFilter(HWND window, UINT message, DWORD action, void* extra) {
    filtered.push_back(window == expectedWindow && message == TaskbarCreatedMessage() &&
                               action == 1 && extra == NULL
                           ? "window"
                           : "window?");
    return TRUE;
}

BOOL WINAPI RecordProcessFilter(UINT message, DWORD action) {
    filtered.push_back(message == TaskbarCreatedMessage() && action == 1 ? "process" : "process?");
    return TRUE;
}

FARPROC WINAPI OfferFilters(HMODULE module, LPCSTR name) {
    if (HIWORD(name) != 0 && lstrcmpA(name, "ChangeWindowMessageFilterEx") == 0)
        return windowFormExists ? (FARPROC)(void*)RecordWindowFilter : NULL;
    if (HIWORD(name) != 0 && lstrcmpA(name, "ChangeWindowMessageFilter") == 0)
        return (FARPROC)(void*)RecordProcessFilter;
    return realGetProcAddress(module, name);
}

// Windows 7's form on the main window where it exists, else Vista's for the process.
TEST(TrayIcon, LetsTaskbarCreatedThroughTheMessageFilter) {
    expectedWindow = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    ASSERT_NE(expectedWindow, (HWND)NULL);
    {
        ImportPatch offer("kernel32.dll", "GetProcAddress", (void*)OfferFilters);
        ASSERT_TRUE(offer.Active());
        realGetProcAddress = (FARPROC(WINAPI*)(HMODULE, LPCSTR))offer.Original();
        for (bool windows7 : {true, false}) {
            windowFormExists = windows7;
            AddTrayIcon(expectedWindow);
            RemoveTrayIcon(expectedWindow);
        }
    }
    DestroyWindow(expectedWindow);
    EXPECT_NE(TaskbarCreatedMessage(), 0u);
    EXPECT_EQ(filtered, (std::vector<std::string>{"window", "process"}));
}

}  // namespace
