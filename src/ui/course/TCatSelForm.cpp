#include "ui/course/TCatSelForm.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "core/catalog/course_menu_rules.h"
#include "core/exam/category_rules.h"
#include "core/questions/question_file.h"
#include "platform/qt_bundle_loader.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/level_strip.h"
#include "ui/widgets/minor_category_list.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kHeaderHeight = 54;
constexpr int kMargin = 12;
constexpr int kFieldRowHeight = 28;
constexpr int kMajorBoxLeft = 8;
constexpr int kMinorListLeft = 28;
const QColor kBodyColour(236, 240, 246);
const QColor kHeaderColour(0, 0, 0);
const QColor kSideColour(16, 26, 44);
const QColor kAccent(40, 120, 200);
const char* const kCategorySound = "wav/cat.wav";

Qt::CheckState toQt(BoxState s) {
    switch (s) {
        case BoxState::Checked:
            return Qt::Checked;
        case BoxState::Grayed:
            return Qt::PartiallyChecked;
        case BoxState::Unchecked:
            break;
    }
    return Qt::Unchecked;
}

BoxState fromQt(Qt::CheckState s) {
    switch (s) {
        case Qt::Checked:
            return BoxState::Checked;
        case Qt::PartiallyChecked:
            return BoxState::Grayed;
        case Qt::Unchecked:
            break;
    }
    return BoxState::Unchecked;
}

// A click on a major category's box sets or clears the whole category;
// Qt's own order would gray the box over marks that did not change.
class MajorBox : public QCheckBox {
  public:
    using QCheckBox::QCheckBox;

  protected:
    void nextCheckState() override { setCheckState(toQt(nextBoxState(fromQt(checkState())))); }
};

QLabel* fieldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(uiFont(13));
    return label;
}

}  // namespace

