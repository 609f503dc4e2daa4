#include "ui/results/TResultForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include "core/exam/exam_report.h"
#include "core/exam/page_writer.h"
#include "core/results/result_screen.h"
#include "core/results/result_texts.h"
#include "core/results/verdict.h"
#include "platform/qt_bundle_loader.h"
#include "ui/answer/question_links.h"
#include "ui/results/history_chart_painter.h"
#include "ui/results/review_pane_view.h"
#include "ui/session/session.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/result_grid.h"
#include "ui/widgets/side_column.h"

namespace tovalo::ui {

namespace {

constexpr int kSidePicture = 104;
// Pictures a vendor without a bundle leaves empty still hold their room.
constexpr int kSidePictureHeight = 200;
constexpr int kSideLabelLeft = 5;
constexpr int kSideLabelWidth = kResultSideWidth - 2 * kSideLabelLeft;
constexpr int kSideTop = 50;

const QColor kSilver(192, 192, 192);
const QColor kRed(255, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kAccent(40, 120, 200);

void colour(QWidget* w, const QColor& back, const QColor& text) {
    fill(w, back);
    paint(w, QPalette::WindowText, text);
}

QLabel* label(QWidget* parent, const char* name, const QFont& font) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QLabel* square(QWidget* parent, const char* name) {
    QLabel* s = label(parent, name, QFont());
    s->setFixedSize(10, 10);
    colour(s, kRed, kRed);
    return s;
}

}  // namespace

TResultForm::TResultForm(Session& session) : ScreenForm(session) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("ResultForm"));
    setDesignMinimumSize(QSize(kResultMinWidth, kResultMinHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kSilver);
    setPalette(pal);
    setAutoFillBackground(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kResultSoundDelayMs);
    connect(Timer1, &QTimer::timeout, this, &TResultForm::Timer1Timer);

    resize(kResultDesignWidth, kResultDesignHeight);
}

void TResultForm::ensureControls() {
    if (built_) {
        return;
    }
    built_ = true;

    HiGradeImg = label(this, "HiGradeImg", QFont());
    HiGradeImg->setGeometry(10, 4, kLevelSegmentWidth, kLevelSegmentHeight);

    struct Side {
        QLabel** control;
        const char* name;
        int height;
        bool bold;
    };
    Memo2 = new SideTitle(uiFont(12), this);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    QLabel* title = Memo2;
    const Side side[] = {{&Label1, "Label1", 26, true},  {&Label4, "Label4", 17, false},
                         {&title, "Memo2", 46, false},   {&Label6, "Label6", 17, false},
                         {&Label7, "Label7", 17, false}, {&Label8, "Label8", 17, false},
                         {&Label9, "Label9", 19, false}};
    int top = kSideTop;
    for (const Side& s : side) {
        QLabel* l = *s.control != nullptr
                        ? *s.control
                        : label(this, s.name, s.bold ? uiFont(16, true) : uiFont(12));
        l->setContentsMargins(6, 0, 4, 0);
        l->setGeometry(kSideLabelLeft, top, kSideLabelWidth, s.height);
        top += s.height;
        *s.control = l;
    }
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label4->setText(QStringLiteral("科目 : "));
    Label7->setText(QStringLiteral("実施日時 : "));
    Memo2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label8->setContentsMargins(18, 0, 4, 0);

    Image_Left = label(this, "Image_Left", QFont());
    Image_Left->setGeometry(0, top + 4, kResultSideWidth, kSidePictureHeight);
    Image2 = label(this, "Image2", QFont());

    Shape2 = square(this, "Shape2");
    Label3 = label(this, "Label3", uiFont(12));
    Label3->setText(QString::fromUtf8(kResultInstruction));

    StringGrid1 = new ResultGrid(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    connect(StringGrid1, &ResultGrid::headingPressed, this, &TResultForm::ShowVerdict);

    // Labels lie over the grid's row 0 so that it stays put while the rows
    // scroll. "No" lets presses through to the grid's heading band.
    QLabel** headings[] = {&Label5, &Label10, &Label11, &Label12};
    const char* headingNames[] = {"Label5", "Label10", "Label11", "Label12"};
    for (std::size_t c = 0; c < kResultGridHeadings.size(); ++c) {
        QLabel* h = label(this, headingNames[c], uiFont(12, true));
        h->setText(QString::fromUtf8(kResultGridHeadings[c]));
        h->setAlignment(Qt::AlignCenter);
        colour(h, kNavy, Qt::white);
        *headings[c] = h;
    }
    Label5->setAttribute(Qt::WA_TransparentForMouseEvents);
    for (QLabel* h : {Label10, Label11, Label12}) {
        h->setCursor(Qt::PointingHandCursor);
        h->installEventFilter(this);
    }

    Panel1 = new ReviewPaneView(session_, this);
    connect(Panel1, &ReviewPaneView::figureRequested, this, &TResultForm::figureRequested);
    connect(Panel1, &ReviewPaneView::styleViewRequested, this, &TResultForm::styleViewRequested);
    connect(StringGrid1, &ResultGrid::rowSelected, this, &TResultForm::ShowRow);

    Shape1 = square(this, "Shape1");
    Label2 = label(this, "Label2", uiFont(12));
    colour(Label2, Qt::black, kSilver);
    Image1 = label(this, "Image1", QFont());
    Image1->setFixedSize(kResultChartWidth, kResultChartHeight);
    Image1->setAccessibleName(qs(kHistoryChartName));

    Button8 = new ImageButton(this);
    Button8->setObjectName(QStringLiteral("Button8"));
    Button8->setPictures(
        drawBarButton(QSize(130, 40), QStringLiteral("成績表"), ButtonGlyph::Diagnosis, kAccent));
    Button8->setToolTip(qs(kPrintButtonHint));
    Button8->setAccessibleName(QStringLiteral("成績表"));
    // The report is a side road from the grid; Tab reaches it, a click
    // leaves the focus where it was.
    Button8->setFocusPolicy(Qt::TabFocus);
    connect(Button8, &ImageButton::clicked, this, &TResultForm::Button8Click);
    Button1 = new ImageButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setPictures(
        drawBarButton(QSize(104, 40), QStringLiteral("終了"), ButtonGlyph::Exit, kAccent));
    Button3 = new ImageButton(this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setPictures(drawBarButton(QSize(150, 40), QStringLiteral("テスト選択へ"),
                                       ButtonGlyph::Back, kAccent, true));
    Button1->setAccessibleName(QStringLiteral("終了"));
    Button3->setAccessibleName(QStringLiteral("テスト選択へ"));
    StringGrid1->setAccessibleName(QStringLiteral("採点結果"));
    connect(Button1, &ImageButton::clicked, this, &TResultForm::Button1Click);
    connect(Button3, &ImageButton::clicked, this, &TResultForm::Button3Click);

    layoutControls();
}

void TResultForm::openAt(std::optional<QPoint> topLeft) {
    openingPlace_ = topLeft;
    show();
}

void TResultForm::setVisible(bool visible) {
    // A window coming back from the task bar is the same visit, and
    // shows without passing here.
    if (visible && !isVisible()) {
        FormShow();
    }
    ScreenForm::setVisible(visible);
}

void TResultForm::FormShow() {
    ensureControls();
    showing_ = true;
    ExamSession& exam = session_.exam;
    course_ = exam.course();
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    const ExamProgress& progress = exam.progress();
    const int n = exam.questionCount();

    // An exam reaches this screen once; should it come back (the window
    // system can deliver a late grade), it shows the same result and is
    // not stored a second time.
    if (exam.grade(vendor != nullptr ? vendor->choiceLabelStyle : std::string())) {
        const platform::LocalDateTime now =
            platform::toLocalDateTime(session_.services.clock.now());
        examDate_ = {now.year, now.month, now.day, now.hour, now.minute};
        Result<HistoryFile> stored = readHistoryFile(course_.HisPath);
        storedHistory_ = stored ? *stored : HistoryFile{};
        historyError_.reset();
        if (!stored) {
            historyError_ = stored.error().describe();
        }
    }

    const ResultTexts texts =
        resultTexts(course_, n, exam.grading().ExamRate, examDate_, progress.ElapsedSeconds);
    setWindowTitle(qs(texts.caption));
    Label1->setText(qs(texts.rate));
    Memo2->setTitle(qs(texts.course).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    Label6->setText(qs(texts.count));
    Label8->setText(qs(texts.date));
    Label9->setText(qs(texts.timeTaken));
    Label2->setText(qs(texts.chartTitle));
    StringGrid1->setRows(exam.grading().rows);
    chart_ = examHistoryChart(exam, storedHistory_, examDate_);
    drawChart();
    levelTexts_ = readLevelTexts(course_.QdfPath);

    applyVendorLook();
    ShowVerdict();
    StringGrid1->showFromTop();
    // The size is the shared one; the place is where the exam was, so the
    // result appears over the questions it grades.
    takeSharedPlace(openingPlace_);
    layoutControls();
    Timer1->start();
    saveDue_ = n > 0 && exam.stage() == ExamStage::Graded;
    showing_ = false;
}

void TResultForm::applyVendorLook() {
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    const SideColumnArt art = sideColumnArt(session_);
    if (!art.levelSegment.isNull()) {
        HiGradeImg->setPixmap(art.levelSegment);
    } else {
        HiGradeImg->clear();
    }
    Image_Left->setPixmap(
        platform::QtBundleLoader::picture(vendor != nullptr ? vendor->number : 0, kSidePicture));
    Image2->setPixmap(art.lowerStrip);
    Image2->resize(kResultSideWidth, art.lowerStripHeight);
    sideStrip_ = art.sideStrip;
    for (QLabel* l :
         {Label1, Label4, static_cast<QLabel*>(Memo2), Label6, Label7, Label8, Label9}) {
        colour(l, art.panelBack, art.panelText);
    }
}

void TResultForm::ShowVerdict() {
    if (!built_) {
        return;
    }
    Panel1->showVerdict(verdictText(levelTexts_, session_.exam.grading().ExamRate), htmlCourse(),
                        resultPagePath());
    for (QLabel* h : {Label10, Label11, Label12}) {
        colour(h, kNavy, Qt::white);
    }
}

void TResultForm::ShowRow(int row) {
    if (!built_) {
        return;
    }
    Panel1->showRow(row, htmlCourse(), resultPagePath());
    // The headings turn red while a question is shown, so that a click on
    // them reads as the way back to the verdict.
    for (QLabel* h : {Label10, Label11, Label12}) {
        colour(h, kRed, palette().color(QPalette::WindowText));
    }
}

std::string TResultForm::resultPagePath() const {
    return currentQuestionDir(session_) + kResultPageName;
}

void TResultForm::hideEvent(QHideEvent* event) {
    // Minimising hides the window too; only leaving the screen stores.
    if (!event->spontaneous()) {
        Timer1->stop();
        if (saveDue_) {
            saveExam();
        }
    }
    ScreenForm::hideEvent(event);
}

void TResultForm::saveExam() {
    // Cleared first: the failure box below runs the event loop.
    saveDue_ = false;
    const Status saved = session_.exam.save(examDate_);
    if (!saved) {
        session_.services.messages.showError(saved.error().describe());
    }
}

void TResultForm::stopBrowser() {
    if (htmlCourse() && Panel1 != nullptr) {
        Panel1->stopPage();
    }
}

void TResultForm::drawChart() {
    // Painted in its own coordinates onto every device pixel the label has,
    // so that a chart shrunk to a narrow window stays as sharp as a whole one.
    const qreal ratio = Image1->devicePixelRatioF();
    QPixmap chart = paintHistoryChart(chart_, ratio * Image1->width() / qreal(kResultChartWidth));
    chart.setDevicePixelRatio(ratio);
    Image1->setPixmap(chart);
}

void TResultForm::Button8Click() {
    stopBrowser();
    if (historyError_) {
        // The report's averages come from the stored exams; without them it
        // would print figures that are not the learner's.
        session_.services.messages.showError(*historyError_);
        return;
    }
    const std::string dir = session_.programDir + "Print/";
    const Status written = writeExamPrintReport(session_.exam, storedHistory_, examDate_,
                                                session_.profile.name, dir + kPrintTemplate, dir);
    if (!written) {
        session_.services.messages.showError(written.error().describe());
        return;
    }
    if (const Status opened = session_.services.shell.open(dir + kPrintPage); !opened) {
        session_.services.messages.showError(opened.error().describe());
    }
}

void TResultForm::Button3Click() {
    stopBrowser();
    leaveSharedPlace();
    hide();
    emit backRequested();
}

void TResultForm::Button1Click() {
    stopBrowser();
    leaveSharedPlace();
    hide();
    emit quitRequested();
}

void TResultForm::closeEvent(QCloseEvent* event) {
    session_.services.sound.stop();
    event->accept();
    if (isVisible()) {
        stopBrowser();
        leaveSharedPlace();
        hide();
    }
    emit quitRequested();
}

void TResultForm::Timer1Timer() {
    session_.services.sound.play(resultSound(session_.exam.grading().ExamRate));
}

void TResultForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        noteSharedState();
    }
    ScreenForm::changeEvent(event);
}

void TResultForm::resizeEvent(QResizeEvent* event) {
    ScreenForm::resizeEvent(event);
    layoutControls();
    if (!showing_) {
        noteSharedBounds();
    }
}

bool TResultForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == Label10 || watched == Label11 || watched == Label12)) {
        ShowVerdict();
        return true;
    }
    return ScreenForm::eventFilter(watched, event);
}

