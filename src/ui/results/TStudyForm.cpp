#include "ui/results/TStudyForm.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

#include "core/results/print_report.h"
#include "platform/qt_bundle_loader.h"
#include "ui/results/advisor_view.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/side_column.h"

namespace tovalo::ui {

namespace {

// One wheel position of the boxes, in pixels: five make about one course row.
constexpr int kScrollPosition = 4;
constexpr int kWheelNotch = 120;

const QColor kSilver(192, 192, 192);
const QColor kAccent(40, 120, 200);
const QColor kTitleColour(235, 240, 250);

QLabel* label(QWidget* parent, const char* name, const QFont& font) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    return l;
}

QScrollArea* box(QWidget* parent, const char* name, QWidget* content) {
    auto* b = new QScrollArea(parent);
    b->setObjectName(QLatin1String(name));
    b->setFrameShape(QFrame::NoFrame);
    b->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    b->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    b->verticalScrollBar()->setSingleStep(kScrollPosition);
    // The desktop's light scroll bar would be the one bright thing here.
    b->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #0e121a; width: 14px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #46526a; border-radius: 4px;"
        " min-height: 28px; margin: 2px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    fill(b->viewport(), Qt::black);
    b->setWidget(content);
    b->setWidgetResizable(false);
    return b;
}

ImageButton* barButton(QWidget* parent, const char* name, int width, const QString& caption,
                       ButtonGlyph glyph, const QString& hint, bool prominent = false) {
    auto* b = new ImageButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setPictures(
        drawBarButton(QSize(width, kAdvisorButtonHeight), caption, glyph, kAccent, prominent));
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAccessibleName(caption);
    if (!hint.isEmpty()) {
        b->setToolTip(hint);
    }
    return b;
}

}  // namespace

TStudyForm::TStudyForm(Session& session) : ScreenForm(session) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("StudyForm"));
    setWindowTitle(QString::fromUtf8(kAdvisorCaption));
    setDesignMinimumSize(QSize(kAdvisorMinWidth, kAdvisorMinHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kSilver);
    setPalette(pal);
    setAutoFillBackground(true);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kAdvisorSlideIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TStudyForm::Timer1Timer);

    resize(kResultDesignWidth, kResultDesignHeight);
}

