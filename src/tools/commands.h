#pragma once

#include <string>
#include <vector>

#include "core/app/profile.h"
#include "core/catalog/catalog.h"
#include "core/exam/exam_session.h"

namespace tovalo::tool {

using Args = std::vector<std::string>;

// Each returns the process exit code; output goes to stdout, problems to stderr.
int qdfCommand(const Args& args);
int textCommand(const Args& args);
int catalogCommand(const Args& args);
int examCommand(const Args& args);
int pageCommand(const Args& args);
int historyCommand(const Args& args);
// Synchronises a vendor's histories with the server of "His_srv".
int syncCommand(const Args& args);
int adaptiveCommand(const Args& args);
// The advisor's summary report, diagnosis request page and course figures.
int reportCommand(const Args& args);
// Fetches newer question files and figures from the servers of "SRV_INFO".
int updateCommand(const Args& args);
// Where `exam run` writes beside storing the exam; an empty folder: nothing.
struct ExamRunOutputs {
    // What the answer view and the review pane show.
    std::string viewsDir;
    // The printed report of the result screen, before the exam is stored.
    std::string printDir;
};
int examRun(const std::string& scriptPath, const ExamRunOutputs& outputs);

// What the answer view and the result review pane of a graded exam need
// beyond the exam itself. Folders end in "/".
struct ExamViewsRequest {
    std::string outputDir;
    std::string programDir;
    std::string questionDir;
    std::string labels;
    app::Profile profile;
};
// For every position n: answer-n.json, review-n.json, Ques-n.htm, and for
// an HTML course cheat-n.htm and result-n.htm.
int writeExamViews(const ExamSession& session, const ExamViewsRequest& request);

// Prints the message on stderr and gives the exit code of a failed command.
int fail(const std::string& message);

// The catalog of a vendor of the installation at `root`, as the course menu
// lists it (missing history files are created). The vendor's history folder
// is swept of what crashed saves left first, as the program does at start-up.
Catalog vendorCatalog(std::string root, const std::string& vendor);

// PROFILE.json: {"Name", "Org", "Email", "Serial"}, each optional.
Result<app::Profile> readProfileJson(const std::string& path);

// The HOST:PORT of a --proxy option into `host` and `port`; empty when it
// can be used, otherwise what to tell the user (nothing is set then).
std::string readProxyOption(const std::string& option, std::string& host, int& port);

// Writes bytes to a file, reporting a failure on stderr.
bool writeFileBytes(const std::string& path, const std::string& bytes);

}  // namespace tovalo::tool
