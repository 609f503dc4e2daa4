#include "ui/styles/TfrmSelStyle3.h"

#include "ui/styles/style_layouts.h"
#include "ui/widgets/click_picture.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

TfrmSelStyle3::TfrmSelStyle3(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle3"),
                  QStringLiteral("Tovalo グラフィック表示"), Kind::Answer) {
    DestImg =
        new ClickPicture(canvas(), ClickPicture::MarkShape::Ring, ClickPicture::RightPress::Places);
    DestImg->setObjectName(QStringLiteral("DestImg"));
    DestImg->move(kGraphicPictureAt);
    DestImg->setAccessibleName(QStringLiteral("解答する図"));
    DestImg->setAccessibleDescription(
        QStringLiteral("矢印キーで照準を動かし、Space キーで印を置きます。"
                       "Delete キーで最後の印を取り消します。"));
    Guides = makeZoneFrames(canvas(), Qt::black);
    setTabOrder(DestImg, button());
    // The picture's top margin comes out of the strip, so that the window
    // stays the picture and the strip.
    setButtonStrip(kButtonStrip - kGraphicPictureAt.y());
}

void TfrmSelStyle3::rebuild(const StyleHandoff& handoff) {
    const QImage picture = readFigure(qs(handoff.pictures[0]));
    if (picture.isNull()) {
        showNote(qs(unreadablePictureNote(handoff.pictures[0])));
        return;
    }
    DestImg->setPicture(picture);
    DestImg->show();
    DestImg->setZones(handoff.zones);
    coverZones(Guides, handoff.zones, DestImg->pos(), false);
    setDesignSize(graphicWindowSize(picture.size()));
    DestImg->setFocus();
}

bool TfrmSelStyle3::judge() {
    const bool solved = DestImg->board().solved();
    // A right answer leaves the zones framed as the window goes.
    coverZones(Guides, DestImg->board().zones(), DestImg->pos(), solved);
    return solved;
}

}  // namespace tovalo::ui
