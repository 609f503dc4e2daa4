#pragma once

#include <QFrame>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tovalo::platform {
class SettingsStore;
}

namespace tovalo::ui {

// The proxy fields of the online windows: "Use Proxy", the server name and
// the port, greyed while the box is unchecked. Each window shows its own
// prompt in an empty field, as learners have always seen it there.
class ProxyPanel : public QFrame {
    Q_OBJECT

  public:
    ProxyPanel(QWidget* parent, const QString& namePrompt, const QString& portPrompt);

    // Fills the fields from the stored "ProxyServer" and "ProxyPort"; a
    // stored server turns the proxy on.
    void load(const platform::SettingsStore& settings);
    // Stores the fields as they will be used: empty when no proxy is.
    void store(platform::SettingsStore& settings) const;

    // Empty when the proxy is off or its fields can be used; otherwise what
    // to tell the user, with the focus put on the field at fault.
    std::string check();
    [[nodiscard]] bool used() const;
    [[nodiscard]] std::string host() const;
    [[nodiscard]] int port() const;

    // The controls, for the window's focus order.
    [[nodiscard]] QCheckBox* useBox() const { return UseProxy; }
    [[nodiscard]] QLineEdit* nameEdit() const { return ProxyName; }
    [[nodiscard]] QLineEdit* portEdit() const { return ProxyPort; }

  private:
    void UseProxyClick();

    QCheckBox* UseProxy;
    QLabel* ProxyNameLabel;
    QLineEdit* ProxyName;
    QLabel* ProxyPortLabel;
    QLineEdit* ProxyPort;
    QString namePrompt_;
    QString portPrompt_;
};

}  // namespace tovalo::ui
