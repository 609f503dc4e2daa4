#include "ui/exam/TExamModeForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

#include "core/app/window_placement.h"
#include "core/exam/exam_screen.h"
#include "core/exam/page_writer.h"
#include "core/questions/question_file.h"
#include "core/text/clock_text.h"
#include "platform/qt_bundle_loader.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/clock_face.h"
#include "ui/widgets/focus_outline.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/question_panel.h"
#include "ui/widgets/side_column.h"

namespace tovalo::ui {

namespace {

constexpr int kClockPicture = 106;
constexpr int kSidePicture = 104;
constexpr int kLevelStripPicture = 108;
constexpr int kButtonY = 10;
constexpr QSize kBarButton(96, 36);
constexpr QSize kRepeatButton(44, 36);

const QColor kWindowColour(14, 18, 26);
const QColor kBarColour(8, 12, 18);

ImageButton* barButton(QWidget* parent, const char* name) {
    auto* b = new ImageButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

}  // namespace

TExamModeForm::TExamModeForm(Session& session) : ScreenForm(session) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("ExamModeForm"));
    setWindowTitle(qs(examCaption(false, false, 0)));
    setDesignMinimumSize(QSize(kExamMinWidth, kExamMinHeight));
    resize(kExamMinWidth, kExamMinHeight);
    fill(this, kWindowColour);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TExamModeForm::Timer1Timer);
}

void TExamModeForm::ensureControls() {
    if (built_) {
        return;
    }
    built_ = true;
    buildSideColumn();

    QuesPanel = new QuestionPanel(this);
    connect(QuesPanel, &QuestionPanel::figureClicked, this, &TExamModeForm::FigClick);
    StickyNote = new QCheckBox(QString::fromUtf8(kStickyNoteCaption));
    StickyNote->setObjectName(QStringLiteral("StickyNote"));
    StickyNote->setFont(uiFont(12));
    paint(StickyNote, QPalette::WindowText, QColor(150, 20, 20));
    QuesPanel->setCornerWidget(StickyNote);
    // The desktop style marks the box only after a key has moved the focus,
    // and each question starts with the focus here, put by the screen.
    outlineKeyboardFocus(StickyNote, 1);

    AnsPanel = new ChoicePanel(this);
    connect(AnsPanel, &ChoicePanel::styleWindowRequested, this, &TExamModeForm::StyleButtonClick);
    connect(AnsPanel, &ChoicePanel::pictureAnswered, this, &TExamModeForm::Image_Type8Answered);

    buildButtonBar();
    layOutWindow();
}

void TExamModeForm::buildSideColumn() {
    LevelImage = new QLabel(this);
    LevelImage->setObjectName(QStringLiteral("LevelImage"));
    LevelImage->setGeometry(10, 4, kLevelSegmentWidth, kLevelSegmentHeight);

    TitleBox = new SideTitle(uiFont(12, true), this);
    TitleBox->setObjectName(QStringLiteral("TitleBox"));
    TitleBox->setAlignment(Qt::AlignCenter);
    TitleBox->setFrameShape(QFrame::Box);
    TitleBox->setGeometry(4, 50, kSideWidth - 8, 40);

    QLabel** labels[] = {&CountLabel, &LimitLabel, &RemainLabel};
    const char* names[] = {"CountLabel", "LimitLabel", "RemainLabel"};
    for (int i = 0; i < 3; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(QLatin1String(names[i]));
        l->setGeometry(4, 94 + i * 18, kSideWidth - 8, 18);
        l->setFont(uiFont(12, i == 2));
        l->setIndent(6);
        *labels[i] = l;
    }

    Clock = new ClockFace(this);
    Clock->setObjectName(QStringLiteral("Clock"));
    Clock->move((kSideWidth - ClockFace::kWidth) / 2, 152);

    PaceLabel1 = new QLabel(QString::fromUtf8(kPaceReminder1), this);
    PaceLabel2 = new QLabel(QString::fromUtf8(kPaceReminder2), this);
    PaceLabel1->setObjectName(QStringLiteral("PaceLabel1"));
    PaceLabel2->setObjectName(QStringLiteral("PaceLabel2"));
    for (QLabel* l : {PaceLabel1, PaceLabel2}) {
        l->setFont(uiFont(13, true));
        l->setAlignment(Qt::AlignCenter);
        paint(l, QPalette::WindowText, QColor(255, 72, 72));
        l->hide();
    }
    PaceLabel1->setGeometry(0, 272, kSideWidth, 16);
    PaceLabel2->setGeometry(0, 287, kSideWidth, 16);

    SideImage = new QLabel(this);
    SideImage->setObjectName(QStringLiteral("SideImage"));
    SideImage->setAlignment(Qt::AlignCenter);
    // On a short window the side picture reaches up to the reminder, which
    // must stay readable.
    PaceLabel1->raise();
    PaceLabel2->raise();
}

