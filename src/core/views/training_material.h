#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/common/result.h"

namespace tovalo {

// Where a training-material button of a question leads.
struct TrainingTarget {
    enum class Kind {
        LaunchWeb,   // the launch page frames a web address
        LaunchFile,  // the launch page frames a file on a disc or in a folder
        OpenRef,     // no disc drive: the copy under Ref/ is opened directly
        InsertDisc,  // discs are mounted but none holds the document
    };
    Kind kind = Kind::OpenRef;
    std::string target;  // the framed address (LaunchWeb, LaunchFile) or the Ref/ path
};

// The message when the Ref/ copy cannot be opened either, and its caption.
inline constexpr std::string_view kNoDiscMessage = "CD-ROMが装着されていません。";
inline constexpr std::string_view kNoDiscCaption = "Error";
// The message when no mounted disc holds the document (no caption).
inline constexpr std::string_view kInsertDiscMessage = "CBTのCD-ROMをセットしてください。";

// `cbtFile`: the question's document name ("CBTDISC1/<vendor>/<file>"),
// whose first nine characters name the disc; `setting`: the user's
// CD_PATH or CD_PATH2 ("NA" when unset); `discRoots`: the mounted discs,
// each ending in "/".
TrainingTarget resolveTrainingMaterial(std::string_view cbtFile, std::string_view setting,
                                       const std::vector<std::string>& discRoots,
                                       const std::function<bool(const std::string&)>& exists);

// The launch page from the template's text: the line "#CDPATH#" (blanks
// around it allowed) becomes the frame of the target; every line ends CR LF.
std::string launchPage(std::string_view templateText, const TrainingTarget& target);

// Writes "Launch.htm" beside the program (`programDir` ends in "/") from the
// "LaunchProto" there and returns its path.
Result<std::string> writeLaunchPage(const std::string& programDir, const TrainingTarget& target);

}  // namespace tovalo
