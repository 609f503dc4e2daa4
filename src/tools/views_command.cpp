#include <filesystem>
#include <nlohmann/json.hpp>

#include "core/app/address_files.h"
#include "core/app/directories.h"
#include "core/exam/page_writer.h"
#include "core/views/answer_view.h"
#include "core/views/review_pane.h"
#include "core/views/support_page.h"
#include "tools/commands.h"

namespace tovalo::tool {

using json = nlohmann::ordered_json;

namespace {

json styleViewJson(const std::optional<AnswerStyle>& style) {
    return style ? json(static_cast<int>(*style)) : json();
}

bool writeJson(const std::string& path, const json& value) {
    return writeFileBytes(path, value.dump(2) + "\n");
}

}  // namespace

int writeExamViews(const ExamSession& session, const ExamViewsRequest& request) {
    const CourseEntry& course = session.course();
    std::error_code ec;
    std::filesystem::create_directories(request.outputDir, ec);
    const std::string dir = app::withTrailingSlash(request.outputDir);

    const Result<std::string> cgiUrl = app::readFirstAddress(request.programDir + app::kCgiUrlFile);
    const Result<std::string> urlref = app::readFirstAddress(request.programDir + "urlref");
    if (!cgiUrl || !urlref) {
        return fail((!cgiUrl ? cgiUrl.error() : urlref.error()).describe());
    }
    const Grading& grading = session.grading();
    for (int n = 1; n <= session.questionCount(); ++n) {
        const ExamQuestion& q = session.question(n);
        const std::size_t k = static_cast<std::size_t>(n) - 1;
        const std::string number = std::to_string(n);

        const AnswerViewContent answer =
            answerViewContent(q, course.FormatKind, request.labels, request.questionDir);
        const ReviewPane pane =
            reviewPane(q, course.FormatKind, request.labels, request.questionDir);
        const json answerJson = {{"Letters", answer.letters},
                                 {"StyleView", styleViewJson(answer.styleView)},
                                 {"Text", answer.text},
                                 {"Figures", answer.figurePaths},
                                 {"Faq", faqAddress(*urlref, course.ExamCode, q.QuesNum)}};
        const json reviewJson = {{"PaneText", pane.text},
                                 {"PaneHeight", pane.height},
                                 {"QuestionFigures", pane.questionFigures},
                                 {"ExplanationFigures", pane.explanationFigures},
                                 {"StyleView", styleViewJson(pane.styleView)},
                                 {"MediaButton", pane.mediaButton}};
        if (!writeJson(dir + "answer-" + number + ".json", answerJson) ||
            !writeJson(dir + "review-" + number + ".json", reviewJson)) {
            return 1;
        }

        const std::string answerBlock = supportAnswerBlock(
            q, request.labels, grading.rows[k].correct, session.progress().Answer[k],
            SupportFrom::ResultScreen, static_cast<bool>(grading.PositionCorrect[k]));
        SupportPageFiles files =
            supportPageFiles(course.FormatKind, request.programDir, request.questionDir);
        files.pagePath = dir + "Ques-" + number + ".htm";
        const SupportPageValues values =
            supportPageValues(request.profile, *cgiUrl, course, q, answerBlock);
        if (const Status st = writeSupportPage(files, values); !st) {
            return fail(st.error().describe());
        }
        if (course.FormatKind == 2) {
            for (const Status& st :
                 {WritePage(answer.text, dir + "cheat-" + number + ".htm", PageMode::DropFirstLine),
                  WritePage(pane.text, dir + "result-" + number + ".htm", PageMode::Styled)}) {
                if (!st) {
                    return fail(st.error().describe());
                }
            }
        }
    }
    return 0;
}

}  // namespace tovalo::tool