void TResultForm::layoutControls() {
    if (!built_) {
        return;
    }
    const ResultLayout l =
        resultLayout(width(), height(), Button3->width(), Button1->width(), Image2->height());
    const auto rect = [](const ScreenRect& r) { return QRect(r.left, r.top, r.width, r.height); };

    Image2->move(0, l.lowerStripTop);
    // The design lets the foot picture cover the plain end of the side
    // picture; a window shorter than the design (a highly scaled screen)
    // would have it cover the picture itself, and it gives way.
    Image2->setVisible(height() >= kResultMinHeight ||
                       l.lowerStripTop >= Image_Left->y() + Image_Left->height());
    Shape2->move(kResultGridLeft, 10);
    Label3->setGeometry(kResultGridLeft + 16, 5, width() - kResultGridLeft - 24, 20);

    StringGrid1->setGeometry(rect(l.grid));
    int x = l.grid.left + 1;
    QLabel* headings[] = {Label5, Label10, Label11, Label12};
    for (std::size_t c = 0; c < kResultGridColumns.size(); ++c) {
        // One pixel short of the column, so the grid's lines show between.
        headings[c]->setGeometry(x, l.grid.top + 1, kResultGridColumns[c] - 1,
                                 kResultGridRowHeight - 1);
        headings[c]->raise();
        x += kResultGridColumns[c];
    }

    Panel1->setGeometry(rect(l.pane));

    Image1->move(l.chart.left, l.chart.top);
    if (Image1->size() != QSize(l.chart.width, l.chart.height)) {
        Image1->setFixedSize(l.chart.width, l.chart.height);
        drawChart();
    }
    Shape1->move(l.chart.left, l.chartTitleTop + 3);
    Label2->setGeometry(l.chart.left + 16, l.chartTitleTop, l.chart.width - 16, 16);

    Button8->move(l.printLeft, l.buttonTop);
    Button1->move(l.exitLeft, l.buttonTop);
    Button3->move(l.backLeft, l.buttonTop);
    update();
}

void TResultForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), Qt::black);
    if (!built_) {
        return;
    }
    // A move to a screen of another scale repaints the window: the chart
    // follows so that it stays sharp there.
    if (Image1->pixmap().devicePixelRatio() != Image1->devicePixelRatioF()) {
        drawChart();
    }
    // The side column's plain strip stretches between its two pictures to
    // whatever height the window has.
    const int stripTop = Image_Left->y() + Image_Left->height();
    const int stripBottom = Image2->isVisible() ? Image2->y() : h;
    paintSideStrip(p, QRect(0, stripTop, kResultSideWidth, stripBottom - stripTop), sideStrip_);
    paintButtonBar(
        p, QRect(kResultSideWidth, h - kResultBarHeight, w - kResultSideWidth, kResultBarHeight));
}

}  // namespace tovalo::ui
