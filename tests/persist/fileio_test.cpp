// The crash-safe write: two processes saving one file at once, names of the longest length,
// symbolic links, read-only and private files, and what a failed write leaves behind.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "board/state.h"
#include "persist/fileio.h"
#include "persist/settings.h"
#include "platform/fake/fake.h"
#include "tests/files.h"

namespace {

namespace fs = std::filesystem;

using testfiles::ReadAll;
bool Write(const std::string& path, const std::string& bytes) {
    return WriteFileAtomically(path.c_str(), bytes.data(), bytes.size());
}
unsigned Mode(const std::string& path) { return unsigned(fs::status(path).permissions()) & 07777; }
std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
    return names;
}

class AtomicWrite : public ::testing::Test {
protected:
    void SetUp() override { fs::remove_all(dir), fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    const std::string dir = "/dev/shm/tolbex-fileio-" + std::to_string(::getpid());
};

TEST_F(AtomicWrite, TwoProcessesSavingOneFileNeverLeaveItShortNorFailFalsely) {
    const std::string file = dir + "/TOLBEX13.CFG";
    ASSERT_TRUE(Write(file, std::string(3640, '0')));
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            int failures = 0;
            for (int i = 0; i < 400; ++i) failures += !Write(file, std::string(3640, char('a' + w)));
            ::_exit(failures > 0 ? 1 : 0);
        }
    }
    int reads = 0, bad = 0;
    for (int finished = 0; finished < 2;) {
        const std::string seen = ReadAll(file);
        ++reads;
        bad += seen.size() != 3640 || seen.find_first_not_of(seen[0]) != std::string::npos;
        for (pid_t& w : writers) {
            int status = 0;
            if (w > 0 && ::waitpid(w, &status, WNOHANG) == w) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a writer was told its save failed";
                w = 0, ++finished;
            }
        }
    }
    EXPECT_EQ(bad, 0) << "of " << reads << " reads";
    EXPECT_EQ(Names(dir), std::set<std::string>{"TOLBEX13.CFG"});   // no temporary file left over
}

TEST_F(AtomicWrite, NamesOfTheLongestLengthAndLinksAreWrittenThrough) {
    // File names of 251 to 255 bytes, the most a folder entry holds.
    for (size_t length = 251; length <= 255; ++length) {
        const std::string file = dir + "/" + std::string(length, 'n');
        EXPECT_TRUE(Write(file, "long name") && ReadAll(file) == "long name") << length;
    }
    // Through an absolute link, a relative one and a chain of both; then a link to a file that is
    // not there yet, which makes it. Every link stays a link and names what it named.
    fs::create_directory(dir + "/real");
    Write(dir + "/real/scores.txs", "old");
    fs::create_symlink(dir + "/real/scores.txs", dir + "/absolute");
    fs::create_symlink("real/scores.txs", dir + "/relative");
    fs::create_symlink("relative", dir + "/chain");
    fs::create_symlink("real/new.txs", dir + "/dangling");
    for (const char* link : {"absolute", "relative", "chain"}) {
        const std::string text = std::string("through ") + link;
        EXPECT_TRUE(Write(dir + "/" + link, text) && fs::is_symlink(dir + "/" + link)) << link;
        EXPECT_EQ(ReadAll(dir + "/real/scores.txs"), text);
    }
    EXPECT_TRUE(Write(dir + "/dangling", "made") && fs::is_symlink(dir + "/dangling"));
    EXPECT_EQ(ReadAll(dir + "/real/new.txs"), "made");
    EXPECT_EQ(Names(dir + "/real"), (std::set<std::string>{"new.txs", "scores.txs"}));
    // Links that loop are refused.
    fs::create_symlink("loop2", dir + "/loop1");
    fs::create_symlink("loop1", dir + "/loop2");
    EXPECT_FALSE(Write(dir + "/loop1", "never"));
}

TEST_F(AtomicWrite, PermissionsAreKeptReadOnlyFilesRefusedAndFailuresLeaveNothing) {
    const std::string file = dir + "/game.txm";
    for (unsigned mode : {0600u, 0640u, 0664u}) {
        Write(file, "before");
        fs::permissions(file, fs::perms(mode));
        EXPECT_TRUE(Write(file, "after") && Mode(file) == mode) << std::oct << mode;
    }
    // A new file gets the usual permissions of a new file.
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(Write(dir + "/new.txm", "x"));
    EXPECT_EQ(Mode(dir + "/new.txm"), 0644u);
    ::umask(mask);
    fs::remove(dir + "/new.txm");

    // A read-only file is refused and left exactly as it was; so are a folder in the file's
    // place and a missing folder. None leaves a temporary file behind.
    Write(file, "kept");
    fs::permissions(file, fs::perms(0444));
    EXPECT_FALSE(Write(file, "lost"));
    EXPECT_TRUE(ReadAll(file) == "kept" && Mode(file) == 0444u);
    fs::create_directory(dir + "/folder");
    EXPECT_FALSE(Write(dir + "/folder", "lost"));
    EXPECT_FALSE(Write(dir + "/missing/file", "lost"));
    EXPECT_EQ(Names(dir), (std::set<std::string>{"folder", "game.txm"}));

    // A read-only settings file: the usual message with its path, the file untouched.
    fake::Reset();
    fake::SetConfigDirectory(dir);
    std::strcpy(startDir, "/home/ann");
    testfiles::WriteAll(dir + "/TOLBEX13.CFG", "read-only");
    fs::permissions(dir + "/TOLBEX13.CFG", fs::perms(0444));
    LoadSettings();
    SaveSettings(nullptr);
    ASSERT_EQ(fake::Messages().size(), 1u);
    EXPECT_EQ(fake::Messages()[0].text, dir + "/TOLBEX13.CFG : write error");
    EXPECT_EQ(ReadAll(dir + "/TOLBEX13.CFG"), "read-only");
}

}  // namespace
