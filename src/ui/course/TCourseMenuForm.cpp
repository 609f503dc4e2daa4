#include "ui/course/TCourseMenuForm.h"

#include <string_view>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include "core/app/address_files.h"
#include "core/app/generated_pages.h"
#include "core/app/settings_keys.h"
#include "core/app/vendors.h"
#include "core/app/window_placement.h"
#include "core/catalog/course_menu_rules.h"
#include "core/results/history_file.h"
#include "platform/qt_bundle_loader.h"
#include "ui/session/session.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/course_row.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/vendor_tab_strip.h"

namespace tovalo::ui {

namespace {

constexpr int kTabPicture = 109;
constexpr int kTopBandHeight = TCourseMenuForm::kTabStripTop + kSelectedTabTop + kTabHeight;
constexpr int kUnderlineHeight = 6;
constexpr int kRowFontSize = 13;
const QColor kCourseAreaColour(14, 18, 26);
const QColor kLegendColour(192, 192, 192);
const QColor kAccent(40, 120, 200);
const char* const kNoLevelName = "-- None";
const char* const kGreetingSound = "wav/test.wav";
// The rows' ground, and the panel colours of a menu without a vendor.
constexpr long kRowBackground = 0x000000;
constexpr long kPanelFallback = 0x582810;
constexpr long kPanelTextFallback = 0xFFEBE1;

// The bar along the bottom, at the design width of the window.
struct BarEntry {
    const char* name;
    int width;
    const char* label;
    ButtonGlyph glyph;
    bool prominent;
};
constexpr int kBarButtonHeight = 40;
constexpr BarEntry kBarEntries[] = {
    {"StartButton", 150, "スタート", ButtonGlyph::Start, true},
    {"ExitButton", 104, "終了", ButtonGlyph::Exit, false},
    {"DiagnosisButton", 112, "実力診断", ButtonGlyph::Diagnosis, false},
    {"UpdateButton", 112, "問題更新", ButtonGlyph::Update, false},
    {"SyncButton", 112, "履歴同期", ButtonGlyph::Sync, false},
    {"NewsButton", 112, "最新情報", ButtonGlyph::News, false},
};

ImageButton* barButton(QWidget* parent, const char* name) {
    auto* b = new ImageButton(parent);
    b->setObjectName(QLatin1String(name));
    for (const BarEntry& e : kBarEntries) {
        if (std::string_view(e.name) == name) {
            b->setAccessibleName(QString::fromUtf8(e.label));
        }
    }
    return b;
}

}  // namespace

TCourseMenuForm::TCourseMenuForm(Session& session) : ScreenForm(session) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("CourseMenuForm"));
    setWindowTitle(QStringLiteral("Tovalo - テストの選択"));
    setDesignMinimumSize(QSize(app::kCourseMenuMinWidth, app::kCourseMenuMinHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, kLegendColour);
    setPalette(pal);
    setAutoFillBackground(true);

    TabStrip = new VendorTabStrip(this);
    TabStrip->setObjectName(QStringLiteral("TabStrip"));
    connect(TabStrip, &VendorTabStrip::tabClicked, this, &TCourseMenuForm::TabStripClick);

    TabLeftButton = new ImageButton(this);
    TabLeftButton->setObjectName(QStringLiteral("TabLeftButton"));
    TabLeftButton->setPictures(drawTabArrow(true));
    TabRightButton = new ImageButton(this);
    TabRightButton->setObjectName(QStringLiteral("TabRightButton"));
    TabRightButton->setPictures(drawTabArrow(false));
    TabLeftButton->setAccessibleName(QStringLiteral("タブを左へ送る"));
    TabRightButton->setAccessibleName(QStringLiteral("タブを右へ送る"));
    connect(TabLeftButton, &ImageButton::clicked, this, &TCourseMenuForm::TabLeftButtonClick);
    connect(TabRightButton, &ImageButton::clicked, this, &TCourseMenuForm::TabRightButtonClick);

    LevelImage = new QLabel(this);
    LevelImage->setObjectName(QStringLiteral("LevelImage"));
    LevelImage->setFixedSize(kLevelSegmentWidth, kLevelSegmentHeight);
    LevelImage->hide();

    VendorInfoButton = new ImageButton(this);
    VendorInfoButton->setObjectName(QStringLiteral("VendorInfoButton"));
    VendorInfoButton->setAccessibleName(QStringLiteral("ベンダー情報"));
    VendorInfoButton->hide();
    connect(VendorInfoButton, &ImageButton::clicked, this, &TCourseMenuForm::VendorInfoButtonClick);

    CourseArea = new QScrollArea(this);
    CourseArea->setObjectName(QStringLiteral("CourseArea"));
    CourseArea->setFrameShape(QFrame::NoFrame);
    CourseArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CourseArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The selected row takes the focus for the list; the area itself would
    // be a Tab stop that shows nothing.
    CourseArea->setFocusPolicy(Qt::NoFocus);
    CourseArea->verticalScrollBar()->setSingleStep(kCourseRowPitch);
    // The desktop's light scroll bar would be the one bright thing on the page.
    CourseArea->verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { background: #0e121a; width: 14px; margin: 0; }"
        "QScrollBar::handle:vertical { background: #46526a; border-radius: 4px;"
        " min-height: 28px; margin: 2px; }"
        "QScrollBar::handle:vertical:hover { background: #5a6884; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    CourseList = new QWidget;
    CourseList->setObjectName(QStringLiteral("CourseList"));
    QPalette listPal = CourseList->palette();
    listPal.setColor(QPalette::Window, kCourseAreaColour);
    CourseList->setPalette(listPal);
    CourseList->setAutoFillBackground(true);
    setAccessibleRole(CourseList, QAccessible::List);
    CourseList->setAccessibleName(QStringLiteral("テストの一覧"));
    CourseArea->setWidget(CourseList);
    CourseArea->viewport()->setPalette(listPal);
    CourseArea->viewport()->setAutoFillBackground(true);

    SelectLabel = new QLabel(QStringLiteral("テストを選択してください..."), this);
    SelectLabel->setObjectName(QStringLiteral("SelectLabel"));
    SelectLabel->setFont(uiFont(14, true));
    SelectLabel->setFixedHeight(20);

    for (int i = 0; i < 5; ++i) {
        auto* icon = new QLabel(this);
        icon->setFixedSize(kLevelIconSize, kLevelIconSize);
        auto* name = new QLabel(this);
        name->setFont(uiFont(12));
        name->setFixedHeight(kLevelIconSize);
        icon->hide();
        name->hide();
        LegendIcons.push_back(icon);
        LegendNames.push_back(name);
    }

    StartButton = barButton(this, "StartButton");
    ExitButton = barButton(this, "ExitButton");
    DiagnosisButton = barButton(this, "DiagnosisButton");
    UpdateButton = barButton(this, "UpdateButton");
    SyncButton = barButton(this, "SyncButton");
    NewsButton = barButton(this, "NewsButton");
    connect(StartButton, &ImageButton::clicked, this, &TCourseMenuForm::StartButtonClick);
    connect(ExitButton, &ImageButton::clicked, this, &TCourseMenuForm::ExitButtonClick);
    connect(DiagnosisButton, &ImageButton::clicked, this, &TCourseMenuForm::DiagnosisButtonClick);
    connect(UpdateButton, &ImageButton::clicked, this, &TCourseMenuForm::UpdateButtonClick);
    connect(SyncButton, &ImageButton::clicked, this, &TCourseMenuForm::SyncButtonClick);
    connect(NewsButton, &ImageButton::clicked, this, &TCourseMenuForm::NewsButtonClick);

    orderTabs();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kGreetingDelayMs);
    connect(Timer1, &QTimer::timeout, this, &TCourseMenuForm::Timer1Timer);

    resize(app::kCourseMenuMinWidth, app::kCourseMenuMinHeight);
    layoutControls();
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

    std::vector<VendorTabStrip::Tab> tabs;
    for (const app::Vendor& v : session_.vendors) {
        QPixmap picture = platform::QtBundleLoader::picture(v.number, kTabPicture);
        if (picture.isNull()) {
            picture = drawPlainTab(qs(v.folder));
        }
        tabs.push_back({v.number, v.tabPosition, picture, qs(v.shownName())});
    }
    TabStrip->setTabs(std::move(tabs));
}

