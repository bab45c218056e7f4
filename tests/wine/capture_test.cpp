// The BMP file writer and the client-area copy against the real API: the file in place
// only when complete, an earlier file kept on refusal, the replace that works on both
// system families, and the cursor drawn even when its handle cannot be.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/app_info.h"
#include "app/main_window.h"
#include "capture/bmp_writer.h"
#include "capture/capture.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<missing>";
}

void Put(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    for (BOOL more = find != INVALID_HANDLE_VALUE; more; more = FindNextFileA(find, &data)) {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    }
    if (find != INVALID_HANDLE_VALUE)
        FindClose(find);
    return names;
}

// A scratch folder whose name ends in 表 (0x95 0x5C): its last byte looks like a separator.
class Scratch : public testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "kelvarin_writer_\x95\x5C";
        CreateDirectoryA(folder_.c_str(), NULL);
        for (const std::string& name : FilesIn(folder_))
            DeleteFileA((folder_ + "\\" + name).c_str());
    }
    void TearDown() override {
        for (const std::string& name : FilesIn(folder_))
            DeleteFileA((folder_ + "\\" + name).c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    std::string folder_;
};

BOOL WINAPI MoveFileExMissing(LPCSTR, LPCSTR, DWORD) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

BOOL WINAPI MoveFileExDenied(LPCSTR, LPCSTR, DWORD) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

TEST_F(Scratch, ReplaceUsesDeleteAndMoveOnlyWhereMoveFileExIsMissing) {
    std::string from = folder_ + "\\new", to = folder_ + "\\old";
    const FileReplaceCalls system = {MoveFileExA, DeleteFileA, MoveFileA};
    const FileReplaceCalls windows95 = {MoveFileExMissing, DeleteFileA, MoveFileA};
    const FileReplaceCalls denied = {MoveFileExDenied, DeleteFileA, MoveFileA};
    for (const FileReplaceCalls* calls : {&system, &windows95}) {
        Put(from, "new");
        Put(to, "old");
        EXPECT_TRUE(ReplaceFileWith(*calls, from.c_str(), to.c_str()));
        EXPECT_EQ(Slurp(to), "new");
        EXPECT_EQ(Slurp(from), "<missing>");
    }
    Put(from, "new");
    EXPECT_FALSE(ReplaceFileWith(denied, from.c_str(), to.c_str()));
    EXPECT_EQ(Slurp(to), "new");  // another failure deletes nothing
}

TEST_F(Scratch, WritesTheWholeFileOrLeavesTheEarlierOne) {
    BmpInfoHeader header;
    InitDibHeader(&header, 5, 3, 24);
    std::string pixels(header.biSizeImage, '\0');
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<char>(i * 7);
    std::string path = folder_ + "\\05090307.bmp";
    Put(path, "earlier");

    ASSERT_TRUE(WriteBmpFile(path.c_str(), header, NULL, pixels.data()));
    std::string file = Slurp(path);
    ASSERT_EQ(file.size(), 54u + 48u);
    EXPECT_EQ(file.substr(54), pixels);
    EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"05090307.bmp"});  // no temporary

    // Refused headers write nothing, and the file of that name stays.
    BmpInfoHeader odd = header, topDown = header;
    odd.biBitCount = 3;
    InitDibHeader(&topDown, 5, -3, 24);
    EXPECT_FALSE(WriteBmpFile(path.c_str(), odd, NULL, pixels.data()));
    EXPECT_FALSE(WriteBmpFile(path.c_str(), topDown, NULL, pixels.data()));
    EXPECT_EQ(Slurp(path), file);
    std::string missing = folder_ + "\\no such folder\\x.bmp";
    EXPECT_FALSE(WriteBmpFile(missing.c_str(), header, NULL, pixels.data()));
    EXPECT_EQ(FilesIn(folder_), std::vector<std::string>{"05090307.bmp"});
}

