#include "ui/online/TSyncCandidateForm.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/online/online_buttons.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kColumnWidths[] = {150, 110, 160, 160};

// The states that move data stand out from the ones that leave it alone.
QColor stateColour(sync::SyncState state) {
    switch (state) {
        case sync::SyncState::ClientNewer:
            return {0, 80, 170};
        case sync::SyncState::ServerNewer:
            return {170, 60, 0};
        case sync::SyncState::Unavailable:
            return {150, 0, 0};
        case sync::SyncState::Synced:
            break;
    }
    return {70, 70, 70};
}

}  // namespace

TSyncCandidateForm::TSyncCandidateForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("SyncCandidateForm"));
    setWindowTitle(QStringLiteral("Tovalo Internet-Sync"));
    // The same surroundings as the window it comes from.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(20, 26, 38));
    pal.setColor(QPalette::WindowText, QColor(222, 226, 234));
    setPalette(pal);
    setAutoFillBackground(true);

    GuideLabel = new QLabel(
        QStringLiteral("次のとおり同期します。よろしければ OK を押してください。"), this);
    GuideLabel->setObjectName(QStringLiteral("GuideLabel"));
    GuideLabel->setFont(uiFont(13));

    Grid = new QTableWidget(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setAccessibleName(QStringLiteral("同期の提案"));
    Grid->setColumnCount(4);
    Grid->setHorizontalHeaderLabels({QStringLiteral("ﾃｽﾄID"), QStringLiteral("同期状態"),
                                     QStringLiteral("ｻｰﾊﾞｰ日付"), QStringLiteral("ｸﾗｲｱﾝﾄ日付")});
    int width = 2;
    for (int c = 0; c < 4; ++c) {
        Grid->setColumnWidth(c, kColumnWidths[c]);
        width += kColumnWidths[c];
    }
    Grid->horizontalHeader()->setFont(uiFont(13, true));
    Grid->horizontalHeader()->setStretchLastSection(true);
    Grid->verticalHeader()->hide();
    Grid->verticalHeader()->setDefaultSectionSize(24);
    Grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    Grid->setSelectionMode(QAbstractItemView::SingleSelection);
    Grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Grid->setFont(uiFont(13));
    Grid->setAlternatingRowColors(true);
    Grid->setMinimumWidth(width + 18);

    OKButton = makeOnlineButton(
        this, {"OKButton", QStringLiteral("OK"), QStringLiteral("この内容で同期します"),
               QSize(110, 34), ButtonTone::Answer, ButtonGlyph::Check});
    CancelButton = makeOnlineButton(
        this, {"CancelButton", QStringLiteral("Cancel"), QStringLiteral("同期せずに戻ります"),
               QSize(110, 34), ButtonTone::Close, ButtonGlyph::Back});
    connect(OKButton, &ImageButton::clicked, this, &TSyncCandidateForm::OKButtonClick);
    connect(CancelButton, &ImageButton::clicked, this, &QWidget::close);

    QHBoxLayout* buttons = onlineButtonBar({OKButton, CancelButton});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(GuideLabel);
    layout->addWidget(Grid, 1);
    layout->addLayout(buttons);
    resize(width + 18 + 32, 420);

    setTabOrder(Grid, OKButton);
    setTabOrder(OKButton, CancelButton);
    setFocusProxy(OKButton);
}

void TSyncCandidateForm::showProposal(const std::vector<sync::SyncRow>& rows) {
    accepted_ = false;
    Grid->clearContents();
    Grid->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const sync::SyncRow& row = rows[static_cast<std::size_t>(r)];
        const QString texts[] = {qs(row.testId), qs(sync::stateText(row.state)),
                                 qs(row.shownServerDate()), qs(row.clientDate)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            if (c == 1) {
                item->setForeground(stateColour(row.state));
            }
            Grid->setItem(r, c, item);
        }
    }
    // No row starts selected: the highlight would hide the first state's colour.
    Grid->setCurrentItem(nullptr);
    Grid->clearSelection();
    Grid->scrollToTop();
    OKButton->setFocus();
}

void TSyncCandidateForm::OKButtonClick() {
    accepted_ = true;
    hide();
    emit accepted();
}

void TSyncCandidateForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !CancelButton->hasFocus()) {
        OKButtonClick();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

void TSyncCandidateForm::closeEvent(QCloseEvent* event) {
    event->accept();
    if (!accepted_) {
        emit declined();
    }
}

}  // namespace tovalo::ui