const TCourseMenuForm::VendorArt& TCourseMenuForm::art(int vendor) {
    auto it = art_.find(vendor);
    if (it == art_.end()) {
        using platform::QtBundleLoader;
        VendorArt a{QtBundleLoader::picture(vendor, 101), QtBundleLoader::picture(vendor, 102),
                    QtBundleLoader::picture(vendor, 103), QtBundleLoader::picture(vendor, 107),
                    QtBundleLoader::picture(vendor, 108), QtBundleLoader::picture(vendor, 110)};
        it = art_.emplace(vendor, std::move(a)).first;
    }
    return it->second;
}

void TCourseMenuForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    ScreenForm::showEvent(event);
    if (!event->spontaneous() && !pendingProblems_.empty()) {
        // The list should be on the screen behind the message, not a blank window.
        QTimer::singleShot(0, this, &TCourseMenuForm::reportProblems);
    }
}

void TCourseMenuForm::FormShow() {
    // The normal bounds are set even for a maximised window so that
    // restoring it lands where the user left it.
    const QRect r = fittedBounds(session_.courseMenuBounds);
    normalBounds_ = app::Bounds{r.x(), r.y(), r.width(), r.height()};
    setGeometry(r);
    if (session_.windowState == app::WindowState::Maximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    } else {
        setWindowState(windowState() & ~Qt::WindowMaximized);
    }
    layoutControls();

    selectVendor(session_.currentVendor, true);
    if (const app::Vendor* v = session_.vendor(session_.currentVendor)) {
        TabStrip->scrollTo(tabScrollOnShow(
            TabStrip->offset(), static_cast<int>(session_.vendors.size()), v->tabPosition));
    }
    selectRow(rowSelectedOnShow(session_.CourseIndex, shownRows_));
    // A learner at the keyboard starts on the list, one Tab from スタート.
    if (selectedRow_ > 0) {
        rows_[selectedRow_ - 1]->setFocus(Qt::OtherFocusReason);
    } else {
        TabStrip->setFocus(Qt::OtherFocusReason);
    }
    Timer1->start();
}

