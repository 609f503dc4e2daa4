// The page view module: Qt WebEngine behind the PageBrowser interface.

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "ui/web/page_browser.h"

namespace tovalo::ui {

namespace {

class WebEngineBrowser : public QWebEngineView, public PageBrowser {
  public:
    explicit WebEngineBrowser(QWidget* parent) : QWebEngineView(parent) {
        // Pages refuse the right button with their own alert; a menu on top
        // of it would offer "back" and "reload" that the exam must not have.
        setContextMenuPolicy(Qt::NoContextMenu);
        page()->setBackgroundColor(Qt::white);
        settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        connect(this, &QWebEngineView::loadFinished, this, [this](bool ok) {
            if (callback_) {
                callback_(ok);
            }
        });
    }

    QWidget* widget() override { return this; }
    void navigate(const QUrl& url) override { load(url); }
    void reload() override { QWebEngineView::reload(); }
    void stop() override { QWebEngineView::stop(); }
    void onLoadFinished(std::function<void(bool)> callback) override {
        callback_ = std::move(callback);
    }

  private:
    std::function<void(bool)> callback_;
};

}  // namespace

class WebEngineBrowserFactory : public QObject, public PageBrowserFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TovaloPageBrowserFactory_iid)
    Q_INTERFACES(tovalo::ui::PageBrowserFactory)

  public:
    void prepare() override {
        // Touching the profile starts the engine's context, the slow part
        // of the first page.
        QWebEngineProfile::defaultProfile();
    }
    PageBrowser* create(QWidget* parent) override { return new WebEngineBrowser(parent); }
};

}  // namespace tovalo::ui

#include "web_engine_browser.moc"