// Without a window, or with an empty or unreadable client area, there are no sizes.
TEST_F(Scratch, CapturesNothingWithoutAClientArea) {
    AppInfo info = {};
    strcpy(info.saveFolder, folder_.c_str());
    HWND main = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    HWND empty = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    HWND gone = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 10, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    SetPropA(main, PROP_APPINFO, (HANDLE)&info);
    char path[MAX_PATH + 1];
    for (HWND source : {(HWND)NULL, empty, gone})
        EXPECT_FALSE(CaptureClientToFile(main, source, true, path)) << source;
    EXPECT_TRUE(FilesIn(folder_).empty());
    SetWindowPos(empty, NULL, 0, 0, 20, 10, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(CaptureClientToFile(main, empty, true, path));
    EXPECT_EQ(Slurp(path).size(), 54u + 60u * 10);
    RemovePropA(main, PROP_APPINFO);
    DestroyWindow(empty);
    DestroyWindow(main);
}

TEST(MakeCaptureFilePath, RefusesAFolderTooLongForTheName) {
    char path[MAX_PATH + 1];
    EXPECT_TRUE(MakeCaptureFilePath(path, sizeof path, std::string(247, 'x').c_str()));
    EXPECT_EQ(strlen(path), 247u + 1 + 12);
    EXPECT_FALSE(MakeCaptureFilePath(path, sizeof path, std::string(248, 'x').c_str()));
}

// A 24-bit section of the given size.
class Section {
  public:
    Section(int width, int height) : width_(width), height_(height) {
        BITMAPINFO info = {};
        InitDibHeader(reinterpret_cast<BmpInfoHeader*>(&info.bmiHeader), width, height, 24);
        handle_ = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits_, NULL, 0);
    }
    ~Section() { DeleteObject(handle_); }
    HBITMAP Handle() const { return handle_; }
    bool operator==(const Section& other) const {
        return memcmp(bits_, other.bits_, ((width_ * 3 + 3) & ~3) * height_) == 0;
    }
    void Fill(COLORREF colour, HCURSOR cursor, POINT at) {
        HDC dc = CreateCompatibleDC(NULL);
        HGDIOBJ old = SelectObject(dc, handle_);
        HBRUSH brush = CreateSolidBrush(colour);
        RECT all = {0, 0, width_, height_};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        DrawIconEx(dc, at.x, at.y, cursor, 0, 0, 0, NULL, DI_NORMAL | DI_DEFAULTSIZE);
        SelectObject(dc, old);
        DeleteDC(dc);
        GdiFlush();
    }

  private:
    int width_, height_;
    void* bits_ = NULL;
    HBITMAP handle_ = NULL;
};

TEST(CopyClientToDib, DrawsTheArrowWhereTheCursorHandleCannotBeDrawn) {
    const COLORREF kColour = RGB(30, 160, 90);
    HBRUSH brush = CreateSolidBrush(kColour);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.hbrBackground = brush;
    wc.lpszClassName = "KelvarinCaptureSource";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND window = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 40,
                                  40, 120, 90, NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(window, (HWND)NULL);
    UpdateWindow(window);
    RECT client;
    GetClientRect(window, &client);
    const POINT at = {50, 30};
    const HCURSOR arrow = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    const HCURSOR cross = LoadCursorA(NULL, (LPCSTR)IDC_CROSS);
    struct Case {
        HCURSOR given, drawn;
    } cases[] = {{cross, cross}, {(HCURSOR)(UINT_PTR)0x7ff0, arrow}, {NULL, NULL}};
    for (const Case& c : cases) {
        Section got(120, 90), expected(120, 90);
        ASSERT_TRUE(CopyClientToDib(got.Handle(), window, client, c.given, &at));
        GdiFlush();
        expected.Fill(kColour, c.drawn, at);
        EXPECT_TRUE(got == expected) << "cursor " << c.given;
    }
    DestroyWindow(window);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
    DeleteObject(brush);
}

}  // namespace
