#include "ui/styles/style_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/scrolling_canvas.h"

namespace tovalo::ui {

namespace {

constexpr QSize kButton(112, 32);
constexpr int kNoteWidth = 440;
constexpr int kMargin = 12;

}  // namespace

StyleWindow::StyleWindow(Session& session, const QString& objectName, const QString& caption,
                         Kind kind, const QString& buttonName)
    : ScreenForm(session), kind_(kind), pane_(new ScrollingCanvas(this)) {
    setObjectName(objectName);
    setWindowTitle(caption);
    setClosesOnEscape(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(36, 42, 54));
    pal.setColor(QPalette::WindowText, QColor(236, 240, 246));
    setPalette(pal);
    setAutoFillBackground(true);

    button_ = new ImageButton(canvas());
    button_->setObjectName(buttonName);
    button_->setFocusPolicy(Qt::StrongFocus);
    if (kind == Kind::Answer) {
        setToneButtonLook(button_, kButton, QStringLiteral("解答する"), ButtonTone::Answer,
                          ButtonGlyph::Check);
        button_->setAccessibleName(QStringLiteral("解答する"));
    } else {
        setToneButtonLook(button_, kButton, QStringLiteral("閉じる"), ButtonTone::Close,
                          ButtonGlyph::None);
        button_->setAccessibleName(QStringLiteral("閉じる"));
    }
    connect(button_, &ImageButton::clicked, this, &StyleWindow::buttonClicked);

    note_ = new QLabel(canvas());
    note_->setObjectName(QStringLiteral("DefectNote"));
    note_->setWordWrap(true);
    note_->setFont(uiFont(13));
    note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note_->hide();
}

QWidget* StyleWindow::canvas() const {
    return pane_->canvas();
}

void StyleWindow::setDesignSize(QSize size) {
    pane_->setDesignSize(size);
}

void StyleWindow::showNote(const QString& note) {
    showingNote_ = true;
    for (QWidget* child : canvas()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (child != button_ && child != note_) {
            child->hide();
        }
    }
    note_->setText(note);
    note_->setFixedWidth(kNoteWidth - 2 * kMargin);
    note_->adjustSize();
    note_->move(kMargin, kMargin);
    note_->show();
    setDesignSize(QSize(kNoteWidth, kMargin + note_->height() + kButtonStrip));
    placeButton();
}

void StyleWindow::placeButton() {
    const int strip = showingNote_ ? kButtonStrip : strip_;
    button_->move(canvas()->width() - button_->width() - kMargin,
                  canvas()->height() - strip + (strip - button_->height()) / 2);
    button_->raise();
}

void StyleWindow::showEvent(QShowEvent* event) {
    showingNote_ = false;
    note_->hide();
    const StyleHandoff& handoff = session_.exam.handoff();
    if (handoff.defect) {
        showNote(qs(defectNote(*handoff.defect)));
    } else {
        rebuild(handoff);
    }
    placeButton();
    // Centred on the screen at every showing: the size follows the question's picture.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
    ScreenForm::showEvent(event);
}

void StyleWindow::resizeEvent(QResizeEvent* event) {
    placeButton();
    ScreenForm::resizeEvent(event);
}

void StyleWindow::buttonClicked() {
    if (kind_ == Kind::Answer) {
        session_.exam.setStyleSolved(!showingNote_ && judge());
    }
    close();
}

}  // namespace tovalo::ui
