// BMP size rules and file bytes: the worked sizes, the header layout byte by byte, hostile
// headers under the sanitizers, and seeded random files that ImageMagick and Pillow must
// accept and decode to the pixels that were written.
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

std::vector<unsigned char> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

uint32_t Le(const std::vector<unsigned char>& bytes, size_t offset, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | bytes[offset + i];
    return value;
}

TEST(BmpSizes, WorkedExamples) {
    struct Case {
        int32_t width, height;
        uint16_t bits;
        int32_t entries, stride, image, offset, file;
    } cases[] = {
        {1, 1, 24, 0, 4, 4, 54, 58},
        {3, 2, 24, 0, 12, 24, 54, 78},
        {4, 1, 24, 0, 12, 12, 54, 66},
        {5, 1, 24, 0, 16, 16, 54, 70},
        {7, 3, 1, 2, 4, 12, 62, 74},
        {7, 1, 2, 4, 4, 4, 70, 74},
        {9, 1, 4, 16, 8, 8, 118, 126},
        {5, 2, 8, 256, 8, 16, 1078, 1094},
        {3, 1, 16, 0, 8, 8, 54, 62},
        {3, 1, 32, 0, 12, 12, 54, 66},
        {1024, 768, 24, 0, 3072, 2359296, 54, 2359350},
    };
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
    for (uint16_t bits : {0, 3, 5, 12, 15, 33, 48, 65535}) {
        BmpInfoHeader h = Header(4, 4, bits);
        EXPECT_EQ(BmpPaletteEntries(h), -1) << bits;
        EXPECT_EQ(BmpFileSize(h), -1) << bits;
        EXPECT_FALSE(IsWritableBmp(h)) << bits;
    }
    // Top-down and empty bitmaps have sizes by the rules but are not written.
    EXPECT_EQ(BmpImageSize(Header(1, -2, 24)), -8);
    EXPECT_FALSE(IsWritableBmp(Header(1, -2, 24)));
    EXPECT_FALSE(IsWritableBmp(Header(0, 5, 24)));
    BmpInfoHeader stale = Header(8, 8, 24);
    stale.biSizeImage -= 4;
    EXPECT_FALSE(IsWritableBmp(stale));
}

// Any header, however hostile: no overflow (the sanitizers watch), and every size is the
// exact 64-bit value when that fits 32 bits, otherwise -1.
TEST(BmpSizes, RandomHeadersNeverOverflow) {
    std::mt19937 rng(20240501);
    for (int i = 0; i < 200000; ++i) {
        BmpInfoHeader h = Header(static_cast<int32_t>(rng()), static_cast<int32_t>(rng()),
                                 static_cast<uint16_t>(i % 3 ? rng() % 40 : rng()));
        int64_t stride = h.biWidth < 0 ? -1 : ((int64_t)h.biWidth * h.biBitCount + 31) / 32 * 4;
        int64_t image = stride < 0 || stride > INT32_MAX ? -1 : stride * h.biHeight;
        ASSERT_EQ(BmpRowStride(h), stride > INT32_MAX ? -1 : stride);
        ASSERT_EQ(BmpImageSize(h), image > INT32_MAX || image < INT32_MIN ? -1 : image);
        if (IsWritableBmp(h)) {
            ASSERT_EQ(BmpFileSize(h), (int64_t)BmpPixelOffset(h) + BmpImageSize(h));
        }
    }
}

bool ToFile(void* file, const void* bytes, size_t size) {
    return fwrite(bytes, 1, size, static_cast<FILE*>(file)) == size;
}

class BmpFiles : public testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/kelvarin_bmp_XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder_ = pattern;
    }
    void TearDown() override { EXPECT_EQ(system(("rm -rf " + folder_).c_str()), 0); }

    std::string Write(const BmpInfoHeader& h, const std::vector<BmpPaletteEntry>& palette,
                      const std::vector<unsigned char>& pixels) {
        std::string path = folder_ + "/" + std::to_string(count_++) + ".bmp";
        FILE* file = fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        EXPECT_TRUE(WriteBmpBytes(h, palette.data(), pixels.data(), ToFile, file));
        EXPECT_EQ(fclose(file), 0);
        return path;
    }

    std::string folder_;
    int count_ = 0;
};

