#include "ui/styles/TfrmSelStyle5View.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/styles/style_layouts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

TfrmSelStyle5View::TfrmSelStyle5View(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle5View"), QStringLiteral("Tovalo 記述式"),
                  Kind::View) {
    addCaptionedField(canvas(), QStringLiteral("正解"), Label1, Edit1);
    Edit1->setReadOnly(true);

    setTabOrder(Edit1, button());
    setButtonStrip(kTypedClient.height() - 50);
    setDesignSize(kTypedClient);
}

void TfrmSelStyle5View::rebuild(const StyleHandoff& handoff) {
    setDesignSize(kTypedClient);
    Label1->show();
    Edit1->show();
    Edit1->setText(qs(handoff.descriptive.expected));
    Edit1->setCursorPosition(0);
    button()->setFocus();
}

}  // namespace tovalo::ui