void TStudyForm::ensureControls() {
    if (built_) {
        return;
    }
    built_ = true;

    HiGradeImg = label(this, "HiGradeImg", QFont());
    HiGradeImg->setGeometry(10, 4, kLevelSegmentWidth, kLevelSegmentHeight);
    Memo1 = label(this, "Memo1", uiFont(12));
    QStringList help;
    for (const char* line : kAdvisorHelpLines) {
        help << QString::fromUtf8(line);
    }
    Memo1->setText(help.join(QLatin1Char('\n')));
    Memo1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Memo1->setContentsMargins(8, 6, 4, 6);
    Memo1->setAccessibleName(QStringLiteral("説明"));
    Memo1->adjustSize();
    Memo1->setGeometry(5, 50, kResultSideWidth - 10, Memo1->sizeHint().height());
    Image2 = label(this, "Image2", QFont());

    Label3 = label(this, "Label3", uiFont(22, true));
    Label3->setText(QString::fromUtf8(kAdvisorCaption));
    Label3->setGeometry(kResultSideWidth + 8, 8, 400, 30);
    paint(Label3, QPalette::WindowText, kTitleColour);

    Label13 = label(this, "Label13", uiFont(11));
    Label13->setText(QStringLiteral("100%"));
    Label13->setAlignment(Qt::AlignCenter);
    Label13->resize(40, 14);

    ListPanel = new QWidget;
    ListPanel->setObjectName(QStringLiteral("ListPanel"));
    fill(ListPanel, Qt::black);
    LabelImage = new AdvisorNames(ListPanel);
    LabelImage->setObjectName(QStringLiteral("LabelImage"));
    LabelImage->setAccessibleName(QStringLiteral("テストの一覧"));
    LabelImage->setToolTip(
        QStringLiteral("Enter: カテゴリーごとの詳細 / Space: Adaptive 一覧 (マークのあるテスト)"));
    Image0 = new AdvisorBars(ListPanel);
    Image0->setObjectName(QStringLiteral("Image0"));
    Image0->setAccessibleName(QStringLiteral("正答率のグラフ"));
    Shape1 = new QWidget(ListPanel);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->setStyleSheet(
        QStringLiteral("background: rgba(90, 160, 240, 70); border: 1px solid rgb(90, 160, 240);"));
    Shape1->hide();
    ScrollBox1 = box(this, "ScrollBox1", ListPanel);
    // The names take the keys of the list; the box itself is no stop.
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    connect(LabelImage, &AdvisorNames::nameActivated, this, &TStudyForm::openCourse);
    connect(LabelImage, &AdvisorNames::markActivated, this, &TStudyForm::adaptiveListRequested);
    connect(LabelImage, &AdvisorNames::currentRowChanged, this, [this](int row) {
        ScrollBox1->ensureVisible(0, kAdvisorRowPitch * row - kAdvisorRowPitch / 2, 0,
                                  kAdvisorRowPitch);
    });
    connect(Image0, &AdvisorBars::clicked, this,
            [this](int y) { openCourse(advisorCourseAt(y, LabelImage->count())); });

    Image1 = new AdvisorCategoryBars;
    Image1->setObjectName(QStringLiteral("Image1"));
    ScrollBox2 = box(this, "ScrollBox2", Image1);
    ScrollBox2->setFocusPolicy(Qt::StrongFocus);
    // The arrows scroll the categories; a frame shows when they will. A
    // style sheet of its own gives the box the desktop's light ground unless
    // it says otherwise, so it keeps the list's black, inside and out.
    ScrollBox2->setStyleSheet(QStringLiteral(
        "QScrollArea#ScrollBox2 { border: 1px solid transparent; background: black; }"
        "QScrollArea#ScrollBox2:focus { border: 1px dotted rgb(90, 160, 240); }"
        "QScrollArea#ScrollBox2 > QWidget#qt_scrollarea_viewport"
        " { background: black; }"));
    ScrollBox2->setAccessibleName(QStringLiteral("カテゴリーごとの正答率"));
    ScrollBox2->hide();

    Label2 = label(this, "Label2", uiFont(16, true));
    paint(Label2, QPalette::WindowText, QColor(20, 40, 80));
    Label1 = label(this, "Label1", uiFont(16, true));
    paint(Label1, QPalette::WindowText, kTitleColour);
    Label1->hide();
    Label2->hide();

    AdpImg = label(this, "AdpImg", QFont());
    AdpImg->setPixmap(advisorAdaptiveMark());
    AdpImg->setFixedSize(kAdvisorMarkWidth, kAdvisorMarkHeight);
    Label5 = label(this, "Label5", uiFont(12));
    Label5->setText(QString::fromUtf8(kAdvisorAdaptiveLegend));

    Button1 = barButton(this, "Button1", kAdvisorListBackWidth, QStringLiteral("一覧へ"),
                        ButtonGlyph::Back, QStringLiteral("テストの一覧へ戻ります"));
    Button1->hide();
    Button4 = barButton(this, "Button4", kAdvisorPrintWidth, QStringLiteral("成績表"),
                        ButtonGlyph::News, QString::fromUtf8(kPrintButtonHint));
    Button3 = barButton(this, "Button3", kAdvisorRequestWidth, QStringLiteral("診断を申し込む"),
                        ButtonGlyph::Diagnosis, QString());
    // Button2's and Button3's hints come with the start-up hints.
    Button2 = barButton(this, "Button2", kAdvisorBackWidth, QStringLiteral("テスト選択へ"),
                        ButtonGlyph::Back, QString(), true);
    connect(Button1, &ImageButton::clicked, this, &TStudyForm::Button1Click);
    connect(Button2, &ImageButton::clicked, this, &TStudyForm::Button2Click);
    connect(Button3, &ImageButton::clicked, this, &TStudyForm::Button3Click);
    connect(Button4, &ImageButton::clicked, this, &TStudyForm::Button4Click);

    // The wheel scrolls whichever box is shown, wherever the pointer is.
    for (QWidget* w : {ScrollBox1->viewport(), ScrollBox2->viewport()}) {
        w->installEventFilter(this);
    }

    setTabOrder(LabelImage, ScrollBox2);
    setTabOrder(ScrollBox2, Button1);
    setTabOrder(Button1, Button4);
    setTabOrder(Button4, Button3);
    setTabOrder(Button3, Button2);
    layoutControls();
}