void TCourseMenuForm::hideEvent(QHideEvent* event) {
    Timer1->stop();
    ScreenForm::hideEvent(event);
}

void TCourseMenuForm::Timer1Timer() {
    if (const app::Vendor* v = session_.vendor(session_.currentVendor)) {
        TabStrip->scrollTo(tabLeft(v->tabPosition));
    }
    session_.services.sound.play(kGreetingSound);
}

void TCourseMenuForm::TabStripClick(int vendor) {
    selectVendor(vendor, false);
}

void TCourseMenuForm::selectVendor(int vendor, bool reportLater) {
    const app::Vendor* v = session_.vendor(vendor);
    TabStrip->setSelected(v != nullptr ? vendor : 0);
    // Hiding the focused row would pass the focus on to スタート; a click
    // on another vendor's tab keeps it in the list instead.
    const bool listFocused = selectedRow_ > 0 && rows_[selectedRow_ - 1]->hasFocus();
    for (int i = 0; i < shownRows_; ++i) {
        rows_[i]->hide();
    }
    shownRows_ = 0;
    selectedRow_ = 0;
    if (v == nullptr) {
        shownArt_ = nullptr;
        session_.catalog = Catalog{};
        LevelImage->hide();
        VendorInfoButton->hide();
        showLegend();
        showCatalog();
        update();
        return;
    }
    session_.currentVendor = vendor;
    shownArt_ = &art(vendor);
    VendorInfoButton->setPictures(
        !shownArt_->info.isNull() ? shownArt_->info
                                  : drawBarButton(QSize(112, 28), QStringLiteral("ベンダー情報"),
                                                  ButtonGlyph::News, kAccent));
    VendorInfoButton->setToolTip(qs(v->infoTooltip));
    VendorInfoButton->show();
    showLegend();

    // A new history file records the course last opened, which may belong
    // to the catalog that is being replaced.
    const CourseEntry* opened = session_.course();
    const std::string openedPath = opened != nullptr ? opened->QdfPath : std::string();
    session_.catalog =
        buildCatalog(session_.directories.questionDir(v->folder),
                     session_.directories.historyDir(v->folder), emptyHistoryFiles(openedPath));
    showCatalog();
    selectRow(shownRows_ > 0 ? 1 : 0);
    if (listFocused && selectedRow_ > 0) {
        rows_[selectedRow_ - 1]->setFocus(Qt::OtherFocusReason);
    }

    pendingProblems_.clear();
    for (const Error& e : session_.catalog.problems) {
        pendingProblems_.push_back(e.describe());
    }
    if (!reportLater) {
        reportProblems();
    }
    update();
}

