#include "ui/widgets/question_panel.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>

#include "core/exam/exam_screen.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/text_wrap.h"

namespace tovalo::ui {

namespace {

constexpr QSize kFigureButton(62, 22);
const QColor kPanelColour(246, 247, 250);

// The lines a plain text takes in a box, wrapped as the box wraps it.
int wrappedLineCount(const QString& text, const QFont& font, int width) {
    int lines = 0;
    const QStringList paragraphs = QString(text).remove(QLatin1Char('\r')).split(QLatin1Char('\n'));
    for (const QString& paragraph : paragraphs) {
        lines += static_cast<int>(wrappedLines(paragraph, font, width).size());
    }
    return lines;
}

}  // namespace

QuestionPanel::QuestionPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("QuesPanel"));
    fill(this, kPanelColour);

    QuesLabel = new QLabel(QStringLiteral("Q.1"), this);
    QuesLabel->setObjectName(QStringLiteral("QuesLabel"));
    paint(QuesLabel, QPalette::WindowText, QColor(20, 40, 90));
    ProgressLabel = new QLabel(this);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressLabel->hide();

    for (int k = 0; k < kFigures; ++k) {
        auto* b = new ImageButton(this);
        b->setObjectName(QStringLiteral("FigButton%1").arg(k + 1));
        const QString caption = qs(figureCaption(k + 1));
        setToneButtonLook(b, kFigureButton, caption, ButtonTone::Figure, ButtonGlyph::Picture);
        b->move(84 + k * (kFigureButton.width() + 6), 2);
        b->setToolTip(QStringLiteral("図を表示します"));
        b->hide();
        connect(b, &ImageButton::clicked, this, [this, k] { emit figureClicked(k + 1); });
        FigButtons[k] = b;
    }

    QuesMemo = new QPlainTextEdit(this);
    QuesMemo->setObjectName(QStringLiteral("QuesMemo"));
    QuesMemo->setAccessibleName(QStringLiteral("問題文"));
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

    WebBrowser1 = new WebPageView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->hide();
}

void QuestionPanel::showNumber(int position, int questionCount) {
    const QuestionLabelLook look = questionLabelLook(position);
    QuesLabel->setFont(uiFont(look.pointSize * 4 / 3, true));
    QuesLabel->setGeometry(8, look.top, 72, kHeaderHeight - look.top);
    ProgressLabel->setText(qs(progressText(position, questionCount)));
}

void QuestionPanel::setNumberText(const QString& text) {
    QuesLabel->setText(text);
}

QString QuestionPanel::numberText() const {
    return QuesLabel->text();
}

void QuestionPanel::setHtml(bool html) {
    html_ = html;
    QuesMemo->setVisible(!html);
    WebBrowser1->setVisible(html);
}

void QuestionPanel::showPlainText(const QString& text) {
    QuesMemo->setPlainText(text);
    const int lines =
        wrappedLineCount(text, QuesMemo->font(),
                         QuesMemo->viewport()->width() -
                             2 * static_cast<int>(QuesMemo->document()->documentMargin()));
    QuesMemo->setVerticalScrollBarPolicy(lines > kQuestionBoxLines ? Qt::ScrollBarAlwaysOn
                                                                   : Qt::ScrollBarAlwaysOff);
    QuesMemo->verticalScrollBar()->setValue(0);
}

void QuestionPanel::showPage(const QString& path) {
    WebBrowser1->showPage(path);
}

void QuestionPanel::stopPage() {
    if (html_) {
        WebBrowser1->stop();
    }
}

void QuestionPanel::reloadPage() {
    if (html_) {
        WebBrowser1->reload();
    }
}

void QuestionPanel::showFigureButtons(int count) {
    for (int k = 0; k < kFigures; ++k) {
        FigButtons[k]->setVisible(k < count);
    }
}

void QuestionPanel::setCornerWidget(QWidget* widget) {
    corner_ = widget;
    corner_->setParent(this);
    layOut();
}

void QuestionPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    layOut();
}

void QuestionPanel::layOut() {
    if (corner_ != nullptr) {
        corner_->adjustSize();
        corner_->move(width() - corner_->width() - 8, (kHeaderHeight - corner_->height()) / 2);
    }
    const QRect textArea(6, kHeaderHeight, width() - 12, height() - kHeaderHeight - 6);
    QuesMemo->setGeometry(textArea);
    WebBrowser1->setGeometry(textArea);
}

bool QuestionPanel::eventFilter(QObject* watched, QEvent* event) {
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
    return QFrame::eventFilter(watched, event);
}

}  // namespace tovalo::ui