TCatSelForm::TCatSelForm(Session& session) : ScreenForm(session) {
    setMinimisesProgram(true);
    setObjectName(QStringLiteral("CatSelForm"));
    setDesignMinimumSize(QSize(app::kCourseMenuMinWidth, app::kCourseMenuMinHeight));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBodyColour);
    setPalette(pal);
    setAutoFillBackground(true);

    LevelImage = new QLabel(this);
    LevelImage->setObjectName(QStringLiteral("LevelImage"));
    LevelImage->setFixedSize(kLevelSegmentWidth, kLevelSegmentHeight);
    LevelImage->hide();

    TitleLabel = new QLabel(this);
    TitleLabel->setObjectName(QStringLiteral("TitleLabel"));
    TitleLabel->setFont(uiFont(17, true));
    TitleLabel->setTextFormat(Qt::PlainText);
    QPalette titlePal = TitleLabel->palette();
    titlePal.setColor(QPalette::WindowText, Qt::white);
    TitleLabel->setPalette(titlePal);

    MajorOnlyCheck = new QCheckBox(QStringLiteral("大カテゴリのみ表示"), this);
    MajorOnlyCheck->setObjectName(QStringLiteral("MajorOnlyCheck"));
    MajorOnlyCheck->setFont(uiFont(13));
    MajorOnlyCheck->adjustSize();
    connect(MajorOnlyCheck, &QCheckBox::clicked, this, &TCatSelForm::MajorOnlyCheckClick);

    CategoryArea = new QScrollArea(this);
    CategoryArea->setObjectName(QStringLiteral("CategoryArea"));
    CategoryArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    CategoryArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    CategoryArea->verticalScrollBar()->setSingleStep(MinorCategoryList::kLineHeight);
    CategoryArea->setFrameShape(QFrame::StyledPanel);
    // The boxes and lists inside take the focus and the area scrolls to
    // them; the area itself would be a Tab stop that shows nothing.
    CategoryArea->setFocusPolicy(Qt::NoFocus);
    CategoryPanel = new QWidget;
    CategoryPanel->setObjectName(QStringLiteral("CategoryPanel"));
    QPalette panelPal = CategoryPanel->palette();
    panelPal.setColor(QPalette::Window, Qt::white);
    CategoryPanel->setPalette(panelPal);
    CategoryPanel->setAutoFillBackground(true);
    CategoryArea->setWidget(CategoryPanel);
    CategoryArea->viewport()->setPalette(panelPal);
    CategoryArea->viewport()->setAutoFillBackground(true);
    CategoryArea->viewport()->installEventFilter(this);

    ModeGroup = new QGroupBox(QStringLiteral("出題モード"), this);
    ModeGroup->setObjectName(QStringLiteral("ModeGroup"));
    ModeGroup->setFont(uiFont(13, true));
    auto* modes = new QVBoxLayout(ModeGroup);
    modes->setContentsMargins(10, 4, 10, 6);
    modes->setSpacing(0);
    ModeNormal = new QRadioButton(QStringLiteral("通常(ランダムに出題されます)"), ModeGroup);
    ModeMockExam = new QRadioButton(
        QStringLiteral(
            "模擬試験(このモードでは出題のカテゴリーや出題数、制限時間は指定できません)"),
        ModeGroup);
    ModeTraining =
        new QRadioButton(QStringLiteral("特訓(履歴をもとに弱い問題を中心に出題します)"), ModeGroup);
    ModeAssessment = new QRadioButton(
        QStringLiteral(
            "アセスメント(このモードでは出題のカテゴリーや出題数、制限時間は指定できません)"),
        ModeGroup);
    const char* modeNames[] = {"ModeNormal", "ModeMockExam", "ModeTraining", "ModeAssessment"};
    int n = 0;
    for (QRadioButton* r : {ModeNormal, ModeMockExam, ModeTraining, ModeAssessment}) {
        r->setObjectName(QLatin1String(modeNames[n++]));
        r->setFont(uiFont(12));
        r->setFixedHeight(20);
        modes->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) {
                ModeClick();
            }
        });
    }

    CountEdit = new QLineEdit(this);
    CountEdit->setObjectName(QStringLiteral("CountEdit"));
    CountLabel = new QLabel(this);
    CountLabel->setObjectName(QStringLiteral("CountLabel"));
    CountLabel->setFont(uiFont(13));
    TimeEdit = new QLineEdit(this);
    TimeEdit->setObjectName(QStringLiteral("TimeEdit"));
    TimeEdit->setMaxLength(4);
    CountEdit->setAccessibleName(QStringLiteral("出題数"));
    TimeEdit->setAccessibleName(QStringLiteral("制限時間(分)"));
    for (QLineEdit* e : {CountEdit, TimeEdit}) {
        e->setFont(uiFont(13));
        e->setAlignment(Qt::AlignRight);
        e->setFixedSize(56, 24);
    }
    connect(CountEdit, &QLineEdit::textEdited, this, &TCatSelForm::CountEditChange);
    // A field takes Ctrl+A and Ctrl+X for itself (select all, cut) before
    // the screen's shortcuts see them; the screen's meaning wins.
    CountEdit->installEventFilter(this);
    TimeEdit->installEventFilter(this);
    connect(TimeEdit, &QLineEdit::textEdited, this, &TCatSelForm::TimeEditChange);
    AdaptiveCheck = new QCheckBox(QStringLiteral("Adaptive(拡張履歴情報を使用)"), this);
    AdaptiveCheck->setObjectName(QStringLiteral("AdaptiveCheck"));
    AdaptiveCheck->setFont(uiFont(13));

    auto* fields = new QWidget(this);
    fields->setObjectName(QStringLiteral("FieldRow"));
    auto* row = new QHBoxLayout(fields);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(fieldLabel(QStringLiteral("出題数 :"), fields));
    row->addWidget(CountEdit);
    row->addWidget(CountLabel);
    row->addSpacing(14);
    row->addWidget(fieldLabel(QStringLiteral("制限時間 :"), fields));
    row->addWidget(TimeEdit);
    row->addWidget(fieldLabel(QStringLiteral("分"), fields));
    row->addSpacing(14);
    row->addWidget(AdaptiveCheck);
    row->addStretch(1);

    StartButton = new ImageButton(this);
    StartButton->setObjectName(QStringLiteral("StartButton"));
    StartButton->setPictures(drawBarButton(QSize(150, 40), QStringLiteral("スタート"),
                                           ButtonGlyph::Start, kAccent, true));
    BackButton = new ImageButton(this);
    BackButton->setObjectName(QStringLiteral("BackButton"));
    BackButton->setPictures(
        drawBarButton(QSize(104, 40), QStringLiteral("戻る"), ButtonGlyph::Back, kAccent));
    StartButton->setAccessibleName(QStringLiteral("スタート"));
    BackButton->setAccessibleName(QStringLiteral("戻る"));
    connect(StartButton, &ImageButton::clicked, this, &TCatSelForm::StartButtonClick);
    connect(BackButton, &ImageButton::clicked, this, &TCatSelForm::BackButtonClick);

    SidePicture1 = new QLabel(this);
    SidePicture1->setObjectName(QStringLiteral("SidePicture1"));
    SidePicture2 = new QLabel(this);
    SidePicture2->setObjectName(QStringLiteral("SidePicture2"));

    auto* checkAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this);
    connect(checkAll, &QShortcut::activated, this, &TCatSelForm::CheckAll);
    auto* uncheckAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_X), this);
    connect(uncheckAll, &QShortcut::activated, this, &TCatSelForm::UncheckAll);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(kSoundDelayMs);
    connect(Timer1, &QTimer::timeout, this, &TCatSelForm::Timer1Timer);

    ModeNormal->setChecked(true);
    resize(app::kCourseMenuMinWidth, app::kCourseMenuMinHeight);
    layoutControls();
}

