#include "ui/web/web_page_view.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

#include "platform/qt_modules.h"
#include "ui/web/page_browser.h"
#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

// The browser engine shares its OpenGL context with the application's and
// crashes without this; it must be set before any QApplication exists,
// which only a load-time constructor can promise for every program that
// links the screens (the tests included).
void shareOpenGlContexts() {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
Q_CONSTRUCTOR_FUNCTION(shareOpenGlContexts)

struct Module {
    PageBrowserFactory* factory = nullptr;
    QString error;
    bool tried = false;
    bool prepared = false;
};

Module& module() {
    static Module m;
    if (!m.tried) {
        m.tried = true;
        m.factory = platform::moduleInterface<PageBrowserFactory>(
            QStringLiteral("tovalo_pagebrowser"), &m.error);
    }
    return m;
}

}  // namespace

WebPageView::WebPageView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
}

void WebPageView::prepareEngine() {
    Module& m = module();
    if (m.factory != nullptr && !m.prepared) {
        m.prepared = true;
        m.factory->prepare();
    }
}

bool WebPageView::engineAvailable(QString* reason) {
    Module& m = module();
    if (reason != nullptr) {
        *reason = m.error;
    }
    return m.factory != nullptr;
}

bool WebPageView::ensureBrowser() {
    if (browser_ != nullptr) {
        return true;
    }
    Module& m = module();
    if (m.factory == nullptr) {
        if (failure_ == nullptr) {
            failure_ = new QLabel(this);
            failure_->setWordWrap(true);
            failure_->setAlignment(Qt::AlignCenter);
            failure_->setFont(uiFont(13));
            failure_->setText(QStringLiteral("ページを表示する部品を読み込めません\n") + m.error);
            layout()->addWidget(failure_);
        }
        return false;
    }
    m.prepared = true;
    browser_ = m.factory->create(this);
    browser_->onLoadFinished([this](bool ok) {
        ++pagesLoaded_;
        emit pageLoaded(ok);
    });
    layout()->addWidget(browser_->widget());
    return true;
}

void WebPageView::showPage(const QString& path) {
    url_ = QUrl::fromLocalFile(path);
    if (ensureBrowser()) {
        browser_->navigate(url_);
    }
}

void WebPageView::reload() {
    if (browser_ != nullptr) {
        browser_->reload();
    }
}

void WebPageView::stop() {
    if (browser_ != nullptr) {
        browser_->stop();
    }
}

}  // namespace tovalo::ui
