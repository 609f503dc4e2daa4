#include "ui/exam/TGenericMBForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "ui/session/session.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/text_wrap.h"

namespace tovalo::ui {

namespace {

// The white sheet of the card picture, between its title and its footer.
constexpr int kSheetTop = 62;
constexpr int kSheetBottom = TGenericMBForm::kHeight - 30;
constexpr int kLineGap = 8;
constexpr int kLineHeight = 20;
constexpr int kSquareSize = 7;
constexpr int kTextLeft = 34;
constexpr int kTextWidth = TGenericMBForm::kWidth - 44;
// A long course title wraps onto this many lines at most; the card has
// room for them below the other two lines.
constexpr int kTitleLines = 3;

// A small red square that leads each line.
QPixmap bullet() {
    QPixmap square = blankPicture(QSize(kSquareSize, kSquareSize));
    square.fill(QColor(220, 36, 44));
    return square;
}

}  // namespace

TGenericMBForm::TGenericMBForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("GenericMBForm"));
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setFixedSize(kWidth, kHeight);
    setFocusPolicy(Qt::StrongFocus);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(IntroductionCountdown::kIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TGenericMBForm::Timer1Timer);
}

void TGenericMBForm::ensureControls() {
    if (Image1 != nullptr) {
        return;
    }
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(introductionCard(QSize(kWidth, kHeight)));

    const QPixmap square = bullet();
    for (int i = 0; i < 3; ++i) {
        auto* mark = new QLabel(this);
        mark->setPixmap(square);
        mark->resize(kSquareSize, kSquareSize);
        Marks[i] = mark;
        auto* line = new QLabel(this);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        // The fixed-pitch face keeps the three colons in one column.
        line->setFont(fixedFont(13));
        line->setTextFormat(Qt::PlainText);
        line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette pal = line->palette();
        pal.setColor(QPalette::WindowText, QColor(20, 30, 52));
        line->setPalette(pal);
        Lines[i] = line;
    }
}

void TGenericMBForm::setLines(const std::array<std::string, 3>& lines) {
    std::array<int, 3> heights{};
    for (int i = 0; i < 3; ++i) {
        const QString text = QString::fromStdString(lines[i]);
        QStringList shown{text};
        if (i == 0) {
            // Wrapped here rather than by the label, so that a long title
            // breaks between characters and ends in "…" when it runs over.
            shown = wrappedLines(text, Lines[i]->font(), kTextWidth, kTitleLines);
        }
        Lines[i]->setText(shown.join(QLatin1Char('\n')));
        heights[i] = kLineHeight + (static_cast<int>(shown.size()) - 1) *
                                       QFontMetrics(Lines[i]->font()).lineSpacing();
    }
    // The three lines sit in the middle of the sheet, however long the title.
    const int block = heights[0] + heights[1] + heights[2] + 2 * kLineGap;
    int top = std::max(kSheetTop + 4, kSheetTop + (kSheetBottom - kSheetTop - block) / 2);
    for (int i = 0; i < 3; ++i) {
        Lines[i]->setGeometry(kTextLeft, top, kTextWidth, heights[i]);
        Marks[i]->move(20, top + 6);
        top += heights[i] + kLineGap;
    }
}

void TGenericMBForm::startExam() {
    ensureControls();
    const ExamSession& exam = session_.exam;
    htmlCourse_ = exam.course().FormatKind == 2;
    setLines(introductionLines(exam.course().ExamTitle, exam.selection(), exam.questionCount()));

    countdown_.reset();
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->geometry().center());
        move(r.topLeft());
    }
    show();
    activateWindow();
    setFocus();
    Timer1->start();
}

void TGenericMBForm::Timer1Timer() {
    const IntroductionCountdown::Tick tick = countdown_.tick();
    if (tick.playStart) {
        session_.services.sound.play(kIntroductionSound);
        // The card stays up for two seconds anyway: start the page engine
        // now so the first question of an HTML course is quick to appear.
        if (htmlCourse_) {
            WebPageView::prepareEngine();
        }
    }
    if (tick.handOver) {
        handOver();
    }
}

void TGenericMBForm::handOver() {
    Timer1->stop();
    hide();
    emit handedOver();
}

void TGenericMBForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && Timer1->isActive()) {
        handOver();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TGenericMBForm::closeEvent(QCloseEvent* event) {
    // Closing the card is the learner's way of saying "go": the exam starts
    // at once, as with Space, rather than leaving nothing on screen.
    event->accept();
    if (Timer1->isActive()) {
        handOver();
    }
}

void TGenericMBForm::hideEvent(QHideEvent* event) {
    Timer1->stop();
    ScreenForm::hideEvent(event);
}

}  // namespace tovalo::ui
