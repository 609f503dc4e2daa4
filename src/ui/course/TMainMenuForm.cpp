#include "ui/course/TMainMenuForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/app/address_files.h"
#include "core/app/cdrom_drives.h"
#include "ui/session/session.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

const QColor kLinkSilver(192, 192, 192);
const QColor kLinkRed(255, 0, 0);
const QColor kBodyColour(244, 246, 250);
const QColor kFooterColour(22, 32, 48);
constexpr int kPictureHeight = 168;

// The title art, drawn the first time it is painted (and again for a screen
// of another pixel ratio), not when the window is made or shown: until the
// window reaches the screen nobody sees it.
class TitlePicture : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        if (picture_.isNull() || picture_.devicePixelRatio() != devicePixelRatioF()) {
            picture_ = drawTitlePicture(size(), devicePixelRatioF());
        }
        QPainter(this).drawPixmap(0, 0, picture_);
    }

  private:
    QPixmap picture_;
};

QLabel* captionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(uiFont(15));
    label->setMinimumWidth(84);
    return label;
}

}  // namespace

TMainMenuForm::TMainMenuForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("MainMenuForm"));
    setWindowTitle(QStringLiteral("Tovalo"));
    setFixedSize(kWidth, kHeight);
    // The stored profile shows no control at all, so the screen itself takes
    // the focus then (for Space), but only by hand: as a Tab stop it would
    // be one more press that lands on nothing visible.
    setFocusPolicy(Qt::NoFocus);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    fill(Panel1, kBodyColour);
    outer->addWidget(Panel1);
    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    panelLayout->setSpacing(0);

    Image1 = new TitlePicture(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kWidth, kPictureHeight);
    Image1->setCursor(Qt::PointingHandCursor);
    panelLayout->addWidget(Image1);

    auto* body = new QWidget(Panel1);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(32, 18, 32, 14);
    bodyLayout->setSpacing(12);
    panelLayout->addWidget(body, 1);

    Label1 = new QLabel(body);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(15, true));
    Label1->setFixedHeight(24);
    bodyLayout->addWidget(Label1);

    auto* grid = new QGridLayout();
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->setColumnStretch(1, 1);
    bodyLayout->addLayout(grid);
    Label2 = captionLabel(QStringLiteral("氏名 : "), body);
    Label3 = captionLabel(QStringLiteral("所属 : "), body);
    Label4 = captionLabel(QStringLiteral("E-mail : "), body);
    Edit_Name = new QLineEdit(body);
    Edit_Org = new QLineEdit(body);
    Edit_Email = new QLineEdit(body);
    Label_Name = new QLabel(body);
    Label_Org = new QLabel(body);
    Label_Email = new QLabel(body);
    QLabel* captions[] = {Label2, Label3, Label4};
    QLineEdit* edits[] = {Edit_Name, Edit_Org, Edit_Email};
    QLabel* values[] = {Label_Name, Label_Org, Label_Email};
    const char* captionNames[] = {"Label2", "Label3", "Label4"};
    const char* editNames[] = {"Edit_Name", "Edit_Org", "Edit_Email"};
    const char* valueNames[] = {"Label_Name", "Label_Org", "Label_Email"};
    const QString fieldNames[] = {QStringLiteral("氏名"), QStringLiteral("所属"),
                                  QStringLiteral("E-mail")};
    for (int row = 0; row < 3; ++row) {
        captions[row]->setObjectName(QLatin1String(captionNames[row]));
        values[row]->setObjectName(QLatin1String(valueNames[row]));
        edits[row]->setObjectName(QLatin1String(editNames[row]));
        edits[row]->setAccessibleName(fieldNames[row]);
        edits[row]->setFont(uiFont(15));
        edits[row]->setFixedHeight(30);
        values[row]->setFont(uiFont(16));
        values[row]->setFixedHeight(30);
        values[row]->setTextFormat(Qt::PlainText);
        values[row]->setStyleSheet(
            QStringLiteral("QLabel { border-width: 0 0 1px 0; border-style: solid; border-color: "
                           "#aab4c4; padding-left: 4px; }"));
        grid->addWidget(captions[row], row, 0);
        grid->addWidget(edits[row], row, 1);
        grid->addWidget(values[row], row, 1);
        connect(edits[row], &QLineEdit::returnPressed, this, &TMainMenuForm::Button1Click);
    }
    Edit_Email->setInputMethodHints(Qt::ImhEmailCharactersOnly);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    Button1 = new QPushButton(QStringLiteral("OK"), body);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), body);
    for (QPushButton* b : {Button1, Button2}) {
        b->setFont(uiFont(14));
        b->setFixedSize(104, 32);
        QSizePolicy keep = b->sizePolicy();
        keep.setRetainSizeWhenHidden(true);
        b->setSizePolicy(keep);
        buttons->addWidget(b);
    }
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Button1->setDefault(true);
    bodyLayout->addStretch(1);
    bodyLayout->addLayout(buttons);
    connect(Button1, &QPushButton::clicked, this, &TMainMenuForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMainMenuForm::Button2Click);

    auto* footer = new QWidget(Panel1);
    fill(footer, kFooterColour);
    footer->setFixedHeight(32);
    auto* footerLayout = new QHBoxLayout(footer);
    footerLayout->setContentsMargins(16, 0, 16, 0);
    Label5 = new QLabel(QStringLiteral("https://www.tovalo.example/"), footer);
    Label5->setObjectName(QStringLiteral("Label5"));
    Label5->setFont(uiFont(13));
    footerLayout->addStretch(1);
    footerLayout->addWidget(Label5);
    panelLayout->addWidget(footer);
    setLinkColour(false);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(app::kProfileTimerIntervalMs);
    connect(Timer1, &QTimer::timeout, this, &TMainMenuForm::Timer1Timer);

    Image1->installEventFilter(this);
    Panel1->installEventFilter(this);
}

