#include "ui/styles/TfrmSelStyle7View.h"

#include <QFileInfo>
#include <QLabel>
#include <algorithm>

#include "ui/widgets/figure_picture.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kMargin = 12;

}  // namespace

TfrmSelStyle7View::TfrmSelStyle7View(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle7View"),
                  QStringLiteral("Tovalo 正解コネクト表示"), Kind::View,
                  QStringLiteral("Button5")) {
    Image1 = new QLabel(canvas());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("正解の接続図"));
    setButtonStrip(kStrip);
}

void TfrmSelStyle7View::rebuild(const StyleHandoff& handoff) {
    const QString path = qs(handoff.pictures[1]);
    const QImage picture = path.isEmpty() ? QImage() : readFigure(path);
    if (picture.isNull()) {
        showNote(path.isEmpty() ? QStringLiteral("この問題には正解の図がありません。")
                                : QStringLiteral("正解の図（%1）を読み込めません。")
                                      .arg(QFileInfo(path).fileName()));
        return;
    }
    Image1->setPixmap(QPixmap::fromImage(picture));
    Image1->setGeometry(0, 0, picture.width(), picture.height());
    Image1->show();
    setDesignSize(QSize(std::max(picture.width(), button()->width() + 2 * kMargin),
                        picture.height() + kStrip));
    button()->setFocus();
}

}  // namespace tovalo::ui
