#pragma once

#include <QUrl>
#include <QtPlugin>
#include <functional>

class QWidget;

namespace tovalo::ui {

// An HTML view that can show a local page, reload it and stop. The one
// implementation sits in a module of its own (tovalo_pagebrowser), loaded
// the first time a screen shows a page: the browser engine is large, and
// linking it into the program would slow every start for users who never
// open an HTML course.
class PageBrowser {
  public:
    virtual ~PageBrowser() = default;

    // The view itself; it belongs to the parent it was created with and
    // deleting it deletes this object.
    virtual QWidget* widget() = 0;
    virtual void navigate(const QUrl& url) = 0;
    virtual void reload() = 0;
    virtual void stop() = 0;
    virtual void onLoadFinished(std::function<void(bool ok)> callback) = 0;
};

class PageBrowserFactory {
  public:
    virtual ~PageBrowserFactory() = default;

    // Starts the engine without making a view.
    virtual void prepare() = 0;
    virtual PageBrowser* create(QWidget* parent) = 0;
};

}  // namespace tovalo::ui

#define TovaloPageBrowserFactory_iid "jp.tovalo.PageBrowserFactory/1"
Q_DECLARE_INTERFACE(tovalo::ui::PageBrowserFactory, TovaloPageBrowserFactory_iid)
