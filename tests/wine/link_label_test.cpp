// The link label on a window of our own that reflects hover and leave as the About box
// does: its colours and frame read back from the screen, its notifications, and its clean
// exit when the window goes while the link is hot.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "dialogs/link_label.h"

namespace {

std::vector<NMLINKLABEL> Notes;
WNDPROC StaticProc;
bool SawDestroy, RestoredAtDestroy, PropertiesLeftAtDestroy, InnerSawEnd, OuterSawEnd;
WNDPROC LinkProc;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NOTIFY) {
        const NMLINKLABEL* note = (const NMLINKLABEL*)lParam;
        Notes.push_back(*note);
        if (note->hdr.code != LLN_CLICK)
            SendMessageA(note->hdr.hwndFrom, WM_NOTIFY, note->hdr.idFrom, lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK FindLinkProperty(HWND, LPCSTR name, HANDLE) {
    PropertiesLeftAtDestroy |= HIWORD(name) != 0 && strncmp(name, "LLPROP_", 7) == 0;
    return TRUE;
}

// The control's own procedure as the link label finds it: it checks, at WM_DESTROY, that
// it has been put back and the properties are gone.
LRESULT CALLBACK InnerProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        SawDestroy = true;
        RestoredAtDestroy = (WNDPROC)GetWindowLongA(control, GWL_WNDPROC) == InnerProc;
        EnumPropsA(control, FindLinkProperty);
    }
    InnerSawEnd |= message == WM_NCDESTROY;
    return CallWindowProcA(StaticProc, control, message, wParam, lParam);
}

// A procedure installed after the link's, as a tooltip subclasses its tool.
LRESULT CALLBACK OuterProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    OuterSawEnd |= message == WM_NCDESTROY;
    return CallWindowProcA(LinkProc, control, message, wParam, lParam);
}

void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

// Right after SetCursorPos, pending X events can still put the pointer back where it
// was: set it until two readings 100 ms apart find it there. The tests then leave the
// pointer alone and move the window under it instead.
const int kPointerX = 400, kPointerY = 300;

void MovePointer(int x, int y) {
    for (int settled = 0, tries = 0; settled < 2 && tries < 30; ++tries) {
        POINT now;
        GetCursorPos(&now);
        if (now.x == x && now.y == y) {
            ++settled;
        } else {
            settled = 0;
            SetCursorPos(x, y);
        }
        Pump(100);
    }
}

int Count(UINT code) {
    int n = 0;
    for (const NMLINKLABEL& note : Notes)
        n += note.hdr.code == code;
    return n;
}

class LinkLabelTest : public testing::Test {
  protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ParentProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = "LinkLabelTestParent";
        RegisterClassA(&wc);
        parent = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                                 300, 80, NULL, NULL, wc.hInstance, NULL);
        link = CreateWindowExA(0, "STATIC", "https://kelvarin.github.io/",
                               WS_CHILD | WS_VISIBLE | SS_NOTIFY, 20, 20, 220, 24, parent,
                               (HMENU)1008, wc.hInstance, NULL);
        ASSERT_NE(link, (HWND)NULL);
        StaticProc = (WNDPROC)SetWindowLongA(link, GWL_WNDPROC, (LONG)InnerProc);
        ASSERT_TRUE(SubclassLinkLabel(link));
        MovePointer(kPointerX, kPointerY);
        MoveOutside();
        Notes.clear();
    }
    void TearDown() override {
        if (IsWindow(parent))
            DestroyWindow(parent);
    }

    // The link's point (30, 12) under the pointer, then the move it would have reported.
    void MoveInside() {
        PlaceParent(kPointerX - 50, kPointerY - 32);
        SendMessageA(link, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(30, 12));
    }
    void MoveOutside() { PlaceParent(kPointerX + 100, kPointerY + 100); }
    void PlaceParent(int x, int y) {
        SetWindowPos(parent, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Pump(150);
    }

    // Pixels of the control on the screen: text ones of each colour, and the corners.
    struct Look {
        int blue = 0, red = 0;
        COLORREF corner = 0, farCorner = 0;
    };
    Look Paint() {
        RedrawWindow(link, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        GdiFlush();
        Pump(50);
        Look look;
        RECT rect;
        GetWindowRect(link, &rect);
        HDC screen = GetDC(NULL);
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                COLORREF c = GetPixel(screen, x, y);
                look.blue += GetBValue(c) > 180 && GetRValue(c) < 90 && GetGValue(c) < 90;
                look.red += GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
            }
        }
        look.corner = GetPixel(screen, rect.left, rect.top);
        look.farCorner = GetPixel(screen, rect.right - 1, rect.bottom - 1);
        ReleaseDC(NULL, screen);
        return look;
    }

    HWND parent = NULL, link = NULL;
};

