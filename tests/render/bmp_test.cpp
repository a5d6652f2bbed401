// The BMP reader: files written by ImageMagick decode to the pixels ImageMagick reads from them;
// inconsistent or hostile files are refused or decoded without leaving their blocks (thousands
// of mutated files, meant to run under the sanitizers); the chooser's dialog and its outcomes.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "board/state.h"
#include "platform/bitmap.h"
#include "platform/fake/fake.h"
#include "render/bmp.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kFixtures = std::string(TOLBEX_SOURCE_DIR) + "/tests/render/fixtures/";

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string TempPath(const std::string& name) {
    return "/tmp/tolbex_bmp_test_" + std::to_string(::getpid()) + "_" + name;
}

std::vector<std::string> tempFiles;   // removed after each test

std::string WriteTemp(const std::string& name, const Bytes& data) {
    const std::string path = TempPath(name);
    tempFiles.push_back(path);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()),
                                                static_cast<std::streamsize>(data.size()));
    return path;
}

void Put32(Bytes& d, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) d[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::unique_ptr<platform::Bitmap> Load(const std::string& path) {
    platform::Bitmap* slot = reinterpret_cast<platform::Bitmap*>(1);   // must be overwritten
    LoadBmpFile(fake::MainWindow(), path.c_str(), &slot);
    return std::unique_ptr<platform::Bitmap>(slot);
}

// Compares a bitmap with ImageMagick's own reading: 8-bit red, green, blue, top row first.
void ExpectPixels(const platform::Bitmap& b, const Bytes& rgb, const std::string& name) {
    ASSERT_EQ(rgb.size(), static_cast<size_t>(b.width()) * b.height() * 3) << name;
    int wrong = 0;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x) {
            const uint8_t* p = &rgb[(static_cast<size_t>(y) * b.width() + x) * 3];
            const uint32_t want = (uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
            if (b.row(y)[x] != want && ++wrong <= 3)
                ADD_FAILURE() << name << " pixel " << x << "," << y << ": " << std::hex << b.row(y)[x]
                              << " instead of " << want;
        }
}

class BmpTest : public ::testing::Test {
protected:
    void SetUp() override { fake::Reset(); }
    void TearDown() override {
        for (const std::string& path : tempFiles) std::remove(path.c_str());
        tempFiles.clear();
    }
};

}  // namespace

TEST_F(BmpTest, FilesWrittenByImageMagickDecodeToThePixelsItReads) {
    const char* names[] = {"bits1", "bits4", "bits8", "bits24", "bits32", "bits32_bitfields", "rle8",
                           "rle8_few", "topdown24", "clrused0", "sizeimage0"};
    for (const char* name : names) {
        const std::string base = kFixtures + name;
        auto b = Load(base + ".bmp");
        ASSERT_TRUE(b) << name;
        ExpectPixels(*b, ReadAll(base + ".rgb"), name);
        const Bytes file = ReadAll(base + ".bmp");
        std::unique_ptr<platform::Bitmap> fromMemory(DecodeBmp(file.data(), file.size()));
        ASSERT_TRUE(fromMemory) << name;
        ExpectPixels(*fromMemory, ReadAll(base + ".rgb"), std::string(name) + " in memory");
    }
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(BmpTest, UnopenableFileGivesTheReadErrorAndNoBitmap) {
    const std::string path = TempPath("missing.bmp");
    EXPECT_FALSE(Load(path));
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, path + " : read error");
    EXPECT_EQ(fake::Messages()[0].caption, "Tolbex");
    EXPECT_EQ(fake::Messages()[0].style, 0x30u);
    EXPECT_FALSE(Load("/tmp"));   // a folder opens on this system but cannot be read as a file
    ASSERT_EQ(fake::Messages().size(), 2u);
    EXPECT_EQ(fake::Messages()[1].text, "/tmp : read error");
}

TEST_F(BmpTest, InconsistentHeadersAreRefusedWithoutAMessage) {
    const Bytes good = ReadAll(kFixtures + "bits8.bmp");   // pixel offset 1078, 13 x 9
    auto refused = [&](const std::string& what, Bytes d) {
        EXPECT_FALSE(Load(WriteTemp("refused.bmp", d))) << what;
        EXPECT_FALSE(std::unique_ptr<platform::Bitmap>(DecodeBmp(d.data(), d.size()))) << what;
    };
    Bytes d = good;
    d[0] = 'b';
    refused("no BM mark", d);
    refused("empty file", {});
    refused("file header cut short", Bytes(good.begin(), good.begin() + 10));
    d = good;
    Put32(d, 10, 53);
    refused("pixel offset below 54", d);
    d = good;
    Put32(d, 2, 1000);
    refused("file size below the pixel offset", d);
    d = good;
    Put32(d, 10, 0xFFFFFFF0u);
    Put32(d, 2, 0xFFFFFFFFu);
    refused("pixel offset past the end of the file", d);
    refused("colour table past the end", Bytes(good.begin(), good.begin() + 600));
    refused("pixel rows cut short", Bytes(good.begin(), good.end() - 20));
    d = good;
    Put32(d, 18, 100000);
    refused("enormous width", d);
    d = good;
    Put32(d, 22, 0x80000000u);
    refused("enormous height", d);
    EXPECT_TRUE(fake::Messages().empty());
}

