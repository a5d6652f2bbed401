// The game's options and the toolkit's, told apart by name; the texts of --help and --version.
#include "shell/cmdline.h"

#include <cstdio>
#include <cstring>

#ifndef TOLBEX_VERSION
#error "the build defines TOLBEX_VERSION (the project version) for this file"
#endif

namespace {

// The toolkit's own options, with one or two leading dashes, as it reads them itself. Those in
// the first list take the next argument as their value ("-platform xcb"); "-opt=value" forms are
// matched on the part before '='.
constexpr const char* kToolkitOptionsWithValue[] = {
    "platform", "platformpluginpath", "platformtheme", "plugin", "display", "geometry", "font", "fn",
    "background", "bg", "foreground", "fg", "button", "btn", "name", "title", "visual", "ncols", "cmap",
    "im", "inputstyle", "session", "style", "stylesheet", "qwindowgeometry", "qwindowicon",
    "qwindowtitle", "qwindowcontainer", "qmljsdebugger", "dialogs",
};
constexpr const char* kToolkitFlags[] = {
    "reverse", "widgetcount", "nograb", "dograb", "sync", "testability", "qwindowtransient",
};

bool OneOf(const std::string& name, const char* const* first, const char* const* last) {
    for (; first != last; ++first)
        if (name == *first) return true;
    return false;
}

std::string Usage(const char* program) {
    std::string text = "Usage: ";
    text += program;
    text += " [--help] [--version] [toolkit options such as -platform NAME or -display DISPLAY]\n";
    return text;
}

std::string Help(const char* program) {
    std::string text = "Tolbex " TOLBEX_VERSION ", a one-player mahjong solitaire.\n";
    text += "Take the 144 tiles off the board in pairs of free tiles with matching faces.\n\n";
    text += Usage(program);
    text +=
        "\n"
        "Options:\n"
        "  --help      show this text and exit\n"
        "  --version   show the version and exit\n"
        "  The Qt toolkit's options (-platform, -display, -style, ...) are passed on to it.\n"
        "\n"
        "Home folder: the game reads LAYOUTS/, GRAPHICS/, SOUNDS/ and Tolbex13.hlp from the folder it\n"
        "is started in and writes each layout's Top 10 beside it (LAYOUT1.txs). The installed\n"
        "command starts it in $XDG_DATA_HOME/tolbex (~/.local/share/tolbex), made from the installed\n"
        "data on the first run.\n"
        "Settings file: $XDG_CONFIG_HOME/TOLBEX13.CFG (~/.config/TOLBEX13.CFG).\n";
    return text;
}

}  // namespace

CommandLineAction ParseCommandLine(int argc, const char* const* argv) {
    const char* program = argc > 0 && argv[0] && argv[0][0] ? argv[0] : "tolbex";
    if (const char* slash = std::strrchr(program, '/')) program = slash + 1;
    CommandLineAction action;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        if (arg == "--help" || arg == "-h") {
            action = {false, 0, false, Help(program)};
            return action;
        }
        if (arg == "--version") {
            action = {false, 0, false, "Tolbex " TOLBEX_VERSION "\n"};
            return action;
        }
        // The toolkit reads "--opt" as "-opt".
        std::string name;
        if (arg.size() > 1 && arg[0] == '-') name = arg.substr(arg[1] == '-' ? 2 : 1);
        const size_t equals = name.find('=');
        const bool hasValue = equals != std::string::npos;
        if (hasValue) name.resize(equals);
        if (OneOf(name, std::begin(kToolkitOptionsWithValue), std::end(kToolkitOptionsWithValue))) {
            if (!hasValue) ++i;   // its value, whatever it looks like
            if (i >= argc) {
                action = {false, 2, true, std::string(program) + ": " + arg + " needs a value\n" + Usage(program)};
                return action;
            }
            continue;
        }
        if (!hasValue && OneOf(name, std::begin(kToolkitFlags), std::end(kToolkitFlags))) continue;
        action = {false, 2, true, std::string(program) + ": unknown option '" + arg + "'\n" + Usage(program)};
        return action;
    }
    return action;
}

int HandleCommandLine(int argc, const char* const* argv) {
    const CommandLineAction action = ParseCommandLine(argc, argv);
    if (action.run) return -1;
    std::FILE* out = action.toStderr ? stderr : stdout;
    std::fputs(action.text.c_str(), out);
    std::fflush(out);
    return action.exitCode;
}
