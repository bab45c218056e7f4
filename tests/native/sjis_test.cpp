// Shift-JIS path and text routines: byte kinds, case folding, cutting and joining paths.
#include "base/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Sources are compiled to code page 932, so these literals are Shift-JIS bytes:
// 表 = 95 5C, ソ = 83 5C, ア = 83 41.
const char kHyo[] = "表";
const char kSo[] = "ソ";

TEST(SjisEncoding, LiteralsAreShiftJis) {
    ASSERT_STREQ(kHyo, "\x95\x5C");
    ASSERT_STREQ(kSo, "\x83\x5C");
    ASSERT_STREQ("ア", "\x83\x41");
}

TEST(SjisByteKind, TrailBackslashIsNotASeparator) {
    const char text[] = "\x95\x5C\x5C";  // 表 then a real backslash
    EXPECT_EQ(SjisByteKind(text, 0), SJIS_LEAD);
    EXPECT_EQ(SjisByteKind(text, 1), SJIS_TRAIL);
    EXPECT_FALSE(IsRealBackslash(text, 1));
    EXPECT_EQ(SjisByteKind(text, 2), SJIS_SINGLE);
    EXPECT_TRUE(IsRealBackslash(text, 2));
}

TEST(SjisByteKind, TerminatorAndBeyondAreSingle) {
    EXPECT_EQ(SjisByteKind("ab", 2), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("ab", 50), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("\x81", 0), SJIS_LEAD);  // lead with no trail still a lead
    EXPECT_EQ(SjisByteKind("\x81", 1), SJIS_SINGLE);
}

TEST(SjisByteKind, ByteOutsideTrailRangeEndsTheSequence) {
    // 0x7F after a lead is a single byte; the byte after it is judged afresh.
    const char text[] = "\x81\x7F\x81\x40";
    EXPECT_EQ(SjisByteKind(text, 1), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind(text, 2), SJIS_LEAD);
    EXPECT_EQ(SjisByteKind(text, 3), SJIS_TRAIL);
    // A lead-range byte after a lead is its trail, and the next lead-range byte leads.
    const char pairs[] = "\x81\x81\x81\x81";
    EXPECT_EQ(SjisByteKind(pairs, 1), SJIS_TRAIL);
    EXPECT_EQ(SjisByteKind(pairs, 2), SJIS_LEAD);
    // Range bounds: 0x9F and 0xE0..0xFC lead, 0xA0..0xDF (half-width kana) and 0xFD do not.
    EXPECT_EQ(SjisByteKind("\x9F\x40", 0), SJIS_LEAD);
    EXPECT_EQ(SjisByteKind("\xA0", 0), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("\xDF", 0), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("\xE0\x40", 0), SJIS_LEAD);
    EXPECT_EQ(SjisByteKind("\xFC\xFC", 1), SJIS_TRAIL);
    EXPECT_EQ(SjisByteKind("\xFD", 0), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("\x81\xFD", 1), SJIS_SINGLE);
    EXPECT_EQ(SjisByteKind("\x81\x3F", 1), SJIS_SINGLE);
}

TEST(SjisNextChar, StepsOverCharactersAndStopsAtTheEnd) {
    const char text[] =
        "a\x83\x41"
        "b";
    EXPECT_EQ(SjisNextChar(text), text + 1);
    EXPECT_EQ(SjisNextChar(text + 1), text + 3);
    const char dangling[] = "\x81";
    EXPECT_EQ(SjisNextChar(dangling), dangling + 1);
    EXPECT_EQ(SjisNextChar(dangling + 1), dangling + 1);
}

