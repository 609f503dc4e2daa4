#include "ui/exam/TConfirmForm.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>

#include "core/exam/review_list.h"
#include "platform/qt_modal_windows.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/focus_outline.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"

namespace tovalo::ui {

namespace {

constexpr int kMargin = 16;
// What is left of the margins on a screen narrower than the list.
constexpr int kNarrowMargin = 4;
// The two grids side by side (each with its closing line) and the room
// for their scroll bar.
constexpr int kListAreaWidth = TConfirmForm::kNumberColumn + TConfirmForm::kTextColumn + 1 +
                               TConfirmForm::kMarkColumn + 1 + 14;
constexpr int kHeadingTop = 92;
constexpr int kHeadingHeight = 20;
constexpr int kAreaTop = kHeadingTop + kHeadingHeight + 2;
const QColor kHeadingRed(200, 24, 32);

QLabel* heading(const QString& text, QWidget* parent, int width) {
    auto* label = new QLabel(text, parent);
    label->resize(width, kHeadingHeight);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(uiFont(12, true));
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, kHeadingRed);
    pal.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(pal);
    return label;
}

QTableWidget* grid(QWidget* parent, const QList<int>& widths) {
    auto* g = new QTableWidget(parent);
    g->setColumnCount(static_cast<int>(widths.size()));
    for (int c = 0; c < widths.size(); ++c) {
        g->setColumnWidth(c, widths[c]);
    }
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    // The hidden header still holds every row to its minimum section size,
    // which the style makes taller than a list row: rows would be drawn 17
    // pixels apart while the pages count 16, and the last rows of a long
    // exam could never be reached.
    g->verticalHeader()->setMinimumSectionSize(1);
    g->verticalHeader()->setDefaultSectionSize(kReviewRowHeight);
    g->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setFrameShape(QFrame::NoFrame);
    g->setWordWrap(false);
    g->setTextElideMode(Qt::ElideRight);
    g->setFont(uiFont(12));
    g->setGridStyle(Qt::SolidLine);
    // "Q.500" has to fit a 32-pixel column.
    g->setStyleSheet(QStringLiteral("QTableView::item { padding: 0px 1px; }"));
    // The grid scrolls as a whole inside the area above it, never by itself.
    g->setAutoScroll(false);
    int width = 1;
    for (int w : widths) {
        width += w;
    }
    g->setFixedWidth(width);
    return g;
}

}  // namespace

QFont TConfirmForm::numberFont() {
    return fixedFont(11);
}

TConfirmForm::TConfirmForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("ConfirmForm"));
    setWindowTitle(QStringLiteral("確認"));
    // No close box: grading and going back are the two ways out.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    // The margins give way on a screen narrower than the list (640 pixels
    // at 200 %, frame and all); nothing else does.
    setFixedHeight(kAreaTop + kReviewAreaHeight + 24);
    setMinimumWidth(kListAreaWidth + 2 * kNarrowMargin);
    setMaximumWidth(kListAreaWidth + 2 * kMargin);
    resize(maximumWidth(), height());
}

