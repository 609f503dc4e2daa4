#include "ui/exam/TCaseStudyForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

#include "core/exam/exam_screen.h"
#include "platform/qt_modal_windows.h"
#include "ui/session/session.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/reading_text.h"

namespace tovalo::ui {

namespace {

constexpr int kFigureStep = 88;

}  // namespace

TCaseStudyForm::TCaseStudyForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("CaseStudyForm"));
    setWindowTitle(QStringLiteral("事例"));
    setClosesOnEscape(true);
    resize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(24, 30, 40));
    setPalette(pal);
    setAutoFillBackground(true);
}

void TCaseStudyForm::ensureControls() {
    if (Panel1 != nullptr) {
        return;
    }
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAccessibleName(QStringLiteral("事例"));
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("事例の本文"));
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFrameShape(QFrame::NoFrame);
    new ReadingText(Memo1, Panel1);
    QPalette memoPal = Memo1->palette();
    memoPal.setColor(QPalette::Base, QColor(252, 252, 250));
    memoPal.setColor(QPalette::Text, QColor(24, 24, 28));
    Memo1->setPalette(memoPal);
    WebBrowser1 = new WebPageView(Panel1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    QPalette barPal = Panel2->palette();
    barPal.setColor(QPalette::Window, QColor(16, 20, 28));
    Panel2->setPalette(barPal);
    Panel2->setAutoFillBackground(true);
    for (int k = 0; k < kCaseStudyFigures; ++k) {
        auto* b = new ImageButton(Panel2);
        b->setObjectName(QStringLiteral("RefImg%1").arg(k + 1));
        b->setPictures(buttonPicture(QSize(80, 27), QString::fromStdString(figureCaption(k + 1)),
                                     ButtonTone::Figure, ButtonGlyph::Picture));
        b->move(8 + k * kFigureStep, 4);
        b->hide();
        b->setAccessibleName(QString::fromStdString(figureCaption(k + 1)));
        connect(b, &ImageButton::clicked, this, [this, k] { RefImgClick(k + 1); });
        RefImg[k] = b;
    }
    Button1 = new ImageButton(Panel2);
    Button1->setObjectName(QStringLiteral("Button1"));
    setButtonPicture(false);
    connect(Button1, &ImageButton::clicked, this, &TCaseStudyForm::Button1Click);
    layOutWindow();
}

void TCaseStudyForm::setButtonPicture(bool start) {
    Button1->setPictures(start ? buttonPicture(QSize(112, 27), QStringLiteral("試験開始"),
                                               ButtonTone::Grade, ButtonGlyph::Resume)
                               : buttonPicture(QSize(112, 27), QStringLiteral("閉じる"),
                                               ButtonTone::Close, ButtonGlyph::None));
    Button1->setToolTip(start ? QStringLiteral("問題に進みます") : QString());
    Button1->setAccessibleName(start ? QStringLiteral("試験開始") : QStringLiteral("閉じる"));
}

void TCaseStudyForm::setContent(const CaseStudy& study, const QString& caption,
                                const QFont& memoFont, const QString& pagePath) {
    ensureControls();
    html_ = study.html;
    setWindowTitle(caption);
    Memo1->setFont(memoFont);
    Memo1->setPlainText(QString::fromStdString(study.text));
    for (int k = 0; k < kCaseStudyFigures; ++k) {
        figures_[k] = QString::fromStdString(study.figures[k]);
        RefImg[k]->setVisible(!figures_[k].isEmpty());
    }
    if (html_ && !pagePath.isEmpty()) {
        WebBrowser1->showPage(pagePath);
    }
    layOutPanel();
}

void TCaseStudyForm::showAtStart() {
    ensureControls();
    atStart_ = true;
    setButtonPicture(true);
    platform::openModal(this);
}

void TCaseStudyForm::showOnRequest() {
    ensureControls();
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    atStart_ = false;
    setButtonPicture(false);
    setWindowModality(Qt::NonModal);
    platform::openSecondary(this);
}

void TCaseStudyForm::showEvent(QShowEvent* event) {
    ensureControls();
    if (!event->spontaneous()) {
        resize(kWidth, kHeight);
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r(QPoint(0, 0), QSize(kWidth, kHeight));
            r.moveCenter(screen->availableGeometry().center());
            // Cut down to a display that is smaller than the design (a highly scaled one).
            setGeometry(fittedBounds(app::Bounds{r.x(), r.y(), r.width(), r.height()}));
        }
    }
    ScreenForm::showEvent(event);
}

void TCaseStudyForm::resizeEvent(QResizeEvent* event) {
    if (Panel1 != nullptr) {
        layOutWindow();
    }
    ScreenForm::resizeEvent(event);
}

void TCaseStudyForm::layOutWindow() {
    Panel2->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
    Button1->move(width() - Button1->width() - 10, (kBarHeight - Button1->height()) / 2);
    Panel1->setGeometry(0, 0, width(), height() - kBarHeight);
    layOutPanel();
}

void TCaseStudyForm::layOutPanel() {
    // Only one of the two views is ever given room; the other shrinks to
    // nothing rather than being hidden, so neither loses its content.
    QWidget* shown = html_ ? static_cast<QWidget*>(WebBrowser1) : Memo1;
    QWidget* other = html_ ? static_cast<QWidget*>(Memo1) : WebBrowser1;
    shown->move(0, 0);
    shown->resize(Panel1->width() - shown->x(), Panel1->height() - shown->y());
    other->resize(0, 0);
}

void TCaseStudyForm::RefImgClick(int figure) {
    emit figureRequested(QString::fromStdString(figureCaption(figure)), figures_[figure - 1]);
}

void TCaseStudyForm::Button1Click() {
    // The clock of the first question starts only now, and time can run
    // out again.
    atStart_ = false;
    hide();
    emit startPressed();
}

void TCaseStudyForm::closeEvent(QCloseEvent* event) {
    // The window's close box at the start of an exam would otherwise leave
    // the clock unable to run out.
    if (atStart_) {
        Button1Click();
    }
    event->accept();
}

}  // namespace tovalo::ui
