// The GDI and USER objects, kernel handles and private memory of another process under
// Wine 8, where GetGuiResources reports nothing: the figures a leak check compares.
#ifndef KELVARIN_TESTS_E2E_OBJECTS_H
#define KELVARIN_TESTS_E2E_OBJECTS_H

#include <windows.h>

namespace e2e {

struct ObjectCounts {
    // In-use entries of the process's GDI handle table (bitmaps, brushes, pens, fonts,
    // regions, palettes, DCs, metafiles), stock objects left out. Includes the bitmaps
    // behind the process's icons and cursors and the DCs Wine keeps for its windows.
    long gdi;
    // The device contexts among them. Wine keeps up to 64 window DCs in a cache after
    // their windows have gone, each with a region and a bitmap of its own: a count that
    // grows in steps of three objects per cached DC is that cache, not a leak.
    long dcs;
    // windows + menus + icons + accelerators. Not counted: hooks, deferred window
    // positions, and windows of the process parented to another process's window.
    long user;
    long handles;         // kernel handles the process holds (system handle list)
    SIZE_T privateBytes;  // ProcessVmCounters PrivateUsage (anonymous resident memory in Wine)

    // The parts of user.
    long windows;       // top-level, message-only and all their descendants, hidden included
    long menus;         // menus and popup menus
    long icons;         // icons and cursors, shared ones included
    long accelerators;  // accelerator tables
};

// Fills counts for process pid; false if any figure could not be read. Menus, icons and
// accelerator tables are visible only from inside the process: the first call loads
// object_probe.dll (from the harness's folder) into it and leaves it there, so that later
// calls find the process's memory as the first one left it. Call it while the process
// waits in its message loop, not while it is being created.
bool CountProcessObjects(DWORD pid, ObjectCounts* counts);

}  // namespace e2e

#endif
