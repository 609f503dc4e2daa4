#include "ui/widgets/choice_panel.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "core/exam/exam_engine.h"
#include "core/exam/exam_screen.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/choice_text.h"
#include "ui/widgets/click_picture.h"
#include "ui/widgets/figure_picture.h"
#include "ui/widgets/focus_outline.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"

namespace tovalo::ui {

namespace {

constexpr int kAnsTitleHeight = 20;
constexpr int kMarkLeft = 6;
constexpr int kTextLeft = 42;
constexpr int kStyleButtonTop = 8;
constexpr QSize kStyleButton(150, 32);
constexpr const char* kType8Hint = "ｸﾘｯｸして選択してください。右ｸﾘｯｸで取り消しが可能です。";
const QColor kPanelColour(246, 247, 250);
const QColor kAnswerTitleColour(28, 52, 96);
const QColor kCorrectRed(255, 0, 0);

}  // namespace

ChoicePanel::ChoicePanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("AnsPanel"));
    fill(this, kPanelColour);

    AnsTitle = new QLabel(QString::fromUtf8(kAnswerPanelTitle), this);
    AnsTitle->setObjectName(QStringLiteral("AnsTitle"));
    AnsTitle->setFont(uiFont(12, true));
    AnsTitle->setIndent(8);
    fill(AnsTitle, kAnswerTitleColour);
    paint(AnsTitle, QPalette::WindowText, Qt::white);

    AnsScroll = new QScrollArea(this);
    AnsScroll->setObjectName(QStringLiteral("AnsScroll"));
    AnsScroll->setFrameShape(QFrame::NoFrame);
    AnsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    AnsScroll->setWidgetResizable(false);
    // The marks inside take the focus and the area follows them; as a Tab
    // stop of its own it would show nothing.
    AnsScroll->setFocusPolicy(Qt::NoFocus);
    AnsBox = new QWidget;
    AnsBox->setObjectName(QStringLiteral("AnsBox"));
    fill(AnsBox, kPanelColour);
    AnsScroll->setWidget(AnsBox);

    for (int k = 0; k < kChoices; ++k) {
        auto* radio = new QRadioButton(AnsBox);
        radio->setObjectName(QStringLiteral("RadioButton%1").arg(k + 1));
        auto* check = new QCheckBox(AnsBox);
        check->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        for (QAbstractButton* b :
             {static_cast<QAbstractButton*>(radio), static_cast<QAbstractButton*>(check)}) {
            b->setFont(uiFont(12, true));
            b->setFixedSize(kTextLeft - kMarkLeft - 2, 18);
            b->hide();
            outlineKeyboardFocus(b, 1);
        }
        connect(check, &QCheckBox::clicked, this, [this, k] { limitCheckBoxes(k + 1); });
        auto* text = new ChoiceText(AnsBox);
        text->setObjectName(QStringLiteral("ChoiceText%1").arg(k + 1));
        text->hide();
        RadioButtons[k] = radio;
        CheckBoxes[k] = check;
        ChoiceTexts[k] = text;
    }

    for (std::size_t i = 0; i < kWindowStyles.size(); ++i) {
        const AnswerStyle style = kWindowStyles[i];
        auto* b = new ImageButton(AnsBox);
        b->setObjectName(QStringLiteral("ButtonType%1").arg(static_cast<int>(style)));
        setToneButtonLook(b, kStyleButton, QStringLiteral("解答ウィンドウ"), ButtonTone::Navigate,
                          ButtonGlyph::Forward);
        b->move(10, kStyleButtonTop);
        b->hide();
        connect(b, &ImageButton::clicked, this,
                [this, style] { emit styleWindowRequested(style); });
        StyleButtons[i] = b;
    }
    HelpText = new QLabel(AnsBox);
    HelpText->setObjectName(QStringLiteral("HelpText"));
    HelpText->setWordWrap(true);
    HelpText->setFont(uiFont(12));
    HelpText->setTextFormat(Qt::PlainText);
    paint(HelpText, QPalette::WindowText, QColor(40, 60, 100));
    HelpText->hide();

    Type8Hint = new QLabel(QString::fromUtf8(kType8Hint), AnsBox);
    Type8Hint->setObjectName(QStringLiteral("Type8Hint"));
    Type8Hint->setFont(uiFont(12));
    Type8Hint->move(10, kStyleButtonTop);
    Type8Hint->adjustSize();
    Type8Hint->hide();
    Type8Note = new QLabel(AnsBox);
    Type8Note->setObjectName(QStringLiteral("Type8Note"));
    Type8Note->setFont(uiFont(13));
    Type8Note->setWordWrap(true);
    Type8Note->setTextFormat(Qt::PlainText);
    Type8Note->move(10, kStyleButtonTop);
    paint(Type8Note, QPalette::WindowText, QColor(150, 20, 20));
    Type8Note->hide();

    Image_Type8 = new ClickPicture(AnsBox, ClickPicture::MarkShape::Pointer,
                                   ClickPicture::RightPress::TakesLatest);
    Image_Type8->setObjectName(QStringLiteral("Image_Type8"));
    // Reached with Tab only: a learner who clicks the picture keeps Enter
    // and Backspace for moving between questions.
    Image_Type8->setFocusPolicy(Qt::TabFocus);
    Image_Type8->setAccessibleName(QStringLiteral("解答する図"));
    Image_Type8->setAccessibleDescription(
        QStringLiteral("矢印キーで照準を動かし、Space キーまたは Enter キーで印を置きます。"
                       "Delete キーで最後の印を取り消します。"));
    Image_Type8->move(10, kStyleButtonTop + 24);
    Image_Type8->hide();
    connect(Image_Type8, &ClickPicture::marksChanged, this,
            [this] { emit pictureAnswered(Image_Type8->board().solved()); });
    connect(Image_Type8, &ClickPicture::crosshairMoved, this, [this](const QRect& around) {
        const QPoint c = Image_Type8->mapTo(AnsBox, around.center());
        AnsScroll->ensureVisible(c.x(), c.y(), around.width() / 2, around.height() / 2);
    });
}

