#include "ui/styles/TfrmSelStyle7.h"

#include <QKeyEvent>
#include <QLabel>
#include <algorithm>

#include "ui/styles/connect_surface.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kMargin = 12;
constexpr int kLineHeight = 20;
// Between the instructions and the button.
constexpr int kGap = 16;

constexpr const char16_t* kInstructions[] = {
    u"ドラッグして、任意の場所にオブジェクトを移動してください。",
    u"オブジェクトをShiftキーを押すことにより2つ選択し、",
    u"コネクト内容のオブジェクトをクリックしてください。",
    u"コネクトを削除する場合は、コネクトオブジェクトを選択して",
    u"Deleteキーを押してください。",
};

}  // namespace

TfrmSelStyle7::TfrmSelStyle7(Session& session)
    : StyleWindow(session, QStringLiteral("frmSelStyle7"), QStringLiteral("Tovalo コネクト表示"),
                  Kind::Answer, QStringLiteral("Button5")) {
    Image1 = new ConnectSurface(canvas());
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("接続図"));
    Image1->setAccessibleDescription(
        QStringLiteral("Tab でオブジェクトを選び、Space で選択、Shift+Space で 2 つ目を選択。"
                       "数字か英字のキーでコネクトを作成し、PageDown と PageUp でコネクトを選んで "
                       "Delete で削除。矢印キーでオブジェクトを移動。"));
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        labels_[i] = new QLabel(QString::fromUtf16(kInstructions[i]), canvas());
        labels_[i]->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        labels_[i]->setFont(uiFont(13));
    }
    setButtonStrip(kInstructionStrip);
}

void TfrmSelStyle7::rebuild(const StyleHandoff& handoff) {
    const QString path = qs(handoff.pictures[0]);
    const QImage picture = path.isEmpty() ? QImage() : readBitmapFigure(path);
    if (picture.isNull()) {
        showNote(qs(unreadablePictureNote(handoff.pictures[0], true)));
        return;
    }
    Image1->load(picture, handoff.connect);
    Image1->move(0, 0);
    Image1->show();

    int textWidth = 0;
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        QLabel* label = labels_[i];
        label->adjustSize();
        textWidth = std::max(textWidth, label->width());
        label->move(kMargin, picture.height() + (kInstructionStrip - 5 * kLineHeight) / 2 +
                                 static_cast<int>(i) * kLineHeight);
        label->show();
    }
    const int width =
        std::max(picture.width(), kMargin + textWidth + kGap + button()->width() + kMargin);
    setDesignSize(QSize(width, picture.height() + kInstructionStrip));

    // Tab runs through the panels in list order, then to the button.
    QWidget* previous = nullptr;
    for (int p = 1; QWidget* panel = Image1->panelWidget(p); ++p) {
        if (previous != nullptr) {
            setTabOrder(previous, panel);
        }
        previous = panel;
    }
    if (previous != nullptr) {
        setTabOrder(previous, button());
        Image1->panelWidget(1)->setFocus();
    } else {
        button()->setFocus();
    }
}

bool TfrmSelStyle7::judge() {
    return Image1->board().solved();
}

void TfrmSelStyle7::keyPressEvent(QKeyEvent* event) {
    // The window sees these keys wherever the focus is, panel or button.
    if (!showingNote() &&
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
        switch (event->key()) {
            case Qt::Key_Delete:
                Image1->deleteSelection();
                return;
            case Qt::Key_PageDown:
                Image1->stepSelection(1);
                return;
            case Qt::Key_PageUp:
                Image1->stepSelection(-1);
                return;
            default:
                break;
        }
        const int connector = ConnectSurface::connectorForKey(event->key());
        if (connector >= 1 && connector <= Image1->connectorCount()) {
            Image1->clickConnector(connector);
            return;
        }
    }
    StyleWindow::keyPressEvent(event);
}

}  // namespace tovalo::ui
