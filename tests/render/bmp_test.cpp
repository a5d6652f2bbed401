// The BMP reader, from a file and from memory: files written by ImageMagick decode to the pixels
// ImageMagick reads from them; hostile files are refused or decoded without leaving their blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/fake/fake.h"
#include "render/bmp.h"

namespace {

using Bytes = std::vector<uint8_t>;
const std::string kFixtures = std::string(TOLBEX_SOURCE_DIR) + "/tests/render/fixtures/";
const std::string kTemp = "/tmp/tolbex_bmp_test_" + std::to_string(::getpid()) + ".bmp";

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes With(Bytes d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
    return d;
}

// A 54-byte BMP: both headers and no pixels, the image size left 0.
Bytes Header(uint32_t width, uint32_t height, uint16_t bitCount) {
    Bytes d(54, 0);
    d[0] = 'B', d[1] = 'M';
    d = With(With(With(With(With(d, 2, 54), 10, 54), 14, 40), 18, width), 22, height);
    d[26] = 1, d[28] = uint8_t(bitCount), d[29] = uint8_t(bitCount >> 8);
    return d;
}

std::vector<uint32_t> Pixels(const platform::Bitmap* b) {
    return b ? std::vector<uint32_t>(b->data(), b->data() + size_t(b->width()) * b->height()) : std::vector<uint32_t>{};
}

// Decodes the bytes from memory and from a file; both ways must give the same bitmap.
std::unique_ptr<platform::Bitmap> Load(const Bytes& d) {
    std::ofstream(kTemp, std::ios::binary).write(reinterpret_cast<const char*>(d.data()), std::streamsize(d.size()));
    platform::Bitmap* slot = nullptr;
    LoadBmpFile(fake::MainWindow(), kTemp.c_str(), &slot);
    std::unique_ptr<platform::Bitmap> fromFile(slot), fromMemory(DecodeBmp(d.data(), d.size()));
    EXPECT_TRUE(!slot == !fromMemory && (!slot || slot->width() == fromMemory->width()) && Pixels(slot) == Pixels(fromMemory.get()));
    return fromMemory;
}

class BmpTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override { std::remove(kTemp.c_str()); }
};

}  // namespace

TEST_F(BmpTest, FilesWrittenByImageMagickDecodeToThePixelsItReads) {
    for (const char* name : {"bits1", "bits4", "bits8", "bits24", "bits32", "bits32_bitfields", "rle8", "rle8_few",
                             "topdown24", "clrused0", "sizeimage0"}) {
        SCOPED_TRACE(name);
        auto b = Load(ReadAll(kFixtures + name + ".bmp"));
        const Bytes rgb = ReadAll(kFixtures + name + ".rgb");   // red, green, blue, top row first
        std::vector<uint32_t> want(rgb.size() / 3);
        for (size_t i = 0; i < want.size(); ++i) want[i] = uint32_t(rgb[3 * i] << 16 | rgb[3 * i + 1] << 8 | rgb[3 * i + 2]);
        EXPECT_EQ(Pixels(b.get()), want);
    }
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(BmpTest, HostileFilesAreRefusedAndOnlyAnUnreadableFileGivesAMessage) {
    const Bytes good = ReadAll(kFixtures + "bits8.bmp");   // pixel offset 1078, 13 x 9
    struct Case { const char* what; Bytes bytes; bool decodes; };
    const Case cases[] = {
        {"no BM mark", With(good, 0, 0x4D62u | uint32_t(good[2]) << 16 | uint32_t(good[3]) << 24), false},
        {"file header cut short", Bytes(good.begin(), good.begin() + 10), false},
        {"pixel offset below 54", With(good, 10, 30), false},
        {"file size below the pixel offset", With(good, 2, 1000), false},
        {"pixel offset past the end", With(With(good, 10, 0xFFFFFFF0u), 2, 0xFFFFFFFFu), false},
        {"file cut inside the colour table", Bytes(good.begin(), good.begin() + 600), false},
        {"pixel rows cut short", Bytes(good.begin(), good.end() - 20), false},
        {"enormous width", With(good, 18, 100000), false},
        {"enormous height", With(good, 22, 0x80000000u), false},
        {"colour count past the table", With(good, 46, 0x10000000u), true},
        {"size field past the real end", With(ReadAll(kFixtures + "bits24.bmp"), 2, 0x7FFFFFFFu), true},
        // Headers alone, image size 0: sides and depths whose row and image sizes overflow.
        {"2147483647 x 2147483647 at 32 bits", Header(0x7FFFFFFF, 0x7FFFFFFF, 32), false},
        {"2147483647 x -2147483648 at 32 bits", Header(0x7FFFFFFF, 0x80000000u, 32), false},
        {"-2147483648 x 2147483647 at 24 bits", Header(0x80000000u, 0x7FFFFFFF, 24), false},
        {"16384 x 16384 at 65535 bits", Header(16384, 16384, 0xFFFF), false},
    };
    for (const Case& c : cases) EXPECT_EQ(Load(c.bytes) != nullptr, c.decodes) << c.what;
    EXPECT_TRUE(fake::Messages().empty());

    platform::Bitmap* slot = nullptr;
    LoadBmpFile(fake::MainWindow(), "/tmp", &slot);   // a folder opens but cannot be read
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_TRUE(fake::Messages()[0].text == "/tmp : read error" && fake::Messages()[0].style == 0x30u);
}

TEST_F(BmpTest, MutatedFilesNeverLeaveTheirBlocks) {
    std::mt19937 rng(20261205);
    int decoded = 0;
    for (const char* name : {"bits1", "bits4", "bits8", "bits24", "bits32_bitfields", "rle8", "rle8_few"}) {
        const Bytes original = ReadAll(kFixtures + name + ".bmp");
        for (int round = 0; round < 60; ++round) {
            Bytes d = original;
            for (int e = 0, edits = 1 + int(rng() % 4); e < edits; ++e) {
                const uint32_t kind = rng() % 4, extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 16384, 54};
                const size_t at = (rng() % 2 ? rng() % 58 : rng()) % d.size();   // mostly in the headers
                if (kind == 0) d[at] = uint8_t(rng());
                else if (kind == 1 && at + 4 <= d.size()) d = With(d, at, extremes[rng() % 7]);
                else if (kind == 2) d.resize(std::max<size_t>(at, 1));
                else d.push_back(uint8_t(rng()));
            }
            const auto b = Load(d);
            decoded += b != nullptr;
            EXPECT_TRUE(!b || (b->width() > 0 && b->width() <= 16384 && int64_t{b->width()} * b->height() <= 1 << 25));
        }
    }
    EXPECT_GT(decoded, 30);   // the mutations are not all refused at the mark
}