TEST_F(BmpFiles, EveryFieldAtItsOffset) {
    BmpInfoHeader h = Header(3, 2, 24);
    std::vector<unsigned char> pixels(24);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i + 1);
    std::vector<unsigned char> file = ReadAll(Write(h, {}, pixels));
    ASSERT_EQ(file.size(), 78u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    const uint32_t fields[][3] = {{2, 4, 78},  {6, 2, 0},  {8, 2, 0},  {10, 4, 54}, {14, 4, 40},
                                  {18, 4, 3},  {22, 4, 2}, {26, 2, 1}, {28, 2, 24}, {30, 4, 0},
                                  {34, 4, 24}, {38, 4, 0}, {42, 4, 0}, {46, 4, 0},  {50, 4, 0}};
    for (const auto& f : fields)
        EXPECT_EQ(Le(file, f[0], static_cast<int>(f[1])), f[2]) << "offset " << f[0];
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), file.begin() + 54));
}

// The expected top-down RGB of a file's pixels, decoded by the rules of its bit count.
std::vector<unsigned char> ExpectedRgb(const BmpInfoHeader& h,
                                       const std::vector<BmpPaletteEntry>& palette,
                                       const std::vector<unsigned char>& pixels) {
    std::vector<unsigned char> rgb;
    int32_t stride = BmpRowStride(h);
    for (int32_t y = h.biHeight - 1; y >= 0; --y) {
        const unsigned char* row = &pixels[static_cast<size_t>(y * stride)];
        for (int32_t x = 0; x < h.biWidth; ++x) {
            int bits = h.biBitCount;
            if (bits >= 24) {
                const unsigned char* p = row + x * bits / 8;
                rgb.insert(rgb.end(), {p[2], p[1], p[0]});
                continue;
            }
            int shift = 8 - bits - x * bits % 8;
            const BmpPaletteEntry& e = palette[(row[x * bits / 8] >> shift) & ((1 << bits) - 1)];
            rgb.insert(rgb.end(), {e.rgbRed, e.rgbGreen, e.rgbBlue});
        }
    }
    return rgb;
}

// Seeded random sizes and contents in every bit count both readers know (neither reads
// 2-bit files). Pillow writes what it decoded beside each file; 16-bit files are only
// checked for acceptance, since readers differ in how they widen 5-bit channels.
TEST_F(BmpFiles, RandomFilesAreAcceptedAndDecodeToTheirPixels) {
    std::mt19937 rng(7);
    const uint16_t kBits[] = {1, 4, 8, 16, 24, 32};
    struct Written {
        std::string path;
        std::vector<unsigned char> rgb;
    };
    std::vector<Written> files;
    for (int i = 0; i < 36; ++i) {
        BmpInfoHeader h = Header(1 + rng() % 97, 1 + rng() % 41, kBits[i % 6]);
        std::vector<BmpPaletteEntry> palette(static_cast<size_t>(BmpPaletteEntries(h)));
        for (BmpPaletteEntry& e : palette)
            e = {static_cast<uint8_t>(rng()), static_cast<uint8_t>(rng()),
                 static_cast<uint8_t>(rng()), 0};
        std::vector<unsigned char> pixels(h.biSizeImage);
        for (unsigned char& b : pixels)
            b = static_cast<unsigned char>(rng());
        std::string path = Write(h, palette, pixels);
        files.push_back({path, h.biBitCount == 16 ? std::vector<unsigned char>()
                                                  : ExpectedRgb(h, palette, pixels)});
    }
    std::string list;
    for (const Written& f : files)
        list += " " + f.path;
    EXPECT_EQ(system(("identify -regard-warnings" + list + " >/dev/null").c_str()), 0);
    std::string pillow =
        "/usr/bin/python3 -c 'import sys; from PIL import Image\n"
        "for p in sys.argv[1:]:\n"
        "  i = Image.open(p); i.load(); open(p + \".rgb\", \"wb\").write(i.convert(\"RGB\")"
        ".tobytes())'";
    ASSERT_EQ(system((pillow + list).c_str()), 0);
    for (const Written& f : files) {
        if (!f.rgb.empty()) {
            EXPECT_EQ(ReadAll(f.path + ".rgb"), f.rgb) << f.path;
        }
    }
}

}  // namespace
