#include "core/app/program_options.h"

namespace tovalo::app {

TerminalRequest terminalRequest(const std::vector<std::string>& arguments) {
    TerminalRequest request = TerminalRequest::None;
    for (const std::string& a : arguments) {
        if (a == "--help" || a == "-h") {
            return TerminalRequest::Help;
        }
        if (a == "--version") {
            request = TerminalRequest::Version;
        }
    }
    return request;
}

std::string helpText(std::string_view version) {
    return "Tovalo " + std::string(version) +
           " - practice tests for IT certification exams\n"
           "\n"
           "usage: tovalo [VENDOR | d]\n"
           "       tovalo --help | --version\n"
           "\n"
           "  VENDOR      open on this vendor's courses (its folder under QDAT, e.g. nexa)\n"
           "  d           show question numbers in the exam window's caption\n"
           "  -h, --help  print this help and exit\n"
           "  --version   print the version and exit\n"
           "\n"
           "An installed copy keeps each user's question files, history and generated\n"
           "pages in $XDG_DATA_HOME/tovalo (by default ~/.local/share/tovalo), filled\n"
           "from the shared sample installation on first start.\n"
           "\n"
           "environment:\n"
           "  XDG_DATA_HOME    where the user's folder is made (an absolute path)\n"
           "  XDG_CONFIG_HOME  where the profile and window places are kept\n"
           "                   (by default ~/.config)\n"
           "  TOVALO_CA_FILE   one more trusted certificate file for https:// servers\n";
}

}  // namespace tovalo::app
