// Converts another game's layout file into our text layout form.
// Usage: tolbex_convert_layout [--map N | --list] IN OUT.TXL
//   --map N   the N-th map (from 1) of a file holding several; the first by default
//   --list    prints the maps of IN, one a line ("N<TAB>tiles<TAB>name"), and writes nothing
// Exit code 0 when converted, 1 with the reason on stderr when refused, 2 for a bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "board/import.h"

int main(int argc, char** argv) {
    int map = 1;
    bool list = false;
    int arg = 1;
    for (; arg < argc && argv[arg][0] == '-'; ++arg) {
        if (std::strcmp(argv[arg], "--list") == 0) {
            list = true;
        } else if (std::strcmp(argv[arg], "--map") == 0 && arg + 1 < argc) {
            map = std::atoi(argv[++arg]);
        } else {
            std::fprintf(stderr, "usage: %s [--map N | --list] IN OUT.TXL\n", argv[0]);
            return 2;
        }
    }
    if (argc - arg != (list ? 1 : 2) || map < 1) {
        std::fprintf(stderr, "usage: %s [--map N | --list] IN OUT.TXL\n", argv[0]);
        return 2;
    }
    char fault[256];
    if (list) {
        std::vector<ForeignMap> maps;
        if (!ReadForeignFile(argv[arg], maps, fault, sizeof fault)) {
            std::fprintf(stderr, "%s : %s\n", argv[arg], fault);
            return 1;
        }
        for (size_t i = 0; i < maps.size(); ++i)
            std::printf("%zu\t%zu\t%s\n", i + 1, maps[i].tiles.size(), maps[i].name.c_str());
        return 0;
    }
    if (!ConvertForeignLayout(argv[arg], map - 1, argv[arg + 1], fault, sizeof fault)) {
        std::fprintf(stderr, "%s : %s\n", argv[arg], fault);
        return 1;
    }
    return 0;
}