void TCourseMenuForm::reportProblems() {
    if (pendingProblems_.empty()) {
        return;
    }
    std::string text;
    for (const std::string& p : pendingProblems_) {
        text += (text.empty() ? "" : "\n") + p;
    }
    pendingProblems_.clear();
    session_.services.messages.showError(text);
}

void TCourseMenuForm::showLegend() {
    for (int i = 0; i < 5; ++i) {
        LegendIcons[i]->hide();
        LegendNames[i]->hide();
    }
    const app::Vendor* v = session_.vendor(session_.currentVendor);
    if (v == nullptr) {
        return;
    }
    std::array<bool, 4> shown{};
    std::array<QString, 5> names;
    names[0] = QLatin1String(kNoLevelName);
    for (int level = 1; level <= 4; ++level) {
        shown[level - 1] = v->hasLevel(level);
        names[level] = qs(v->levelNames[level - 1]);
    }
    std::array<int, 5> widths{};
    QFontMetrics metrics(LegendNames[0]->font());
    for (int level = 0; level <= 4; ++level) {
        widths[level] = metrics.horizontalAdvance(names[level]);
    }
    const int top = height() - kBarHeight - 25;
    const std::vector<LegendEntry> legend = levelLegend(shown, widths);
    for (std::size_t i = 0; i < legend.size(); ++i) {
        const LegendEntry& e = legend[i];
        QLabel* icon = LegendIcons[i];
        QLabel* name = LegendNames[i];
        icon->setObjectName(QStringLiteral("LegendIcon%1").arg(e.level));
        name->setObjectName(QStringLiteral("LegendName%1").arg(e.level));
        icon->setPixmap(levelIcon(e.level, false));
        icon->move(e.iconX, top);
        name->setText(names[e.level]);
        name->setFixedWidth(widths[e.level] + 2);
        name->move(e.nameX, top);
        icon->show();
        name->show();
    }
}

