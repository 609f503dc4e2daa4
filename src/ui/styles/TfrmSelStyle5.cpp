#include "ui/styles/TfrmSelStyle5.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/styles/style_layouts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

// The field's own limit when the question sets none.
constexpr int kUnlimited = 32767;

}  // namespace

TfrmSelStyle5::TfrmSelStyle5(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle5"), QStringLiteral("Tovalo 記述式"),
                  Kind::Answer) {
    addCaptionedField(canvas(), QStringLiteral("回答を入力"), Label1, Edit1);
    // Enter in the field answers, as the button does.
    connect(Edit1, &QLineEdit::returnPressed, button(), &ImageButton::click);

    sAns = new QLabel(canvas());
    sAns->setObjectName(QStringLiteral("sAns"));
    sAns->hide();

    setTabOrder(Edit1, button());
    setButtonStrip(kTypedClient.height() - 50);
    setDesignSize(kTypedClient);
}

void TfrmSelStyle5::rebuild(const StyleHandoff& handoff) {
    answer_ = handoff.descriptive;
    setDesignSize(kTypedClient);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Edit1)}) {
        w->show();
    }
    sAns->setText(qs(answer_.expected));
    Edit1->setMaxLength(answer_.maxLength > 0 ? answer_.maxLength : kUnlimited);
    Edit1->clear();
    Edit1->setFocus();
}

bool TfrmSelStyle5::judge() {
    return judgeDescriptive(answer_, limitTyped(Edit1->text().toStdString(), answer_.maxLength));
}

}  // namespace tovalo::ui
