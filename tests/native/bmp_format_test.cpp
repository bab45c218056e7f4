// BMP size rules and file bytes: the worked sizes in every bit count, the refused headers,
// and seeded random files that ImageMagick and Pillow accept and decode to what was written.
#include "capture/bmp_format.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

BmpInfoHeader Header(int32_t width, int32_t height, uint16_t bits) {
    BmpInfoHeader header;
    memset(&header, 0xAB, sizeof header);  // InitDibHeader must set every byte
    EXPECT_TRUE(InitDibHeader(&header, width, height, bits));
    return header;
}

TEST(BmpSizes, WorkedExamplesAndRefusedHeaders) {
    struct Case {
        int32_t width, height;
        uint16_t bits;
        int32_t entries, stride, image, offset, file;
    } cases[] = {{1, 1, 24, 0, 4, 4, 54, 58},
                 {3, 2, 24, 0, 12, 24, 54, 78},
                 {4, 1, 24, 0, 12, 12, 54, 66},
                 {5, 1, 24, 0, 16, 16, 54, 70},
                 {7, 3, 1, 2, 4, 12, 62, 74},
                 {7, 1, 2, 4, 4, 4, 70, 74},
                 {9, 1, 4, 16, 8, 8, 118, 126},
                 {5, 2, 8, 256, 8, 16, 1078, 1094},
                 {3, 1, 16, 0, 8, 8, 54, 62},
                 {3, 1, 32, 0, 12, 12, 54, 66},
                 {1024, 768, 24, 0, 3072, 2359296, 54, 2359350}};
    for (const Case& c : cases) {
        BmpInfoHeader h = Header(c.width, c.height, c.bits);
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << "x" << c.bits);
        EXPECT_EQ(BmpPaletteEntries(h), c.entries);
        EXPECT_EQ(BmpRowStride(h), c.stride);
        EXPECT_EQ(BmpImageSize(h), c.image);
        EXPECT_EQ(BmpPixelOffset(h), c.offset);
        EXPECT_EQ(BmpFileSize(h), c.file);
        EXPECT_TRUE(IsWritableBmp(h));
    }
    // Bit counts without a palette size, top-down, empty and inconsistent headers.
    for (uint16_t bits : {0, 3, 5, 12, 15, 33, 48, 65535}) {
        EXPECT_EQ(BmpFileSize(Header(4, 4, bits)), -1) << bits;
        EXPECT_FALSE(IsWritableBmp(Header(4, 4, bits))) << bits;
    }
    EXPECT_FALSE(IsWritableBmp(Header(1, -2, 24)));
    EXPECT_FALSE(IsWritableBmp(Header(0, 5, 24)));
    BmpInfoHeader stale = Header(8, 8, 24);
    stale.biSizeImage -= 4;
    EXPECT_FALSE(IsWritableBmp(stale));
}

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

bool ToFile(void* file, const void* bytes, size_t size) {
    return fwrite(bytes, 1, size, static_cast<FILE*>(file)) == size;
}

// The top-down RGB a reader should decode from these pixels, by the rules of the bit count.
std::vector<unsigned char> ExpectedRgb(const BmpInfoHeader& h,
                                       const std::vector<BmpPaletteEntry>& palette,
                                       const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> rgb;
    const int bits = h.biBitCount;
    for (int32_t y = h.biHeight - 1; y >= 0; --y) {
        const unsigned char* row = &pixels[static_cast<size_t>(y * BmpRowStride(h))];
        for (int32_t x = 0; x < h.biWidth; ++x) {
            const unsigned char* p = row + x * bits / 8;
            if (bits >= 24) {
                rgb.insert(rgb.end(), {p[2], p[1], p[0]});
                continue;
            }
            const BmpPaletteEntry& e =
                palette[(*p >> (8 - bits - x * bits % 8)) & ((1 << bits) - 1)];
            rgb.insert(rgb.end(), {e.rgbRed, e.rgbGreen, e.rgbBlue});
        }
    }
    return rgb;
}

// Seeded random sizes and contents in every bit count both readers know (neither reads
// 2-bit files). Pillow writes what it decoded beside each file; 16-bit files are only
// checked for acceptance, since readers differ in how they widen 5-bit channels.
TEST(BmpFiles, RandomFilesAreAcceptedAndDecodeToTheirPixels) {
    char folder[] = "/tmp/kelvarin_bmp_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    std::mt19937 rng(7);
    const uint16_t kBits[] = {1, 4, 8, 16, 24, 32};
    std::vector<std::string> paths;
    std::vector<std::vector<unsigned char>> expected;
    std::string list;
    for (int i = 0; i < 36; ++i) {
        BmpInfoHeader h = Header(1 + rng() % 97, 1 + rng() % 41, kBits[i % 6]);
        std::vector<BmpPaletteEntry> palette(static_cast<size_t>(BmpPaletteEntries(h)));
        for (BmpPaletteEntry& e : palette)
            e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                 static_cast<uint8_t>(rng()), 0};
        std::vector<unsigned char> pixels(h.biSizeImage);
        for (unsigned char& b : pixels)
            b = static_cast<unsigned char>(rng());
        paths.push_back(std::string(folder) + "/" + std::to_string(i) + ".bmp");
        FILE* file = fopen(paths.back().c_str(), "wb");
        ASSERT_NE(file, nullptr);
        EXPECT_TRUE(WriteBmpBytes(h, palette.data(), pixels.data(), ToFile, file));
        EXPECT_EQ(fclose(file), 0);
        expected.push_back(h.biBitCount == 16 ? std::vector<unsigned char>()
                                              : ExpectedRgb(h, palette, pixels));
        list += " " + paths.back();
    }
    EXPECT_EQ(system(("identify -regard-warnings" + list + " >/dev/null").c_str()), 0);
    std::string pillow =
        "/usr/bin/python3 -c 'import sys; from PIL import Image\n"
        "for p in sys.argv[1:]:\n"
        "  i = Image.open(p); i.load(); open(p + \".rgb\", \"wb\").write(i.convert(\"RGB\")"
        ".tobytes())'";
    ASSERT_EQ(system((pillow + list).c_str()), 0);
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!expected[i].empty()) {
            EXPECT_EQ(ReadAll(paths[i] + ".rgb"), expected[i]) << paths[i];
        }
    }
    EXPECT_EQ(system(("rm -rf " + std::string(folder)).c_str()), 0);
}

}  // namespace