void TStudyForm::setVisible(bool visible) {
    // A window coming back from the task bar is the same visit, and shows
    // without passing here.
    if (visible && !isVisible()) {
        FormShow();
    }
    ScreenForm::setVisible(visible);
}

void TStudyForm::FormShow() {
    ensureControls();
    showing_ = true;
    leaveDetail();
    applyVendorLook();
    takeSharedPlace();
    layoutControls();
    drawList();
    LabelImage->setCurrentRow(1);
    ScrollBox1->verticalScrollBar()->setValue(0);
    showing_ = false;
    LabelImage->setFocus();
    if (!courses_.problems.empty()) {
        // The list should be on the screen behind the message.
        QTimer::singleShot(0, this, [this] {
            std::string text;
            for (const Error& e : courses_.problems) {
                text += (text.empty() ? "" : "\n") + e.describe();
            }
            session_.services.messages.showError(text);
        });
    }
}

void TStudyForm::refresh() {
    if (!built_) {
        return;
    }
    drawList();
}

void TStudyForm::drawList() {
    courses_ = readAdvisorCourses(session_.catalog.courses);
    const app::Vendor* vendor = session_.vendor(session_.currentVendor);
    const bool crowns = vendor != nullptr && advisorShowsCrowns(vendor->choiceLabelStyle);
    std::vector<AdvisorRow> rows;
    rows.reserve(courses_.courses.size());
    for (std::size_t i = 0; i < courses_.courses.size(); ++i) {
        rows.push_back(advisorRow(static_cast<int>(i) + 1, courses_.courses[i], crowns));
    }
    LabelImage->setRows(rows);
    Image0->setRows(std::move(rows));
    layoutControls();
}

void TStudyForm::applyVendorLook() {
    const SideColumnArt art = sideColumnArt(session_);
    if (!art.levelSegment.isNull()) {
        HiGradeImg->setPixmap(art.levelSegment);
    } else {
        HiGradeImg->clear();
    }
    Image2->setPixmap(art.lowerStrip);
    Image2->resize(kResultSideWidth, art.lowerStripHeight);
    sideStrip_ = art.sideStrip;
    fill(Memo1, art.panelBack);
    paint(Memo1, QPalette::WindowText, art.panelText);
}

