#include "ui/exam/TRefImgForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "platform/qt_modal_windows.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/scrolling_canvas.h"

namespace tovalo::ui {

TRefImgForm::TRefImgForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("RefImgForm"));
    setWindowTitle(QStringLiteral("図の参照"));
    setClosesOnEscape(true);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(36, 42, 54));
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(320, 240 + kButtonStrip);
}

void TRefImgForm::ensureControls() {
    if (Image1 != nullptr) {
        return;
    }
    // A tall figure on a highly scaled screen scrolls inside the window.
    Canvas = new ScrollingCanvas(this);
    Canvas->setDesignSize(size());
    Image1 = new QLabel(Canvas->canvas());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->move(0, 0);

    Button1 = new ImageButton(Canvas->canvas());
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setPictures(buttonPicture(QSize(96, 32), QStringLiteral("閉じる"), ButtonTone::Close,
                                       ButtonGlyph::None));
    Button1->setAccessibleName(QStringLiteral("閉じる"));
    connect(Button1, &ImageButton::clicked, this, &TRefImgForm::Button1Click);
    placeButton();
}

void TRefImgForm::placeButton() {
    const QSize laidOut = Canvas->designSize();
    Button1->move(laidOut.width() - Button1->width() - 12,
                  laidOut.height() - kButtonStrip + (kButtonStrip - Button1->height()) / 2);
}

void TRefImgForm::showFigure(const QString& caption, const QString& path) {
    ensureControls();
    setWindowTitle(caption);
    FigurePath = path;
    if (isVisible()) {
        reloadFigure();
    }
    platform::openSecondary(this);
}

void TRefImgForm::reloadFigure() {
    ensureControls();
    const QImage picture = readFigure(FigurePath);
    if (picture.isNull()) {
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture));
    Image1->resize(picture.size());
    Canvas->setDesignSize(QSize(picture.width(), picture.height() + kButtonStrip));
    placeButton();
}

void TRefImgForm::showEvent(QShowEvent* event) {
    reloadFigure();
    if (!placed_) {
        // Centred the first time; after that it opens where the user left it.
        placed_ = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect r = rect();
            r.moveCenter(screen->availableGeometry().center());
            move(r.topLeft());
        }
    }
    ScreenForm::showEvent(event);
}

bool TRefImgForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && Image1 != nullptr) {
        reloadFigure();
    }
    return ScreenForm::event(event);
}

void TRefImgForm::resizeEvent(QResizeEvent* event) {
    if (Button1 != nullptr) {
        placeButton();
    }
    ScreenForm::resizeEvent(event);
}

void TRefImgForm::Button1Click() {
    close();
}

}  // namespace tovalo::ui