bool TCatSelForm::openCourse() {
    const CourseEntry* course = session_.course();
    if (course == nullptr) {
        return false;
    }
    if (Status opened = session_.exam.open(*course); !opened) {
        session_.services.messages.showError(opened.error().describe());
        return false;
    }

    const QString caption = qs(course->ExamCode + " : " + course->ExamTitle);
    setWindowTitle(caption);
    TitleLabel->setText(caption);
    showDecoration();

    MajorOnlyCheck->setChecked(false);
    AdaptiveCheck->setChecked(false);
    ModeNormal->setChecked(true);
    lockChoices(false);
    buildCategories();
    QuestionCalc();
    const CountAndTime initial =
        defaultCountAndTime(session_.exam.bank(), session_.exam.availableCount());
    CountEdit->setText(QString::number(initial.count));
    TimeEdit->setText(QString::number(initial.minutes));

    takeSharedPlace();
    layoutControls();
    show();
    activateWindow();
    // Enter starts with what the screen proposes; Tab wraps round from
    // here to the choices at the top.
    StartButton->setFocus(Qt::OtherFocusReason);
    return true;
}

void TCatSelForm::showDecoration() {
    const int vendor = session_.currentVendor;
    const int level = session_.catalog.highestLevel;
    const QPixmap segment =
        levelStripSegment(platform::QtBundleLoader::picture(vendor, 108), level);
    if (!segment.isNull()) {
        LevelImage->setPixmap(segment);
        LevelImage->show();
    } else {
        LevelImage->hide();
    }
    int slot = 0;
    for (int picture : {105, 104}) {
        QLabel* label = slot++ == 0 ? SidePicture1 : SidePicture2;
        QPixmap side = platform::QtBundleLoader::picture(vendor, picture);
        label->setPixmap(side);
        label->setVisible(!side.isNull() && sideColumnWidth() > 0);
        if (!side.isNull()) {
            label->setFixedSize(side.deviceIndependentSize().toSize());
        }
    }
}

void TCatSelForm::clearCategories() {
    for (CategoryRow& r : rows_) {
        delete r.box;
        delete r.list;
    }
    rows_.clear();
}

