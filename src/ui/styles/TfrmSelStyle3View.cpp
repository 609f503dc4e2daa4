#include "ui/styles/TfrmSelStyle3View.h"

#include <QLabel>

#include "ui/styles/style_layouts.h"
#include "ui/widgets/click_picture.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

TfrmSelStyle3View::TfrmSelStyle3View(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle3View"),
                  QStringLiteral("Tovalo 正解グラフィック表示"), Kind::View) {
    DestImg = new QLabel(canvas());
    DestImg->setObjectName(QStringLiteral("DestImg"));
    DestImg->move(kGraphicPictureAt);
    DestImg->setAccessibleName(QStringLiteral("正解の領域を赤枠で示した図"));
    Guides = makeZoneFrames(canvas(), QColor(255, 0, 0));
    setButtonStrip(kButtonStrip - kGraphicPictureAt.y());
}

void TfrmSelStyle3View::rebuild(const StyleHandoff& handoff) {
    const QImage picture = readFigure(qs(handoff.pictures[0]));
    if (picture.isNull()) {
        showNote(qs(unreadablePictureNote(handoff.pictures[0])));
        return;
    }
    DestImg->setPixmap(QPixmap::fromImage(picture));
    DestImg->setFixedSize(picture.size());
    DestImg->show();
    coverZones(Guides, handoff.zones, DestImg->pos(), true);
    setDesignSize(graphicWindowSize(picture.size()));
    button()->setFocus();
}

}  // namespace tovalo::ui
