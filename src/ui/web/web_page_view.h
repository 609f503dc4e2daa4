#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class QLabel;

namespace tovalo::ui {

class PageBrowser;

// Where a screen shows a generated page. It starts as an empty panel; the
// browser inside is made the first time a page is shown, so screens that
// never show one never pay for it.
class WebPageView : public QWidget {
    Q_OBJECT

  public:
    explicit WebPageView(QWidget* parent = nullptr);

    // Loads the browser module and starts its engine, without making a view,
    // so that a page expected soon comes up quickly. Safe to call repeatedly.
    static void prepareEngine();
    // Whether the module could be loaded, with the reason when it could not.
    static bool engineAvailable(QString* reason = nullptr);

    void showPage(const QString& path);
    void reload();
    void stop();

    [[nodiscard]] bool hasBrowser() const { return browser_ != nullptr; }
    [[nodiscard]] const QUrl& pageUrl() const { return url_; }
    [[nodiscard]] int pagesLoaded() const { return pagesLoaded_; }

  signals:
    void pageLoaded(bool ok);

  private:
    bool ensureBrowser();

    PageBrowser* browser_ = nullptr;
    QLabel* failure_ = nullptr;
    QUrl url_;
    int pagesLoaded_ = 0;
};

}  // namespace tovalo::ui
