#include "ui/results/TAdaptiveForm.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "platform/qt_modal_windows.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kPanelHeight = 36;
constexpr int kMargin = 10;
constexpr QSize kCloseButton(112, 30);
constexpr QSize kDeleteButton(168, 30);
const QColor kPanelFallback(16, 40, 88);
const QColor kPanelTextFallback(225, 235, 255);
const QColor kFocusRing(255, 214, 96);

QWidget* panel(QWidget* parent) {
    auto* p = new QWidget(parent);
    p->setFixedHeight(kPanelHeight);
    p->setAutoFillBackground(true);
    return p;
}

QLabel* panelLabel(QWidget* parent, const char* name, const QFont& font) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setFont(font);
    l->setTextFormat(Qt::PlainText);
    return l;
}

}  // namespace

void AdaptiveListModel::setRows(const std::vector<AdaptiveListRow>& rows) {
    beginResetModel();
    cells_.clear();
    cells_.reserve(rows.size());
    for (const AdaptiveListRow& row : rows) {
        QStringList cells;
        cells.reserve(kAdaptiveListColumns);
        for (const std::string& cell : row) {
            cells << qs(cell);
        }
        cells_.push_back(std::move(cells));
    }
    endResetModel();
}

void AdaptiveListModel::clearToOneRow() {
    beginResetModel();
    cells_.assign(1, QStringList(kAdaptiveListColumns, QString()));
    endResetModel();
}

int AdaptiveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int AdaptiveListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kAdaptiveListColumns;
}

QVariant AdaptiveListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const QString& text = cells_[static_cast<std::size_t>(index.row())][index.column()];
    switch (role) {
        case Qt::DisplayRole:
            return text;
        case Qt::ToolTipRole:
            // Names and texts are mostly wider than their columns.
            if (index.column() > 0 && index.column() < kAdaptiveListFirstCount && !text.isEmpty()) {
                return text;
            }
            return {};
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                (index.column() >= kAdaptiveListFirstCount ? Qt::AlignRight : Qt::AlignLeft) |
                Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant AdaptiveListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= kAdaptiveListColumns) {
        return {};
    }
    if (role == Qt::DisplayRole) {
        return qs(std::string(kAdaptiveListHeadings[static_cast<std::size_t>(section)]));
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(Qt::AlignCenter);
    }
    return {};
}

TAdaptiveForm::TAdaptiveForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("AdaptiveForm"));
    setWindowTitle(qs(std::string(kAdaptiveListCaption)));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    fill(this, Qt::black);

    QWidget* top = panel(this);
    Label1 = panelLabel(top, "Label1", uiFont(14, true));
    auto* topRow = new QHBoxLayout(top);
    topRow->setContentsMargins(kMargin, 0, kMargin, 0);
    topRow->addWidget(Label1);

    SG = new QTableView(this);
    SG->setObjectName(QStringLiteral("SG"));
    SG->setAccessibleName(QStringLiteral("Adaptive一覧"));
    SG->setModel(&rows_);
    QHeaderView* header = SG->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setHighlightSections(false);
    header->setFont(uiFont(11, true));
    header->setMinimumSectionSize(24);
    for (int c = 0; c < kAdaptiveListColumns; ++c) {
        SG->setColumnWidth(c, kAdaptiveListColumnWidths[c]);
    }
    // The room the columns leave goes to the last one, whose heading is
    // wider than its column.
    header->setStretchLastSection(true);
    // The headings are the grid's one fixed row; rows are not numbered.
    SG->verticalHeader()->hide();
    // Without this the hidden header keeps rows at the style's minimum,
    // taller than the list's rows.
    SG->verticalHeader()->setMinimumSectionSize(1);
    SG->verticalHeader()->setDefaultSectionSize(kAdaptiveListRowHeight);
    SG->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG->setSelectionMode(QAbstractItemView::SingleSelection);
    SG->setTabKeyNavigation(false);
    SG->setWordWrap(false);
    SG->setTextElideMode(Qt::ElideRight);
    SG->setFont(uiFont(12));
    SG->setStyleSheet(
        QStringLiteral("QTableView { background: white; color: black; gridline-color: #c0c0c0; }"
                       "QTableView::item { padding: 0px 2px; }"
                       "QTableView::item:selected { background: #1c56aa; color: white; }"
                       "QHeaderView::section { background: #000080; color: white; border: 0px;"
                       " border-right: 1px solid #4060a0; padding: 2px 2px; }"));
    SG->setFocusPolicy(Qt::StrongFocus);

    QWidget* bottom = panel(this);
    Label2 = panelLabel(bottom, "Label2", uiFont(13, true));
    // A problem with a long path wraps within the panel instead of widening
    // the window.
    Label2->setWordWrap(true);
    Label2->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    Image1 = new ImageButton(bottom);
    Image1->setObjectName(QStringLiteral("Image1"));
    setToneButtonLook(Image1, kDeleteButton, QStringLiteral("履歴を削除"), ButtonTone::Grade,
                      ButtonGlyph::Delete);
    Image1->setAccessibleName(QStringLiteral("Adaptive履歴を削除"));
    Image1->setToolTip(QStringLiteral("このコースのAdaptive履歴ファイルを削除します"));
    Image1->setFocusPolicy(Qt::StrongFocus);
    Button1 = new ImageButton(bottom);
    Button1->setObjectName(QStringLiteral("Button1"));
    setToneButtonLook(Button1, kCloseButton, QStringLiteral("閉じる"), ButtonTone::Close,
                      ButtonGlyph::None);
    Button1->setAccessibleName(QStringLiteral("閉じる"));
    Button1->setFocusPolicy(Qt::StrongFocus);
    // The buttons' focus ring, drawn in the highlight colour, has to stand
    // out on the dark panel and on the red button alike.
    for (ImageButton* b : {Image1, Button1}) {
        paint(b, QPalette::Highlight, kFocusRing);
    }
    connect(Button1, &ImageButton::clicked, this, &TAdaptiveForm::Button1Click);
    connect(Image1, &ImageButton::clicked, this, &TAdaptiveForm::Image1Click);

    auto* bottomRow = new QHBoxLayout(bottom);
    bottomRow->setContentsMargins(kMargin, 0, kMargin, 0);
    bottomRow->setSpacing(8);
    bottomRow->addWidget(Label2, 1);
    bottomRow->addWidget(Image1);
    bottomRow->addWidget(Button1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(top);
    column->addWidget(SG, 1);
    column->addWidget(bottom);

    setTabOrder(SG, Image1);
    setTabOrder(Image1, Button1);

    // The panels take the vendor's colours when the list opens; until then
    // the program's own.
    for (QWidget* p : {top, bottom}) {
        fill(p, kPanelFallback);
        paint(p, QPalette::WindowText, kPanelTextFallback);
    }
    clearGrid();
}