void TStudyForm::layoutControls() {
    if (!built_) {
        return;
    }
    const AdvisorLayout l = advisorLayout(width(), height(), Image2->height());
    const QRect list(l.list.left, l.list.top, l.list.width, l.list.height);
    ScrollBox1->setGeometry(list);
    ScrollBox2->setGeometry(list);

    const int viewWidth = std::max(list.width() - kAdvisorScrollBarWidth, 0);
    const int rows = LabelImage->count();
    const int listHeight = std::max(advisorListHeight(rows), list.height());
    ListPanel->resize(viewWidth, listHeight);
    LabelImage->setGeometry(0, 0, l.nameWidth, listHeight);
    Image0->setGeometry(l.barsLeft, 0, kAdvisorBarPictureWidth, listHeight);
    Label13->move(l.scaleLabel.x - Label13->width() / 2, l.scaleLabel.y);
    if (opened_ > 0) {
        Shape1->setGeometry(0, kAdvisorRowPitch * opened_ - kAdvisorRowPitch + 4, viewWidth,
                            kAdvisorRowPitch - 2);
    }

    const int categories =
        static_cast<int>(opened_ > 0 && opened_ <= static_cast<int>(courses_.courses.size())
                             ? courses_.courses[opened_ - 1].CategoryName.size()
                             : 0);
    // A short table stands still; only a long one scrolls.
    ScrollBox2->setVerticalScrollBarPolicy(
        categories > kAdvisorCategoriesUnscrolled ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    Image1->resize(std::max(viewWidth, kAdvisorCategoryNarrowest), advisorDetailHeight(categories));

    const int titleWidth = l.listBack.x - 8 - (l.list.left + kAdvisorMarkColumn);
    Label1->resize(std::max(titleWidth, 100), 24);
    Label2->resize(Label1->size());
    Button1->move(l.listBack.x, l.listBack.y);

    Image2->move(0, l.lowerStripTop);
    // On a window shorter than the design the foot picture would cover the
    // end of the help text; the text wins.
    Image2->setVisible(l.lowerStripTop >= Memo1->y() + Memo1->height());
    AdpImg->move(l.list.left, l.legendTop + 4);
    Label5->setGeometry(l.list.left + kAdvisorMarkWidth + 6, l.legendTop, 360, 18);
    Button4->move(l.printLeft, l.buttonTop);
    Button3->move(l.requestLeft, l.buttonTop);
    Button2->move(l.backLeft, l.buttonTop);
    update();
}

void TStudyForm::openCourse(int row) {
    // One opening at a time: a click while the title slides or the detail
    // is up does nothing.
    if (opened_ > 0 || row < 1 || row > static_cast<int>(courses_.courses.size())) {
        return;
    }
    opened_ = row;
    const AdvisorCourse& c = courses_.courses[row - 1];
    const QString title = qs(c.ExamCode + " : " + c.ExamTitle);
    Label1->setText(title);
    Label2->setText(title);
    layoutControls();
    Shape1->show();
    // The title starts on the row that was clicked and rises to the top.
    const int rowTop = kAdvisorRowPitch * row - 17;
    const QPoint start = ListPanel->mapTo(this, QPoint(kAdvisorMarkColumn, rowTop));
    Label1->move(start);
    Label2->move(start + QPoint(1, 1));
    Label2->show();
    Label1->show();
    Label2->raise();
    Label1->raise();
    Timer1->start();
}

void TStudyForm::Timer1Timer() {
    if (opened_ == 0 || detailShown_) {
        Timer1->stop();
        return;
    }
    const int top = std::max(Label1->y() - advisorSlideStep(opened_), kAdvisorTitleTop);
    Label1->move(Label1->x(), top);
    Label2->move(Label1->x() + 1, top + 1);
    if (top <= kAdvisorTitleTop) {
        Timer1->stop();
        showDetail();
    }
}

void TStudyForm::showDetail() {
    AdvisorCourse& c = courses_.courses[opened_ - 1];
    // The history may have changed since the list was drawn; the names are
    // read now, as only an opened course needs them.
    const CourseEntry& entry = session_.catalog.courses.at(opened_ - 1);
    if (Result<HistoryFile> h = readHistoryFile(entry.HisPath)) {
        c.history = std::move(h).value();
    }
    Result<std::vector<std::string>> names = readCategoryNames(c.QdfPath);
    c.CategoryName = names ? std::move(names).value() : std::vector<std::string>{};
    Image1->setRows(advisorCategoryRows(c));
    detailShown_ = true;
    layoutControls();
    ScrollBox2->verticalScrollBar()->setValue(0);
    ScrollBox1->hide();
    Label13->hide();
    Shape1->hide();
    ScrollBox2->show();
    Button1->show();
    ScrollBox2->setFocus();
    if (!names) {
        session_.services.messages.showError(names.error().describe());
    }
}

void TStudyForm::leaveDetail() {
    Timer1->stop();
    const bool hadFocus = ScrollBox2->hasFocus() || Button1->hasFocus();
    opened_ = 0;
    detailShown_ = false;
    ScrollBox2->hide();
    Button1->hide();
    Label1->hide();
    Label2->hide();
    Shape1->hide();
    ScrollBox1->show();
    Label13->show();
    if (hadFocus) {
        LabelImage->setFocus();
    }
}

void TStudyForm::Button1Click() {
    const int row = opened_;
    leaveDetail();
    if (row > 0) {
        LabelImage->setCurrentRow(row);
    }
}

void TStudyForm::Button2Click() {
    close();
}

void TStudyForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (isVisible()) {
        leaveScreen();
    }
}

