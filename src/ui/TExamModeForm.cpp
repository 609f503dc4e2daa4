#include "ui/TExamModeForm.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "core/exam/case_study.h"
#include "core/exam/exam_screen.h"
#include "core/exam/page_writer.h"
#include "core/questions/question_file.h"
#include "core/styles/style_handoff.h"
#include "core/text/clock_text.h"
#include "platform/qt_bundle_loader.h"
#include "ui/TCaseStudyForm.h"
#include "ui/TCheatForm.h"
#include "ui/TConfirmForm.h"
#include "ui/TCourseMenuForm.h"
#include "ui/TRefImgForm.h"
#include "ui/TfrmSelStyle3.h"
#include "ui/TfrmSelStyle4.h"
#include "ui/TfrmSelStyle5.h"
#include "ui/TfrmSelStyle6.h"
#include "ui/TfrmSelStyle7.h"
#include "ui/fonts.h"
#include "ui/level_strip.h"
#include "ui/modal_windows.h"
#include "ui/qt_convert.h"
#include "ui/screens.h"
#include "ui/session.h"
#include "ui/text_wrap.h"
#include "ui/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/choice_text.h"
#include "ui/widgets/clock_face.h"
#include "ui/widgets/image_button.h"

namespace tovalo::ui {

namespace {

constexpr int kClockPicture = 106;
constexpr int kSidePicture = 104;
constexpr int kLevelStripPicture = 108;
constexpr int kButtonY = 10;
constexpr int kHeaderHeight = 26;
constexpr int kAnsTitleHeight = 20;
constexpr int kMarkLeft = 6;
constexpr int kTextLeft = 42;
constexpr int kStyleButtonTop = 8;
constexpr QSize kBarButton(96, 36);
constexpr QSize kRepeatButton(44, 36);
constexpr QSize kStyleButton(150, 32);
constexpr QSize kFigureButton(62, 22);
constexpr const char* kType8Hint = "ｸﾘｯｸして選択してください。右ｸﾘｯｸで取り消しが可能です。";

const QColor kWindowColour(14, 18, 26);
const QColor kBarColour(8, 12, 18);
const QColor kPanelColour(246, 247, 250);
const QColor kAnswerTitleColour(28, 52, 96);
const QColor kCorrectRed(255, 0, 0);

void paint(QWidget* w, QPalette::ColorRole role, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(role, colour);
    w->setPalette(pal);
}

void fill(QWidget* w, const QColor& colour) {
    paint(w, QPalette::Window, colour);
    w->setAutoFillBackground(true);
}

// The lines a plain text takes in a box, wrapped as the box wraps it.
int wrappedLineCount(const QString& text, const QFont& font, int width) {
    int lines = 0;
    const QStringList paragraphs = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        lines += static_cast<int>(wrappedLines(paragraph, font, width).size());
    }
    return lines;
}

ImageButton* barButton(QWidget* parent, const char* name) {
    auto* b = new ImageButton(parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

void setButtonLook(ImageButton* b, QSize size, const QString& caption, ButtonTone tone,
                   ButtonGlyph glyph) {
    b->setPictures(buttonPicture(size, caption, tone, glyph, true),
                   buttonPicture(size, caption, tone, glyph, false));
}

}  // namespace

TExamModeForm::TExamModeForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("ExamModeForm"));
    setWindowTitle(qs(examCaption(false, false, 0)));
    setMinimumSize(kExamMinWidth, kExamMinHeight);
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
    buildQuestionPanel();
    buildAnswerPanel();
    buildButtonBar();
    layOutWindow();
}

