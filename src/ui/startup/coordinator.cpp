#include "ui/startup/coordinator.h"

#include "platform/qt_modal_windows.h"
#include "ui/answer/TCheatForm.h"
#include "ui/course/TCatSelForm.h"
#include "ui/course/TCourseMenuForm.h"
#include "ui/course/TMainMenuForm.h"
#include "ui/exam/TCaseStudyForm.h"
#include "ui/exam/TConfirmForm.h"
#include "ui/exam/TExamModeForm.h"
#include "ui/exam/TGenericMBForm.h"
#include "ui/exam/TRefImgForm.h"
#include "ui/online/TDownLoad.h"
#include "ui/online/TSyncCandidateForm.h"
#include "ui/online/TSyncForm.h"
#include "ui/online/TUpdateForm.h"
#include "ui/results/TAdaptiveForm.h"
#include "ui/results/TResultForm.h"
#include "ui/results/TStudyForm.h"
#include "ui/startup/screens.h"
#include "ui/styles/TfrmSelStyle3.h"
#include "ui/styles/TfrmSelStyle3View.h"
#include "ui/styles/TfrmSelStyle4.h"
#include "ui/styles/TfrmSelStyle4View.h"
#include "ui/styles/TfrmSelStyle5.h"
#include "ui/styles/TfrmSelStyle5View.h"
#include "ui/styles/TfrmSelStyle6.h"
#include "ui/styles/TfrmSelStyle6View.h"
#include "ui/styles/TfrmSelStyle7.h"
#include "ui/styles/TfrmSelStyle7View.h"

