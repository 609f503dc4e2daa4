#include "core/exam/exam_session.h"

#include <optional>

#include "core/questions/question_file.h"
#include "core/results/adaptive_file.h"

namespace tovalo {

namespace {

Error withConsequence(Error error, const char* consequence) {
    error.message += "\n";
    error.message += consequence;
    return error;
}

}  // namespace

Status ExamSession::open(const CourseEntry& course) {
    // The course in use stays as it is until the new one has loaded.
    QuestionBank loaded;
    if (Status read = LoadQuestionBank(loaded, course.QdfPath); !read) {
        return read;
    }
    *this = ExamSession();
    course_ = course;
    bank_ = std::move(loaded);
    checks_ = CategoryChecks::allChecked(bank_);
    return Ok{};
}

int ExamSession::availableCount() const {
    return tovalo::availableCount(bank_, checks_);
}

StartCheck ExamSession::start(const ExamRequest& request, RandomSource& random) {
    StartCheck check = validateStart(request.countField, request.timeField, request.mode,
                                     availableCount(), request.adaptive);
    if (!check.ok) {
        return check;
    }
    selection_ = check.settings;
    stage(SelectQuestions(bank_, checks_, selection_, course_.ShuffleOrder,
                          readTrainingWeights(course_.HisPath), random));
    return check;
}

void ExamSession::stage(std::vector<ExamQuestion> questions) {
    questions_ = std::move(questions);
    engine_.start(selection_, questionCount());
    handoff_ = StyleHandoff();
    styleSolved_ = false;
    stage_ = ExamStage::Answering;
    grading_ = Grading();
}

const ExamQuestion& ExamSession::question(int position) const {
    return questions_.at(static_cast<std::size_t>(position - 1));
}

const StyleHandoff& ExamSession::prepareHandoff(int position,
                                                const std::vector<std::string>& figurePaths) {
    const ExamQuestion& q = question(position);
    handoff_ = styleHandoff(answerStyle(q.Style), q.ShownChoice, figurePaths);
    styleSolved_ = false;
    return handoff_;
}

bool ExamSession::grade(std::string_view labelStyle) {
    if (stage_ != ExamStage::Answering) {
        return false;
    }
    grading_ = gradeExam(questions_, engine_.progress(), labelStyle);
    stage_ = ExamStage::Graded;
    return true;
}

Status ExamSession::save(const ExamDate& date) {
    if (stage_ != ExamStage::Graded) {
        return Ok{};
    }
    // Whatever happens below, this exam is not stored a second time.
    stage_ = ExamStage::Stored;

    Result<HistoryFile> history = readHistoryFile(course_.HisPath);
    if (!history) {
        return withConsequence(history.error(), kExamNotStored);
    }
    std::optional<std::vector<std::string>> adaptive;
    if (selection_.AdaptiveOn) {
        auto existing = readAdaptiveFile(course_.AdpPath);
        if (!existing) {
            return withConsequence(existing.error(), kExamNotStored);
        }
        adaptive = std::move(*existing);
    }

    const ExamProgress& progress = engine_.progress();
    recordExam(
        *history,
        gradedForHistory(questions_, grading_, bank_, progress, static_cast<int>(selection_.mode),
                         date.month, date.day, date.hour, date.minute),
        course_.QdfPath);
    if (const Status saved = saveHistoryFile(course_.HisPath, *history); !saved) {
        return withConsequence(saved.error(), kExamNotStored);
    }
    if (!selection_.AdaptiveOn) {
        return Ok{};
    }
    std::vector<std::string> lines = adaptive ? std::move(*adaptive) : newAdaptiveLines(bank_);
    std::vector<AdaptiveAnswer> answers;
    for (std::size_t k = 0; k < questions_.size(); ++k) {
        answers.push_back({questions_[k].BankSlot, static_cast<bool>(grading_.PositionCorrect[k]),
                           k < progress.TimeSpent.size() ? progress.TimeSpent[k] : 0});
    }
    updateAdaptiveLines(lines, answers, bank_);
    if (const Status saved = saveAdaptiveFile(course_.AdpPath, lines); !saved) {
        return withConsequence(saved.error(), kAdaptiveNotUpdated);
    }
    return Ok{};
}

}  // namespace tovalo
