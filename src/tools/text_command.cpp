#include <cstdio>

#include "core/common/files.h"
#include "core/text/cp932.h"
#include "core/text/lines.h"
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
    if (!text::isValidUtf8(*in)) {
        std::fprintf(stderr, "%s: UTF-8 ではありません\n", args[1].c_str());
        return 1;
    }
    std::string out;
    const auto lines = text::splitLines(*in);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string bytes = text::utf8ToCp932(lines[i]);
        if (text::cp932ToUtf8(bytes) != lines[i]) {
            std::fprintf(stderr, "%s:%zu: Shift_JIS (CP932) で書けない文字があります\n",
                         args[1].c_str(), i + 1);
            return 1;
        }
        out += bytes;
        if (i + 1 < lines.size() || text::endsWithLineEnd(*in)) {
            out += "\r\n";
        }
    }
    return writeFileBytes(args[2], out) ? 0 : 1;
}

}  // namespace tovalo::tool