void TExamModeForm::buildSideColumn() {
    LevelImage = new QLabel(this);
    LevelImage->setObjectName(QStringLiteral("LevelImage"));
    LevelImage->setGeometry(10, 4, kLevelSegmentWidth, kLevelSegmentHeight);

    TitleBox = new QLabel(this);
    TitleBox->setObjectName(QStringLiteral("TitleBox"));
    TitleBox->setGeometry(4, 50, kSideWidth - 8, 40);
    TitleBox->setWordWrap(true);
    TitleBox->setAlignment(Qt::AlignCenter);
    TitleBox->setFont(uiFont(12, true));
    TitleBox->setTextFormat(Qt::PlainText);
    TitleBox->setFrameShape(QFrame::Box);

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

void TExamModeForm::buildQuestionPanel() {
    QuesPanel = new QFrame(this);
    QuesPanel->setObjectName(QStringLiteral("QuesPanel"));
    fill(QuesPanel, kPanelColour);

    QuesLabel = new QLabel(QStringLiteral("Q.1"), QuesPanel);
    QuesLabel->setObjectName(QStringLiteral("QuesLabel"));
    paint(QuesLabel, QPalette::WindowText, QColor(20, 40, 90));
    ProgressLabel = new QLabel(QuesPanel);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressLabel->hide();

    for (int k = 0; k < kFigures; ++k) {
        auto* b = new ImageButton(QuesPanel);
        b->setObjectName(QStringLiteral("FigButton%1").arg(k + 1));
        setButtonLook(b, kFigureButton, qs(figureCaption(k + 1)), ButtonTone::Figure,
                      ButtonGlyph::Picture);
        b->move(84 + k * (kFigureButton.width() + 6), 2);
        b->setToolTip(QStringLiteral("図を表示します"));
        b->hide();
        connect(b, &ImageButton::clicked, this, [this, k] { FigClick(k + 1); });
        FigButtons[k] = b;
    }

    StickyNote = new QCheckBox(QString::fromUtf8(kStickyNoteCaption), QuesPanel);
    StickyNote->setObjectName(QStringLiteral("StickyNote"));
    StickyNote->setFont(uiFont(12));
    paint(StickyNote, QPalette::WindowText, QColor(150, 20, 20));

    QuesMemo = new QPlainTextEdit(QuesPanel);
    QuesMemo->setObjectName(QStringLiteral("QuesMemo"));
    QuesMemo->setReadOnly(true);
    QuesMemo->setFont(uiFont(14));
    QuesMemo->setFrameShape(QFrame::StyledPanel);
    QuesMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QuesMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The box never holds the focus, so Enter and Backspace always reach
    // the screen's own keys.
    QuesMemo->setFocusPolicy(Qt::NoFocus);
    QuesMemo->viewport()->installEventFilter(this);
    paint(QuesMemo, QPalette::Base, Qt::white);
    paint(QuesMemo, QPalette::Text, QColor(16, 16, 20));

    WebBrowser1 = new WebPageView(QuesPanel);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->hide();
}

void TExamModeForm::buildAnswerPanel() {
    AnsPanel = new QFrame(this);
    AnsPanel->setObjectName(QStringLiteral("AnsPanel"));
    fill(AnsPanel, kPanelColour);

    AnsTitle = new QLabel(QString::fromUtf8(kAnswerPanelTitle), AnsPanel);
    AnsTitle->setObjectName(QStringLiteral("AnsTitle"));
    AnsTitle->setFont(uiFont(12, true));
    AnsTitle->setIndent(8);
    fill(AnsTitle, kAnswerTitleColour);
    paint(AnsTitle, QPalette::WindowText, Qt::white);

    AnsScroll = new QScrollArea(AnsPanel);
    AnsScroll->setObjectName(QStringLiteral("AnsScroll"));
    AnsScroll->setFrameShape(QFrame::NoFrame);
    AnsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AnsScroll->setWidgetResizable(false);
    AnsBox = new QWidget;
    AnsBox->setObjectName(QStringLiteral("AnsBox"));
    fill(AnsBox, kPanelColour);
    AnsScroll->setWidget(AnsBox);

    for (int k = 0; k < kChoices; ++k) {
        auto* radio = new QRadioButton(AnsBox);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(k + 1));
        auto* check = new QCheckBox(AnsBox);
        check->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        for (QAbstractButton* b :
             {static_cast<QAbstractButton*>(radio), static_cast<QAbstractButton*>(check)}) {
            b->setFont(uiFont(12, true));
            b->setFixedSize(kTextLeft - kMarkLeft - 2, 18);
            b->hide();
        }
        connect(check, &QCheckBox::clicked, this, [this, k] { limitCheckBoxes(k + 1); });
        auto* text = new ChoiceText(AnsBox);
        text->setObjectName(QStringLiteral("ChoiceText%1").arg(k + 1));
        text->hide();
        RadioButtons[k] = radio;
        CheckBoxes[k] = check;
        ChoiceTexts[k] = text;
    }

    for (std::size_t i = 0; i < kWindowStyles.size(); ++i) {
        const AnswerStyle style = kWindowStyles[i];
        auto* b = new ImageButton(AnsBox);
        b->setObjectName(QStringLiteral("ButtonType%1").arg(static_cast<int>(style)));
        setButtonLook(b, kStyleButton, QStringLiteral("解答ウィンドウ"), ButtonTone::Navigate,
                      ButtonGlyph::Forward);
        b->move(10, kStyleButtonTop);
        b->hide();
        connect(b, &ImageButton::clicked, this, [this, style] { StyleButtonClick(style); });
        StyleButtons[i] = b;
    }
    HelpText = new QLabel(AnsBox);
    HelpText->setObjectName(QStringLiteral("HelpText"));
    HelpText->setWordWrap(true);
    HelpText->setFont(uiFont(12));
    HelpText->setTextFormat(Qt::PlainText);
    paint(HelpText, QPalette::WindowText, QColor(40, 60, 100));
    HelpText->hide();

    Type8Hint = new QLabel(QString::fromUtf8(kType8Hint), AnsBox);
    Type8Hint->setObjectName(QStringLiteral("Type8Hint"));
    Type8Hint->setFont(uiFont(12));
    Type8Hint->move(10, kStyleButtonTop);
    Type8Hint->adjustSize();
    Type8Hint->hide();
    Image_Type8 = new QLabel(AnsBox);
    Image_Type8->setObjectName(QStringLiteral("Image_Type8"));
    Image_Type8->move(10, kStyleButtonTop + 24);
    Image_Type8->hide();
}