TEST_F(BmpTest, TrustedSizeFieldIsCutAtTheRealEndAndAShortTableLeavesBlack) {
    // A file size field far beyond the file: the pixels are read up to the real end.
    Bytes d = ReadAll(kFixtures + "bits24.bmp");
    Put32(d, 2, 0x7FFFFFFFu);
    EXPECT_TRUE(Load(WriteTemp("bigsize.bmp", d)));
    // A 4-bit file whose table holds 2 entries (pixel offset 62) although the colour count is 0:
    // the reader completes the count to 16, and the entries beyond the block come out black.
    Bytes f = ReadAll(kFixtures + "bits4.bmp");   // 7 x 5, pixel offset 118
    Bytes cut(f.begin(), f.begin() + 62);
    cut.insert(cut.end(), f.begin() + 118, f.end());
    Put32(cut, 2, static_cast<uint32_t>(cut.size()));
    Put32(cut, 10, 62);
    Put32(cut, 46, 0);
    auto b = Load(WriteTemp("shorttable.bmp", cut));
    ASSERT_TRUE(b);
    const Bytes rgb = ReadAll(kFixtures + "bits4.rgb");
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint8_t* p = &rgb[(y * 7 + x) * 3];
            const uint32_t full = (uint32_t{p[0]} << 16) | (p[1] << 8) | p[2];
            const uint32_t got = b->row(y)[x];
            EXPECT_TRUE(got == full || got == 0) << x << "," << y;
        }
    EXPECT_EQ(b->row(0)[0], 0xFF0000u);   // red is one of the first two entries ImageMagick wrote
}

TEST_F(BmpTest, MutatedFilesNeverLeaveTheirBlocks) {
    const char* names[] = {"bits1", "bits4", "bits8", "bits24", "bits32_bitfields", "rle8", "rle8_few"};
    std::mt19937 rng(20261205);
    int decoded = 0, total = 0;
    for (const char* name : names) {
        const Bytes original = ReadAll(kFixtures + name + ".bmp");
        for (int round = 0; round < 600; ++round) {
            Bytes d = original;
            const int edits = 1 + static_cast<int>(rng() % 4);
            for (int e = 0; e < edits; ++e) {
                const unsigned kind = rng() % 5;
                // Most edits land in the headers, where the reader decides what to trust.
                const size_t at = (rng() % 2 ? rng() % 58 : rng()) % d.size();
                if (kind == 0) d[at] = static_cast<uint8_t>(rng());
                else if (kind == 1) d[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                else if (kind == 2 && at + 4 <= d.size()) {
                    const uint32_t extremes[] = {0, 1, 0x7FFFFFFF, 0x80000000u, 0xFFFFFFFFu, 16384, 54};
                    Put32(d, at, extremes[rng() % 7]);
                } else if (kind == 3) d.resize(at);
                else d.push_back(static_cast<uint8_t>(rng()));
                if (d.empty()) d.push_back('B');
            }
            std::unique_ptr<platform::Bitmap> b(DecodeBmp(d.data(), d.size()));
            ++total;
            if (b) {
                ++decoded;
                EXPECT_GT(b->width(), 0);
                EXPECT_LE(b->width(), 16384);
                EXPECT_LE(static_cast<int64_t>(b->width()) * b->height(), int64_t{1} << 25);
            }
            if (round % 20 == 0) Load(WriteTemp("mutated.bmp", d));   // the file path as well
        }
    }
    EXPECT_EQ(total, 4200);
    EXPECT_GT(decoded, 100);   // the mutations are not all refused at the mark
}

TEST_F(BmpTest, ChooserOffersBmpFilesFromTheGraphicsFolder) {
    std::snprintf(startDir, sizeof startDir, "/home/player/tolbex");
    char path[kPathSize] = "left over";
    platform::Bitmap* slot = new platform::Bitmap(2, 2);   // released whatever the player does
    EXPECT_EQ(ChooseBmpFile(fake::MainWindow(), path, &slot), 0);
    EXPECT_EQ(slot, nullptr);
    EXPECT_STREQ(path, "");
    ASSERT_EQ(fake::FileDialogs().size(), 1u);
    const fake::FileDialogRecord& r = fake::FileDialogs()[0];
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.filterName, "BMP Files (*.BMP)");
    EXPECT_EQ(r.filterPattern, "*.BMP");
    EXPECT_FALSE(r.allFilesFilter);
    EXPECT_EQ(r.filterIndex, 1);
    EXPECT_EQ(r.initialDir, "/home/player/tolbex/GRAPHICS");
    EXPECT_EQ(r.title, "Tolbex");
    EXPECT_EQ(r.flags, 0x1810u);
    EXPECT_EQ(r.defExt, "BMP");

    const std::string chosen = kFixtures + "bits24.bmp";
    fake::QueueFileAnswer(chosen);
    slot = new platform::Bitmap(2, 2);
    EXPECT_EQ(ChooseBmpFile(fake::MainWindow(), path, &slot), 1);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->width(), 13);
    EXPECT_EQ(path, chosen);
    platform::DeleteBitmap(slot);

    // A chosen file that gives no bitmap still counts as chosen.
    fake::QueueFileAnswer(TempPath("gone.bmp"));
    EXPECT_EQ(ChooseBmpFile(fake::MainWindow(), path, &slot), 1);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(fake::Messages().size(), 1u);
    startDir[0] = '\0';
}
