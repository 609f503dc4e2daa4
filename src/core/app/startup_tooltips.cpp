#include "core/app/startup_tooltips.h"

namespace tovalo::app {

namespace {

constexpr StartupTooltip kTooltips[] = {
    {"TCourseMenuForm", "ExitButton", "Tovaloを終了します"},
    {"TCourseMenuForm", "UpdateButton", "最新の模擬問題に更新します"},
    {"TCourseMenuForm", "DiagnosisButton", "模擬試験結果より、実力診断を行います"},
    {"TCourseMenuForm", "NewsButton", "Tovaloに関する最新の情報を表示します"},
    {"TCourseMenuForm", "StartButton", "選択したテストの模擬試験を実行します"},
    {"TCourseMenuForm", "SyncButton", "学習履歴を@Tovaloと同期化します"},
    {"TStudyForm", "Button2", "テスト選択へ戻ります"},
    {"TStudyForm", "Button3", "模擬試験結果をTovaloセンターに転送して診断を受けます"},
    {"TCatSelForm", "StartButton", "模擬試験を開始します"},
    {"TCatSelForm", "BackButton", "テスト選択に戻ります"},
    {"TExamModeForm", "GradeButton", "模擬試験の採点を行います"},
    {"TExamModeForm", "SuspendButton", "試験を中断します"},
    {"TExamModeForm", "AnswerButton", "正解及び解説を表示します"},
    {"TExamModeForm", "PrevButton", "前の模擬問題に戻ります"},
    {"TExamModeForm", "NextButton", "次の模擬問題に進みます"},
    {"TConfirmForm", "GradeButton", "模擬試験の採点を行います"},
    {"TResultForm", "Button3", "テスト選択へ戻ります"},
    {"TResultForm", "Button1", "Tovaloを終了します"},
    {"TResultForm", "Button7", "@Tovalo FAQを表示します"},
    {"TCheatForm", "Button2", "解説を表示します"},
    {"TCheatForm", "Image12", "@Tovalo FAQを表示します"},
};

}  // namespace

std::span<const StartupTooltip> startupTooltips() {
    return kTooltips;
}

std::string_view startupTooltip(std::string_view form, std::string_view control) {
    for (const StartupTooltip& t : kTooltips) {
        if (t.form == form && t.control == control) {
            return t.text;
        }
    }
    return {};
}

}  // namespace tovalo::app