TEST_F(LinkLabelTest, BlueUntilAReflectedHoverTurnsItRedThenALeaveTickTurnsItBack) {
    Look look = Paint();
    EXPECT_GT(look.blue, 20);
    EXPECT_EQ(look.red, 0);
    EXPECT_EQ(look.farCorner, GetSysColor(COLOR_BTNFACE));

    MoveInside();
    Notes.clear();
    for (int i = 0; i < 3; ++i)
        SendMessageA(link, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(30 + i, 12));
    ASSERT_EQ(Count(LLN_MOUSEHOVER), 3);
    EXPECT_EQ(Notes[2].hdr.hwndFrom, link);
    EXPECT_EQ(Notes[2].hdr.idFrom, 1008u);
    EXPECT_EQ(Notes[2].keyFlags, (UINT)MK_SHIFT);
    EXPECT_EQ(Notes[2].position, MAKELPARAM(32, 12));
    look = Paint();
    EXPECT_GT(look.red, 20);
    EXPECT_EQ(look.blue, 0);

    // Inside, the timer finds nothing to report; outside, one leave and the link is blue.
    Pump(200);
    EXPECT_EQ(Count(LLN_MOUSELEAVE), 0);
    MoveOutside();
    EXPECT_EQ(Count(LLN_MOUSELEAVE), 1);
    EXPECT_GT(Paint().blue, 20);
}

TEST_F(LinkLabelTest, ClickOnlyWhenReleasedOnTheLinkWithAGrayFrameWhilePressedAndHot) {
    MoveInside();
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
    EXPECT_EQ(GetCapture(), link);
    Look look = Paint();
    EXPECT_EQ(look.corner, RGB(128, 128, 128));
    EXPECT_EQ(look.farCorner, RGB(128, 128, 128));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(30, 12));
    EXPECT_EQ(Count(LLN_CLICK), 1);
    EXPECT_EQ(GetCapture(), (HWND)NULL);

    // Pressed, then off the link: blue and unframed, and the release clicks nothing.
    SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 12));
    MoveOutside();
    look = Paint();
    EXPECT_GT(look.blue, 20);
    EXPECT_EQ(look.corner, GetSysColor(COLOR_BTNFACE));
    SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(400, 400));
    EXPECT_EQ(Count(LLN_CLICK), 1);
    EXPECT_EQ(GetCapture(), (HWND)NULL);
}

TEST_F(LinkLabelTest, GoingWhileHotRestoresTheProcedureAndRemovesTheProperties) {
    MoveInside();
    ASSERT_EQ((UINT_PTR)GetPropA(link, LLPROP_CONTROLSTATE), 1u);
    SawDestroy = RestoredAtDestroy = PropertiesLeftAtDestroy = false;
    DestroyWindow(parent);
    EXPECT_TRUE(SawDestroy);
    EXPECT_TRUE(RestoredAtDestroy);
    EXPECT_FALSE(PropertiesLeftAtDestroy);
}

// Putting the old procedure back under a later one would cut that one out before
// WM_NCDESTROY, where it cleans up: the link then stays in the chain to the end.
TEST_F(LinkLabelTest, ALaterSubclassStillSeesTheLastMessage) {
    LinkProc = (WNDPROC)SetWindowLongA(link, GWL_WNDPROC, (LONG)OuterProc);
    InnerSawEnd = OuterSawEnd = false;
    DestroyWindow(parent);
    EXPECT_TRUE(OuterSawEnd);
    EXPECT_TRUE(InnerSawEnd);
}

}  // namespace
