#include "ui/online/TSyncForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

#include "ui/online/online_buttons.h"
#include "ui/online/proxy_panel.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

inline constexpr const char* kCaption = "Tovalo Internet-Sync";

}  // namespace

TSyncForm::TSyncForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("SyncForm"));
    setWindowTitle(QLatin1String(kCaption));
    applyOnlineLook(this);

    TitleLabel = new QLabel(QStringLiteral("学習履歴の同期"), this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setFont(uiFont(20, true));
    GuideLabel = new QLabel(
        QStringLiteral("このコンピュータとサーバーの学習履歴を比べ、新しい方に揃えます。"), this);
    GuideLabel->setObjectName(QStringLiteral("GuideLabel"));
    GuideLabel->setFont(uiFont(13));
    GuideLabel->setWordWrap(true);

    Proxy = new ProxyPanel(this, QStringLiteral("Input Proxy Name"),
                           QStringLiteral("Inout Proxy Port"));

    ProgressPanel = new QFrame(this);
    ProgressPanel->setObjectName(QStringLiteral("ProgressPanel"));
    ProgressLabel = new QLabel(ProgressPanel);
    ProgressLabel->setObjectName(QStringLiteral("ProgressLabel"));
    ProgressLabel->setFont(uiFont(13));
    ProgressBar = new QProgressBar(ProgressPanel);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setAccessibleName(QStringLiteral("同期の進み具合"));
    ProgressBar->setTextVisible(true);
    ProgressBar->setFormat(QStringLiteral("%v / %m"));
    ProgressBar->setMinimumHeight(20);
    StopButton =
        makeOnlineButton(ProgressPanel, {"StopButton", QStringLiteral("中止"),
                                         QStringLiteral("同期を途中で止めます"), QSize(96, 32),
                                         ButtonTone::Suspend, ButtonGlyph::Pause});
    connect(StopButton, &ImageButton::clicked, this, &TSyncForm::StopButtonClick);
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(ProgressBar, 1);
    progressRow->addWidget(StopButton);
    auto* progressLayout = new QVBoxLayout(ProgressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->setSpacing(6);
    progressLayout->addWidget(ProgressLabel);
    progressLayout->addLayout(progressRow);
    ProgressPanel->hide();

    StartButton = makeOnlineButton(this, {"StartButton", QStringLiteral("同期開始"),
                                          QStringLiteral("学習履歴を@Tovaloと同期します"),
                                          QSize(140, 36), ButtonTone::Navigate, ButtonGlyph::Sync});
    connect(StartButton, &ImageButton::clicked, this, &TSyncForm::StartButtonClick);
    BackButton = makeOnlineButton(
        this, {"BackButton", QStringLiteral("戻る"), QStringLiteral("テスト選択に戻ります"),
               QSize(110, 36), ButtonTone::Close, ButtonGlyph::Back});
    connect(BackButton, &ImageButton::clicked, this, &QWidget::close);
    QHBoxLayout* buttons = onlineButtonBar({StartButton, BackButton});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(TitleLabel);
    layout->addWidget(GuideLabel);
    layout->addWidget(Proxy);
    layout->addWidget(ProgressPanel);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(520, 380);

    setTabOrder(Proxy->portEdit(), StartButton);
    setTabOrder(StartButton, BackButton);
    setTabOrder(BackButton, StopButton);
    setFocusProxy(StartButton);
}

TSyncForm::~TSyncForm() {
    if (worker_ != nullptr) {
        cancel_ = true;
        worker_->wait();
    }
}

void TSyncForm::showEvent(QShowEvent* event) {
    Proxy->load(session_.services.settings);
    if (phase_ == Phase::Idle) {
        showProgressPanel(false, 0);
    }
    ScreenForm::showEvent(event);
    StartButton->setFocus();
}

void TSyncForm::StartButtonClick() {
    if (phase_ != Phase::Idle) {
        return;
    }
    platform::MessageBoxes& boxes = session_.services.messages;
    sync::SyncSetup setup;
    if (const std::string problem = Proxy->check(); !problem.empty()) {
        boxes.showError(problem);
        return;
    }
    if (Proxy->used()) {
        setup.proxyHost = Proxy->host();
        setup.proxyPort = Proxy->port();
    }
    Result<sync::SyncAddresses> addresses = sync::readSyncAddresses(session_.programDir);
    if (!addresses) {
        boxes.showError(addresses.error().message);
        return;
    }
    setup.addresses = *addresses;
    setup.profile = session_.profile;
    courses_ = session_.catalog.courses;
    net::Connector& connector =
        session_.services.connector != nullptr ? *session_.services.connector : sockets_;
    // A new run each time: the server's cookie is for one synchronisation.
    run_ = std::make_unique<sync::HistorySync>(connector, session_.services.files,
                                               session_.services.clock, std::move(setup));
    rows_.clear();
    setCursor(Qt::BusyCursor);
    StartButton->setEnabled(false);
    showProgressPanel(true, static_cast<int>(courses_.size()));
    startWorker(Phase::Query);
}

void TSyncForm::startWorker(Phase phase) {
    phase_ = phase;
    cancel_ = false;
    sync::SyncEvents events;
    events.rowStarted = [this](int row, const std::string& label) {
        QMetaObject::invokeMethod(
            this, [this, row, text = qs(label)] { rowStarted(row, text); }, Qt::QueuedConnection);
    };
    worker_ = QThread::create([this, phase, events] {
        bool ok = true;
        std::string message;
        auto rows = std::make_shared<std::vector<sync::SyncRow>>();
        if (phase == Phase::Query) {
            Result<std::vector<sync::SyncRow>> asked = run_->query(courses_, events, &cancel_);
            ok = asked.ok();
            if (ok) {
                *rows = std::move(*asked);
            } else {
                message = asked.error().message;
            }
        } else {
            const Status moved = run_->transfer(rows_, courses_, events, &cancel_);
            ok = moved.ok();
            message = ok ? std::string() : moved.error().message;
        }
        QMetaObject::invokeMethod(
            this,
            [this, phase, ok, rows, text = qs(message)] {
                if (phase == Phase::Query && ok) {
                    rows_ = std::move(*rows);
                }
                phaseEnded(phase, ok, text);
            },
            Qt::QueuedConnection);
    });
    worker_->setObjectName(QStringLiteral("HistorySync"));
    worker_->start();
}

void TSyncForm::rowStarted(int row, const QString& label) {
    if (phase_ == Phase::Query) {
        ProgressLabel->setText(label + QStringLiteral(" : 確認中"));
    } else {
        ProgressLabel->setText(label);
    }
    ProgressBar->setValue(row);
}

void TSyncForm::phaseEnded(Phase phase, bool ok, const QString& message) {
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    platform::MessageBoxes& boxes = session_.services.messages;
    if (!ok) {
        backToIdle();
        if (message == QLatin1String(sync::kSyncCancelled)) {
            boxes.showNotice(kCaption, message.toStdString());
        } else {
            boxes.showError(message.toStdString());
        }
        return;
    }
    if (phase == Phase::Query) {
        phase_ = Phase::Proposal;
        showProgressPanel(false, 0);
        unsetCursor();
        emit proposalReady();
        return;
    }
    ProgressLabel->setText(QStringLiteral("完了"));
    ProgressBar->setValue(ProgressBar->maximum());
    boxes.showNotice(kCaption, sync::kSyncComplete);
    backToIdle();
}

void TSyncForm::transferProposal() {
    if (phase_ != Phase::Proposal) {
        return;
    }
    setCursor(Qt::BusyCursor);
    showProgressPanel(true, static_cast<int>(rows_.size()));
    startWorker(Phase::Transfer);
}

void TSyncForm::dropProposal() {
    if (phase_ == Phase::Proposal) {
        backToIdle();
    }
}

void TSyncForm::backToIdle() {
    phase_ = Phase::Idle;
    showProgressPanel(false, 0);
    unsetCursor();
    StartButton->setEnabled(true);
    StartButton->setFocus();
}

void TSyncForm::showProgressPanel(bool shown, int rows) {
    ProgressBar->setRange(0, std::max(rows, 1));
    ProgressBar->setValue(0);
    ProgressLabel->clear();
    StopButton->setEnabled(shown);
    ProgressPanel->setVisible(shown);
    if (shown) {
        StopButton->setFocus();
    }
}

void TSyncForm::StopButtonClick() {
    if (worker_ != nullptr) {
        cancel_ = true;
        StopButton->setEnabled(false);
        ProgressLabel->setText(QStringLiteral("中止しています…"));
    }
}

void TSyncForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (worker_ != nullptr) {
            StopButtonClick();
        } else {
            close();
        }
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TSyncForm::closeEvent(QCloseEvent* event) {
    // Half a transfer must not be walked away from: the window stays until
    // the run ends or the learner stops it.
    if (phase_ != Phase::Idle) {
        event->ignore();
        return;
    }
    event->accept();
    emit left();
}

}  // namespace tovalo::ui