void TExamModeForm::buildButtonBar() {
    ButtonBar = new QFrame(this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    fill(ButtonBar, kBarColour);

    GradeButton = barButton(ButtonBar, "GradeButton");
    SuspendButton = barButton(ButtonBar, "SuspendButton");
    AnswerButton = barButton(ButtonBar, "AnswerButton");
    CaseButton = barButton(ButtonBar, "CaseButton");
    RepeatButton = barButton(ButtonBar, "RepeatButton");
    RepeatButton->setToolTip(QString::fromUtf8(kRepeatHint));
    RepeatButton->setAccessibleName(QString::fromUtf8(kRepeatHint));
    PrevButton = barButton(ButtonBar, "PrevButton");
    NextButton = barButton(ButtonBar, "NextButton");
    applyBarLooks();
    CaseButton->hide();

    connect(GradeButton, &ImageButton::clicked, this, &TExamModeForm::GradeClick);
    connect(SuspendButton, &ImageButton::clicked, this, &TExamModeForm::SuspendClick);
    connect(AnswerButton, &ImageButton::clicked, this, &TExamModeForm::AnswerClick);
    connect(CaseButton, &ImageButton::clicked, this, &TExamModeForm::CaseClick);
    connect(RepeatButton, &ImageButton::clicked, this, &TExamModeForm::RepeatClick);
    connect(PrevButton, &ImageButton::clicked, this, &TExamModeForm::PrevClick);
    connect(NextButton, &ImageButton::clicked, this, &TExamModeForm::NextClick);
    restoreNormalLayout();
}

int TExamModeForm::questionCount() const {
    return session_.exam.questionCount();
}

std::string TExamModeForm::questionPagePath(const char* file) const {
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    return session_.directories.questionDir(vendor != nullptr ? vendor->folder : std::string()) +
           file;
}

std::string TExamModeForm::imageDir() const {
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    return session_.directories.imageDir(vendor != nullptr ? vendor->folder : std::string());
}

void TExamModeForm::applyVendorLook() {
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    const int slot = vendor != nullptr ? vendor->number : 0;

    LevelImage->clear();
    const int level = session_.catalog.highestLevel;
    const QPixmap segment =
        levelStripSegment(platform::QtBundleLoader::picture(slot, kLevelStripPicture), level);
    if (!segment.isNull()) {
        LevelImage->setPixmap(segment);
    }
    Clock->setFace(platform::QtBundleLoader::picture(slot, kClockPicture));
    SideImage->setPixmap(platform::QtBundleLoader::picture(slot, kSidePicture));
    AnsPanel->setHelpText(vendor != nullptr ? qs(vendor->helpText) : QString());

    const QColor back = vendor != nullptr ? desktopColour(vendor->panelColor) : QColor(16, 40, 88);
    const QColor text =
        vendor != nullptr ? desktopColour(vendor->panelTextColor) : QColor(225, 235, 255);
    for (QLabel* l : {static_cast<QLabel*>(TitleBox), CountLabel, LimitLabel, RemainLabel}) {
        fill(l, back);
        paint(l, QPalette::WindowText, text);
    }
}

void TExamModeForm::Start() {
    ensureControls();
    const CourseEntry& course = session_.exam.course();
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    formatKind_ = course.FormatKind;
    labelStyle_ = vendor != nullptr ? vendor->choiceLabelStyle : std::string();
    assessment_ = session_.exam.selection().mode == SelectionMode::Assessment;
    ExamEngine& engine = session_.exam.engine();
    suspended_ = false;
    reviewing_ = false;

    SuspendButton->setVisible(!assessment_);
    AnswerButton->setVisible(!assessment_);
    applyVendorLook();
    CaseButton->hide();
    applyCaseLook();
    CaseButton->setToolTip(qs(caseStudyLook(labelStyle_).buttonHint));

    engine.restartClock();

    AnsPanel->setLabelStyle(labelStyle_);
    RepeatButton->setVisible(repeatButtonShown(labelStyle_));

    const int limit = session_.exam.selection().TimeLimitSeconds;
    LimitLabel->setText(qs(timeLimitText(limit)));
    TitleBox->setTitle(qs(course.ExamTitle));
    CountLabel->setText(qs(questionCountText(questionCount())));
    RemainLabel->setText(QStringLiteral("残り時間 : ") + qs(text::minutesSeconds(limit)));
    Clock->redrawFull();
    QuesPanel->setHtml(htmlCourse());

    restoreNormalLayout();
    setSuspendLook();
    enableCommandButtons(true);

    takeSharedPlace();
    show();
    activateWindow();

    engine.jumpTo(1);
    showQuestionAt(1);
    StickyNote->setFocus();
    Timer1->start();
    engine.setTimeUpArmed(true);
    openCaseStudy();
}

void TExamModeForm::openCaseStudy() {
    const CourseEntry& course = session_.exam.course();
    if (course.QdfPath.empty()) {
        return;
    }
    std::optional<CaseStudy> study = readCaseStudy(courseSettingsPath(course.QdfPath), imageDir());
    if (!study) {
        return;
    }
    // Reading the case study is not exam time: the clock runs, but cannot
    // end the exam until the learner closes it.
    session_.exam.engine().setTimeUpArmed(false);
    QString pagePath;
    if (study->html) {
        const std::string path = questionPagePath("casestudy.htm");
        Status written = WritePage(study->text, path, PageMode::Whole);
        if (!written) {
            session_.services.messages.showError(written.error().describe());
        } else {
            (void)session_.services.files.setHidden(path, true);
            pagePath = qs(path);
        }
    }
    const CaseStudyLook look = caseStudyLook(labelStyle_);
    QFont memoFont(installedFamily(look.fontName));
    memoFont.setPixelSize(14);
    emit caseStudyOpening(*study, qs(look.caption), memoFont, pagePath);
}

void TExamModeForm::showQuestionAt(int q) {
    QuesPanel->setNumberText(qs(questionLabelText(q)));
    LoadQuestion(q);
    LoadAnswer(q);
    updateNextPicture();
}

void TExamModeForm::LoadQuestion(int q) {
    ensureControls();
    if (q < 1 || q > questionCount()) {
        return;
    }
    const ExamQuestion& question = session_.exam.question(q);

    PaceLabel1->hide();
    PaceLabel2->hide();
    StickyNote->setChecked(false);
    PrevButton->setEnabled(q != 1 && !suspended_);
    QuesPanel->showNumber(q, questionCount());

    if (htmlCourse()) {
        // The page leaves out the fragment's first line, which is the
        // figure line when there is one: the whole text goes to the writer.
        const std::string path = questionPagePath("exam.htm");
        Status written = WritePage(question.QuesText, path, PageMode::DropFirstLine);
        if (!written) {
            session_.services.messages.showError(written.error().describe());
        } else {
            (void)session_.services.files.setHidden(path, true);
            QuesPanel->showPage(qs(path));
        }
    } else {
        QuesPanel->showPlainText(qs(textWithoutFigureLine(question.QuesText)));
    }

    figurePaths_.clear();
    const std::string dir = imageDir();
    for (const std::string& name : figureNames(question.QuesText, QuestionPanel::kFigures)) {
        figurePaths_.push_back(dir + name);
    }
    QuesPanel->showFigureButtons(
        traitsOf(question.Style).figureButtons ? static_cast<int>(figurePaths_.size()) : 0);

    AnsPanel->showQuestion(question, session_.exam.prepareHandoff(q, figurePaths_));

    session_.exam.engine().questionShown();
    updateCaption();
}

void TExamModeForm::SaveAnswer(int q) {
    ensureControls();
    session_.exam.engine().recordAnswer(q, marks(), StickyNote->isChecked());
}

void TExamModeForm::LoadAnswer(int q) {
    ensureControls();
    const ExamProgress& progress = session_.exam.progress();
    if (q < 1 || q > progress.positions()) {
        return;
    }
    AnsPanel->setMarks(progress.Answer[q - 1]);
    StickyNote->setChecked(progress.Marked[q - 1]);
}

std::array<bool, kMaxChoices> TExamModeForm::marks() const {
    return built_ ? AnsPanel->marks() : std::array<bool, kMaxChoices>{};
}

void TExamModeForm::AnswerWindowClosed() {
    if (built_) {
        AnsPanel->showCorrect(false);
    }
}

QSize TExamModeForm::barSize(QSize designed) const {
    return {app::narrowed(designed.width(), width(), kExamMinWidth), designed.height()};
}

void TExamModeForm::applyBarLooks() {
    barButtonWidth_ = barSize(kBarButton).width();
    setToneButtonLook(GradeButton, barSize(kBarButton), QStringLiteral("採点"), ButtonTone::Grade,
                      ButtonGlyph::Check);
    setToneButtonLook(AnswerButton, barSize(kBarButton), QStringLiteral("正解・解説"),
                      ButtonTone::Answer, ButtonGlyph::None);
    setToneButtonLook(RepeatButton, barSize(kRepeatButton), QString(), ButtonTone::Repeat,
                      ButtonGlyph::Repeat);
    setToneButtonLook(PrevButton, barSize(kBarButton), QStringLiteral("前へ"), ButtonTone::Navigate,
                      ButtonGlyph::Back);
    applyCaseLook();
    setSuspendLook();
    updateNextPicture();
}

void TExamModeForm::applyCaseLook() {
    setToneButtonLook(CaseButton, barSize(kBarButton), qs(caseStudyLook(labelStyle_).caption),
                      ButtonTone::CaseStudy, ButtonGlyph::Document);
}

void TExamModeForm::placeBarButtons() {
    // Laid out for the design width; a narrower window (a small or highly
    // scaled screen) squeezes the row so that 次へ and 採点 stay in reach.
    const auto x = [this](int designed) { return app::narrowed(designed, width(), kExamMinWidth); };
    if (reviewing_) {
        GradeButton->move(x(kReviewGradeX), kButtonY);
        AnswerButton->move(x(kReviewAnswerX), kButtonY);
        RepeatButton->move(x(kReviewAnswerX - kRepeatGap) - RepeatButton->width(), kButtonY);
        return;
    }
    GradeButton->move(x(kGradeX), kButtonY);
    SuspendButton->move(x(kSuspendX), kButtonY);
    AnswerButton->move(x(kAnswerX), kButtonY);
    RepeatButton->move(x(kRepeatX), kButtonY);
    PrevButton->move(x(kPrevX), kButtonY);
    NextButton->move(x(kNextX), kButtonY);
    CaseButton->move(x(kCaseStudyX), kButtonY);
}

void TExamModeForm::updateNextPicture() {
    const ExamEngine& engine = session_.exam.engine();
    nextShowsGrade_ = engine.positions() > 0 && engine.current() == engine.positions();
    if (nextShowsGrade_) {
        setToneButtonLook(NextButton, barSize(kBarButton), QStringLiteral("採点"),
                          ButtonTone::Grade, ButtonGlyph::Check);
    } else {
        setToneButtonLook(NextButton, barSize(kBarButton), QStringLiteral("次へ"),
                          ButtonTone::Navigate, ButtonGlyph::Forward);
    }
}

void TExamModeForm::updateCaption() {
    const int q = session_.exam.engine().current();
    const int quesNum = q >= 1 && q <= questionCount() ? session_.exam.question(q).QuesNum : 0;
    setWindowTitle(qs(examCaption(reviewing_, session_.showQuestionNumbers, quesNum)));
}

void TExamModeForm::setSuspendLook() {
    if (suspended_) {
        setToneButtonLook(SuspendButton, barSize(kBarButton), QStringLiteral("再開"),
                          ButtonTone::Suspend, ButtonGlyph::Resume);
        SuspendButton->setToolTip(QString::fromUtf8(kResumeHint));
    } else {
        setToneButtonLook(SuspendButton, barSize(kBarButton), QStringLiteral("中断"),
                          ButtonTone::Suspend, ButtonGlyph::Pause);
        SuspendButton->setToolTip(QString::fromUtf8(kSuspendHint));
    }
}

void TExamModeForm::enableCommandButtons(bool on) {
    GradeButton->setEnabled(on);
    AnswerButton->setEnabled(on);
    NextButton->setEnabled(on);
    RepeatButton->setEnabled(on);
    PrevButton->setEnabled(on && session_.exam.engine().current() != 1);
}

void TExamModeForm::NextClick() {
    StickyNote->setFocus();
    emit answerWindowDismissed();
    ExamEngine& engine = session_.exam.engine();
    const Move move = engine.next(marks(), StickyNote->isChecked());
    if (move == Move::LoadQuestion) {
        showQuestionAt(engine.current());
    } else if (move == Move::OpenReview) {
        QuesPanel->stopPage();
        emit reviewRequested();
    }
}

void TExamModeForm::PrevClick() {
    ExamEngine& engine = session_.exam.engine();
    if (engine.current() <= 1) {
        return;
    }
    StickyNote->setFocus();
    emit answerWindowDismissed();
    if (engine.previous(marks(), StickyNote->isChecked()) == Move::LoadQuestion) {
        showQuestionAt(engine.current());
    }
}

void TExamModeForm::GradeClick() {
    grade();
}

void TExamModeForm::grade() {
    session_.exam.engine().grade(marks(), StickyNote->isChecked());
    QuesPanel->stopPage();
    emit reviewRequested();
}

void TExamModeForm::AnswerClick() {
    const int q = session_.exam.engine().current();
    if (q < 1 || q > questionCount()) {
        return;
    }
    session_.exam.engine().markAnswerViewed(q);
    AnsPanel->showCorrect(true);
    emit answerWindowRequested();
}

void TExamModeForm::SuspendClick() {
    suspended_ = !suspended_;
    if (suspended_) {
        Timer1->stop();
        QuesPanel->stopPage();
    } else {
        Timer1->start();
        QuesPanel->reloadPage();
    }
    setSuspendLook();
    enableCommandButtons(!suspended_);
    if (!suspended_) {
        updateNextPicture();
    }
}

void TExamModeForm::RepeatClick() {
    QuesPanel->reloadPage();
}

void TExamModeForm::CaseClick() {
    emit caseStudyRequested();
}

void TExamModeForm::CaseStudyClosed() {
    ensureControls();
    session_.exam.engine().questionShown();
    session_.exam.engine().setTimeUpArmed(true);
    CaseButton->show();
}

void TExamModeForm::FigClick(int figure) {
    if (figure < 1 || figure > static_cast<int>(figurePaths_.size())) {
        return;
    }
    emit figureRequested(qs(figureCaption(figure)), qs(figurePaths_[figure - 1]));
}

void TExamModeForm::StyleButtonClick(AnswerStyle style) {
    // Each try starts from a cleared answer; only a solved window marks one.
    AnsPanel->clearMarks();
    session_.exam.setStyleSolved(false);
    openStyleWindow_ = style;
    emit styleWindowRequested(style);
}

void TExamModeForm::StyleWindowClosed(AnswerStyle style) {
    if (openStyleWindow_ != style) {
        return;
    }
    openStyleWindow_.reset();
    if (session_.exam.styleSolved()) {
        AnsPanel->markSlot(session_.exam.handoff().answerSlot);
    }
}

void TExamModeForm::Image_Type8Answered(bool solved) {
    // The recorded answer follows every change of the marks: a mark taken
    // off or moved out of its zone takes a right answer back.
    session_.exam.setStyleSolved(solved);
    if (solved) {
        AnsPanel->markSlot(session_.exam.handoff().answerSlot);
    } else {
        AnsPanel->clearMarks();
    }
}

bool TExamModeForm::paceReminderShown() const {
    return built_ && !PaceLabel1->isHidden();
}

void TExamModeForm::Timer1Timer() {
    ensureControls();
    ExamEngine& engine = session_.exam.engine();
    const int elapsed = engine.progress().ElapsedSeconds;
    const TickResult t = engine.tick();
    if (!t.sound.empty()) {
        session_.services.sound.play(t.sound);
    }
    if (t.timeUp) {
        Timer1->stop();
        RemainLabel->setText(qs(t.remainingText));
        timeUp();
        return;
    }
    if (t.togglePaceReminder) {
        const bool show = PaceLabel1->isHidden();
        PaceLabel1->setVisible(show);
        PaceLabel2->setVisible(show);
    }
    if (t.redrawFullFace) {
        Clock->redrawFull();
    } else if (t.redrawSmallFace) {
        Clock->redrawSmall();
    }
    if (t.drawHand) {
        Clock->drawHand(clockHand(elapsed), t.redHand);
    }
    RemainLabel->setText(qs(t.remainingText));
}

void TExamModeForm::timeUp() {
    // The box holds the whole program until it is acknowledged: the review
    // list under it must not grade (and store) the exam in the meantime.
    session_.services.messages.showNotice(kTimeUpCaption, kTimeUpMessage);
    session_.exam.engine().acknowledgeTimeUp();
    emit sideWindowsDismissed();
    if (session_.exam.stage() == ExamStage::Answering) {
        emit timeRanOut();
    }
}

void TExamModeForm::JumpFromReview(int q) {
    ensureControls();
    if (q < 1 || q > questionCount()) {
        return;
    }
    reviewing_ = true;
    session_.exam.engine().jumpTo(q);
    showQuestionAt(q);
    StickyNote->setFocus();
    placeBarButtons();
    NextButton->hide();
    SuspendButton->hide();
    PrevButton->hide();
    updateCaption();
}

void TExamModeForm::FinishForGrading() {
    restoreNormalLayout();
    Timer1->stop();
}

void TExamModeForm::restoreNormalLayout() {
    ensureControls();
    reviewing_ = false;
    placeBarButtons();
    NextButton->show();
    PrevButton->show();
    SuspendButton->setVisible(!assessment_);
    Clock->show();
    RemainLabel->show();
    LimitLabel->show();
    updateCaption();
}

void TExamModeForm::ReturnFromReview() {
    ensureControls();
    ExamEngine& engine = session_.exam.engine();
    if (engine.current() <= engine.positions()) {
        return;
    }
    const int last = engine.positions();
    engine.jumpTo(last);
    showQuestionAt(last);
    StickyNote->setFocus();
}

bool TExamModeForm::handleKey(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // A button the learner tabbed to takes Enter for itself.
            if (qobject_cast<ImageButton*>(focusWidget()) != nullptr && focusWidget()->hasFocus()) {
                return false;
            }
            if (NextButton->isEnabled()) {
                NextClick();
            }
            return true;
        case Qt::Key_Backspace:
            if (PrevButton->isEnabled()) {
                PrevClick();
            }
            return true;
        case Qt::Key_End:
            if (GradeButton->isEnabled()) {
                GradeClick();
            }
            return true;
        case Qt::Key_F1:
            if (!AnswerButton->isHidden() && AnswerButton->isEnabled()) {
                AnswerClick();
            }
            return true;
        case Qt::Key_F9:
            if (!CaseButton->isHidden()) {
                CaseClick();
            }
            return true;
        default:
            return false;
    }
}

