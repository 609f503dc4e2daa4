#include "ui/online/TUpdateForm.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "core/app/profile.h"
#include "core/app/settings_keys.h"
#include "platform/zip_entry_reader.h"
#include "ui/online/online_buttons.h"
#include "ui/online/proxy_panel.h"
#include "ui/session/session.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

QLabel* fieldLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setFont(uiFont(13, true));
    label->setBuddy(buddy);
    return label;
}

}  // namespace

TUpdateForm::TUpdateForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("UpdateForm"));
    setWindowTitle(QString::fromUtf8(update::kUpdateCaption));
    applyOnlineLook(this);

    TitleLabel = new QLabel(QString::fromUtf8(update::kUpdateCaption), this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setFont(uiFont(20, true));
    GuideLabel = new QLabel(QStringLiteral("新しい模擬問題と図版をセンターから受け取ります。\n"
                                           "更新された問題の学習履歴はクリアされます。"),
                            this);
    GuideLabel->setObjectName(QStringLiteral("GuideLabel"));
    GuideLabel->setFont(uiFont(13));
    GuideLabel->setWordWrap(true);

    auto* fields = new QFrame(this);
    fields->setObjectName(QStringLiteral("FieldBox"));
    applyOnlinePanelLook(fields);
    VendorCombo = new QComboBox(fields);
    VendorCombo->setObjectName(QStringLiteral("VendorCombo"));
    VendorCombo->setAccessibleName(QStringLiteral("対象ベンダー"));
    // The drop-down's list is a control of its own to a screen reader.
    VendorCombo->view()->setAccessibleName(QStringLiteral("対象ベンダーの一覧"));
    VendorCombo->setFont(uiFont(13));
    VendorCombo->setMinimumHeight(28);
    VendorLabel = fieldLabel(fields, QStringLiteral("対象ベンダー"), VendorCombo);
    TimeoutEdit = new QSpinBox(fields);
    TimeoutEdit->setObjectName(QStringLiteral("TimeoutEdit"));
    TimeoutEdit->setAccessibleName(QStringLiteral("接続タイムアウト時間(秒)"));
    TimeoutEdit->setFont(uiFont(13));
    TimeoutEdit->setRange(0, update::kMaxTimeoutSeconds);
    TimeoutEdit->setValue(update::kDefaultTimeoutSeconds);
    TimeoutEdit->setMinimumHeight(28);
    TimeoutEdit->setMinimumWidth(96);
    TimeoutLabel = fieldLabel(fields, QStringLiteral("接続タイムアウト時間(秒)"), TimeoutEdit);
    // Light fields on the dark panel, with their arrows drawn dark on a
    // light face like the proxy fields beside them.
    for (QWidget* field :
         {static_cast<QWidget*>(VendorCombo), static_cast<QWidget*>(TimeoutEdit)}) {
        QPalette pal = field->palette();
        pal.setColor(QPalette::Base, Qt::white);
        pal.setColor(QPalette::Text, Qt::black);
        pal.setColor(QPalette::Button, QColor(226, 230, 238));
        pal.setColor(QPalette::ButtonText, Qt::black);
        pal.setColor(QPalette::WindowText, Qt::black);
        field->setPalette(pal);
    }
    auto* grid = new QGridLayout(fields);
    grid->setContentsMargins(14, 12, 14, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(VendorLabel, 0, 0);
    grid->addWidget(VendorCombo, 0, 1);
    grid->addWidget(TimeoutLabel, 1, 0);
    grid->addWidget(TimeoutEdit, 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);

    Proxy = new ProxyPanel(this, QStringLiteral("Input Proxy Server name"),
                           QStringLiteral("Input Proxy Port"));

    StartButton =
        makeOnlineButton(this, {"StartButton", QStringLiteral("更新開始"),
                                QStringLiteral("新しい模擬問題をダウンロードします"),
                                QSize(140, 36), ButtonTone::Navigate, ButtonGlyph::Update});
    connect(StartButton, &ImageButton::clicked, this, &TUpdateForm::StartButtonClick);
    CloseButton = makeOnlineButton(
        this, {"CloseButton", QStringLiteral("閉じる"), QStringLiteral("テスト選択に戻ります"),
               QSize(110, 36), ButtonTone::Close, ButtonGlyph::Back});
    connect(CloseButton, &ImageButton::clicked, this, &QWidget::close);
    QHBoxLayout* buttons = onlineButtonBar({StartButton, CloseButton});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->setSpacing(12);
    layout->addWidget(TitleLabel);
    layout->addWidget(GuideLabel);
    layout->addWidget(fields);
    layout->addWidget(Proxy);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setFixedSize(540, 420);

    QWidget* const chain[] = {VendorCombo,       TimeoutEdit, Proxy->useBox(), Proxy->nameEdit(),
                              Proxy->portEdit(), StartButton, CloseButton};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }
    setFocusProxy(StartButton);
}

TUpdateForm::~TUpdateForm() {
    if (QThread* worker = std::exchange(worker_, nullptr)) {
        cancel_ = true;
        // The other windows may be gone already: nothing more is shown or
        // said while the run winds down.
        closing_ = true;
        blockSignals(true);
        // The worker may be waiting for a box on this thread: keep serving
        // it until it has wound down.
        while (!worker->wait(10)) {
            QCoreApplication::processEvents();
        }
        delete worker;
    }
}

