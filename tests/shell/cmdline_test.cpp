// The command line: --help and --version end before the toolkit starts, the toolkit's own options
// (with their values) run the game, and anything else ends with the usage text and code 2.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "shell/cmdline.h"

namespace {

CommandLineAction Parse(std::initializer_list<const char*> args) {
    std::vector<const char*> argv{"/usr/lib/games/tolbex/tolbex"};
    argv.insert(argv.end(), args);
    return ParseCommandLine(static_cast<int>(argv.size()), argv.data());
}

TEST(CommandLine, HelpAndVersionPrintAndEnd) {
    for (const char* option : {"--help", "-h"}) {
        const CommandLineAction help = Parse({"-platform", "xcb", option, "--bogus"});
        EXPECT_FALSE(help.run) << option;
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_FALSE(help.toStderr);
        for (const char* part : {"mahjong solitaire", "Usage: tolbex ", "--version", "XDG_DATA_HOME/tolbex",
                                 "$XDG_CONFIG_HOME/TOLBEX13.CFG", "-platform"})
            EXPECT_NE(help.text.find(part), std::string::npos) << part;
    }
    const CommandLineAction version = Parse({"--version"});
    EXPECT_FALSE(version.run);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.text, "Tolbex " TOLBEX_VERSION "\n");
}

TEST(CommandLine, ToolkitOptionsRunTheGame) {
    EXPECT_TRUE(Parse({}).run);
    // A value that looks like an option is still the value of the option before it.
    EXPECT_TRUE(Parse({"-platform", "offscreen", "-display", ":3", "--style", "--help", "-reverse"}).run);
    EXPECT_TRUE(Parse({"-style=fusion", "-qwindowgeometry", "640x480", "--sync", "-geometry", "+0+0"}).run);
}

TEST(CommandLine, AnythingElseEndsWithTheUsageAndCode2) {
    for (auto args : {std::initializer_list<const char*>{"--bogus"}, {"-platform", "xcb", "board.TXL"},
                      {""}, {"-"}, {"--"}, {"-reverse=1"}, {"--versions"}, {"-display"}}) {
        const CommandLineAction action = Parse(args);
        EXPECT_FALSE(action.run) << *args.begin();
        EXPECT_EQ(action.exitCode, 2) << *args.begin();
        EXPECT_TRUE(action.toStderr);
        EXPECT_NE(action.text.find("Usage: tolbex [--help]"), std::string::npos) << action.text;
    }
    EXPECT_NE(Parse({"--bogus"}).text.find("unknown option '--bogus'"), std::string::npos);
    EXPECT_EQ(ParseCommandLine(0, nullptr).run, true);   // no program name at all
}

}  // namespace