TEST(LowerAsciiLetters, OnlySingleByteCapitalsChange) {
    char text[] =
        "\x83\x41"
        "A:\\DIR\\\x95\x5CZ\xB1Q";  // ア A : \ D I R \ 表 Z ｱ Q
    LowerAsciiLetters(text);
    EXPECT_EQ(std::string(text), std::string("\x83\x41"
                                             "a:\\dir\\\x95\x5Cz\xB1q"));
    char trailLetters[] = "\x82\x60\x82\x79";  // full-width Ａ and Ｚ: trails 0x60, 0x79
    LowerAsciiLetters(trailLetters);
    EXPECT_STREQ(trailLetters, "\x82\x60\x82\x79");
    char capitalTrail[] = "\x88\x41\x88\x5A";  // trail bytes that are ASCII capitals
    LowerAsciiLetters(capitalTrail);
    EXPECT_STREQ(capitalTrail, "\x88\x41\x88\x5A");
}

TEST(RemoveExtension, CutsOnlyTheLastComponentsExtension) {
    char app[] = "D:\\dir\\app.exe";
    char* ext = RemoveExtension(app);
    EXPECT_STREQ(app, "D:\\dir\\app");
    EXPECT_STREQ(ext, "exe");

    char noExt[] = "D:\\my.dir\\file";
    char* end = RemoveExtension(noExt);
    EXPECT_STREQ(noExt, "D:\\my.dir\\file");
    EXPECT_EQ(*end, '\0');
    EXPECT_EQ(end, noExt + strlen(noExt));

    char trailingDot[] = "D:\\dir\\name.";
    EXPECT_STREQ(RemoveExtension(trailingDot), "");
    EXPECT_STREQ(trailingDot, "D:\\dir\\name");

    char twoDots[] = "a.b.c";
    EXPECT_STREQ(RemoveExtension(twoDots), "c");
    EXPECT_STREQ(twoDots, "a.b");

    // The trail byte 0x5C of ソ is not a separator: the dot before it is the extension.
    char soInName[] = "D:\\x.\x83\x5C";
    EXPECT_STREQ(RemoveExtension(soInName), "\x83\x5C");
    EXPECT_STREQ(soInName, "D:\\x");
}

TEST(RemoveLastComponent, CutsAtTheLastRealBackslash) {
    char path[] = "D:\\dir\\app.exe";
    EXPECT_STREQ(RemoveLastComponent(path), "app.exe");
    EXPECT_STREQ(path, "D:\\dir");

    char root[] = "D:\\app.exe";
    RemoveLastComponent(root);
    EXPECT_STREQ(root, "D:");

    char plain[] = "app.exe";
    EXPECT_EQ(RemoveLastComponent(plain), plain);
    EXPECT_STREQ(plain, "app.exe");

    char trailing[] = "D:\\dir\\";
    RemoveLastComponent(trailing);
    EXPECT_STREQ(trailing, "D:\\dir");

    char kanjiFolder[] = "D:\\\x95\x5C\\a\x83\x5C";  // D:\表\aソ
    EXPECT_STREQ(RemoveLastComponent(kanjiFolder), "a\x83\x5C");
    EXPECT_STREQ(kanjiFolder, "D:\\\x95\x5C");
}

std::string Join(const char* folder, const char* name, size_t size = 261, bool whole = true) {
    std::vector<char> dest(size, '\x7E');
    EXPECT_EQ(JoinPath(dest.data(), size, folder, name), whole) << folder << " + " << name;
    return std::string(dest.data());
}

TEST(JoinPath, AddsExactlyOneSeparator) {
    EXPECT_EQ(Join("", "07123456.bmp"), "07123456.bmp");
    EXPECT_EQ(Join("D:\\dir", "a.bmp"), "D:\\dir\\a.bmp");
    EXPECT_EQ(Join("D:\\", "a.bmp"), "D:\\a.bmp");
    EXPECT_EQ(Join("D:\\\x83\x5C", "a.bmp"), "D:\\\x83\x5C\\a.bmp");  // ends in ソ
    EXPECT_EQ(Join("D:\\dir", ".x"), "D:\\dir\\.x");
    EXPECT_EQ(Join("D:\\dir", "..."), "D:\\dir\\...");
}

