#include "ui/styles/TfrmSelStyle5View.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/styles/TfrmSelStyle5.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

TfrmSelStyle5View::TfrmSelStyle5View(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle5View"), QStringLiteral("Tovalo 記述式"),
                  Kind::View) {
    Label1 = new QLabel(QStringLiteral("正解"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(13, true));
    Label1->setGeometry(7, 6, 336, 18);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFont(uiFont(14));
    Edit1->setGeometry(7, 26, 337, 24);
    Edit1->setReadOnly(true);
    Edit1->setAccessibleName(QStringLiteral("正解"));
    Label1->setBuddy(Edit1);

    setTabOrder(Edit1, button());
    setButtonStrip(TfrmSelStyle5::kClient.height() - 50);
    setFixedSize(TfrmSelStyle5::kClient);
}

void TfrmSelStyle5View::rebuild(const StyleHandoff& handoff) {
    setFixedSize(TfrmSelStyle5::kClient);
    Label1->show();
    Edit1->show();
    Edit1->setText(qs(handoff.descriptive.expected));
    Edit1->setCursorPosition(0);
    button()->setFocus();
}

}  // namespace tovalo::ui