void TCourseMenuForm::showCatalog() {
    const Catalog& catalog = session_.catalog;
    const app::Vendor* v = session_.vendor(session_.currentVendor);
    const bool katakana = v != nullptr && v->choiceLabelStyle == "ｱ";
    const QFont rowFont = katakana ? fixedFont(kRowFontSize) : uiFont(kRowFontSize);
    const RowHighlight highlight =
        v != nullptr ? selectedRowHighlight(v->panelColor, v->panelTextColor, kRowBackground)
                     : selectedRowHighlight(kPanelFallback, kPanelTextFallback, kRowBackground);

    const int count = static_cast<int>(catalog.courses.size());
    CourseList->setFixedHeight(courseListHeight(count));
    for (int j = 1; j <= count; ++j) {
        if (j > static_cast<int>(rows_.size())) {
            auto* row = new CourseRow(j, CourseList);
            connect(row, &CourseRow::clicked, this, &TCourseMenuForm::CourseRowClick);
            connect(row, &CourseRow::stepRequested, this, &TCourseMenuForm::stepSelection);
            rows_.push_back(row);
        }
        CourseRow* row = rows_[j - 1];
        const CourseEntry& c = catalog.courses[j - 1];
        row->setFont(rowFont);
        row->setCourse(qs(courseRowText(c)), rowLevelIcons(c));
        row->setHighlighted(false);
        row->setHighlightColours(desktopColour(highlight.band), desktopColour(highlight.ink));
        row->move(kCourseRowLeft, courseRowTop(j));
        row->show();
    }
    shownRows_ = count;
    CourseArea->setVerticalScrollBarPolicy(courseListScrolls(count) ? Qt::ScrollBarAlwaysOn
                                                                    : Qt::ScrollBarAlwaysOff);
    CourseArea->verticalScrollBar()->setValue(0);
    fitCourseRows();

    const int level = catalog.highestLevel;
    const QPixmap segment =
        shownArt_ != nullptr ? levelStripSegment(shownArt_->levels, level) : QPixmap();
    if (!segment.isNull()) {
        LevelImage->setPixmap(segment);
        LevelImage->show();
    } else {
        LevelImage->clear();
        LevelImage->hide();
    }
}

void TCourseMenuForm::fitCourseRows() {
    // A window narrower than the design (a highly scaled screen) would show
    // the rows scrolled sideways, level badges off to the left: they take the
    // area's width instead, and their text gives way at its end.
    int rowWidth = kCourseRowWidth;
    if (width() < app::kCourseMenuMinWidth) {
        const bool scrolls = CourseArea->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn;
        const int room = CourseArea->width() -
                         (scrolls ? CourseArea->verticalScrollBar()->sizeHint().width() : 0);
        rowWidth = std::clamp(room - 2 * kCourseRowLeft, 0, kCourseRowWidth);
    }
    CourseList->setFixedWidth(kCourseRowLeft + rowWidth + kCourseRowLeft);
    for (CourseRow* row : rows_) {
        row->setFixedWidth(rowWidth);
    }
}

std::vector<CourseRow*> TCourseMenuForm::shownRows() const {
    return std::vector<CourseRow*>(rows_.begin(), rows_.begin() + shownRows_);
}

void TCourseMenuForm::CourseRowClick(int row) {
    selectRow(row);
}

void TCourseMenuForm::selectRow(int row) {
    // The list's focus goes with the selection, so it stays on the one row
    // that can hold it.
    const bool listFocused = selectedRow_ > 0 && selectedRow_ <= static_cast<int>(rows_.size()) &&
                             rows_[selectedRow_ - 1]->hasFocus();
    selectedRow_ = row >= 1 && row <= shownRows_ ? row : 0;
    for (int j = 1; j <= shownRows_; ++j) {
        rows_[j - 1]->setHighlighted(j == selectedRow_);
    }
    orderTabs();
    if (selectedRow_ > 0) {
        CourseArea->ensureWidgetVisible(rows_[selectedRow_ - 1], 0, 4);
        if (listFocused) {
            rows_[selectedRow_ - 1]->setFocus(Qt::OtherFocusReason);
        }
    }
}

void TCourseMenuForm::stepSelection(int rows) {
    if (shownRows_ > 0) {
        selectRow(std::clamp(selectedRow_ + rows, 1, shownRows_));
    }
}