void TUpdateForm::fillVendors() {
    VendorCombo->clear();
    VendorCombo->addItem(QStringLiteral("全部"));
    for (const app::Vendor& v : session_.vendors) {
        VendorCombo->addItem(qs(v.shownName()), qs(v.folder));
    }
    // Vendors are numbered in list order, so the course menu's vendor is
    // the entry of the same number.
    VendorCombo->setCurrentIndex(
        session_.currentVendor < VendorCombo->count() ? std::max(session_.currentVendor, 0) : 0);
}

void TUpdateForm::showEvent(QShowEvent* event) {
    if (!running()) {
        fillVendors();
        Proxy->load(session_.services.settings);
    }
    ScreenForm::showEvent(event);
    StartButton->setFocus();
}

void TUpdateForm::StartButtonClick() {
    if (running()) {
        return;
    }
    platform::MessageBoxes& boxes = session_.services.messages;
    platform::SettingsStore& settings = session_.services.settings;
    if (TimeoutEdit->value() <= 0) {
        boxes.showError(update::kBadTimeout);
        TimeoutEdit->setFocus();
        return;
    }
    if (const std::string problem = Proxy->check(); !problem.empty()) {
        boxes.showError(problem);
        return;
    }
    Result<update::UpdateAddresses> addresses = update::readUpdateAddresses(session_.programDir);
    if (!addresses) {
        boxes.showError(addresses.error().describe());
        return;
    }
    Proxy->store(settings);
    settings.flush();

    update::UpdateSetup setup;
    setup.directories = session_.directories;
    setup.profile = app::readProfile(settings);
    setup.addresses = *addresses;
    if (Proxy->used()) {
        setup.proxyHost = Proxy->host();
        setup.proxyPort = Proxy->port();
    }
    setup.timeout = std::chrono::seconds(TimeoutEdit->value());
    // 全部 carries no folder; every other entry its vendor's.
    const QString chosen = VendorCombo->currentData().toString();
    const bool all = chosen.isEmpty();
    std::vector<update::UpdateTarget> targets;
    for (const app::Vendor& v : session_.vendors) {
        if (all || qs(v.folder) == chosen) {
            targets.push_back({v.folder, v.shownName()});
        }
    }
    net::Connector& connector =
        session_.services.connector != nullptr ? *session_.services.connector : sockets_;
    setup.readEntry = &platform::readZipEntry;
    run_ = std::make_unique<update::QuestionUpdate>(connector, std::move(setup));

    update::UpdateEvents events;
    // Boxes belong to the window's thread; the worker waits for each answer.
    events.confirm = [this](const std::string& text) {
        bool ok = false;
        QMetaObject::invokeMethod(
            this,
            [this, &ok, &text] { ok = !closing_ && session_.services.messages.askOkCancel(text); },
            Qt::BlockingQueuedConnection);
        return ok;
    };
    events.show = [this](const update::UpdateMessage& m) {
        QMetaObject::invokeMethod(
            this,
            [this, &m] {
                if (!closing_) {
                    session_.services.messages.showNotice(m.caption, m.text);
                }
            },
            Qt::BlockingQueuedConnection);
    };
    events.fetching = [this](bool on) {
        QMetaObject::invokeMethod(
            this,
            [this, on] {
                if (on) {
                    hide();
                }
                emit fetchingChanged(on);
            },
            Qt::QueuedConnection);
    };
    events.fileStarted = [this](const std::string& label) {
        QMetaObject::invokeMethod(
            this, [this, text = qs(label)] { emit fileStarted(text); }, Qt::QueuedConnection);
    };
    events.packetReceived = [this](std::size_t received, std::optional<std::size_t> announced) {
        QMetaObject::invokeMethod(
            this,
            [this, text = qs(update::transferText(received, announced))] {
                emit transferProgress(text);
            },
            Qt::QueuedConnection);
    };

    cancel_ = false;
    StartButton->setEnabled(false);
    setCursor(Qt::BusyCursor);
    worker_ = QThread::create([this, targets, all, events] {
        auto report =
            std::make_shared<update::UpdateReport>(run_->run(targets, all, events, &cancel_));
        QMetaObject::invokeMethod(
            this, [this, report] { runEnded(*report); }, Qt::QueuedConnection);
    });
    worker_->setObjectName(QStringLiteral("QuestionUpdate"));
    worker_->start();
}

void TUpdateForm::stopRun() {
    if (worker_ != nullptr) {
        cancel_ = true;
    }
}

void TUpdateForm::runEnded(const update::UpdateReport& report) {
    if (worker_ == nullptr) {
        return;  // the window is going away
    }
    worker_->wait();
    delete worker_;
    worker_ = nullptr;
    run_.reset();
    unsetCursor();
    StartButton->setEnabled(true);
    if (report.endsProgram()) {
        storeUpdateDate();
        hide();
        emit programEndRequested();
    } else if (report.started) {
        close();
    } else {
        // Every vendor was declined: nothing happened, the window stays.
        StartButton->setFocus();
    }
}

void TUpdateForm::storeUpdateDate() {
    const platform::LocalDateTime today = platform::toLocalDateTime(session_.services.clock.now());
    platform::SettingsStore& settings = session_.services.settings;
    settings.writeInteger(app::settings::kLastUpdateYear, today.year);
    settings.writeInteger(app::settings::kLastUpdateMonth, today.month);
    settings.writeInteger(app::settings::kLastUpdateDay, today.day);
    settings.flush();
}

void TUpdateForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (!running()) {
            close();
        }
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TUpdateForm::closeEvent(QCloseEvent* event) {
    // Question files are being replaced: the window stays until the run
    // ends or the learner stops it from the download window.
    if (running()) {
        event->ignore();
        return;
    }
    event->accept();
    emit left();
}

}  // namespace tovalo::ui
