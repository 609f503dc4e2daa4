#include <cstdio>

#include "core/common/files.h"
#include "core/text/cp932_text_file.h"
#include "tools/commands.h"

namespace tovalo::tool {

int textCommand(const Args& args) {
    if (args.size() != 3 || args[0] != "encode") {
        return 2;
    }
    auto in = readWholeFile(args[1]);
    if (!in) {
        std::fprintf(stderr, "%s\n", in.error().describe().c_str());
        return 1;
    }
    Result<std::string> out = text::cp932TextFile(*in, args[1]);
    if (!out) {
        std::fprintf(stderr, "%s\n", out.error().describe().c_str());
        return 1;
    }
    return writeFileBytes(args[2], *out) ? 0 : 1;
}

}  // namespace tovalo::tool