void ChoicePanel::setLabelStyle(const std::string& labelStyle) {
    for (int k = 0; k < kChoices; ++k) {
        RadioButtons[k]->setText(qs(choiceLabel(k + 1, labelStyle)));
        CheckBoxes[k]->setText(qs(choiceLabel(k + 1, labelStyle)));
    }
}

void ChoicePanel::setHelpText(const QString& text) {
    HelpText->setText(text);
}

void ChoicePanel::showQuestion(const ExamQuestion& question, const StyleHandoff& handoff) {
    const AnswerStyleTraits& traits = traitsOf(question.Style);
    answeredWith_ = traits.answeredWith;
    answerCount_ = question.AnswerCount;
    correct_ = question.ShownCorrect;

    AnsScroll->verticalScrollBar()->setValue(0);
    for (ImageButton* b : StyleButtons) {
        b->hide();
    }
    Image_Type8->setZones({});
    Image_Type8->hide();
    Type8Hint->hide();
    Type8Note->hide();
    HelpText->hide();
    AnsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    clearMarks();
    showCorrect(false);
    for (int k = 0; k < kChoices; ++k) {
        RadioButtons[k]->hide();
        CheckBoxes[k]->hide();
        ChoiceTexts[k]->hide();
        ChoiceTexts[k]->setText(qs(choiceDisplayText(question.ShownChoice[k], question.Style)));
    }

    const int shown = std::clamp(question.ShowCount, 0, kChoices);
    int contentBottom = 0;
    switch (traits.answeredWith) {
        case AnswerWith::Radio:
        case AnswerWith::CheckBoxes:
            for (int k = 0; k < shown; ++k) {
                (traits.answeredWith == AnswerWith::CheckBoxes
                     ? static_cast<QWidget*>(CheckBoxes[k])
                     : RadioButtons[k])
                    ->show();
                ChoiceTexts[k]->show();
            }
            break;
        case AnswerWith::StyleWindow: {
            const auto at = std::find(kWindowStyles.begin(), kWindowStyles.end(), traits.style);
            ImageButton* button =
                StyleButtons[at != kWindowStyles.end() ? at - kWindowStyles.begin() : 0];
            button->show();
            HelpText->setGeometry(button->x() + button->width() + 12, kStyleButtonTop,
                                  qMax(120, AnsScroll->viewport()->width() - 190), 32);
            HelpText->show();
            contentBottom = kStyleButtonTop + button->height();
            break;
        }
        case AnswerWith::Picture:
            contentBottom = showClickPicture(handoff);
            break;
    }
    layOutRows();
    if (contentBottom > AnsBox->height() - 8) {
        AnsBox->resize(AnsBox->width(), contentBottom + 8);
    }
}

int ChoicePanel::showClickPicture(const StyleHandoff& handoff) {
    QString note;
    QImage picture;
    if (handoff.defect) {
        note = qs(defectNote(*handoff.defect));
    } else {
        picture = readFigure(qs(handoff.pictures[0]));
        if (picture.isNull()) {
            note = qs(unreadablePictureNote(handoff.pictures[0]));
        }
    }
    if (!note.isEmpty()) {
        // Sized with the rows, to the panel's width.
        Type8Note->setText(note);
        Type8Note->show();
        return 0;
    }
    Image_Type8->setPicture(picture);
    Image_Type8->show();
    Image_Type8->setZones(handoff.zones);
    Type8Hint->show();
    // A picture wider than the panel scrolls sideways rather than being cut off.
    AnsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    return Image_Type8->y() + Image_Type8->height();
}

