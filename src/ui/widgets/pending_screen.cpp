#include "ui/widgets/pending_screen.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/widgets/fonts.h"

namespace tovalo::ui {

PendingScreen::PendingScreen(Session& session, const QString& title) : ScreenForm(session) {
    setWindowTitle(title);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, QColor(220, 224, 232));
    setPalette(pal);
    setAutoFillBackground(true);

    TitleLabel = new QLabel(title, this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setFont(uiFont(20, true));
    MessageLabel = new QLabel(QStringLiteral("この機能はこの版ではまだお使いいただけません。\n"
                                             "次の版でお届けします。テスト選択へ戻ってください。"),
                              this);
    MessageLabel->setObjectName(QStringLiteral("MessageLabel"));
    MessageLabel->setFont(uiFont(14));
    MessageLabel->setWordWrap(true);
    Button2 = new QPushButton(QStringLiteral("テスト選択へ戻る"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setFont(uiFont(14));
    Button2->setDefault(true);
    Button2->setAutoDefault(true);
    Button2->setMinimumHeight(32);
    connect(Button2, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(14);
    layout->addWidget(TitleLabel);
    layout->addWidget(MessageLabel, 1);
    layout->addWidget(Button2, 0, Qt::AlignRight);
    setFixedSize(460, 200);
    setFocusProxy(Button2);
}

void PendingScreen::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void PendingScreen::closeEvent(QCloseEvent* event) {
    event->accept();
    emit left();
}

}  // namespace tovalo::ui
