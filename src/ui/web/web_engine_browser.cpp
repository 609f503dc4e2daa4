// The page view module: Qt WebEngine behind the PageBrowser interface.

#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "ui/web/page_browser.h"
#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

// The program's pages name no face, and other pages may name only a generic
// one; either would otherwise get the engine's serif default for Latin
// letters beside the Gothic it finds for Japanese. Every generic family maps
// to the IPA faces so both scripts share one design; code and fixed-width
// text keep the fixed-pitch face.
void useJapaneseFaces(QWebEngineSettings* settings) {
    for (QWebEngineSettings::FontFamily family :
         {QWebEngineSettings::StandardFont, QWebEngineSettings::SerifFont,
          QWebEngineSettings::SansSerifFont, QWebEngineSettings::CursiveFont,
          QWebEngineSettings::FantasyFont}) {
        settings->setFontFamily(family, kProportionalFamily);
    }
    settings->setFontFamily(QWebEngineSettings::FixedFont, kFixedFamily);
}

class WebEngineBrowser : public QWebEngineView, public PageBrowser {
  public:
    explicit WebEngineBrowser(QWidget* parent) : QWebEngineView(parent) {
        // Pages refuse the right button with their own alert; a menu on top
        // of it would offer "back" and "reload" that the exam must not have.
        setContextMenuPolicy(Qt::NoContextMenu);
        page()->setBackgroundColor(Qt::white);
        settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        useJapaneseFaces(settings());
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