void TCatSelForm::buildCategories() {
    clearCategories();
    const QuestionBank& bank = session_.exam.bank();
    for (int c = 1; c <= static_cast<int>(bank.categories.size()); ++c) {
        const CategorySlot& slot = bank.category(c);
        if (!categoryShown(slot)) {
            continue;
        }
        CategoryRow r;
        r.category = c;
        r.box = new MajorBox(qs(slot.CategoryName), CategoryPanel);
        r.box->setObjectName(QStringLiteral("CategoryBox%1").arg(c));
        r.box->setFont(uiFont(12, true));
        r.box->setTristate(true);
        r.box->setFixedHeight(kMajorBoxHeight);
        connect(r.box, &QCheckBox::clicked, this, [this, c] { majorBoxClicked(c); });

        r.list = new MinorCategoryList(CategoryPanel);
        r.list->setObjectName(QStringLiteral("CategoryList%1").arg(c));
        r.list->setFont(uiFont(11));
        QStringList lines;
        const int listed = listedSubCategories(slot);
        for (int s = 1; s <= listed; ++s) {
            lines << qs(slot.SubCategoryName[s - 1]) +
                         QStringLiteral(" (%1問)").arg(slot.SubCategoryQuesCount[s - 1]);
        }
        r.list->setLines(lines);
        r.list->setAccessibleName(qs(slot.CategoryName) + QStringLiteral(" の小カテゴリ"));
        connect(r.list, &MinorCategoryList::currentLineMoved, this,
                [this, list = r.list](const QRect& line) {
                    const QPoint centre = list->mapTo(CategoryPanel, line.center());
                    CategoryArea->ensureVisible(centre.x(), centre.y(), 0, line.height());
                });
        connect(r.list, &MinorCategoryList::lineToggled, this,
                [this, c](int line) { minorToggled(c, line); });
        r.box->show();
        r.list->show();
        rows_.push_back(r);
    }
    showChecks();
    arrangeCategories();
    CategoryArea->verticalScrollBar()->setValue(0);
    orderTabs();
}

