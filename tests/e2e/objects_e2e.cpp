// The object count that the leak checks rely on: a process that keeps what it makes shows
// every kind of object grow, one that releases it shows none.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "harness.h"
#include "objects.h"

namespace {

const int kCount = 100;
// The leak round makes twice as many: the memory of the last released round, kept by the
// heap for reuse, holds only half of them.
const int kLeaked = 2 * kCount;
const SIZE_T kBitmapBytes = 64 * 64 * 4;

std::string LeakerExe() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    std::string text(path, length);
    return text.substr(0, text.rfind('\\')) + "\\object_leaker.exe";
}

HWND FindLeaker(DWORD pid) {
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, "KelvarinObjectLeaker", NULL)) != NULL) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == pid && GetWindowLongPtrA(window, GWLP_USERDATA) == 1)
            return window;
    }
    return NULL;
}

TEST(CountProcessObjects, SeesWhatAProcessKeepsAndNotWhatItReleases) {
    e2e::Program leaker;
    ASSERT_TRUE(leaker.Start(LeakerExe()));
    HWND window = NULL;
    ASSERT_TRUE(e2e::WaitUntil([&] { return (window = FindLeaker(leaker.Pid())) != NULL; }));
    // A first round of make-and-release leaves behind what Wine sets up once per process.
    SendMessageA(window, WM_APP, kCount, 0);

    e2e::ObjectCounts before, released, kept;
    ASSERT_TRUE(e2e::CountProcessObjects(leaker.Pid(), &before));
    SendMessageA(window, WM_APP, kCount, 0);
    ASSERT_TRUE(e2e::CountProcessObjects(leaker.Pid(), &released));
    SendMessageA(window, WM_APP, kLeaked, 1);
    ASSERT_TRUE(e2e::CountProcessObjects(leaker.Pid(), &kept));
    printf(
        "before: gdi %ld user %ld (windows %ld menus %ld icons %ld accelerators %ld) "
        "handles %ld private %lu\n",
        before.gdi, before.user, before.windows, before.menus, before.icons, before.accelerators,
        before.handles, static_cast<unsigned long>(before.privateBytes));
    printf("released: gdi %ld user %ld handles %ld private %lu\n", released.gdi, released.user,
           released.handles, static_cast<unsigned long>(released.privateBytes));
    printf(
        "kept: gdi %ld user %ld (windows %ld menus %ld icons %ld accelerators %ld) "
        "handles %ld private %lu\n",
        kept.gdi, kept.user, kept.windows, kept.menus, kept.icons, kept.accelerators, kept.handles,
        static_cast<unsigned long>(kept.privateBytes));

    EXPECT_GT(before.gdi, 0);
    EXPECT_GT(before.windows, 0);
    EXPECT_EQ(released.gdi, before.gdi);
    EXPECT_EQ(released.user, before.user);
    EXPECT_EQ(released.windows, before.windows);
    EXPECT_EQ(released.handles, before.handles);
    EXPECT_LT(released.privateBytes, before.privateBytes + kCount * kBitmapBytes / 4);

    // Per object kept: a brush, a bitmap, an icon (with its own bitmaps), a menu, an
    // accelerator table, an event, a hidden window and a message-only window.
    EXPECT_GE(kept.gdi - released.gdi, 2 * kLeaked);
    EXPECT_GE(kept.windows - released.windows, 2 * kLeaked);
    EXPECT_GE(kept.menus - released.menus, kLeaked);
    EXPECT_GE(kept.icons - released.icons, kLeaked);
    EXPECT_GE(kept.accelerators - released.accelerators, kLeaked);
    EXPECT_GE(kept.user - released.user, 5 * kLeaked);
    EXPECT_GE(kept.handles - released.handles, kLeaked);
    EXPECT_GE(kept.privateBytes, released.privateBytes + (kLeaked - kCount) * kBitmapBytes);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(leaker.WaitExit(), 0);
}

}  // namespace