void TAdaptiveForm::showForRow(int row) {
    if (row >= 1 && row <= static_cast<int>(session_.catalog.courses.size())) {
        showFor(session_.catalog.courses[row - 1]);
    }
}

void TAdaptiveForm::showFor(const CourseEntry& course) {
    platform::MessageBoxes& messages = session_.services.messages;
    auto list = readAdaptiveList(course.AdpPath, course.QdfPath);
    if (list.ok() && !list->has_value()) {
        messages.showNotice(std::string(kAdaptiveListCaption), std::string(kNoAdaptiveHistory));
        return;
    }
    course_ = course;
    if (const app::Vendor* vendor = session_.vendor(session_.currentVendor)) {
        for (QWidget* p : {Label1->parentWidget(), Label2->parentWidget()}) {
            fill(p, desktopColour(vendor->panelColor));
            paint(p, QPalette::WindowText, desktopColour(vendor->panelTextColor));
        }
    }
    Label1->setText(qs(adaptiveListTitle(course.ExamTitle)));
    if (list.ok()) {
        fillGrid(**list);
    } else {
        // The file is there but unreadable: nothing to list, and nothing
        // deleted unless the learner asks for it here.
        rows_.setRows({});
        Label2->setText(qs(list.error().describe()));
    }

    resize(kShownSize);
    centreOnScreen();
    platform::openModal(this);
    // The frame is known only once the window is up.
    centreOnScreen();
    SG->setFocus();
    // Told once the list is up, so that the message stands over what it concerns.
    if (!list.ok()) {
        messages.showError(list.error().describe());
    } else if ((*list)->categoryProblem) {
        messages.showError((*list)->categoryProblem->describe());
    }
}

void TAdaptiveForm::centreOnScreen() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void TAdaptiveForm::fillGrid(const AdaptiveList& list) {
    rows_.setRows(list.rows);
    if (!list.rows.empty()) {
        SG->setCurrentIndex(rows_.index(0, 0));
    }
    SG->scrollToTop();
    Label2->setText(qs(list.totals));
}

void TAdaptiveForm::clearGrid() {
    // Between showings the grid holds one empty row, not the last course's.
    rows_.clearToOneRow();
}

void TAdaptiveForm::Button1Click() {
    close();
}

void TAdaptiveForm::Image1Click() {
    platform::MessageBoxes& messages = session_.services.messages;
    if (!messages.askYesNo(adaptiveDeleteQuestion(course_.ExamTitle))) {
        return;
    }
    const Status deleted = deleteAdaptiveFile(course_.AdpPath);
    if (!deleted) {
        messages.showError(deleted.error().describe());
        return;
    }
    close();
    emit adaptiveDeleted();
}

void TAdaptiveForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TAdaptiveForm::hideEvent(QHideEvent* event) {
    clearGrid();
    ScreenForm::hideEvent(event);
}

}  // namespace tovalo::ui
