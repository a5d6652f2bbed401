// The BMP reader, from a file and from memory: files written by ImageMagick decode to the pixels
// ImageMagick reads from them; hostile files are refused. (Random and mutated files: the bmp_file
// fuzz target.)
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/fake/fake.h"
#include "render/bmp.h"
#include "tests/files.h"

namespace {

using testfiles::ReadAll;
const std::string kFixtures = std::string(TOLBEX_SOURCE_DIR) + "/tests/render/fixtures/";
const std::string kTemp = "/tmp/tolbex_bmp_test_" + std::to_string(::getpid()) + ".bmp";

std::string With(std::string d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = char(v >> (8 * i));
    return d;
}

// Both headers and no pixels, the image size left 0.
std::string Header(uint32_t width, uint32_t height, uint16_t bitCount) {
    std::string d = With(With(With(With(With(std::string(54, '\0'), 2, 54), 10, 54), 14, 40), 18, width), 22, height);
    d[0] = 'B', d[1] = 'M', d[26] = 1, d[28] = char(bitCount), d[29] = char(bitCount >> 8);
    return d;
}

// The pixels decoded from a file and from memory, which must agree; empty when refused.
std::vector<uint32_t> Load(const std::string& d) {
    auto pixels = [](const platform::Bitmap* b) {
        return b ? std::vector<uint32_t>(b->data(), b->data() + size_t(b->width()) * b->height()) : std::vector<uint32_t>{};
    };
    platform::Bitmap* slot = nullptr;
    LoadBmpFile(fake::MainWindow(), testfiles::WriteAll(kTemp, d).c_str(), &slot);
    const std::unique_ptr<platform::Bitmap> fromFile(slot),
        fromMemory(DecodeBmp(reinterpret_cast<const unsigned char*>(d.data()), d.size()));
    EXPECT_TRUE(!slot == !fromMemory && (!slot || slot->width() == fromMemory->width()));
    EXPECT_EQ(pixels(slot), pixels(fromMemory.get()));
    return pixels(fromMemory.get());
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
        const std::string rgb = ReadAll(kFixtures + name + ".rgb");   // red, green, blue, top row first
        std::vector<uint32_t> want(rgb.size() / 3);
        for (size_t i = 0; i < want.size(); ++i)
            want[i] = uint32_t(uint8_t(rgb[3 * i]) << 16 | uint8_t(rgb[3 * i + 1]) << 8 | uint8_t(rgb[3 * i + 2]));
        EXPECT_EQ(Load(ReadAll(kFixtures + name + ".bmp")), want) << name;
    }
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(BmpTest, HostileFilesAreRefusedAndOnlyAnUnreadableFileGivesAMessage) {
    const std::string good = ReadAll(kFixtures + "bits8.bmp");   // pixel offset 1078, 13 x 9
    const struct { const char* what; std::string bytes; bool decodes; } cases[] = {
        {"no BM mark", "bm" + good.substr(2), false},
        {"file header cut short", good.substr(0, 10), false},
        {"pixel offset below 54", With(good, 10, 30), false},
        {"file size below the pixel offset", With(good, 2, 1000), false},
        {"pixel offset past the end", With(With(good, 10, 0xFFFFFFF0u), 2, 0xFFFFFFFFu), false},
        {"file cut inside the colour table", good.substr(0, 600), false},
        {"pixel rows cut short", good.substr(0, good.size() - 20), false},
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
    for (const auto& c : cases) EXPECT_EQ(!Load(c.bytes).empty(), c.decodes) << c.what;
    EXPECT_TRUE(fake::Messages().empty());

    platform::Bitmap* slot = nullptr;
    LoadBmpFile(fake::MainWindow(), "/tmp", &slot);   // a folder opens but cannot be read
    EXPECT_EQ(slot, nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_TRUE(fake::Messages()[0].text == "/tmp : read error" && fake::Messages()[0].style == 0x30u);
}
