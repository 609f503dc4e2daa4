#include "core/views/training_material.h"

#include <algorithm>

#include "core/text/characters.h"
#include "core/text/trim.h"
#include "core/views/explanation_text.h"
#include "core/views/template_page.h"

namespace tovalo {

namespace {

// Document names may be written with Windows separators.
std::string slashes(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
}

}  // namespace

TrainingTarget resolveTrainingMaterial(std::string_view cbtFile, std::string_view setting,
                                       const std::vector<std::string>& discRoots,
                                       const std::function<bool(const std::string&)>& exists) {
    const std::string relative(text::withoutFirstCharacters(cbtFile, 9));
    if (setting != "NA") {
        const std::string full = std::string(setting) + relative;
        if (full.starts_with("http")) {
            return {TrainingTarget::Kind::LaunchWeb, slashes(full)};
        }
        if (exists(slashes(full))) {
            return {TrainingTarget::Kind::LaunchFile, slashes(full)};
        }
    }
    if (discRoots.empty()) {
        return {TrainingTarget::Kind::OpenRef, "Ref/" + slashes(relative)};
    }
    for (const std::string& root : discRoots) {
        const std::string full = slashes(root + relative);
        if (exists(full)) {
            return {TrainingTarget::Kind::LaunchFile, full};
        }
    }
    return {TrainingTarget::Kind::InsertDisc, {}};
}

std::string launchPage(std::string_view templateText, const TrainingTarget& target) {
    std::string source = target.target;
    if (target.kind == TrainingTarget::Kind::LaunchFile) {
        // "file:///" is followed by the absolute path without its own leading "/".
        source = source.starts_with('/') ? source.substr(1) : source;
    }
    // The address sits inside a quoted attribute.
    std::string quoted;
    for (char c : source) {
        quoted += c == '"' ? std::string("%22") : std::string(1, c);
    }
    std::string page;
    for (const std::string& line : textLines(templateText)) {
        if (text::trim(line) == "#CDPATH#") {
            page += target.kind == TrainingTarget::Kind::LaunchWeb ? "<FRAME SRC=\""
                                                                   : "<FRAME SRC=\"file:///";
            page += quoted;
            page +=
                "\" MARGINHEIGHT=\"0\" MARGINWIDTH=\"0\" SCROLLING=\"AUTO\" NORESIZE "
                "name=\"mainF\">";
        } else {
            page += line;
        }
        page += "\r\n";
    }
    return page;
}

Result<std::string> writeLaunchPage(const std::string& programDir, const TrainingTarget& target) {
    std::string page = programDir + "Launch.htm";
    if (Status st =
            writeTemplatePage(programDir + "LaunchProto", page,
                              [&](std::string_view text) { return launchPage(text, target); });
        !st) {
        return st.error();
    }
    return page;
}

}  // namespace tovalo
