#include "ui/widgets/result_grid.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

#include "core/results/result_screen.h"
#include "ui/widgets/fonts.h"

namespace tovalo::ui {

namespace {

const QColor kViewedAnswer(255, 0, 0);
const QColor kSelection(0, 0, 128);

}  // namespace

void ResultGridModel::setRows(const std::vector<GradeRow>& rows) {
    beginResetModel();
    cells_.clear();
    cells_.reserve(rows.size() + 1);
    QStringList heading;
    for (const char* text : kResultGridRow0) {
        heading << QString::fromUtf8(text);
    }
    cells_.push_back(heading);
    viewed_.assign(1, false);
    for (const GradeRow& r : rows) {
        cells_.push_back({QString::fromStdString(r.number), QString::fromStdString(r.answer),
                          QString::fromStdString(r.correct), QString::fromStdString(r.mark)});
        viewed_.push_back(r.answerViewed);
    }
    endResetModel();
}

int ResultGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(cells_.size());
}

int ResultGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kResultGridColumns.size());
}

QVariant ResultGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    switch (role) {
        case Qt::DisplayRole:
            return cells_[static_cast<std::size_t>(index.row())][index.column()];
        case Qt::ForegroundRole:
            if (index.column() == 1 && viewed_[static_cast<std::size_t>(index.row())]) {
                return QColor(kViewedAnswer);
            }
            return QColor(Qt::black);
        case Qt::BackgroundRole:
            return QColor(Qt::white);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default:
            return {};
    }
}

ResultGrid::ResultGrid(QWidget* parent) : QTableView(parent) {
    // A row is one question; Tab goes on to the screen's buttons.
    setTabKeyNavigation(false);
    setModel(&model_);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(kResultGridRowHeight);
    verticalHeader()->setMinimumSectionSize(kResultGridRowHeight);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    for (int c = 0; c < static_cast<int>(kResultGridColumns.size()); ++c) {
        setColumnWidth(c, kResultGridColumns[static_cast<std::size_t>(c)]);
    }
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    // "ｸﾞﾗﾌｨｯｸ表示" has to fit the 65-pixel answer column.
    setFont(uiFont(11));
    setGridStyle(Qt::SolidLine);
    // The scroll bar has the width the screen's layout leaves for it.
    setStyleSheet(QStringLiteral(
        "QTableView { gridline-color: #c0c0c0; }"
        "QTableView::item { padding: 0px 1px; }"
        "QScrollBar:vertical { width: 16px; background: #e4e6ea; margin: 0; }"
        "QScrollBar::handle:vertical { background: #a4aab6; min-height: 24px;"
        " margin: 2px; border-radius: 4px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::Highlight, kSelection);
        pal.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    setPalette(pal);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.row() >= 1) {
                    emit rowSelected(current.row());
                }
            });
}

void ResultGrid::setRows(const std::vector<GradeRow>& rows) {
    model_.setRows(rows);
}

void ResultGrid::showFromTop() {
    // A new exam on the grid: row 1 must count as a new choice even when it
    // was the current row of the last exam.
    selectionModel()->clearCurrentIndex();
    setCurrentIndex(model_.index(0, 0));
    scrollToTop();
}

QString ResultGrid::cellText(int row, int column) const {
    return model_.data(model_.index(row, column), Qt::DisplayRole).toString();
}

QColor ResultGrid::answerColour(int row) const {
    return model_.data(model_.index(row, 1), Qt::ForegroundRole).value<QColor>();
}

void ResultGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    // The screen opens with the heading row current, which lies under the
    // heading labels: without a frame the focus would not show at all.
    if (hasFocus()) {
        QPainter p(viewport());
        p.setPen(QPen(kSelection, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
    }
}

void ResultGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    viewport()->update();
}

void ResultGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void ResultGrid::scrollContentsBy(int dx, int dy) {
    QTableView::scrollContentsBy(dx, dy);
    // Scrolling moves the painted pixels, the frame with them.
    if (hasFocus()) {
        viewport()->update();
    }
}

void ResultGrid::mousePressEvent(QMouseEvent* event) {
    // The band belongs to the heading row whatever the grid is scrolled to.
    const int belowTop = static_cast<int>(event->position().y()) + viewport()->y();
    if (inGridHeadingBand(belowTop)) {
        event->accept();
        emit headingPressed();
        return;
    }
    const int before = currentIndex().row();
    QTableView::mousePressEvent(event);
    // A click on the row already current shows its question again (the
    // verdict may have taken its place meanwhile).
    if (const int row = currentIndex().row();
        row == before && row >= 1 && indexAt(event->position().toPoint()).row() == row) {
        emit rowSelected(row);
    }
}

}  // namespace tovalo::ui
