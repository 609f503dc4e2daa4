#include <cstdio>
#include <cstdlib>

#include "core/common/files.h"
#include "core/exam/page_writer.h"
#include "tools/commands.h"

namespace tovalo::tool {

int pageCommand(const Args& args) {
    if (args.size() == 5 && args[0] == "write" && args[1] == "--mode") {
        const int mode = std::atoi(args[2].c_str());
        if (args[2].size() != 1 || mode < 0 || mode > 2) {
            std::fprintf(stderr, "--mode は 0、1、2 のいずれかです\n");
            return 1;
        }
        auto content = readWholeFile(args[3]);
        if (!content) {
            std::fprintf(stderr, "%s\n", content.error().describe().c_str());
            return 1;
        }
        const Status st = WritePage(*content, args[4], static_cast<PageMode>(mode));
        if (!st) {
            std::fprintf(stderr, "%s\n", st.error().describe().c_str());
            return 1;
        }
        return 0;
    }
    if (args.size() == 4 && args[0] == "listtext" && args[1] == "--format") {
        auto content = readWholeFile(args[3]);
        if (!content) {
            std::fprintf(stderr, "%s\n", content.error().describe().c_str());
            return 1;
        }
        std::printf("%s\n", PageToListText(*content, std::atoi(args[2].c_str())).c_str());
        return 0;
    }
    return 2;
}

}  // namespace tovalo::tool