bool TExamModeForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // The screen sees its keys before any control, the page view
        // included, as long as the key was meant for this window.
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this && isVisible()) {
            auto* key = static_cast<QKeyEvent*>(event);
            // Enter and Backspace place and take off marks while the click
            // picture has the focus.
            if (AnsPanel != nullptr && AnsPanel->pictureTakesKey(key->key())) {
                return false;
            }
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
                return handleKey(key->key());
            }
        }
        return false;
    }
    return ScreenForm::eventFilter(watched, event);
}

void TExamModeForm::showEvent(QShowEvent* event) {
    ensureControls();
    if (!keysWatched_) {
        keysWatched_ = true;
        qApp->installEventFilter(this);
    }
    ScreenForm::showEvent(event);
}

void TExamModeForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && keysWatched_) {
        keysWatched_ = false;
        qApp->removeEventFilter(this);
    }
    ScreenForm::hideEvent(event);
}

void TExamModeForm::layOutWindow() {
    const int w = width();
    const int h = height();
    const ExamPanels panels = examPanels(h, 4);
    const int panelWidth = w - kPanelLeft - 8;
    QuesPanel->setGeometry(kPanelLeft, panels.questionTop, panelWidth, panels.questionHeight);
    AnsPanel->setGeometry(kPanelLeft, panels.answerTop, panelWidth, panels.answerHeight);
    ButtonBar->setGeometry(0, h - kBarHeight, w, kBarHeight);
    if (barSize(kBarButton).width() != barButtonWidth_) {
        applyBarLooks();
    }
    placeBarButtons();
    // The side picture sits on the bar; on a window shorter than the design
    // it gives up its top rather than cover the clock and the reminder.
    const int sideTop = std::max(h - kBarHeight - 202, kSideFloor);
    SideImage->setGeometry(0, sideTop, kSideWidth, std::max(0, h - kBarHeight - 2 - sideTop));
}

void TExamModeForm::resizeEvent(QResizeEvent* event) {
    if (built_) {
        layOutWindow();
    }
    ScreenForm::resizeEvent(event);
}

void TExamModeForm::closeEvent(QCloseEvent* event) {
    const bool running = Timer1->isActive();
    Timer1->stop();
    if (!session_.services.messages.askYesNo(kCloseExamQuestion)) {
        if (running) {
            Timer1->start();
        }
        event->ignore();
        return;
    }
    event->accept();
    emit sideWindowsDismissed();
    emit answerWindowDismissed();
    emit quitRequested();
}

}  // namespace tovalo::ui
