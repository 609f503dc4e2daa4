#include "ui/TCourseMenuForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "core/app/generated_pages.h"
#include "core/app/vendors.h"
#include "platform/qt_bundle_loader.h"
#include "ui/TMainMenuForm.h"
#include "ui/fonts.h"
#include "ui/screens.h"
#include "ui/session.h"

namespace tovalo::ui {

namespace {

constexpr int kTabWidth = 77;
constexpr int kTabHeight = 36;
constexpr int kTabPicture = 109;
const QColor kBackground(12, 14, 18);
const QColor kCaptionColour(192, 192, 192);

}  // namespace

TCourseMenuForm::TCourseMenuForm(Session& session, Screens& screens)
    : ScreenForm(session, screens) {
    setObjectName(QStringLiteral("CourseMenuForm"));
    setWindowTitle(QStringLiteral("Tovalo - テストの選択"));
    setMinimumSize(app::kCourseMenuMinWidth, app::kCourseMenuMinHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBackground);
    setPalette(pal);
    setAutoFillBackground(true);
}

void TCourseMenuForm::FormCreate() {
    platform::SettingsStore& settings = session_.services.settings;
    QSize desktop(1024, 768);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        desktop = screen->geometry().size();
    }
    app::CourseMenuPlacement placement =
        app::readCourseMenuPlacement(settings, desktop.width(), desktop.height());
    session_.courseMenuBounds = placement.bounds;
    session_.windowState = placement.state;
    int storedVendor = app::readDefaultVendor(settings);

    session_.directories = app::Directories::resolve(session_.programDir);
    std::vector<std::string> listed =
        app::readVendorList(session_.programDir + app::kVendorListFile);
    session_.vendors = app::loadVendors(session_.directories, listed, session_.services.bundles);
    session_.currentVendor =
        app::selectVendor(storedVendor, session_.vendors, session_.commandLine.argument);

    tabPictures_.clear();
    for (const app::Vendor& v : session_.vendors) {
        tabPictures_.push_back(platform::QtBundleLoader::picture(v.number, kTabPicture));
    }
}

void TCourseMenuForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    ScreenForm::showEvent(event);
}

void TCourseMenuForm::FormShow() {
    const app::Bounds& b = session_.courseMenuBounds;
    // The normal bounds are set even for a maximised window so that
    // restoring it lands where the user left it.
    normalBounds_ = b;
    setGeometry(b.left, b.top, b.width, b.height);
    if (session_.windowState == app::WindowState::Maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
}

void TCourseMenuForm::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange && !(windowState() & Qt::WindowMinimized)) {
        session_.windowState = (windowState() & Qt::WindowMaximized) ? app::WindowState::Maximised
                                                                     : app::WindowState::Normal;
    }
    ScreenForm::changeEvent(event);
}

app::Bounds TCourseMenuForm::currentBounds() const {
    if (windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)) {
        return normalBounds_;
    }
    QRect r = geometry();
    return app::Bounds{r.x(), r.y(), r.width(), r.height()};
}

void TCourseMenuForm::rememberNormalBounds() {
    // Window systems disagree on when they report the restored geometry, so
    // the menu keeps the last normal bounds it saw itself.
    if (isVisible() &&
        !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        QRect r = geometry();
        normalBounds_ = app::Bounds{r.x(), r.y(), r.width(), r.height()};
    }
}

void TCourseMenuForm::moveEvent(QMoveEvent* event) {
    rememberNormalBounds();
    ScreenForm::moveEvent(event);
}

void TCourseMenuForm::resizeEvent(QResizeEvent* event) {
    rememberNormalBounds();
    ScreenForm::resizeEvent(event);
}

void TCourseMenuForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TCourseMenuForm::FormClose() {
    if (closed_) {
        return;
    }
    closed_ = true;
    platform::SettingsStore& settings = session_.services.settings;
    session_.courseMenuBounds = currentBounds();
    app::writeAll(settings, app::courseMenuClosingValues(
                                session_.courseMenuBounds, session_.windowState,
                                session_.directories.pathValue(), session_.currentVendor));
    settings.flush();
    app::removeGeneratedPages(session_.directories, session_.vendorFolders());
    app::unloadVendors(session_.vendors, session_.services.bundles);
    screens_.MainMenuForm->close();
}

void TCourseMenuForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    for (std::size_t i = 0; i < tabPictures_.size(); ++i) {
        const app::Vendor& v = session_.vendors[i];
        QRect tab((v.tabPosition - 1) * kTabWidth + 12, 12, kTabWidth, kTabHeight);
        if (!tabPictures_[i].isNull()) {
            p.drawPixmap(tab.topLeft(), tabPictures_[i]);
        }
        if (v.number == session_.currentVendor) {
            p.setPen(QPen(QColor(220, 40, 40), 2));
            p.drawLine(tab.bottomLeft() + QPoint(0, 3), tab.bottomRight() + QPoint(0, 3));
        }
    }
    p.setPen(kCaptionColour);
    p.setFont(uiFont(15));
    p.drawText(QRect(24, 70, width() - 48, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("テストを選択してください..."));
}

}  // namespace tovalo::ui
