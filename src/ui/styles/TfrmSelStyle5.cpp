#include "ui/styles/TfrmSelStyle5.h"

#include <QLabel>
#include <QLineEdit>

#include "ui/widgets/fonts.h"
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
    Label1 = new QLabel(QStringLiteral("回答を入力"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(13, true));
    Label1->setGeometry(7, 6, 336, 18);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setFont(uiFont(14));
    Edit1->setGeometry(7, 26, 337, 24);
    Edit1->setAccessibleName(QStringLiteral("回答を入力"));
    Label1->setBuddy(Edit1);
    // Enter in the field answers, as the button does.
    connect(Edit1, &QLineEdit::returnPressed, button(), &ImageButton::click);

    sAns = new QLabel(this);
    sAns->setObjectName(QStringLiteral("sAns"));
    sAns->hide();

    setTabOrder(Edit1, button());
    setButtonStrip(kClient.height() - 50);
    setFixedSize(kClient);
}

void TfrmSelStyle5::rebuild(const StyleHandoff& handoff) {
    answer_ = handoff.descriptive;
    setFixedSize(kClient);
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