void TExamModeForm::buildButtonBar() {
    ButtonBar = new QFrame(this);
    ButtonBar->setObjectName(QStringLiteral("ButtonBar"));
    fill(ButtonBar, kBarColour);

    GradeButton = barButton(ButtonBar, "GradeButton");
    setButtonLook(GradeButton, kBarButton, QStringLiteral("採点"), ButtonTone::Grade,
                  ButtonGlyph::Check);
    SuspendButton = barButton(ButtonBar, "SuspendButton");
    AnswerButton = barButton(ButtonBar, "AnswerButton");
    setButtonLook(AnswerButton, kBarButton, QStringLiteral("正解・解説"), ButtonTone::Answer,
                  ButtonGlyph::None);
    CaseButton = barButton(ButtonBar, "CaseButton");
    RepeatButton = barButton(ButtonBar, "RepeatButton");
    setButtonLook(RepeatButton, kRepeatButton, QString(), ButtonTone::Repeat, ButtonGlyph::Repeat);
    RepeatButton->setToolTip(QString::fromUtf8(kRepeatHint));
    PrevButton = barButton(ButtonBar, "PrevButton");
    setButtonLook(PrevButton, kBarButton, QStringLiteral("前へ"), ButtonTone::Navigate,
                  ButtonGlyph::Back);
    NextButton = barButton(ButtonBar, "NextButton");
    setSuspendLook();
    updateNextPicture();
    CaseButton->hide();

    connect(GradeButton, &ImageButton::clicked, this, &TExamModeForm::GradeClick);
    connect(SuspendButton, &ImageButton::clicked, this, &TExamModeForm::SuspendClick);
    connect(AnswerButton, &ImageButton::clicked, this, &TExamModeForm::AnswerClick);
    connect(CaseButton, &ImageButton::clicked, this, &TExamModeForm::CaseClick);
    connect(RepeatButton, &ImageButton::clicked, this, &TExamModeForm::RepeatClick);
    connect(PrevButton, &ImageButton::clicked, this, &TExamModeForm::PrevClick);
    connect(NextButton, &ImageButton::clicked, this, &TExamModeForm::NextClick);
    RestoreNormalLayout();
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
    HelpText->setText(vendor != nullptr ? qs(vendor->helpText) : QString());

    const QColor back = vendor != nullptr ? desktopColour(vendor->panelColor) : QColor(16, 40, 88);
    const QColor text =
        vendor != nullptr ? desktopColour(vendor->panelTextColor) : QColor(225, 235, 255);
    for (QLabel* l : {TitleBox, CountLabel, LimitLabel, RemainLabel}) {
        fill(l, back);
        paint(l, QPalette::WindowText, text);
    }
    paint(TitleBox, QPalette::WindowText, text);
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
    shownQuestion_ = 0;

    SuspendButton->setVisible(!assessment_);
    AnswerButton->setVisible(!assessment_);
    applyVendorLook();
    CaseButton->hide();
    const CaseStudyLook look = caseStudyLook(labelStyle_);
    setButtonLook(CaseButton, kBarButton, qs(look.caption), ButtonTone::CaseStudy,
                  ButtonGlyph::Document);
    CaseButton->setToolTip(qs(look.buttonHint));

    engine.restartClock();

    for (int k = 0; k < kChoices; ++k) {
        RadioButtons[k]->setText(qs(choiceLabel(k + 1, labelStyle_)));
        CheckBoxes[k]->setText(qs(choiceLabel(k + 1, labelStyle_)));
    }
    RepeatButton->setVisible(repeatButtonShown(labelStyle_));

    const int limit = session_.exam.selection().TimeLimitSeconds;
    LimitLabel->setText(qs(timeLimitText(limit)));
    TitleBox->setText(qs(course.ExamTitle));
    CountLabel->setText(qs(questionCountText(questionCount())));
    RemainLabel->setText(QStringLiteral("残り時間 : ") + qs(text::minutesSeconds(limit)));
    Clock->redrawFull();
    QuesMemo->setVisible(!htmlCourse());
    WebBrowser1->setVisible(htmlCourse());

    RestoreNormalLayout();
    setSuspendLook();
    enableCommandButtons(true);

    if (session_.windowState == app::WindowState::Maximised) {
        showMaximized();
    } else {
        app::Bounds b = session_.courseMenuBounds;
        if (b.width <= 0 || b.height <= 0) {
            b = {0, 0, kExamMinWidth, kExamMinHeight};
            if (QScreen* screen = QGuiApplication::primaryScreen()) {
                const QPoint c = screen->geometry().center();
                b.left = c.x() - kExamMinWidth / 2;
                b.top = c.y() - kExamMinHeight / 2;
            }
        }
        setWindowState(windowState() & ~Qt::WindowMaximized);
        setGeometry(b.left, b.top, b.width, b.height);
        show();
    }
    activateWindow();

    engine.jumpTo(1);
    QuesLabel->setText(qs(questionLabelText(1)));
    LoadQuestion(1);
    updateNextPicture();
    StickyNote->setFocus();
    Timer1->start();
    engine.setTimeUpArmed(true);

    if (course.QdfPath.empty()) {
        return;
    }
    std::optional<CaseStudy> study = readCaseStudy(courseSettingsPath(course.QdfPath), imageDir());
    if (!study) {
        return;
    }
    // Reading the case study is not exam time: the clock runs, but cannot
    // end the exam until the learner closes it.
    engine.setTimeUpArmed(false);
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
    QFont memoFont(installedFamily(look.fontName));
    memoFont.setPixelSize(14);
    screens_.CaseStudyForm->setContent(*study, qs(look.caption), memoFont, pagePath);
    screens_.CaseStudyForm->showAtStart();
}