void TCatSelForm::orderTabs() {
    // Top to bottom as the screen reads; the boxes are made per course and
    // would otherwise come after the buttons.
    std::vector<QWidget*> order{MajorOnlyCheck};
    for (const CategoryRow& r : rows_) {
        order.push_back(r.box);
        order.push_back(r.list);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{ModeNormal, ModeMockExam, ModeTraining,
                                                      ModeAssessment, CountEdit, TimeEdit,
                                                      AdaptiveCheck, BackButton, StartButton}) {
        order.push_back(w);
    }
    for (std::size_t i = 1; i < order.size(); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void TCatSelForm::arrangeCategories() {
    const bool majorsOnly = MajorOnlyCheck->isChecked();
    const std::vector<CategoryPlacement> placements =
        tovalo::placeCategories(session_.exam.bank(), majorsOnly);
    const int width = CategoryArea->viewport()->width();
    CategoryPanel->setFixedSize(width, std::max(categoryAreaHeight(placements, majorsOnly), 1));
    for (std::size_t i = 0; i < rows_.size() && i < placements.size(); ++i) {
        const CategoryPlacement& p = placements[i];
        rows_[i].box->setGeometry(kMajorBoxLeft, p.boxTop, width - kMajorBoxLeft - 8,
                                  kMajorBoxHeight);
        rows_[i].list->setGeometry(kMinorListLeft, p.listTop, width - kMinorListLeft - 8,
                                   p.listHeight);
        rows_[i].list->setVisible(!majorsOnly);
    }
}

void TCatSelForm::showChecks() {
    for (CategoryRow& r : rows_) {
        r.box->setCheckState(
            toQt(majorStateOf(session_.exam.bank(), session_.exam.checks(), r.category)));
        for (int s = 1; s <= r.list->count(); ++s) {
            r.list->setChecked(s, session_.exam.checks().isChecked(r.category, s));
        }
    }
}

void TCatSelForm::majorBoxClicked(int category) {
    for (CategoryRow& r : rows_) {
        if (r.category != category) {
            continue;
        }
        applyMajorBox(session_.exam.bank(), session_.exam.checks(), category,
                      fromQt(r.box->checkState()));
        for (int s = 1; s <= r.list->count(); ++s) {
            r.list->setChecked(s, session_.exam.checks().isChecked(category, s));
        }
    }
    QuestionCalc();
}

void TCatSelForm::minorToggled(int category, int sub) {
    toggleMinor(session_.exam.checks(), category, sub);
    for (CategoryRow& r : rows_) {
        if (r.category == category) {
            r.box->setCheckState(
                toQt(majorStateOf(session_.exam.bank(), session_.exam.checks(), category)));
        }
    }
    QuestionCalc();
}

void TCatSelForm::QuestionCalc() {
    const int available = session_.exam.availableCount();
    CountLabel->setText(QStringLiteral("題／%1題中").arg(available));
    CountEdit->setText(QString::number(available));
}

void TCatSelForm::MajorOnlyCheckClick() {
    const bool majorsOnly = MajorOnlyCheck->isChecked();
    bool changed = false;
    if (majorsOnly) {
        const CategoryChecks before = session_.exam.checks();
        checkPartlyCheckedCategories(session_.exam.bank(), session_.exam.checks());
        changed = before.minor != session_.exam.checks().minor;
    }
    for (CategoryRow& r : rows_) {
        r.box->setTristate(!majorsOnly);
    }
    showChecks();
    arrangeCategories();
    if (changed) {
        QuestionCalc();
    }
}

SelectionMode TCatSelForm::mode() const {
    if (ModeMockExam->isChecked()) {
        return SelectionMode::MockExam;
    }
    if (ModeTraining->isChecked()) {
        return SelectionMode::Training;
    }
    if (ModeAssessment->isChecked()) {
        return SelectionMode::Assessment;
    }
    return SelectionMode::Normal;
}

bool TCatSelForm::categoriesLocked() const {
    return modeLocksChoices(mode());
}

void TCatSelForm::ModeClick() {
    if (!categoriesLocked()) {
        lockChoices(false);
        return;
    }
    session_.exam.checks() = CategoryChecks::allChecked(session_.exam.bank());
    showChecks();
    QuestionCalc();
    const CountAndTime locked =
        lockedCountAndTime(session_.exam.bank(), session_.exam.availableCount());
    CountEdit->setText(QString::number(locked.count));
    TimeEdit->setText(QString::number(locked.minutes));
    lockChoices(true);
}

void TCatSelForm::lockChoices(bool locked) {
    for (CategoryRow& r : rows_) {
        r.box->setEnabled(!locked);
        r.list->setEnabled(!locked);
    }
    CountEdit->setEnabled(!locked);
    TimeEdit->setEnabled(!locked);
}

void TCatSelForm::CheckAll() {
    if (categoriesLocked()) {
        return;
    }
    session_.exam.checks() = CategoryChecks::allChecked(session_.exam.bank());
    showChecks();
    QuestionCalc();
}

void TCatSelForm::UncheckAll() {
    if (categoriesLocked()) {
        return;
    }
    session_.exam.checks().setAll(false);
    showChecks();
    QuestionCalc();
}

void TCatSelForm::CountEditChange() {
    if (!onlyDigits(CountEdit->text().toStdString())) {
        session_.services.messages.showError(kCountFieldInvalid);
        CountEdit->selectAll();
    }
}

void TCatSelForm::TimeEditChange() {
    if (!onlyDigits(TimeEdit->text().toStdString())) {
        session_.services.messages.showError(kTimeFieldInvalid);
        TimeEdit->selectAll();
    }
}

void TCatSelForm::StartButtonClick() {
    const StartCheck check =
        session_.exam.start({CountEdit->text().toStdString(), TimeEdit->text().toStdString(),
                             mode(), AdaptiveCheck->isChecked()},
                            session_.random);
    if (!check.ok) {
        session_.services.messages.showError(check.message);
        if (check.focusCountField) {
            CountEdit->setFocus();
        }
        return;
    }
    leaveSharedPlace();
    Timer1->stop();
    hide();
    emit examStarted();
}

void TCatSelForm::BackButtonClick() {
    close();
}

void TCatSelForm::closeEvent(QCloseEvent* event) {
    event->accept();
    // Only a visit that is on the screen goes back to the menu.
    if (!isVisible()) {
        return;
    }
    leaveSharedPlace();
    Timer1->stop();
    hide();
    emit left();
}

void TCatSelForm::showEvent(QShowEvent* event) {
    ScreenForm::showEvent(event);
    if (!event->spontaneous()) {
        Timer1->start();
    }
}

void TCatSelForm::hideEvent(QHideEvent* event) {
    Timer1->stop();
    ScreenForm::hideEvent(event);
}

void TCatSelForm::Timer1Timer() {
    session_.services.sound.play(kCategorySound);
}

void TCatSelForm::scrollByNotches(int notches) {
    QScrollBar* bar = CategoryArea->verticalScrollBar();
    bar->setValue(bar->value() - notches * kStepsPerNotch * bar->singleStep());
}

void TCatSelForm::wheelEvent(QWheelEvent* event) {
    wheelRemainder_ += event->angleDelta().y();
    const int notches = wheelRemainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheelRemainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    scrollByNotches(notches);
    event->accept();
}

bool TCatSelForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == CountEdit || watched == TimeEdit) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::ControlModifier &&
            (key->key() == Qt::Key_A || key->key() == Qt::Key_X)) {
            key->key() == Qt::Key_A ? CheckAll() : UncheckAll();
            return true;
        }
    }
    if (watched == CategoryArea->viewport()) {
        // The area's own wheel handling scrolls by the desktop's line count;
        // the screen keeps its own pace wherever the pointer is.
        if (event->type() == QEvent::Wheel) {
            wheelEvent(static_cast<QWheelEvent*>(event));
            return true;
        }
        // The boxes and lists take the whole width, which changes with the
        // window and with the scroll bar coming and going.
        if (event->type() == QEvent::Resize) {
            arrangeCategories();
        }
    }
    return ScreenForm::eventFilter(watched, event);
}

