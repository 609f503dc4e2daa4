#include "ui/online/TDownLoad.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/online/online_buttons.h"
#include "ui/online/transfer_animation.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"

namespace tovalo::ui {

TDownLoad::TDownLoad(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("DownLoad"));
    setWindowTitle(QStringLiteral("ダウンロード"));
    applyOnlineLook(this);

    Animate1 = new TransferAnimation(this);
    Animate1->setAccessibleName(QStringLiteral("通信中の動き"));
    MessageLabel = new QLabel(QStringLiteral("センターと通信しています。"), this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setFont(uiFont(15, true));
    FileLabel = new QLabel(this);
    FileLabel->setObjectName(QStringLiteral("FileLabel"));
    FileLabel->setFont(uiFont(13));
    FileLabel->setAccessibleName(QStringLiteral("ダウンロード中のファイル"));
    StatusLabel = new QLabel(this);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setFont(uiFont(13));
    StatusLabel->setAccessibleName(QStringLiteral("受信したバイト数"));
    for (QLabel* l : {FileLabel, StatusLabel}) {
        l->setMinimumWidth(260);
        l->setTextInteractionFlags(Qt::NoTextInteraction);
    }
    StopButton = makeOnlineButton(
        this, {"StopButton", QStringLiteral("中止"), QStringLiteral("ダウンロードを途中で止めます"),
               QSize(96, 32), ButtonTone::Suspend, ButtonGlyph::Pause});
    connect(StopButton, &ImageButton::clicked, this, &TDownLoad::StopButtonClick);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(MessageLabel);
    texts->addSpacing(4);
    texts->addWidget(FileLabel);
    texts->addWidget(StatusLabel);
    texts->addStretch(1);
    auto* top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(Animate1, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(StopButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(10);
    layout->addLayout(top);
    layout->addStretch(1);
    layout->addLayout(bottom);
    setFixedSize(460, 200);
    setFocusProxy(StopButton);
}

void TDownLoad::begin() {
    fetching_ = true;
    FileLabel->clear();
    StatusLabel->clear();
    StopButton->setEnabled(true);
    Animate1->start();
}

void TDownLoad::finish() {
    fetching_ = false;
    Animate1->stop();
    hide();
}

void TDownLoad::setFileLabel(const QString& text) {
    FileLabel->setText(text);
    StatusLabel->clear();
}

void TDownLoad::setStatus(const QString& text) {
    StatusLabel->setText(text);
}

void TDownLoad::StopButtonClick() {
    if (fetching_) {
        StopButton->setEnabled(false);
        FileLabel->setText(QStringLiteral("中止しています…"));
        emit stopRequested();
    }
}

void TDownLoad::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        StopButtonClick();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TDownLoad::closeEvent(QCloseEvent* event) {
    // The close box means "stop": the window itself goes when the update
    // has let go of the files.
    if (fetching_) {
        event->ignore();
        StopButtonClick();
        return;
    }
    event->accept();
}

}  // namespace tovalo::ui
