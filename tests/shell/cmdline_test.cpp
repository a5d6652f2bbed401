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

TEST(CommandLine, HelpVersionAndToolkitOptions) {
    const CommandLineAction help = Parse({"-platform", "xcb", "-h", "--bogus"});
    EXPECT_TRUE(!help.run && help.exitCode == 0 && !help.toStderr);
    for (const char* part : {"Usage: tolbex ", "--version", "XDG_DATA_HOME/tolbex", "$XDG_CONFIG_HOME/TOLBEX13.CFG"})
        EXPECT_NE(help.text.find(part), std::string::npos) << part;
    EXPECT_EQ(Parse({"--help"}).text, help.text);
    const CommandLineAction version = Parse({"--version"});
    EXPECT_TRUE(!version.run && version.exitCode == 0);
    EXPECT_EQ(version.text, "Tolbex " TOLBEX_VERSION "\n");
    EXPECT_TRUE(Parse({}).run);
    EXPECT_TRUE(ParseCommandLine(0, nullptr).run);   // no program name at all
    // A value that looks like an option is still the value of the option before it.
    EXPECT_TRUE(Parse({"-platform", "offscreen", "-display", ":3", "--style", "--help", "-reverse"}).run);
    EXPECT_TRUE(Parse({"-style=fusion", "-qwindowgeometry", "640x480", "--sync"}).run);
}

TEST(CommandLine, AnythingElseEndsWithTheUsageAndCode2) {
    for (auto args : {std::initializer_list<const char*>{"--bogus"}, {"-platform", "xcb", "board.TXL"},
                      {"--versions"}, {"-display"}}) {
        const CommandLineAction action = Parse(args);
        EXPECT_TRUE(!action.run && action.exitCode == 2 && action.toStderr) << *args.begin();
        EXPECT_NE(action.text.find("Usage: tolbex [--help]"), std::string::npos) << action.text;
    }
    EXPECT_NE(Parse({"--bogus"}).text.find("unknown option '--bogus'"), std::string::npos);
}

}  // namespace
