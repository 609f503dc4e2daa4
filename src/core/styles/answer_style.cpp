#include "core/styles/answer_style.h"

#include <array>

namespace tovalo {

namespace {

using W = AnswerWith;

constexpr std::array<AnswerStyleTraits, 9> kTraits{{
    {AnswerStyle::Single, W::Radio, 0, 0, 0, true, false, "", "", ""},
    {AnswerStyle::Multiple, W::CheckBoxes, 0, 0, 0, true, false, "", "", ""},
    {AnswerStyle::Graphic, W::StyleWindow, 6, 2, 1, false, false, "ｸﾞﾗﾌｨｯｸ表示", "TfrmSelStyle3",
     "TfrmSelStyle3View"},
    {AnswerStyle::Panel, W::StyleWindow, 3, 1, 1, false, false, "ﾊﾟﾈﾙ表示", "TfrmSelStyle4",
     "TfrmSelStyle4View"},
    {AnswerStyle::Descriptive, W::StyleWindow, 3, 2, 0, true, false, "ﾃｷｽﾄ入力", "TfrmSelStyle5",
     "TfrmSelStyle5View"},
    {AnswerStyle::PanelSecond, W::StyleWindow, 3, 1, 1, false, false, "ﾊﾟﾈﾙ表示", "TfrmSelStyle6",
     "TfrmSelStyle6View"},
    {AnswerStyle::Connect, W::StyleWindow, 3, 1, 2, false, false, "ｺﾈｸﾄ表示", "TfrmSelStyle7",
     "TfrmSelStyle7View"},
    {AnswerStyle::ClickPicture, W::Picture, 6, 2, 1, false, false, "ｸﾞﾗﾌｨｯｸ表示", "", ""},
    {AnswerStyle::Sorted, W::Radio, 0, 0, 0, false, true, "", "", ""},
}};

}  // namespace

bool isAnswerStyle(int fileValue) {
    return fileValue >= 1 && fileValue <= static_cast<int>(kTraits.size());
}

AnswerStyle answerStyle(int fileValue) {
    return isAnswerStyle(fileValue) ? static_cast<AnswerStyle>(fileValue) : AnswerStyle::Single;
}

const AnswerStyleTraits& traitsOf(AnswerStyle style) {
    return kTraits[static_cast<int>(style) - 1];
}

const AnswerStyleTraits& traitsOf(int fileValue) {
    return traitsOf(answerStyle(fileValue));
}

}  // namespace tovalo
