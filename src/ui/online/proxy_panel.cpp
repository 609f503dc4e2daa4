#include "ui/online/proxy_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "core/app/settings_keys.h"
#include "core/sync/sync_rules.h"
#include "ui/online/online_buttons.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

QLineEdit* proxyEdit(QWidget* parent, const char* name, const QString& accessible) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(accessible);
    edit->setFont(uiFont(13));
    edit->setMinimumHeight(26);
    return edit;
}

}  // namespace

ProxyPanel::ProxyPanel(QWidget* parent, const QString& namePrompt, const QString& portPrompt)
    : QFrame(parent), namePrompt_(namePrompt), portPrompt_(portPrompt) {
    setObjectName(QStringLiteral("ProxyBox"));
    applyOnlinePanelLook(this);
    UseProxy = new QCheckBox(QStringLiteral("Use Proxy"), this);
    UseProxy->setObjectName(QStringLiteral("UseProxy"));
    UseProxy->setAccessibleName(QStringLiteral("Proxyサーバーを使う"));
    UseProxy->setFont(uiFont(13, true));
    ProxyName = proxyEdit(this, "ProxyName", QStringLiteral("Proxyサーバー名"));
    ProxyPort = proxyEdit(this, "ProxyPort", QStringLiteral("Proxyポート番号"));
    ProxyPort->setMaximumWidth(120);
    ProxyNameLabel = new QLabel(QStringLiteral("Proxy Server Name"), this);
    ProxyNameLabel->setBuddy(ProxyName);
    ProxyPortLabel = new QLabel(QStringLiteral("Proxy Port"), this);
    ProxyPortLabel->setBuddy(ProxyPort);
    for (QLabel* l : {ProxyNameLabel, ProxyPortLabel}) {
        l->setFont(uiFont(13));
    }
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 10, 14, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);
    grid->addWidget(UseProxy, 0, 0, 1, 2);
    grid->addWidget(ProxyNameLabel, 1, 0);
    grid->addWidget(ProxyName, 1, 1);
    grid->addWidget(ProxyPortLabel, 2, 0);
    grid->addWidget(ProxyPort, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    connect(UseProxy, &QCheckBox::toggled, this, &ProxyPanel::UseProxyClick);
    setTabOrder(UseProxy, ProxyName);
    setTabOrder(ProxyName, ProxyPort);
}

void ProxyPanel::load(const platform::SettingsStore& settings) {
    const std::string server = app::settings::read(settings, app::settings::kProxyServer);
    const std::string port = app::settings::read(settings, app::settings::kProxyPort);
    ProxyName->setText(server.empty() ? namePrompt_ : qs(server));
    ProxyPort->setText(port.empty() ? portPrompt_ : qs(port));
    // A learner who keeps a proxy needs it every time.
    UseProxy->setChecked(!server.empty());
    UseProxyClick();
}

void ProxyPanel::store(platform::SettingsStore& settings) const {
    settings.write(app::settings::kProxyServer, used() ? host() : std::string());
    settings.write(app::settings::kProxyPort,
                   used() ? ProxyPort->text().trimmed().toStdString() : std::string());
}

bool ProxyPanel::used() const {
    return UseProxy->isChecked();
}

std::string ProxyPanel::host() const {
    return ProxyName->text().trimmed().toStdString();
}

int ProxyPanel::port() const {
    return ProxyPort->text().trimmed().toInt();
}

std::string ProxyPanel::check() {
    if (!used()) {
        return {};
    }
    const std::string problem = sync::checkProxy(host(), ProxyPort->text().trimmed().toStdString());
    if (!problem.empty()) {
        (problem == sync::kBadProxyName ? ProxyName : ProxyPort)->setFocus();
    }
    return problem;
}

void ProxyPanel::UseProxyClick() {
    const bool on = UseProxy->isChecked();
    for (QLineEdit* edit : {ProxyName, ProxyPort}) {
        edit->setEnabled(on);
        QPalette pal = edit->palette();
        pal.setColor(QPalette::Base, on ? QColor(Qt::white) : QColor(192, 192, 192));
        pal.setColor(QPalette::Text, Qt::black);
        edit->setPalette(pal);
    }
    ProxyNameLabel->setEnabled(on);
    ProxyPortLabel->setEnabled(on);
}

}  // namespace tovalo::ui