namespace tovalo::ui {

namespace {

// The window that takes the answer of a special style.
ScreenForm* styleWindow(const Screens& screens, AnswerStyle style) {
    switch (style) {
        case AnswerStyle::Graphic:
            return screens.frmSelStyle3;
        case AnswerStyle::Panel:
            return screens.frmSelStyle4;
        case AnswerStyle::Descriptive:
            return screens.frmSelStyle5;
        case AnswerStyle::PanelSecond:
            return screens.frmSelStyle6;
        case AnswerStyle::Connect:
            return screens.frmSelStyle7;
        default:
            return nullptr;
    }
}

// The window that shows the correct answer of a special style.
ScreenForm* styleViewWindow(const Screens& screens, AnswerStyle style) {
    switch (style) {
        case AnswerStyle::Graphic:
        case AnswerStyle::ClickPicture:
            return screens.frmSelStyle3View;
        case AnswerStyle::Panel:
            return screens.frmSelStyle4View;
        case AnswerStyle::Descriptive:
            return screens.frmSelStyle5View;
        case AnswerStyle::PanelSecond:
            return screens.frmSelStyle6View;
        case AnswerStyle::Connect:
            return screens.frmSelStyle7View;
        default:
            return nullptr;
    }
}

}  // namespace

Coordinator::Coordinator(Screens& screens, QObject* parent) : QObject(parent), screens_(screens) {
    connectCourseScreens();
    connectExamScreens();
    connectSideRoads();
}

void Coordinator::backToCourseMenu() {
    screens_.CourseMenuForm->show();
    screens_.CourseMenuForm->activateWindow();
}

void Coordinator::connectCourseScreens() {
    TCourseMenuForm* menu = screens_.CourseMenuForm;
    TCatSelForm* categories = screens_.CatSelForm;
    connect(screens_.MainMenuForm, &TMainMenuForm::profileDone, this,
            &Coordinator::backToCourseMenu);
    // Closing the course menu closes the main window, which ends the program.
    connect(menu, &TCourseMenuForm::closed, screens_.MainMenuForm, &QWidget::close);
    connect(menu, &TCourseMenuForm::courseChosen, this, [menu, categories] {
        if (categories->openCourse()) {
            menu->hide();
        }
    });
    connect(categories, &TCatSelForm::left, this, &Coordinator::backToCourseMenu);
    connect(categories, &TCatSelForm::examStarted, this, [this] {
        screens_.CourseMenuForm->hide();
        screens_.GenericMBForm->startExam();
    });
    connect(screens_.GenericMBForm, &TGenericMBForm::handedOver, screens_.ExamModeForm,
            &TExamModeForm::Start);
}

void Coordinator::connectExamScreens() {
    TExamModeForm* exam = screens_.ExamModeForm;
    TConfirmForm* list = screens_.ConfirmForm;
    TCaseStudyForm* study = screens_.CaseStudyForm;
    TRefImgForm* figure = screens_.RefImgForm;
    TCheatForm* answer = screens_.CheatForm;
    TResultForm* result = screens_.ResultForm;

    connect(exam, &TExamModeForm::reviewRequested, this, [exam, list, answer] {
        answer->hide();
        list->ShowList(exam->isVisible() ? exam->geometry() : QRect());
    });
    answer->setMarksSource([exam] { return exam->marks(); });
    connect(exam, &TExamModeForm::answerWindowRequested, this,
            [exam, answer] { answer->openFor(exam->geometry()); });
    connect(answer, &TCheatForm::figureRequested, figure, &TRefImgForm::showFigure);
    connect(answer, &TCheatForm::styleViewRequested, this, &Coordinator::openStyleView);
    connect(exam, &TExamModeForm::answerWindowDismissed, answer, &QWidget::hide);
    connect(answer, &ScreenForm::hidden, exam, &TExamModeForm::AnswerWindowClosed);
    connect(exam, &TExamModeForm::caseStudyOpening, this,
            [study](const CaseStudy& content, const QString& caption, const QFont& font,
                    const QString& pagePath) {
                study->setContent(content, caption, font, pagePath);
                study->showAtStart();
            });
    connect(exam, &TExamModeForm::caseStudyRequested, study, &TCaseStudyForm::showOnRequest);
    connect(study, &TCaseStudyForm::startPressed, this, [exam, figure] {
        exam->CaseStudyClosed();
        figure->hide();
    });
    connect(exam, &TExamModeForm::figureRequested, figure, &TRefImgForm::showFigure);
    connect(study, &TCaseStudyForm::figureRequested, figure, &TRefImgForm::showFigure);
    for (AnswerStyle style : ChoicePanel::kWindowStyles) {
        ScreenForm* window = styleWindow(screens_, style);
        connect(window, &ScreenForm::hidden, exam,
                [exam, style] { exam->StyleWindowClosed(style); });
    }
    connect(exam, &TExamModeForm::styleWindowRequested, this, [this](AnswerStyle style) {
        if (ScreenForm* window = styleWindow(screens_, style)) {
            platform::openModal(window);
        }
    });
    connect(exam, &TExamModeForm::sideWindowsDismissed, this, [this, figure, study] {
        figure->hide();
        for (AnswerStyle style : ChoicePanel::kWindowStyles) {
            styleWindow(screens_, style)->hide();
        }
        study->hide();
    });
    connect(exam, &TExamModeForm::timeRanOut, this, [exam, list] {
        if (list->isVisible()) {
            list->TimeUpNoticed();
        } else {
            exam->GradeClick();
        }
    });
    connect(exam, &TExamModeForm::quitRequested, screens_.CourseMenuForm, &QWidget::close);

    connect(list, &TConfirmForm::jumpRequested, exam, &TExamModeForm::JumpFromReview);
    connect(list, &TConfirmForm::closedWithoutGrading, exam, &TExamModeForm::ReturnFromReview);
    connect(list, &TConfirmForm::gradeRequested, this, [exam, study, figure, result] {
        exam->FinishForGrading();
        study->hide();
        // A figure left open would float over the result screen.
        figure->hide();
        // The result appears over the questions it grades.
        const std::optional<QPoint> at = exam->testAttribute(Qt::WA_Moved)
                                             ? std::optional<QPoint>(exam->geometry().topLeft())
                                             : std::nullopt;
        exam->hide();
        result->openAt(at);
    });
    connect(result, &TResultForm::backRequested, this, [this, figure] {
        figure->hide();
        backToCourseMenu();
    });
    connect(result, &TResultForm::quitRequested, screens_.CourseMenuForm, &QWidget::close);
    connect(result, &TResultForm::figureRequested, figure, &TRefImgForm::showFigure);
    connect(result, &TResultForm::styleViewRequested, this, &Coordinator::openStyleView);
}

void Coordinator::openStyleView(AnswerStyle style) {
    if (ScreenForm* window = styleViewWindow(screens_, style)) {
        platform::openModal(window);
    }
}

void Coordinator::connectSideRoads() {
    TCourseMenuForm* menu = screens_.CourseMenuForm;
    TStudyForm* advisor = screens_.StudyForm;
    // The advisor takes the menu's place, as the category screen does.
    connect(menu, &TCourseMenuForm::advisorRequested, this, [menu, advisor] {
        advisor->show();
        advisor->activateWindow();
        menu->hide();
    });
    connect(advisor, &TStudyForm::backRequested, this, &Coordinator::backToCourseMenu);
    TAdaptiveForm* adaptive = screens_.AdaptiveForm;
    connect(advisor, &TStudyForm::adaptiveListRequested, adaptive, &TAdaptiveForm::showForRow);
    connect(adaptive, &TAdaptiveForm::adaptiveDeleted, advisor, &TStudyForm::refresh);
    connect(menu, &TCourseMenuForm::updateRequested, this,
            [this] { platform::openModal(screens_.UpdateForm); });
    connect(menu, &TCourseMenuForm::syncRequested, this,
            [this] { platform::openModal(screens_.SyncForm); });
    TUpdateForm* update = screens_.UpdateForm;
    TDownLoad* download = screens_.DownLoad;
    connect(update, &TUpdateForm::left, this, &Coordinator::backToCourseMenu);
    connect(update, &TUpdateForm::fetchingChanged, this, [download](bool fetching) {
        if (fetching) {
            download->begin();
            platform::openModal(download);
        } else {
            download->finish();
        }
    });
    connect(update, &TUpdateForm::fileStarted, download, &TDownLoad::setFileLabel);
    connect(update, &TUpdateForm::transferProgress, download, &TDownLoad::setStatus);
    connect(download, &TDownLoad::stopRequested, update, &TUpdateForm::stopRun);
    // The catalog no longer matches the files: closing the course menu ends
    // the program the way the learner's own closing does.
    connect(update, &TUpdateForm::programEndRequested, menu, &QWidget::close);
    TSyncForm* sync = screens_.SyncForm;
    TSyncCandidateForm* proposal = screens_.SyncCandidateForm;
    connect(sync, &TSyncForm::left, this, &Coordinator::backToCourseMenu);
    connect(sync, &TSyncForm::proposalReady, this, [sync, proposal] {
        proposal->showProposal(sync->proposal());
        platform::openModal(proposal);
    });
    connect(proposal, &TSyncCandidateForm::accepted, sync, &TSyncForm::transferProposal);
    connect(proposal, &TSyncCandidateForm::declined, sync, &TSyncForm::dropProposal);
}

}  // namespace tovalo::ui
