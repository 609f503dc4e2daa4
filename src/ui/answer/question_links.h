#pragma once

#include <QString>
#include <array>
#include <string>

#include "core/exam/selection.h"

class QFrame;

namespace tovalo::ui {

class ImageButton;
class Session;

// What the answer view and the result screen's review pane open for a
// question: its training material, its support page and its FAQ page.
// Failures are told to the learner; nothing is opened then.

// The vendor's question folder of the course on screen, ending in "/".
std::string currentQuestionDir(const Session& session);
// The vendor's choice-label style ("A", "ｱ" or another).
std::string currentLabelStyle(const Session& session);

// Training-material button `which` (1 or 2): enabled with the document's
// hint when the question names one, greyed without a hint otherwise.
void setTrainingButton(ImageButton* button, const ExamQuestion& question, int which);
void openTrainingMaterial(Session& session, const ExamQuestion& question, int which);

// Writes the support page of `question` from the installed template and
// opens it; `answerBlock` is the learner's answer as the caller reads it.
void openSupportPage(Session& session, const ExamQuestion& question,
                     const std::string& answerBlock);

void openFaqPage(Session& session, const ExamQuestion& question);

// The pictures of the buttons both screens share.
void setTrainingButtonLook(ImageButton* button, int which);
void setSupportButtonLook(ImageButton* button);
void setFaqButtonLook(ImageButton* button);
void setFigureButtonLook(ImageButton* button, const QString& caption);
// The button that opens a special style's correct-answer window.
void setStyleViewButtonLook(ImageButton* button);

// The bar under the explanation: FAQ at the left, the two training
// documents one above the other beside it, the support page at the right.
void setLinkBarLook(QFrame* bar);
void layOutLinkBar(QFrame* bar, ImageButton* faq, ImageButton* training1, ImageButton* training2,
                   ImageButton* support);

}  // namespace tovalo::ui