Status TMainMenuForm::FormCreate() {
    Result<std::string> url = app::readFirstAddress(session_.programDir + app::kCgiUrlFile);
    if (!url) {
        return url.error();
    }
    session_.cgiUrl = *url;
    session_.cdromRoots = app::limitCdromDrives(session_.services.drives.cdromRoots());
    return Ok{};
}

void TMainMenuForm::showEvent(QShowEvent* event) {
    // A spontaneous show is the desktop restoring the window, not a new visit.
    if (!event->spontaneous()) {
        FormShow();
    }
    ScreenForm::showEvent(event);
}

void TMainMenuForm::FormShow() {
    session_.profile = app::readProfile(session_.services.settings);
    countdown_.reset();
    setLinkColour(false);
    showRegistration(!session_.profile.registered());
}

void TMainMenuForm::showRegistration(bool registration) {
    registration_ = registration;
    const app::Profile& p = session_.profile;
    Label1->setText(registration ? QString::fromUtf8(app::kRegisterPrompt) : QString());
    Edit_Name->setVisible(registration);
    Edit_Org->setVisible(registration);
    Edit_Email->setVisible(registration);
    Label_Name->setVisible(!registration);
    Label_Org->setVisible(!registration);
    Label_Email->setVisible(!registration);
    Button1->setVisible(registration);
    Button2->setVisible(registration);
    Image1->setCursor(registration ? Qt::ArrowCursor : Qt::PointingHandCursor);
    if (registration) {
        Timer1->stop();
        Edit_Name->clear();
        Edit_Org->setText(qs(p.org));
        Edit_Email->setText(qs(p.email));
        Edit_Name->setFocus();
    } else {
        Label_Name->setText(qs(p.name));
        Label_Org->setText(qs(p.org));
        Label_Email->setText(qs(p.email));
        setFocus();
        Timer1->start();
    }
}

void TMainMenuForm::hideEvent(QHideEvent* event) {
    Timer1->stop();
    ScreenForm::hideEvent(event);
}

void TMainMenuForm::setLinkColour(bool red) {
    linkRed_ = red;
    QPalette pal = Label5->palette();
    pal.setColor(QPalette::WindowText, red ? kLinkRed : kLinkSilver);
    Label5->setPalette(pal);
}

void TMainMenuForm::Timer1Timer() {
    app::ProfileCountdown::Tick tick = countdown_.tick();
    if (tick.toggleLink) {
        setLinkColour(!linkRed_);
    }
    if (tick.handOver) {
        handOver();
    }
}

void TMainMenuForm::handOver() {
    Timer1->stop();
    hide();
    emit profileDone();
}

void TMainMenuForm::handOverIfRegistered() {
    if (!registration_ && session_.profile.registered()) {
        handOver();
    }
}

void TMainMenuForm::Image1Click() {
    handOverIfRegistered();
}

void TMainMenuForm::Panel1Click() {
    handOverIfRegistered();
}

void TMainMenuForm::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        handOverIfRegistered();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

bool TMainMenuForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        // Take the press so that the release comes back here as a click.
        return watched == Image1 || watched == Panel1;
    }
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == Image1) {
            Image1Click();
            return true;
        }
        if (watched == Panel1) {
            Panel1Click();
            return true;
        }
    }
    return ScreenForm::eventFilter(watched, event);
}

void TMainMenuForm::Button1Click() {
    if (!registration_) {
        return;
    }
    std::string name = Edit_Name->text().toStdString();
    Status valid = app::validateRegistration(name);
    if (!valid) {
        session_.services.messages.showError(valid.error().message);
        Edit_Name->setFocus();
        return;
    }
    platform::SettingsStore& settings = session_.services.settings;
    app::writeRegistration(settings, name, Edit_Org->text().toStdString(),
                           Edit_Email->text().toStdString(), session_.directories.pathValue());
    settings.flush();
    session_.profile = app::readProfile(settings);
    handOver();
}

void TMainMenuForm::Button2Click() {
    close();
}

void TMainMenuForm::closeEvent(QCloseEvent* event) {
    Timer1->stop();
    event->accept();
    session_.ending = true;
    if (session_.endProgram) {
        session_.endProgram();
    }
}

}  // namespace tovalo::ui