void TExamModeForm::LoadQuestion(int q) {
    ensureControls();
    if (q < 1 || q > questionCount()) {
        return;
    }
    const ExamQuestion& question = session_.exam.question(q);
    shownQuestion_ = q;

    AnsScroll->verticalScrollBar()->setValue(0);
    for (ImageButton* b : StyleButtons) {
        b->hide();
    }
    Image_Type8->hide();
    Type8Hint->hide();
    PaceLabel1->hide();
    PaceLabel2->hide();
    StickyNote->setChecked(false);

    PrevButton->setEnabled(q != 1 && !suspended_);

    const QuestionLabelLook labelLook = questionLabelLook(q);
    QFont labelFont = uiFont(labelLook.pointSize * 4 / 3, true);
    QuesLabel->setFont(labelFont);
    QuesLabel->setGeometry(8, labelLook.top, 72, kHeaderHeight - labelLook.top);
    ProgressLabel->setText(qs(progressText(q, questionCount())));

    clearMarks();
    setChoiceColours(false);
    for (int k = 0; k < kChoices; ++k) {
        RadioButtons[k]->hide();
        CheckBoxes[k]->hide();
        ChoiceTexts[k]->hide();
        ChoiceTexts[k]->setText(qs(choiceDisplayText(question.ShownChoice[k], question.Style)));
    }

    figurePaths_.clear();
    for (ImageButton* b : FigButtons) {
        b->hide();
    }
    HelpText->hide();

    if (htmlCourse()) {
        // The page leaves out the fragment's first line, which is the
        // figure line when there is one: the whole text goes to the writer.
        const std::string path = questionPagePath("exam.htm");
        Status written = WritePage(question.QuesText, path, PageMode::DropFirstLine);
        if (!written) {
            session_.services.messages.showError(written.error().describe());
        } else {
            (void)session_.services.files.setHidden(path, true);
            WebBrowser1->showPage(qs(path));
        }
    } else {
        const QString text = qs(textWithoutFigureLine(question.QuesText));
        QuesMemo->setPlainText(text);
        const int lines =
            wrappedLineCount(text, QuesMemo->font(),
                             QuesMemo->viewport()->width() -
                                 2 * static_cast<int>(QuesMemo->document()->documentMargin()));
        QuesMemo->setVerticalScrollBarPolicy(lines > kQuestionBoxLines ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
        QuesMemo->verticalScrollBar()->setValue(0);
    }

    const std::string dir = imageDir();
    for (const std::string& name : figureNames(question.QuesText, kFigures)) {
        figurePaths_.push_back(dir + name);
    }
    const AnswerStyleTraits& traits = traitsOf(question.Style);
    if (traits.figureButtons) {
        for (std::size_t k = 0; k < figurePaths_.size(); ++k) {
            FigButtons[k]->show();
        }
    }
    const StyleHandoff& handoff = session_.exam.prepareHandoff(q, figurePaths_);

    const int shown = std::clamp(question.ShowCount, 0, kChoices);
    int contentBottom = 0;
    switch (traits.answeredWith) {
        case AnswerWith::Radio:
        case AnswerWith::CheckBoxes:
            for (int k = 0; k < shown; ++k) {
                (traits.answeredWith == AnswerWith::CheckBoxes
                     ? static_cast<QWidget*>(CheckBoxes[k])
                     : RadioButtons[k])
                    ->show();
                ChoiceTexts[k]->show();
            }
            break;
        case AnswerWith::StyleWindow: {
            ImageButton* button = StyleButtons[windowStyleIndex(traits.style)];
            button->show();
            HelpText->setGeometry(button->x() + button->width() + 12, kStyleButtonTop,
                                  qMax(120, AnsScroll->viewport()->width() - 190), 32);
            HelpText->show();
            contentBottom = kStyleButtonTop + button->height();
            break;
        }
        case AnswerWith::Picture: {
            QPixmap picture(qs(handoff.pictures[0]));
            Image_Type8->setPixmap(picture);
            Image_Type8->resize(picture.size());
            Image_Type8->show();
            Type8Hint->show();
            contentBottom = Image_Type8->y() + picture.height();
            break;
        }
    }
    layOutChoiceRows();
    if (contentBottom > AnsBox->height() - 8) {
        AnsBox->resize(AnsBox->width(), contentBottom + 8);
    }

    session_.exam.engine().questionShown();
    updateCaption();
}

void TExamModeForm::layOutChoiceRows() {
    const int viewportWidth =
        AnsScroll->width() - AnsScroll->verticalScrollBar()->sizeHint().width();
    const int boxWidth = qMax(120, viewportWidth - kTextLeft - 6);
    std::vector<int> lines(kChoices);
    for (int k = 0; k < kChoices; ++k) {
        lines[k] = ChoiceTexts[k]->lineCountFor(boxWidth);
    }
    const std::vector<ChoiceRowPlace> places = choiceRowPlaces(lines);
    int bottom = 0;
    for (int k = 0; k < kChoices; ++k) {
        ChoiceTexts[k]->setGeometry(kTextLeft, places[k].textTop, boxWidth, places[k].textHeight);
        RadioButtons[k]->move(kMarkLeft, places[k].markTop);
        CheckBoxes[k]->move(kMarkLeft, places[k].markTop);
        if (!ChoiceTexts[k]->isHidden()) {
            bottom = places[k].textTop + places[k].textHeight;
        }
    }
    if (!Image_Type8->isHidden()) {
        bottom = qMax(bottom, Image_Type8->y() + Image_Type8->height());
    }
    for (ImageButton* b : StyleButtons) {
        if (!b->isHidden()) {
            bottom = qMax(bottom, b->y() + b->height());
        }
    }
    AnsBox->resize(viewportWidth, bottom + 8);
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
    const bool radio = traitsOf(session_.exam.question(q).Style).answeredWith == AnswerWith::Radio;
    clearMarks();
    for (int k = 0; k < kChoices; ++k) {
        if (progress.Answer[q - 1][k]) {
            if (radio) {
                RadioButtons[k]->setChecked(true);
            } else {
                CheckBoxes[k]->setChecked(true);
            }
        }
    }
    StickyNote->setChecked(progress.Marked[q - 1]);
}

std::array<bool, kMaxChoices> TExamModeForm::marks() const {
    std::array<bool, kMaxChoices> m{};
    if (!built_) {
        return m;
    }
    for (int k = 0; k < kChoices; ++k) {
        m[k] = RadioButtons[k]->isChecked() || CheckBoxes[k]->isChecked();
    }
    return m;
}

void TExamModeForm::clearMarks() {
    for (int k = 0; k < kChoices; ++k) {
        // An exclusive radio button refuses to be cleared while it is the
        // checked one of its group.
        RadioButtons[k]->setAutoExclusive(false);
        RadioButtons[k]->setChecked(false);
        RadioButtons[k]->setAutoExclusive(true);
        CheckBoxes[k]->setChecked(false);
    }
}

void TExamModeForm::limitCheckBoxes(int clickedSlot) {
    if (shownQuestion_ < 1) {
        return;
    }
    int checked = 0;
    for (const QCheckBox* box : CheckBoxes) {
        checked += box->isChecked() ? 1 : 0;
    }
    if (checked > session_.exam.question(shownQuestion_).AnswerCount) {
        CheckBoxes[clickedSlot - 1]->setChecked(false);
    }
}

void TExamModeForm::setChoiceColours(bool showCorrect) {
    const ExamQuestion* question =
        shownQuestion_ >= 1 ? &session_.exam.question(shownQuestion_) : nullptr;
    for (int k = 0; k < kChoices; ++k) {
        const bool red = showCorrect && question != nullptr && question->ShownCorrect[k];
        const QColor colour = red ? kCorrectRed : QColor(Qt::black);
        ChoiceTexts[k]->setTextColour(colour);
        paint(RadioButtons[k], QPalette::WindowText, colour);
        paint(CheckBoxes[k], QPalette::WindowText, colour);
    }
}

void TExamModeForm::AnswerWindowClosed() {
    if (built_) {
        setChoiceColours(false);
    }
}

void TExamModeForm::updateNextPicture() {
    const ExamEngine& engine = session_.exam.engine();
    nextShowsGrade_ = engine.positions() > 0 && engine.current() == engine.positions();
    if (nextShowsGrade_) {
        setButtonLook(NextButton, kBarButton, QStringLiteral("採点"), ButtonTone::Grade,
                      ButtonGlyph::Check);
    } else {
        setButtonLook(NextButton, kBarButton, QStringLiteral("次へ"), ButtonTone::Navigate,
                      ButtonGlyph::Forward);
    }
}

void TExamModeForm::updateCaption() {
    const int q = session_.exam.engine().current();
    const int quesNum = q >= 1 && q <= questionCount() ? session_.exam.question(q).QuesNum : 0;
    setWindowTitle(qs(examCaption(reviewing_, session_.showQuestionNumbers, quesNum)));
}

void TExamModeForm::setSuspendLook() {
    if (suspended_) {
        setButtonLook(SuspendButton, kBarButton, QStringLiteral("再開"), ButtonTone::Suspend,
                      ButtonGlyph::Resume);
        SuspendButton->setToolTip(QString::fromUtf8(kResumeHint));
    } else {
        setButtonLook(SuspendButton, kBarButton, QStringLiteral("中断"), ButtonTone::Suspend,
                      ButtonGlyph::Pause);
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
    if (screens_.CheatForm->isVisible()) {
        screens_.CheatForm->hide();
    }
    ExamEngine& engine = session_.exam.engine();
    const Move move = engine.next(marks(), StickyNote->isChecked());
    if (move == Move::LoadQuestion) {
        const int q = engine.current();
        QuesLabel->setText(qs(questionLabelText(q)));
        LoadQuestion(q);
        LoadAnswer(q);
        updateNextPicture();
    } else if (move == Move::OpenReview) {
        if (htmlCourse()) {
            WebBrowser1->stop();
        }
        openReviewList();
    }
}

void TExamModeForm::PrevClick() {
    ExamEngine& engine = session_.exam.engine();
    if (engine.current() <= 1) {
        return;
    }
    StickyNote->setFocus();
    if (screens_.CheatForm->isVisible()) {
        screens_.CheatForm->hide();
    }
    if (engine.previous(marks(), StickyNote->isChecked()) == Move::LoadQuestion) {
        const int q = engine.current();
        QuesLabel->setText(qs(questionLabelText(q)));
        LoadQuestion(q);
        LoadAnswer(q);
        updateNextPicture();
    }
}

void TExamModeForm::GradeClick() {
    grade();
}

void TExamModeForm::grade() {
    session_.exam.engine().grade(marks(), StickyNote->isChecked());
    if (htmlCourse()) {
        WebBrowser1->stop();
    }
    openReviewList();
}

void TExamModeForm::openReviewList() {
    screens_.ConfirmForm->ShowList();
}

void TExamModeForm::AnswerClick() {
    const int q = session_.exam.engine().current();
    if (q < 1 || q > questionCount()) {
        return;
    }
    session_.exam.engine().markAnswerViewed(q);
    setChoiceColours(true);
    if (screens_.CheatForm->isVisible()) {
        screens_.CheatForm->raise();
    } else {
        screens_.CheatForm->show();
    }
}

void TExamModeForm::SuspendClick() {
    suspended_ = !suspended_;
    if (suspended_) {
        Timer1->stop();
        if (htmlCourse()) {
            WebBrowser1->stop();
        }
    } else {
        Timer1->start();
        if (htmlCourse()) {
            WebBrowser1->reload();
        }
    }
    setSuspendLook();
    enableCommandButtons(!suspended_);
    if (!suspended_) {
        updateNextPicture();
    }
}

void TExamModeForm::RepeatClick() {
    if (htmlCourse()) {
        WebBrowser1->reload();
    }
}

void TExamModeForm::CaseClick() {
    screens_.CaseStudyForm->showOnRequest();
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
    screens_.RefImgForm->showFigure(qs(figureCaption(figure)), qs(figurePaths_[figure - 1]));
}

namespace {

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

}  // namespace

int TExamModeForm::windowStyleIndex(AnswerStyle style) {
    const auto at = std::find(kWindowStyles.begin(), kWindowStyles.end(), style);
    return at != kWindowStyles.end() ? static_cast<int>(at - kWindowStyles.begin()) : 0;
}

void TExamModeForm::StyleButtonClick(AnswerStyle style) {
    ScreenForm* window = styleWindow(screens_, style);
    if (window == nullptr) {
        return;
    }
    // Each try starts from a cleared answer; only a solved window marks one.
    clearMarks();
    session_.exam.setStyleSolved(false);
    openStyleWindow_ = window;
    window->removeEventFilter(this);
    window->installEventFilter(this);
    openModal(window);
}

void TExamModeForm::styleWindowClosed() {
    openStyleWindow_ = nullptr;
    const int slot = session_.exam.handoff().answerSlot;
    if (session_.exam.styleSolved() && slot >= 1 && slot <= kChoices) {
        RadioButtons[slot - 1]->setChecked(true);
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
    timeUpAcknowledged();
}

void TExamModeForm::timeUpAcknowledged() {
    session_.exam.engine().acknowledgeTimeUp();
    closeSideWindows();
    if (session_.exam.stage() != ExamStage::Answering) {
        return;
    }
    if (screens_.ConfirmForm->isVisible()) {
        screens_.ConfirmForm->TimeUpNoticed();
    } else {
        grade();
    }
}

void TExamModeForm::closeSideWindows() {
    screens_.RefImgForm->hide();
    for (AnswerStyle style : kWindowStyles) {
        styleWindow(screens_, style)->hide();
    }
    screens_.CaseStudyForm->hide();
}

void TExamModeForm::JumpFromReview(int q) {
    ensureControls();
    if (q < 1 || q > questionCount()) {
        return;
    }
    reviewing_ = true;
    session_.exam.engine().jumpTo(q);
    LoadQuestion(q);
    LoadAnswer(q);
    QuesLabel->setText(qs(questionLabelText(q)));
    StickyNote->setFocus();
    GradeButton->move(kReviewGradeX, kButtonY);
    AnswerButton->move(kReviewAnswerX, kButtonY);
    RepeatButton->move(kReviewAnswerX - kRepeatGap - RepeatButton->width(), kButtonY);
    NextButton->hide();
    SuspendButton->hide();
    PrevButton->hide();
    updateNextPicture();
    updateCaption();
}

void TExamModeForm::RestoreNormalLayout() {
    ensureControls();
    reviewing_ = false;
    GradeButton->move(kGradeX, kButtonY);
    SuspendButton->move(kSuspendX, kButtonY);
    AnswerButton->move(kAnswerX, kButtonY);
    RepeatButton->move(kRepeatX, kButtonY);
    PrevButton->move(kPrevX, kButtonY);
    NextButton->move(kNextX, kButtonY);
    CaseButton->move(kCaseStudyX, kButtonY);
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
    QuesLabel->setText(qs(questionLabelText(last)));
    LoadQuestion(last);
    LoadAnswer(last);
    updateNextPicture();
    StickyNote->setFocus();
}

bool TExamModeForm::handleKey(int key) {
    switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
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
            if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
                return handleKey(key->key());
            }
        }
        return false;
    }
    if (watched == QuesMemo->viewport() && event->type() == QEvent::Wheel) {
        // One line per notch, whatever the desktop's wheel setting.
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int notches = wheel->angleDelta().y() / 120;
        const int step = notches != 0 ? notches : (wheel->angleDelta().y() > 0 ? 1 : -1);
        if (wheel->angleDelta().y() != 0) {
            QScrollBar* bar = QuesMemo->verticalScrollBar();
            bar->setValue(bar->value() - step);
        }
        return true;
    }
    if (event->type() == QEvent::Hide && openStyleWindow_ != nullptr &&
        watched == openStyleWindow_) {
        styleWindowClosed();
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
    SideImage->setGeometry(0, h - kBarHeight - 202, kSideWidth, 200);

    StickyNote->adjustSize();
    StickyNote->move(panelWidth - StickyNote->width() - 8,
                     (kHeaderHeight - StickyNote->height()) / 2);
    const QRect textArea(6, kHeaderHeight, panelWidth - 12,
                         panels.questionHeight - kHeaderHeight - 6);
    QuesMemo->setGeometry(textArea);
    WebBrowser1->setGeometry(textArea);

    AnsTitle->setGeometry(0, 0, panelWidth, kAnsTitleHeight);
    AnsScroll->setGeometry(0, kAnsTitleHeight, panelWidth, panels.answerHeight - kAnsTitleHeight);
    layOutChoiceRows();
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
    closeSideWindows();
    screens_.CheatForm->hide();
    // Closing the course menu saves the settings and ends the program.
    screens_.CourseMenuForm->close();
}

}  // namespace tovalo::ui