void TConfirmForm::ensureControls() {
    if (Label1 != nullptr) {
        return;
    }
    Label1 = new QLabel(QString::fromUtf8(kReviewQuestion), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(18, true));
    Label1->resize(420, 30);
    Label2 = new QLabel(QString::fromUtf8(kReviewJumpHint), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(uiFont(13));
    Label2->resize(420, 22);
    QPalette hintPal = Label2->palette();
    hintPal.setColor(QPalette::WindowText, QColor(255, 214, 96));
    Label2->setPalette(hintPal);

    GradeButton = new ImageButton(this);
    GradeButton->setObjectName(QStringLiteral("GradeButton"));
    GradeButton->setPictures(buttonPicture(QSize(120, 40), QStringLiteral("採点"),
                                           ButtonTone::Grade, ButtonGlyph::Check));
    GradeButton->setAccessibleName(QStringLiteral("採点"));
    connect(GradeButton, &ImageButton::clicked, this, &TConfirmForm::GradeButtonClick);

    Headings = {heading(QStringLiteral("No."), this, kNumberColumn),
                heading(QStringLiteral("問題"), this, kTextColumn),
                heading(QStringLiteral("付箋"), this, kMarkColumn)};

    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->resize(kListAreaWidth, kReviewAreaHeight);
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A bar only when there is a second page to scroll to.
    ScrollBox->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ScrollBox->setWidgetResizable(false);
    // The list pages itself to the current row; the area is no Tab stop.
    ScrollBox->setFocusPolicy(Qt::NoFocus);
    auto* content = new QWidget;
    QPalette contentPal = content->palette();
    contentPal.setColor(QPalette::Window, Qt::black);
    content->setPalette(contentPal);
    content->setAutoFillBackground(true);
    ScrollBox->setWidget(content);

    StringGrid1 = grid(content, {kNumberColumn, kTextColumn});
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setAccessibleName(QStringLiteral("問題の一覧"));
    // Rows are whole questions: Tab leaves the list for the grade button
    // instead of walking the cells.
    StringGrid1->setTabKeyNavigation(false);
    StringGrid2 = grid(content, {kMarkColumn});
    StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    StringGrid2->setFocusPolicy(Qt::NoFocus);
    StringGrid2->setSelectionMode(QAbstractItemView::NoSelection);
    StringGrid2->setAttribute(Qt::WA_TransparentForMouseEvents);
    StringGrid2->setAccessibleName(QStringLiteral("付箋"));
    setTabOrder(StringGrid1, GradeButton);
    // The selected row looks the same with the focus elsewhere: the area
    // the list scrolls in is ringed while the list has it.
    outlineKeyboardFocus(StringGrid1, 2, ScrollBox);

    connect(StringGrid1, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { SelectRow(row); });
    connect(StringGrid1, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { StringGrid1DblClick(row); });
    layOut();
}

void TConfirmForm::layOut() {
    if (Label1 == nullptr) {
        return;
    }
    const int margin = (width() - kListAreaWidth) / 2;
    Label1->move(margin, 14);
    Label2->move(margin, 50);
    GradeButton->move(width() - margin - GradeButton->width(), 26);
    int x = margin;
    for (QLabel* h : Headings) {
        h->move(x, kHeadingTop);
        x += h->width() + 1;
    }
    ScrollBox->move(margin, kAreaTop);
}

void TConfirmForm::resizeEvent(QResizeEvent* event) {
    layOut();
    ScreenForm::resizeEvent(event);
}

void TConfirmForm::fillGrid(QTableWidget* g, int rows) {
    g->clearContents();
    g->setRowCount(rows);
    g->setFixedHeight(reviewGridHeight(rows - 1));
}

void TConfirmForm::ShowList(const QRect& over) {
    ensureControls();
    const int formatKind = session_.exam.course().FormatKind;
    const std::vector<ReviewRow> rows =
        reviewRows(session_.exam.questions(), session_.exam.progress(), formatKind);
    const int n = static_cast<int>(rows.size());

    QSignalBlocker block(StringGrid1);
    fillGrid(StringGrid1, n + 1);
    fillGrid(StringGrid2, n + 1);
    for (int q = 1; q <= n; ++q) {
        const ReviewRow& row = rows[q - 1];
        auto* number = new QTableWidgetItem(QString::fromStdString(row.number));
        number->setFont(numberFont());
        auto* text = new QTableWidgetItem(QString::fromStdString(row.text));
        text->setToolTip(QString::fromStdString(row.text));
        auto* mark = new QTableWidgetItem(QString::fromStdString(row.mark));
        mark->setForeground(QColor(220, 0, 0));
        mark->setFont(uiFont(12, true));
        StringGrid1->setItem(q, 0, number);
        StringGrid1->setItem(q, 1, text);
        StringGrid2->setItem(q, 0, mark);
    }
    // Row 0 stands for the grid's fixed row: it sits above the visible area.
    QWidget* content = ScrollBox->widget();
    StringGrid1->move(0, -kReviewRowHeight);
    StringGrid2->move(StringGrid1->width(), -kReviewRowHeight);
    // Whole pages, so that the last page can scroll to its own top even
    // when it is not full. The grid's closing line under a full page is no
    // reason for a scroll bar.
    const int pages = qMax(1, (n + kReviewRowsPerPage - 1) / kReviewRowsPerPage);
    content->resize(StringGrid1->width() + StringGrid2->width(),
                    qMax(StringGrid1->height() - kReviewRowHeight - 1, pages * kReviewAreaHeight));
    StringGrid1->setCurrentCell(n > 0 ? 1 : 0, 0);
    StringGrid2->setCurrentCell(n > 0 ? 1 : 0, 0);
    ScrollBox->verticalScrollBar()->setValue(0);

    Label2->setVisible(!session_.exam.progress().TimeUp);

    if (!isVisible()) {
        QRect r(QPoint(0, 0), size());
        if (over.isValid()) {
            r.moveCenter(over.center());
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            r.moveCenter(screen->availableGeometry().center());
        }
        move(r.topLeft());
    }
    platform::openModal(this);
    StringGrid1->setFocus();
}

void TConfirmForm::TimeUpNoticed() {
    if (Label2 != nullptr) {
        Label2->setVisible(false);
    }
}

void TConfirmForm::SelectRow(int row) {
    if (row < 0 || StringGrid2 == nullptr) {
        return;
    }
    StringGrid2->setCurrentCell(row, 0);
    ScrollBox->verticalScrollBar()->setValue(reviewScrollPosition(row, ScrollBox->height()));
}

void TConfirmForm::StringGrid1DblClick(int row) {
    if (session_.exam.progress().TimeUp || row < 1) {
        return;
    }
    hide();
    emit jumpRequested(row);
}

void TConfirmForm::GradeButtonClick() {
    hide();
    emit gradeRequested();
}

void TConfirmForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    // Enter on a row is the keyboard's double-click. The grid passes Enter
    // on once it has said the row was activated, which is not wired here
    // because a double-click says that too.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        StringGrid1 != nullptr && StringGrid1->hasFocus()) {
        StringGrid1DblClick(StringGrid1->currentRow());
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TConfirmForm::closeEvent(QCloseEvent* event) {
    // Once time is up only grading is left.
    if (session_.exam.progress().TimeUp) {
        event->ignore();
        return;
    }
    event->accept();
    emit closedWithoutGrading();
}

}  // namespace tovalo::ui