TEST(JoinPath, RefusesAFolderEndingInALoneLeadByte) {
    // The separator would become the trail byte and the file would land in C:\.
    for (const char* name : {"07123456.bmp", ".", ".."}) {
        EXPECT_EQ(Join("C:\\Pics\x81", name, 261, false), "") << name;
        EXPECT_EQ(Join("\xE0", name, 261, false), "") << name;
    }
    // A complete double-byte character at the end is a folder like any other.
    EXPECT_EQ(Join("C:\\Pics\x81\x40", "a.bmp"), "C:\\Pics\x81\x40\\a.bmp");
}

TEST(JoinPath, DotAndDotDot) {
    EXPECT_EQ(Join("D:\\dir", "."), "D:\\dir");
    EXPECT_EQ(Join("D:\\dir\\sub", ".."), "D:\\dir");
    EXPECT_EQ(Join("D:\\dir", ".."), "D:\\");
    EXPECT_EQ(Join("D:\\", ".."), "D:\\");
    EXPECT_EQ(Join("D:\\dir\\", ".."), "D:\\dir");
    EXPECT_EQ(Join("D:\\\x95\x5C\\sub", ".."), "D:\\\x95\x5C");
    // No real separator at all: nothing to go up to, and nothing below index 0 touched.
    EXPECT_EQ(Join("D:", ".."), "D:");
    EXPECT_EQ(Join("name", ".."), "name");
    EXPECT_EQ(Join("\x83\x5C", ".."), "\x83\x5C");
}

TEST(JoinPath, NeverWritesPastTheDestination) {
    std::string folder(259, 'f');  // the longest folder a 261-byte buffer can hold
    for (size_t size : {261u, 260u, 262u, 270u, 272u}) {
        char* dest = new char[size];  // exact size, so the sanitizer sees any overrun
        EXPECT_FALSE(JoinPath(dest, size, folder.c_str(), "07123456.bmp")) << size;
        EXPECT_LT(strlen(dest), size);
        EXPECT_EQ(std::string(dest).substr(0, 259), folder);
        delete[] dest;
    }
    // Room for the whole result: nothing is cut.
    char* roomy = new char[273];
    EXPECT_TRUE(JoinPath(roomy, 273, folder.c_str(), "07123456.bmp"));
    EXPECT_EQ(std::string(roomy), folder + "\\07123456.bmp");
    delete[] roomy;
    // Cut in the middle of a double-byte name: the lead byte goes too.
    EXPECT_EQ(Join("ab", "\x95\x5C\x95\x5C", 6, false), "ab\\\x95\x5C");
    EXPECT_EQ(Join("ab", "\x95\x5C", 5, false), "ab\\");
    EXPECT_EQ(Join("abc", "x", 4, false), "abc");
    EXPECT_EQ(Join("abc", "x", 1, false), "");
    EXPECT_EQ(Join("abcdef", ".", 4, false), "abc");
    EXPECT_EQ(Join("", "abcdef", 4, false), "abc");
    EXPECT_EQ(Join("ab", "cd", 6), "ab\\cd");  // exactly fits: 5 bytes and terminator
}

TEST(CopyTextBounded, NeverSplitsACharacter) {
    char dest[5];
    CopyTextBounded(dest, "abc\x83\x41", sizeof dest);  // abcア, 5 bytes
    EXPECT_STREQ(dest, "abc");
    CopyTextBounded(dest, "ab\x83\x41", sizeof dest);  // abア, 4 bytes
    EXPECT_STREQ(dest, "ab\x83\x41");
    CopyTextBounded(dest, "abcdefg", sizeof dest);
    EXPECT_STREQ(dest, "abcd");
    char one[1] = {'x'};
    CopyTextBounded(one, "anything", 1);
    EXPECT_EQ(one[0], '\0');
    // Like strncpy, the rest of the copied span is zero-filled.
    char filled[8];
    memset(filled, 'z', sizeof filled);
    CopyTextBounded(filled, "ab", sizeof filled);
    for (int i = 2; i < 8; ++i)
        EXPECT_EQ(filled[i], '\0') << i;
}

}  // namespace
