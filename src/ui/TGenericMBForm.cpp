#include "ui/TGenericMBForm.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTimer>

#include "ui/TCourseMenuForm.h"
#include "ui/TExamModeForm.h"
#include "ui/exam_pictures.h"
#include "ui/fonts.h"
#include "ui/screens.h"
#include "ui/session.h"
#include "ui/web_page_view.h"

namespace tovalo::ui {

namespace {

constexpr int kFirstLineTop = 82;
constexpr int kLineStep = 28;
constexpr int kSquareSize = 7;

// A small red square that leads each line.
QPixmap bullet() {
    QPixmap square(kSquareSize, kSquareSize);
    square.fill(QColor(220, 36, 44));
    return square;
}

}  // namespace

TGenericMBForm::TGenericMBForm(Session& session, Screens& screens) : ScreenForm(session, screens) {
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
        const int top = kFirstLineTop + i * kLineStep;
        auto* mark = new QLabel(this);
        mark->setPixmap(square);
        mark->setGeometry(20, top + 6, kSquareSize, kSquareSize);
        auto* line = new QLabel(this);
        line->setObjectName(QStringLiteral("Line%1").arg(i + 1));
        // The fixed-pitch face keeps the three colons in one column.
        line->setFont(fixedFont(13));
        line->setTextFormat(Qt::PlainText);
        line->setGeometry(34, top, kWidth - 44, 20);
        QPalette pal = line->palette();
        pal.setColor(QPalette::WindowText, QColor(20, 30, 52));
        line->setPalette(pal);
        Lines[i] = line;
    }
}

void TGenericMBForm::startExam() {
    ensureControls();
    const CourseEntry* course = session_.course();
    const std::string title = course != nullptr ? course->ExamTitle : std::string();
    htmlCourse_ = course != nullptr && course->FormatKind == 2;
    const std::array<std::string, 3> lines =
        introductionLines(title, std::to_string(session_.selection.RequestedCount),
                          std::to_string(session_.selection.TimeLimitSeconds / 60));
    for (int i = 0; i < 3; ++i) {
        Lines[i]->setText(QString::fromStdString(lines[i]));
    }

    countdown_.reset();
    if (screens_.CourseMenuForm != nullptr) {
        screens_.CourseMenuForm->hide();
    }
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
    screens_.ExamModeForm->Start();
}

void TGenericMBForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && Timer1->isActive()) {
        handOver();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TGenericMBForm::hideEvent(QHideEvent* event) {
    Timer1->stop();
    ScreenForm::hideEvent(event);
}

}  // namespace tovalo::ui