void TStudyForm::leaveScreen() {
    leaveDetail();
    leaveSharedPlace();
    hide();
    emit backRequested();
}

void TStudyForm::Button3Click() {
    // The page carries the files as they are now, not as the list was drawn.
    AdvisorCourses now = readAdvisorCourses(session_.catalog.courses);
    readAllCategoryNames(now);
    const app::Profile& p = session_.profile;
    const DiagnosisValues values{p.serial, session_.cgiUrl, p.name, p.email, p.org};
    const AdvisorPageFiles files = diagnosisPageFiles(session_.programDir);
    openPage(writeDiagnosisRequest(files, values, now.courses), files.pagePath);
}

void TStudyForm::Button4Click() {
    AdvisorCourses now = readAdvisorCourses(session_.catalog.courses);
    readAllCategoryNames(now);
    const AdvisorPageFiles files = summaryPageFiles(session_.programDir);
    openPage(writeAdvisorSummary(files, session_.profile.name, now.courses), files.pagePath);
}

void TStudyForm::openPage(const Status& written, const std::string& page) {
    if (!written) {
        session_.services.messages.showError(written.error().describe());
        return;
    }
    if (const Status opened = session_.services.shell.open(page); !opened) {
        session_.services.messages.showError(opened.error().describe());
    }
}

void TStudyForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if (detailShown_ && (event->key() == Qt::Key_Backspace ||
                         (event->key() == Qt::Key_Left && event->modifiers() == Qt::AltModifier))) {
        Button1Click();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TStudyForm::scrollByNotches(int notches) {
    QScrollArea* shown = detailShown_ ? ScrollBox2 : ScrollBox1;
    QScrollBar* bar = shown->verticalScrollBar();
    bar->setValue(bar->value() - notches * kAdvisorWheelStep * bar->singleStep());
}

void TStudyForm::wheelEvent(QWheelEvent* event) {
    if (!built_) {
        ScreenForm::wheelEvent(event);
        return;
    }
    // Fine-grained wheels send parts of a notch; they add up.
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    if (notches != 0) {
        scrollByNotches(notches);
    }
    event->accept();
}

bool TStudyForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return ScreenForm::eventFilter(watched, event);
}

void TStudyForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        noteSharedState();
    }
    ScreenForm::changeEvent(event);
}

void TStudyForm::resizeEvent(QResizeEvent* event) {
    ScreenForm::resizeEvent(event);
    layoutControls();
    if (!showing_) {
        noteSharedBounds();
    }
}

void TStudyForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    p.fillRect(rect(), Qt::black);
    if (!built_) {
        return;
    }
    // The side column's strip runs from the help text down to the lower
    // picture, whatever the window's height.
    const int stripTop = Memo1->y() + Memo1->height();
    const int stripBottom = Image2->isVisible() ? Image2->y() : h;
    paintSideStrip(p, QRect(0, stripTop, kResultSideWidth, stripBottom - stripTop), sideStrip_);
    p.fillRect(QRect(0, 0, kResultSideWidth, stripTop), QColor(12, 16, 24));

    p.setPen(QColor(80, 92, 116));
    p.drawLine(kResultSideWidth + 8, 44, w - 10, 44);
    paintButtonBar(p, QRect(kResultSideWidth, h - kAdvisorBarAreaHeight, w - kResultSideWidth,
                            kAdvisorBarAreaHeight));
}

}  // namespace tovalo::ui
