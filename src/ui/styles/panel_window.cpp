#include "ui/styles/panel_window.h"

#include <QLabel>
#include <algorithm>

#include "ui/styles/panel_surface.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

// Room for the button and its margins when the picture is narrower.
constexpr int kMinimumWidth = 136;

}  // namespace

PanelWindow::PanelWindow(Session& session, const QString& objectName, Kind kind, bool withIds)
    : StyleWindow(session, objectName,
                  kind == Kind::View ? QStringLiteral("Tovalo 正解パネル表示")
                                     : QStringLiteral("Tovalo パネル表示"),
                  kind),
      view_(kind == Kind::View),
      withIds_(withIds) {
    Image1 = new PanelSurface(canvas());
    Image1->move(0, 0);
    if (view_) {
        Image1->setAccessibleName(QStringLiteral("正解のパネル配置"));
    } else {
        Image1->setAccessibleName(QStringLiteral("パネルを配置する図"));
        Image1->setAccessibleDescription(
            QStringLiteral("Tab キーでパネルを選び、数字キーか矢印キーで配置先を選んで Enter "
                           "キーで置きます。Delete キーで元の位置に戻します。"));
    }

    Label1 = new QLabel(canvas());
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->hide();
    Label2 = new QLabel(canvas());
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->hide();
}

void PanelWindow::rebuild(const StyleHandoff& handoff) {
    const QString path = qs(handoff.pictures[0]);
    const QImage picture = readBitmapFigure(path);
    if (picture.isNull()) {
        button()->setFocus();
        showNote(qs(unreadablePictureNote(handoff.pictures[0], true)));
        return;
    }
    expected_ = handoff.groups[0];
    Label1->setText(qs(expected_));
    Label2->clear();

    PanelBoard board(handoff.destinations, handoff.pieces, withIds_);
    if (view_) {
        Image1->load(
            picture, std::move(board), false,
            PanelBoard::viewPlaces(handoff.destinations, handoff.pieces, withIds_, expected_));
    } else {
        Image1->load(picture, std::move(board), true);
    }
    Image1->show();
    setDesignSize(QSize(std::max(picture.width(), kMinimumWidth), picture.height() + kButtonStrip));

    // Keyboard order: the pieces in list order, then the button.
    QWidget* previous = nullptr;
    for (QWidget* piece : Image1->pieces()) {
        if (piece->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            setTabOrder(previous, piece);
        }
        previous = piece;
    }
    if (previous != nullptr) {
        setTabOrder(previous, button());
        Image1->pieces().front()->setFocus();
    } else {
        button()->setFocus();
    }
}

bool PanelWindow::judge() {
    Label2->setText(qs(Image1->board().answerString()));
    return Image1->board().solved(expected_);
}

void PanelWindow::hideEvent(QHideEvent* event) {
    Image1->clear();
    StyleWindow::hideEvent(event);
}

}  // namespace tovalo::ui
