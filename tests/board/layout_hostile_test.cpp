// Hostile layout files: random bytes, mutated shipped layouts and random text of every shape go
// through the loader. Each must either load into a consistent board or leave the board exactly
// as it was; nothing may crash or touch memory outside a table (run under ASan+UBSan too).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/layout.h"
#include "board/state.h"
#include "platform/fake/fake.h"
#include "tests/board/layout_files.h"

namespace {

using namespace layoutfiles;

std::vector<uint8_t> ReadShipped(const char* name) {
    std::ifstream in(std::string(TOLBEX_SOURCE_DIR) + "/data/LAYOUTS/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> RandomBytes(std::mt19937& rng) {
    // Sizes around the binary size are the interesting ones.
    std::uniform_int_distribution<int> pick(0, 9);
    const int kind = pick(rng);
    size_t size = kind < 3 ? 308 : kind < 5 ? 300 + rng() % 16 : rng() % 3000;
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
    return bytes;
}

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        switch (rng() % 5) {
        case 0:   // flip a byte
            if (!bytes.empty()) bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
            break;
        case 1:   // cut the file
            bytes.resize(bytes.empty() ? 0 : rng() % bytes.size());
            break;
        case 2: {   // insert digits, signs, blanks or NUL bytes
            static const char kChars[] = "0123456789 -+\t\n;,\0";
            const size_t at = bytes.empty() ? 0 : rng() % bytes.size();
            bytes.insert(bytes.begin() + static_cast<long>(at), static_cast<uint8_t>(kChars[rng() % (sizeof kChars)]));
            break;
        }
        case 3:   // a very long line
            bytes.insert(bytes.end(), 300 + rng() % 400, static_cast<uint8_t>('7'));
            break;
        default:   // bring it to the binary size
            bytes.resize(308, static_cast<uint8_t>(rng()));
            break;
        }
    }
    return bytes;
}

std::string RandomText(std::mt19937& rng) {
    std::string text;
    const int lines = static_cast<int>(rng() % 200);
    for (int i = 0; i < lines; ++i) {
        switch (rng() % 6) {
        case 0:
            text += std::to_string(static_cast<int>(rng() % 25) - 2) + " " + std::to_string(static_cast<int>(rng() % 40) - 2) +
                    " " + std::to_string(static_cast<int>(rng() % 7) - 1);
            break;
        case 1:
            text += std::to_string(rng() % 19) + " " + std::to_string(rng() % 33) + " " + std::to_string(rng() % 5);
            break;
        case 2:
            text += "99999999999999999999999 -99999999999999999999 2147483648";
            break;
        case 3:
            text += std::string(rng() % 600, ' ') + "1 2 3";
            break;
        case 4:
            text += "; comment " + std::to_string(rng());
            break;
        default:
            text += "+" + std::to_string(rng() % 19) + "\t-0\v" + std::to_string(rng() % 5);
            break;
        }
        text += (rng() % 10 == 0) ? "\r\n" : "\n";
    }
    return text;
}

class HostileLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        fake::Reset();
        fake::SetConfigDirectory(dir.Path());
        std::memset(&Board, 0, sizeof Board);
        std::memset(&GameState, 0, sizeof GameState);
        const std::string good = dir.File("GOOD.TXL");
        WriteText(good, TextLayout(Rectangle144()));
        ASSERT_EQ(LoadLayout(nullptr, good.c_str()), 1);
    }

    // Loads `bytes` as a layout file; checks the board is either the new layout or untouched.
    void Try(const std::vector<uint8_t>& bytes, const std::string& what) {
        const std::string path = dir.File("HOSTILE.TXL");
        WriteBytes(path, bytes);
        const BoardRecord before = Board;
        const size_t messages = fake::Messages().size();
        if (LoadLayout(nullptr, path.c_str()) == 1) {
            ++loaded;
            EXPECT_EQ(fake::Messages().size(), messages) << what;
            ExpectConsistentBoard(what);
        } else {
            EXPECT_EQ(std::memcmp(&before, &Board, sizeof Board), 0) << what << ": refused file changed the board";
            EXPECT_LE(fake::Messages().size(), messages + 1) << what;
        }
        EXPECT_STREQ(GameState.scoresPath, dir.File("HOSTILE.txs").c_str());
        // The bare parser, on a map it does not clear, must stay inside the table too.
        std::FILE* f = std::fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        const int16_t result = ParseLayoutFile(f);
        EXPECT_TRUE(result == 0 || result == 1);
        for (auto& level : Board.layoutMap)
            for (auto& row : level)
                for (uint8_t v : row) ASSERT_LE(v, 1) << what;
        Board = before;
    }

    ScratchDir dir;
    int loaded = 0;
};

TEST_F(HostileLayoutTest, RandomBytesNeverCrashTheLoader) {
    std::mt19937 rng(1205);
    for (int i = 0; i < 1000 && !HasFailure(); ++i) Try(RandomBytes(rng), "random bytes #" + std::to_string(i));
}

TEST_F(HostileLayoutTest, MutatedShippedLayoutsNeverCrashTheLoader) {
    std::mt19937 rng(4403);
    const std::vector<uint8_t> shipped[] = {ReadShipped("LAYOUT1.TXL"), ReadShipped("BRIDGE.TXL"),
                                            ReadShipped("CASTLE.TXL")};
    for (const auto& s : shipped) ASSERT_FALSE(s.empty());
    for (int i = 0; i < 1200 && !HasFailure(); ++i)
        Try(Mutate(shipped[i % 3], rng), "mutation #" + std::to_string(i));
    // Most single-byte damage to a text layout is still a layout; some mutations must load.
    EXPECT_GT(loaded, 0);
}

TEST_F(HostileLayoutTest, RandomTextNeverCrashesTheLoader) {
    std::mt19937 rng(77);
    for (int i = 0; i < 800 && !HasFailure(); ++i) {
        const std::string text = RandomText(rng);
        Try(std::vector<uint8_t>(text.begin(), text.end()), "random text #" + std::to_string(i));
    }
}

TEST_F(HostileLayoutTest, RandomValidBinaryLayoutsAllLoad) {
    std::mt19937 rng(31337);
    const int16_t header[10] = {637, 425, 0, 20, 280, 0, 580, 0, 0, 0};
    for (int i = 0; i < 100 && !HasFailure(); ++i) {
        std::vector<uint16_t> entries;
        for (const Pos& p : RandomLayout(rng)) entries.push_back(Entry(p));
        std::shuffle(entries.begin(), entries.end(), rng);
        Try(BinaryLayout(entries, header), "valid binary #" + std::to_string(i));
    }
    EXPECT_EQ(loaded, 100);
}

}  // namespace
