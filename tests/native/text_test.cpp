// The program's own formatting, number reading and sort against the C library's.
#include "base/text.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <random>
#include <string>

namespace {

// Every format the program prints, with the values each takes and their extremes; every
// buffer size from 0 up, so that cut texts and their results are compared too.
TEST(FormatText, ByteIdenticalToSnprintfForTheProgramsFormats) {
    const int extremes[] = {0,    1,      -1,      7,       9,           10,
                            31,   60,     99,      100,     1024,        65535,
                            4096, -32768, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
    auto same = [](const char* format, auto... values) {
        char expected[160], actual[160];
        for (size_t size = 0; size <= sizeof expected; size += size < 40 ? 1 : 60) {
            memset(expected, 'z', sizeof expected);
            memset(actual, 'z', sizeof actual);
            int wanted = snprintf(expected, size, format, values...);
            int got = FormatText(actual, size, format, values...);
            ASSERT_EQ(got, wanted) << format << " size " << size;
            ASSERT_EQ(std::string(actual, sizeof actual), std::string(expected, sizeof expected))
                << format << " size " << size;
        }
    };
    for (int a : extremes) {
        for (int b : extremes) {
            same("%d", a);
            same("%dx%d %d bits %d Hz", a, b, a, b);
            same("%dx%d %d bits", b, a, b);
            same("%02d%02d%02d%02d.bmp", a, b, b, a);
            same("(%d,%d-%d,%d) %d 倍", a, b, a, b, a);
            same("%d, %d", a, b);
            same("システムリソース： %d ％使用可能", a);
            same("\\StringFileInfo\\%04x%04x\\%s", (unsigned)a & 0xFFFF, (unsigned)b & 0xFFFF,
                 "ProductVersion");
            same("%u %x %X %5d|%-5d|%05d %c%%", (unsigned)a, (unsigned)b, (unsigned)a, b, a, b,
                 'k');
        }
    }
    std::string long_text(300, '\x95');  // lead bytes only: cut as bytes, as snprintf does
    same("%s について", "Kelvarin");
    same("%s ver. %s", long_text.c_str(), "1.0.0.0");
    same("%s", "");
}

TEST(ReadDecimal, ReadsAsStrtolThenSaturatesAtTheIntLimits) {
    const char* texts[] = {"0",
                           "42",
                           " \t\n+17x",
                           "-5",
                           "2147483647",
                           "2147483648",
                           "-2147483648",
                           "-2147483649",
                           "99999999999999999999",
                           "-99999999999999999999",
                           "0009",
                           "  -0",
                           "12 34"};
    for (const char* text : texts) {
        long expected = strtol(text, NULL, 10);
        expected = expected > INT_MAX ? INT_MAX : expected < INT_MIN ? INT_MIN : expected;
        int value = 12345;
        ASSERT_TRUE(ReadDecimal(text, &value)) << text;
        EXPECT_EQ(value, expected) << text;
    }
    int untouched = 3;
    for (const char* text : {"", "-", "+", " x1", "--1"})
        EXPECT_FALSE(ReadDecimal(text, &untouched)) << text;
    EXPECT_EQ(untouched, 3);
}

TEST(SortRecords, OrdersAsQsortDoes) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        int table[64], reference[64];
        size_t count = random() % 65;
        for (size_t i = 0; i < count; ++i)
            table[i] = reference[i] = static_cast<int>(random() % 21) - 10;
        auto order = [](const void* a, const void* b) {
            int x = *static_cast<const int*>(a), y = *static_cast<const int*>(b);
            return x < y ? -1 : x > y ? 1 : 0;
        };
        SortRecords(table, count, sizeof table[0], order);
        qsort(reference, count, sizeof reference[0], order);
        ASSERT_EQ(std::vector<int>(table, table + count),
                  std::vector<int>(reference, reference + count));
    }
}

}  // namespace