void TCatSelForm::resizeEvent(QResizeEvent* event) {
    ScreenForm::resizeEvent(event);
    layoutControls();
}

int TCatSelForm::sideColumnWidth() const {
    // The column holds only the vendor's pictures; a window narrower than the
    // design (a highly scaled screen) gives its room to the mode texts and
    // fields, which would otherwise be cut off.
    return width() >= app::kCourseMenuMinWidth ? kSideColumnWidth : 0;
}

void TCatSelForm::layoutControls() {
    const int w = width();
    const int h = height();
    const int mainWidth = w - sideColumnWidth();
    const int barTop = h - kBarHeight;

    LevelImage->move(8, (kHeaderHeight - kLevelSegmentHeight) / 2);
    const int titleLeft = LevelImage->isHidden() ? kMargin : 8 + kLevelSegmentWidth + 12;
    TitleLabel->setGeometry(titleLeft, 0, mainWidth - titleLeft - kMargin, kHeaderHeight);

    const int fieldTop = barTop - 8 - kFieldRowHeight;
    const int modeHeight = 4 * 20 + 30;
    const int modeTop = fieldTop - 6 - modeHeight;
    const int areaTop = kHeaderHeight + 34;
    MajorOnlyCheck->move(mainWidth - kMargin - MajorOnlyCheck->width(),
                         kHeaderHeight + (34 - MajorOnlyCheck->height()) / 2);
    CategoryArea->setGeometry(kMargin, areaTop, mainWidth - 2 * kMargin, modeTop - 8 - areaTop);
    ModeGroup->setGeometry(kMargin, modeTop, mainWidth - 2 * kMargin, modeHeight);
    if (QWidget* fields = findChild<QWidget*>(QStringLiteral("FieldRow"))) {
        fields->setGeometry(kMargin + 4, fieldTop, mainWidth - 2 * kMargin - 4, kFieldRowHeight);
    }

    const int buttonTop = barTop + 3;
    StartButton->move(mainWidth - 10 - StartButton->width(), buttonTop);
    BackButton->move(StartButton->x() - 10 - BackButton->width(), buttonTop);

    SidePicture1->move(mainWidth, 0);
    SidePicture2->move(mainWidth, std::max(SidePicture1->height(), h - SidePicture2->height()));
    for (QLabel* side : {SidePicture1, SidePicture2}) {
        side->setVisible(sideColumnWidth() > 0 && !side->pixmap().isNull());
    }
}

void TCatSelForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int w = width();
    const int h = height();
    const int mainWidth = w - sideColumnWidth();
    const int barTop = h - kBarHeight;
    p.fillRect(QRect(0, 0, mainWidth, kHeaderHeight), kHeaderColour);
    p.setPen(QColor(40, 120, 200));
    p.drawLine(0, kHeaderHeight - 1, mainWidth, kHeaderHeight - 1);

    p.setPen(QColor(40, 48, 64));
    p.setFont(uiFont(14, true));
    p.drawText(QRect(kMargin, kHeaderHeight, mainWidth / 2, 34), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("出題するカテゴリを選択してください"));

    QLinearGradient bar(0, barTop, 0, h);
    bar.setColorAt(0.0, QColor(34, 40, 54));
    bar.setColorAt(1.0, QColor(14, 16, 22));
    p.fillRect(QRect(0, barTop, mainWidth, kBarHeight), bar);
    p.fillRect(QRect(mainWidth, 0, sideColumnWidth(), h), kSideColour);
}

}  // namespace tovalo::ui
