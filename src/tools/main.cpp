#include <cstdio>
#include <string>

#include "core/app/program_options.h"
#include "tools/commands.h"
#include "tovalo_version.h"

namespace {

void usage(std::FILE* out = stderr) {
    std::fputs(
        "usage: tovalo-tool qdf dump FILE.qdf\n"
        "       tovalo-tool qdf header FILE.qdf\n"
        "       tovalo-tool qdf unpack FILE.qdf\n"
        "       tovalo-tool qdf pack SOURCE OUT.qdf\n"
        "       tovalo-tool qdf check FILE...\n"
        "       tovalo-tool catalog ROOT VENDOR\n"
        "       tovalo-tool exam select --qdf FILE --his FILE --mode N --count N\n"
        "                               [--uncheck C.S]... [--seed N]\n"
        "       tovalo-tool exam run SCRIPT.json [--views DIR] [--print DIR]\n"
        "       tovalo-tool his dump FILE.HIS\n"
        "       tovalo-tool adaptive list ROOT VENDOR QDF_NAME\n"
        "       tovalo-tool page write --mode N INPUT OUTPUT\n"
        "       tovalo-tool page listtext --format K INPUT\n"
        "       tovalo-tool text encode IN OUT   (UTF-8 text to CP932 with CR LF)\n"
        "       tovalo-tool sync ROOT VENDOR --profile PROFILE.json [--proxy HOST:PORT]\n"
        "                        [--plan | --yes]\n"
        "       tovalo-tool update ROOT VENDOR|all [--timeout S] [--proxy HOST:PORT]\n"
        "                          [--profile PROFILE.json] --yes\n"
        "       tovalo-tool report summary ROOT VENDOR OUT.htm [--profile PROFILE.json]\n"
        "       tovalo-tool report form ROOT VENDOR OUT.htm [--profile PROFILE.json]\n"
        "       tovalo-tool report advisor ROOT VENDOR\n"
        "       tovalo-tool --help | --version\n"
        "environment: TOVALO_CA_FILE, one more trusted certificate file for https:// servers\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage();
        return 2;
    }
    const std::string group = argv[1];
    // Only in the first place: later arguments are the command's own.
    switch (tovalo::app::terminalRequest({group})) {
        case tovalo::app::TerminalRequest::Version:
            std::puts("tovalo-tool " TOVALO_VERSION);
            return 0;
        case tovalo::app::TerminalRequest::Help:
            usage(stdout);
            return 0;
        case tovalo::app::TerminalRequest::None:
            break;
    }
    tovalo::tool::Args args(argv + 2, argv + argc);
    int rc = 2;
    if (group == "qdf") {
        rc = tovalo::tool::qdfCommand(args);
    } else if (group == "catalog") {
        rc = tovalo::tool::catalogCommand(args);
    } else if (group == "exam") {
        rc = tovalo::tool::examCommand(args);
    } else if (group == "his") {
        rc = tovalo::tool::historyCommand(args);
    } else if (group == "adaptive") {
        rc = tovalo::tool::adaptiveCommand(args);
    } else if (group == "page") {
        rc = tovalo::tool::pageCommand(args);
    } else if (group == "sync") {
        rc = tovalo::tool::syncCommand(args);
    } else if (group == "text") {
        rc = tovalo::tool::textCommand(args);
    } else if (group == "report") {
        rc = tovalo::tool::reportCommand(args);
    } else if (group == "update") {
        rc = tovalo::tool::updateCommand(args);
    }
    if (rc == 2) {
        usage();
    }
    return rc;
}