void TCourseMenuForm::orderTabs() {
    // Tabs, then the list, then スタート, the way the learner reads the
    // screen toward starting; the side roads follow. Of the list only the
    // selected row can take the focus, and only it can be placed.
    std::vector<QWidget*> order{TabStrip, TabLeftButton, TabRightButton, VendorInfoButton};
    if (selectedRow_ > 0) {
        order.push_back(rows_[selectedRow_ - 1]);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{StartButton, ExitButton, DiagnosisButton,
                                                      UpdateButton, SyncButton, NewsButton}) {
        order.push_back(w);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void TCourseMenuForm::handOver() {
    // The next screen opens where this one is and in the same state.
    session_.courseMenuBounds = currentBounds();
    session_.windowState = (windowState() & Qt::WindowMaximized) ? app::WindowState::Maximised
                                                                 : app::WindowState::Normal;
}

void TCourseMenuForm::StartButtonClick() {
    session_.services.settings.writeInteger(app::settings::kDefaultDir, session_.currentVendor);
    if (selectedRow_ > 0) {
        session_.CourseIndex = selectedRow_;
    }
    if (session_.course() == nullptr) {
        return;
    }
    handOver();
    emit courseChosen();
}

void TCourseMenuForm::DiagnosisButtonClick() {
    handOver();
    emit advisorRequested();
}

void TCourseMenuForm::UpdateButtonClick() {
    emit updateRequested();
}

void TCourseMenuForm::SyncButtonClick() {
    if (selectedRow_ > 0) {
        session_.CourseIndex = selectedRow_;
    }
    emit syncRequested();
}

void TCourseMenuForm::NewsButtonClick() {
    Result<std::string> address = app::readFirstAddress(session_.programDir + app::kNewsFile);
    if (!address) {
        session_.services.messages.showError(address.error().describe());
        return;
    }
    if (Status opened = session_.services.shell.open(*address); !opened) {
        session_.services.messages.showError(opened.error().describe());
    }
}

void TCourseMenuForm::VendorInfoButtonClick() {
    const app::Vendor* v = session_.vendor(session_.currentVendor);
    if (v == nullptr) {
        return;
    }
    const std::string page = session_.programDir + v->folder + "-info.html";
    if (Status opened = session_.services.shell.open(page); !opened) {
        session_.services.messages.showError(opened.error().describe());
    }
}

void TCourseMenuForm::ExitButtonClick() {
    close();
}

void TCourseMenuForm::TabLeftButtonClick() {
    TabStrip->scrollBy(-kTabWidth);
}

void TCourseMenuForm::TabRightButtonClick() {
    TabStrip->scrollBy(kTabWidth);
}

void TCourseMenuForm::layoutControls() {
    const int w = width();
    const int h = height();
    const int barTop = h - kBarHeight;

    TabStrip->setGeometry(kTabStripLeft, kTabStripTop, tabStripWidth(w, kTabStripLeft),
                          kSelectedTabTop + kTabHeight);
    const int arrowTop = kTabStripTop + (kTabHeight - TabLeftButton->height()) / 2;
    TabLeftButton->move(w - kTabStripRightMargin + 1, arrowTop);
    TabRightButton->move(w - kTabStripRightMargin + 1 + TabLeftButton->width() + 1, arrowTop);
    LevelImage->move(10, (kTopBandHeight - kLevelSegmentHeight) / 2);

    const int sideTop = kTopBandHeight + kUnderlineHeight;
    VendorInfoButton->move((kSideColumnWidth - VendorInfoButton->width()) / 2, sideTop + 132);

    const int areaTop = sideTop + 4;
    CourseArea->setGeometry(kCourseAreaLeft, areaTop, w - kCourseAreaLeft - 6,
                            barTop - 45 - 2 - areaTop);
    fitCourseRows();
    SelectLabel->setGeometry(kLegendLeft, barTop - 45, w - kLegendLeft - 10, 20);
    for (std::size_t i = 0; i < LegendIcons.size(); ++i) {
        LegendIcons[i]->move(LegendIcons[i]->x(), barTop - 25);
        LegendNames[i]->move(LegendNames[i]->x(), barTop - 25);
    }

    // Laid out for the design width; a narrower window (a small or highly
    // scaled screen) squeezes the bar so that スタート stays on screen.
    const auto narrow = [w](int designed) {
        return app::narrowed(designed, w, app::kCourseMenuMinWidth);
    };
    if (barShownFor_ != narrow(app::kCourseMenuMinWidth)) {
        barShownFor_ = narrow(app::kCourseMenuMinWidth);
        for (const BarEntry& e : kBarEntries) {
            findChild<ImageButton*>(QLatin1String(e.name))
                ->setPictures(drawBarButton(QSize(narrow(e.width), kBarButtonHeight),
                                            QString::fromUtf8(e.label), e.glyph, kAccent,
                                            e.prominent));
        }
    }
    const int buttonTop = barTop + 3;
    StartButton->move(w - narrow(10) - StartButton->width(), buttonTop);
    ExitButton->move(StartButton->x() - narrow(10) - ExitButton->width(), buttonTop);
    int x = narrow(10);
    for (ImageButton* b : {DiagnosisButton, UpdateButton, SyncButton, NewsButton}) {
        b->move(x, buttonTop);
        x += b->width() + narrow(6);
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
    layoutControls();
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
    Timer1->stop();
    platform::SettingsStore& settings = session_.services.settings;
    session_.courseMenuBounds = currentBounds();
    app::writeAll(settings, app::courseMenuClosingValues(
                                session_.courseMenuBounds, session_.windowState,
                                session_.directories.pathValue(), session_.currentVendor));
    settings.flush();
    app::removeGeneratedPages(session_.directories, session_.vendorFolders());
    app::unloadVendors(session_.vendors, session_.services.bundles);
    emit closed();
}

void TCourseMenuForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const int barTop = h - kBarHeight;
    const int sideTop = kTopBandHeight + kUnderlineHeight;

    p.fillRect(rect(), Qt::black);
    if (shownArt_ != nullptr && !shownArt_->underline.isNull()) {
        p.drawPixmap(QRect(0, kTopBandHeight, w, kUnderlineHeight), shownArt_->underline);
    } else {
        p.fillRect(QRect(0, kTopBandHeight, w, kUnderlineHeight), QColor(60, 70, 90));
    }

    // Side column: the vendor's mark on top, its slogan at the bottom and the
    // plain strip stretched between them to whatever height the window has.
    const QRect side(0, sideTop, kSideColumnWidth, barTop - sideTop);
    if (shownArt_ != nullptr && !shownArt_->sideTop.isNull()) {
        const QPixmap& top = shownArt_->sideTop;
        const QPixmap& bottom = shownArt_->sideBottom;
        const int bottomTop = side.bottom() + 1 - bottom.height();
        p.drawPixmap(QRect(0, side.top() + top.height(), kSideColumnWidth,
                           std::max(0, bottomTop - side.top() - top.height())),
                     shownArt_->sideStrip);
        p.drawPixmap(0, side.top(), top);
        p.drawPixmap(0, bottomTop, bottom);
    } else {
        QLinearGradient shade(side.topLeft(), side.bottomLeft());
        shade.setColorAt(0.0, QColor(26, 34, 50));
        shade.setColorAt(1.0, QColor(12, 16, 24));
        p.fillRect(side, shade);
    }

    const QRect area = CourseArea->geometry().adjusted(-1, -1, 1, 1);
    p.setPen(QColor(54, 62, 80));
    p.drawRect(area.adjusted(0, 0, -1, -1));

    QLinearGradient bar(0, barTop, 0, h);
    bar.setColorAt(0.0, QColor(34, 40, 54));
    bar.setColorAt(1.0, QColor(14, 16, 22));
    p.fillRect(QRect(0, barTop, w, kBarHeight), bar);
    p.setPen(QColor(80, 92, 116));
    p.drawLine(0, barTop, w, barTop);
}

}  // namespace tovalo::ui
