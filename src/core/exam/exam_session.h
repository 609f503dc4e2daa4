#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/catalog/catalog.h"
#include "core/common/result.h"
#include "core/exam/exam_engine.h"
#include "core/exam/grading.h"
#include "core/exam/selection.h"
#include "core/questions/question_bank.h"
#include "core/results/history_file.h"
#include "core/styles/style_handoff.h"

namespace tovalo {

// What the learner is told after a failed save, so that a half-stored exam
// is never a surprise.
inline constexpr const char* kExamNotStored =
    "この試験の結果は保存していません。履歴ファイルと拡張履歴ファイルは元のままです。";
inline constexpr const char* kAdaptiveNotUpdated =
    "この試験の結果は履歴ファイルに保存しましたが、拡張履歴ファイルは更新していません。";

// What the category screen asks for, as the learner gave it.
struct ExamRequest {
    std::string countField;  // as typed
    std::string timeField;   // as typed
    SelectionMode mode = SelectionMode::Normal;
    bool adaptive = false;
};

// How far an exam has come. Each step happens once per exam, whatever order
// the learner's clicks and the time-up message arrive in.
enum class ExamStage { Answering, Graded, Stored };

// One exam, from the course opened on the category screen to the exam
// stored in the course's history: the questions, the categories chosen, the
// questions drawn, the clock and answers, the grading and the hand-off to
// the special styles. The screens and the tool go through it; nobody else
// holds exam state.
class ExamSession {
  public:
    // Loads the course's question file and starts over with every category
    // checked and no answers. When the file cannot be loaded nothing
    // changes and the error names the file and line.
    Status open(const CourseEntry& course);
    [[nodiscard]] const CourseEntry& course() const { return course_; }
    [[nodiscard]] const QuestionBank& bank() const { return bank_; }

    // The categories chosen on the category screen.
    CategoryChecks& checks() { return checks_; }
    [[nodiscard]] const CategoryChecks& checks() const { return checks_; }
    [[nodiscard]] int availableCount() const;

    // The start button: checks the request, draws the questions and their
    // choices and starts the clock. When a check fails nothing changes.
    StartCheck start(const ExamRequest& request, RandomSource& random);
    // Replaces the drawn questions before the exam begins and restarts the
    // clock on them, for exams staged with chosen questions (tests, replays).
    void stage(std::vector<ExamQuestion> questions);

    [[nodiscard]] const SelectionSettings& selection() const { return selection_; }
    [[nodiscard]] const std::vector<ExamQuestion>& questions() const { return questions_; }
    [[nodiscard]] int questionCount() const { return static_cast<int>(questions_.size()); }
    // Position 1..questionCount().
    [[nodiscard]] const ExamQuestion& question(int position) const;

    ExamEngine& engine() { return engine_; }
    [[nodiscard]] const ExamEngine& engine() const { return engine_; }
    [[nodiscard]] const ExamProgress& progress() const { return engine_.progress(); }

    // The hand-off of the question at `position`, whose figures are at
    // `figurePaths`; its answer starts unsolved.
    const StyleHandoff& prepareHandoff(int position, const std::vector<std::string>& figurePaths);
    [[nodiscard]] const StyleHandoff& handoff() const { return handoff_; }
    // Set by the style window (or the click picture) as the learner answers.
    void setStyleSolved(bool solved) { styleSolved_ = solved; }
    [[nodiscard]] bool styleSolved() const { return styleSolved_; }

    [[nodiscard]] ExamStage stage() const { return stage_; }
    // Grades the exam the first time; later calls keep that grading and
    // return false.
    bool grade(std::string_view labelStyle);
    [[nodiscard]] const Grading& grading() const { return grading_; }

    // Stores the graded exam in the course's history file, then, with the
    // adaptive option, in its adaptive file. Both files are read first, and
    // one that exists but cannot be read stops everything: no file is
    // written. Each save is whole or not at all, the history first; when the
    // adaptive save then fails the history keeps the exam. The error names
    // the file and ends with kExamNotStored or kAdaptiveNotUpdated. Only the
    // first call stores; later ones, and calls before grading, do nothing.
    Status save(const ExamDate& date);

  private:
    CourseEntry course_;
    QuestionBank bank_;
    CategoryChecks checks_;
    SelectionSettings selection_;
    std::vector<ExamQuestion> questions_;
    ExamEngine engine_;
    StyleHandoff handoff_;
    bool styleSolved_ = false;
    ExamStage stage_ = ExamStage::Answering;
    Grading grading_;
};

}  // namespace tovalo