bool ChoicePanel::pictureTakesKey(int key) const {
    return Image_Type8->hasFocus() && ClickPicture::usesKey(key);
}

std::array<bool, kMaxChoices> ChoicePanel::marks() const {
    std::array<bool, kMaxChoices> m{};
    for (int k = 0; k < kChoices; ++k) {
        m[k] = RadioButtons[k]->isChecked() || CheckBoxes[k]->isChecked();
    }
    return m;
}

void ChoicePanel::setMarks(const std::array<bool, kChoices>& marks) {
    clearMarks();
    for (int k = 0; k < kChoices; ++k) {
        if (marks[k]) {
            if (answeredWith_ == AnswerWith::Radio) {
                RadioButtons[k]->setChecked(true);
            } else {
                CheckBoxes[k]->setChecked(true);
            }
        }
    }
}

void ChoicePanel::clearMarks() {
    for (int k = 0; k < kChoices; ++k) {
        // An exclusive radio button refuses to be cleared while it is the
        // checked one of its group.
        RadioButtons[k]->setAutoExclusive(false);
        RadioButtons[k]->setChecked(false);
        RadioButtons[k]->setAutoExclusive(true);
        CheckBoxes[k]->setChecked(false);
    }
}

void ChoicePanel::markSlot(int slot) {
    if (slot >= 1 && slot <= kChoices) {
        RadioButtons[slot - 1]->setChecked(true);
    }
}

void ChoicePanel::limitCheckBoxes(int clickedSlot) {
    int checked = 0;
    for (const QCheckBox* box : CheckBoxes) {
        checked += box->isChecked() ? 1 : 0;
    }
    if (checked > answerCount_) {
        CheckBoxes[clickedSlot - 1]->setChecked(false);
    }
}

void ChoicePanel::showCorrect(bool shown) {
    for (int k = 0; k < kChoices; ++k) {
        const QColor colour = shown && correct_[k] ? kCorrectRed : QColor(Qt::black);
        ChoiceTexts[k]->setTextColour(colour);
        paint(RadioButtons[k], QPalette::WindowText, colour);
        paint(CheckBoxes[k], QPalette::WindowText, colour);
    }
}

void ChoicePanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    AnsTitle->setGeometry(0, 0, width(), kAnsTitleHeight);
    AnsScroll->setGeometry(0, kAnsTitleHeight, width(), height() - kAnsTitleHeight);
    layOutRows();
}

void ChoicePanel::layOutRows() {
    const int viewportWidth =
        AnsScroll->width() - AnsScroll->verticalScrollBar()->sizeHint().width();
    const int boxWidth = qMax(120, viewportWidth - kTextLeft - 6);
    std::vector<int> lines(kChoices);
    for (int k = 0; k < kChoices; ++k) {
        lines[k] = ChoiceTexts[k]->lineCountFor(boxWidth);
    }
    const std::vector<ChoiceRowPlace> places = choiceRowPlaces(lines);
    int bottom = 0;
    for (int k = 0; k < kChoices; ++k) {
        ChoiceTexts[k]->setGeometry(kTextLeft, places[k].textTop, boxWidth, places[k].textHeight);
        RadioButtons[k]->move(kMarkLeft, places[k].markTop);
        CheckBoxes[k]->move(kMarkLeft, places[k].markTop);
        if (!ChoiceTexts[k]->isHidden()) {
            bottom = places[k].textTop + places[k].textHeight;
        }
    }
    int right = viewportWidth;
    if (!Image_Type8->isHidden()) {
        bottom = qMax(bottom, Image_Type8->y() + Image_Type8->height());
        right = qMax(right, Image_Type8->x() + Image_Type8->width() + 10);
    }
    if (!Type8Note->isHidden()) {
        const int noteWidth = qMax(200, viewportWidth - 20);
        Type8Note->resize(noteWidth, Type8Note->heightForWidth(noteWidth));
        bottom = qMax(bottom, Type8Note->y() + Type8Note->height());
    }
    for (ImageButton* b : StyleButtons) {
        if (!b->isHidden()) {
            bottom = qMax(bottom, b->y() + b->height());
        }
    }
    AnsBox->resize(right, bottom + 8);
}

}  // namespace tovalo::ui
