#include "ui/answer/TCheatForm.h"

#include <QFrame>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>

#include "core/exam/page_writer.h"
#include "core/views/answer_view.h"
#include "core/views/support_page.h"
#include "platform/qt_modal_windows.h"
#include "ui/answer/question_links.h"
#include "ui/session/session.h"
#include "ui/web/web_page_view.h"
#include "ui/widgets/artwork.h"
#include "ui/widgets/fonts.h"
#include "ui/widgets/image_button.h"
#include "ui/widgets/qt_convert.h"
#include "ui/widgets/reading_text.h"

namespace tovalo::ui {

namespace {

constexpr int kBarHeight = 48;
constexpr int kFigureButtonStep = 82;

struct StyleButtonName {
    AnswerStyle style;
    const char* name;
};
// The buttons open the View windows of these styles, in this order.
constexpr StyleButtonName kStyleButtons[] = {
    {AnswerStyle::Graphic, "Image8"},          {AnswerStyle::Panel, "Image9"},
    {AnswerStyle::Descriptive, "ButtonType5"}, {AnswerStyle::PanelSecond, "Image10"},
    {AnswerStyle::Connect, "Image11"},
};

}  // namespace

TCheatForm::TCheatForm(Session& session) : ScreenForm(session) {
    setObjectName(QStringLiteral("CheatForm"));
    setWindowTitle(QStringLiteral("正解"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    setPalette(pal);
    setAutoFillBackground(true);
    resize(kFirstWidth, kFoldedHeight);
}

void TCheatForm::setMarksSource(std::function<std::array<bool, kMaxChoices>()> source) {
    marksSource_ = std::move(source);
}

const ExamQuestion* TCheatForm::question() const {
    const int q = session_.exam.engine().current();
    return q >= 1 && q <= session_.exam.questionCount() ? &session_.exam.question(q) : nullptr;
}

void TCheatForm::ensureControls() {
    if (Panel1 != nullptr) {
        return;
    }
    Label1 = new QLabel(QStringLiteral("正解 : "), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(uiFont(16));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setFont(uiFont(19, true));
    Label2->setAccessibleName(QStringLiteral("正解"));
    for (QLabel* l : {Label1, Label2}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, QColor(255, 64, 56));
        l->setPalette(p);
    }
    Label1->move(10, 12);
    Label2->move(64, 9);

    for (std::size_t k = 0; k < StyleButtons.size(); ++k) {
        auto* b = new ImageButton(this);
        b->setObjectName(QString::fromLatin1(kStyleButtons[k].name));
        setStyleViewButtonLook(b);
        b->move(10, 8);
        b->hide();
        const AnswerStyle style = kStyleButtons[k].style;
        connect(b, &ImageButton::clicked, this, [this, style] { emit styleViewRequested(style); });
        StyleButtons[k] = b;
    }

    Button2 = new ImageButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    connect(Button2, &ImageButton::clicked, this, &TCheatForm::Button2Click);
    Button1 = new ImageButton(this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setPictures(buttonPicture(QSize(84, 26), QStringLiteral("閉じる"), ButtonTone::Close,
                                       ButtonGlyph::None));
    Button1->setToolTip(QStringLiteral("ウィンドウを閉じます"));
    Button1->setAccessibleName(QStringLiteral("閉じる"));
    connect(Button1, &ImageButton::clicked, this, &TCheatForm::Button1Click);
    setFoldButtonLook();

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setAccessibleName(QStringLiteral("解説"));
    QPalette panelPal = Panel1->palette();
    panelPal.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(panelPal);
    Panel1->setAutoFillBackground(true);

    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(uiFont(13));
    Memo1->setAccessibleName(QStringLiteral("解説"));
    QPalette memoPal = Memo1->palette();
    memoPal.setColor(QPalette::Base, Qt::white);
    memoPal.setColor(QPalette::Text, QColor(24, 24, 28));
    Memo1->setPalette(memoPal);
    new ReadingText(Memo1, Panel1);
    WebBrowser1 = new WebPageView(Panel1);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));

    for (int k = 0; k < static_cast<int>(ImgFig.size()); ++k) {
        auto* b = new ImageButton(Panel1);
        const QString caption = QStringLiteral("解説図%1").arg(k + 1);
        b->setObjectName(QStringLiteral("ImgFig%1").arg(k + 1));
        setFigureButtonLook(b, caption);
        b->hide();
        connect(b, &ImageButton::clicked, this, [this, k, caption] {
            if (k < figureCount()) {
                emit figureRequested(caption, qs(figurePaths_[static_cast<std::size_t>(k)]));
            }
        });
        ImgFig[static_cast<std::size_t>(k)] = b;
    }

    Image7 = new QFrame(Panel1);
    Image7->setObjectName(QStringLiteral("Image7"));
    setLinkBarLook(Image7);
    Image12 = new ImageButton(Image7);
    Image12->setObjectName(QStringLiteral("Image12"));
    setFaqButtonLook(Image12);
    connect(Image12, &ImageButton::clicked, this, [this] {
        if (const ExamQuestion* q = question()) {
            openFaqPage(session_, *q);
        }
    });
    Button3 = new ImageButton(Image7);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button4 = new ImageButton(Image7);
    Button4->setObjectName(QStringLiteral("Button4"));
    for (int which : {1, 2}) {
        ImageButton* b = which == 1 ? Button3 : Button4;
        setTrainingButtonLook(b, which);
        connect(b, &ImageButton::clicked, this, [this, which] {
            if (const ExamQuestion* q = question()) {
                openTrainingMaterial(session_, *q, which);
            }
        });
    }
    Button5 = new ImageButton(Image7);
    Button5->setObjectName(QStringLiteral("Button5"));
    setSupportButtonLook(Button5);
    connect(Button5, &ImageButton::clicked, this, [this] {
        const ExamQuestion* q = question();
        if (q == nullptr) {
            return;
        }
        const std::array<bool, kMaxChoices> marks =
            marksSource_ ? marksSource_() : std::array<bool, kMaxChoices>{};
        openSupportPage(
            session_, *q,
            supportAnswerBlock(*q, currentLabelStyle(session_), Label2->text().toStdString(), marks,
                               SupportFrom::AnswerView));
    });

    // Keyboard order: the answer, folding, closing, the text, then the bar.
    QWidget* previous = StyleButtons.back();
    for (QWidget* w :
         std::initializer_list<QWidget*>{Button2, Button1, Panel1, ImgFig[0], ImgFig[1], ImgFig[2],
                                         Image12, Button3, Button4, Button5}) {
        setTabOrder(previous, w);
        previous = w;
    }
}

void TCheatForm::setFoldButtonLook() {
    const QString caption = unfolded_ ? QStringLiteral("解説を隠す") : QStringLiteral("解説を表示");
    Button2->setPictures(buttonPicture(QSize(124, 26), caption, ButtonTone::Navigate,
                                       unfolded_ ? ButtonGlyph::Back : ButtonGlyph::Document));
    Button2->setToolTip(unfolded_ ? QStringLiteral("解説を隠します")
                                  : QStringLiteral("解説を表示します"));
    Button2->setAccessibleName(caption);
}

void TCheatForm::openFor(const QRect& examBounds) {
    ensureControls();
    rebuild();
    if (!firstPlacementDone_) {
        firstPlacementDone_ = true;
        move(examBounds.left() + examBounds.width() - kFirstWidth,
             examBounds.top() + examBounds.height() - 200);
        resize(kFirstWidth, height());
    }
    if (isVisible()) {
        if (unfolded_) {
            unfold();  // the new question's text in the unfolded view
        }
    } else {
        fold();
    }
    platform::openSecondary(this);
}

void TCheatForm::rebuild() {
    const ExamQuestion* q = question();
    if (q == nullptr) {
        return;
    }
    const CourseEntry& course = session_.exam.course();
    html_ = course.FormatKind == 2;
    const AnswerViewContent view = answerViewContent(
        *q, course.FormatKind, currentLabelStyle(session_), currentQuestionDir(session_));
    text_ = view.text;
    figurePaths_ = view.figurePaths;
    styleView_ = view.styleView;

    setTrainingButton(Button3, *q, 1);
    setTrainingButton(Button4, *q, 2);
    Memo1->setPlainText(qs(text_));
    for (std::size_t k = 0; k < ImgFig.size(); ++k) {
        ImgFig[k]->setVisible(k < figurePaths_.size());
    }
    Label2->setText(qs(view.letters));
    Label2->adjustSize();
    Label1->setVisible(!styleView_);
    for (std::size_t k = 0; k < StyleButtons.size(); ++k) {
        StyleButtons[k]->setVisible(styleView_ == kStyleButtons[k].style);
    }
    layOut();
}

void TCheatForm::fold() {
    unfolded_ = false;
    setFoldButtonLook();
    setFixedHeight(kFoldedHeight);
    setMinimumWidth(kMinWidth);
    setMaximumWidth(QWIDGETSIZE_MAX);
    layOut();
}

void TCheatForm::unfold() {
    unfolded_ = true;
    setFoldButtonLook();
    setMinimumSize(kMinWidth, kUnfoldedMinHeight);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (const std::optional<app::Bounds>& saved = session_.answerViewBounds) {
        move(saved->left, saved->top);
        resize(std::max(saved->width, kMinWidth), std::max(saved->height, kUnfoldedMinHeight));
    } else {
        resize(width(), kUnfoldedMinHeight);
    }
    if (html_) {
        const std::string page = currentQuestionDir(session_) + "cheat.htm";
        if (const Status st = WritePage(text_, page, PageMode::DropFirstLine); !st) {
            session_.services.messages.showError(st.error().describe());
        } else {
            WebBrowser1->showPage(qs(page));
        }
    }
    layOut();
}

void TCheatForm::Button2Click() {
    if (unfolded_) {
        session_.answerViewBounds = app::Bounds{x(), y(), width(), height()};
        fold();
    } else {
        unfold();
    }
}

void TCheatForm::Button1Click() {
    if (unfolded_) {
        session_.answerViewBounds = app::Bounds{x(), y(), width(), height()};
    }
    hide();
}

void TCheatForm::hideEvent(QHideEvent* event) {
    if (!event->spontaneous() && Panel1 != nullptr) {
        // Where the learner left it, and its height only when it was pulled
        // taller than the unfolded minimum.
        app::Bounds saved = session_.answerViewBounds.value_or(app::Bounds{});
        saved.left = x();
        saved.top = y();
        saved.width = width();
        if (height() > kUnfoldedMinHeight) {
            saved.height = height();
        }
        session_.answerViewBounds = saved;
        fold();
    }
    ScreenForm::hideEvent(event);
}

void TCheatForm::resizeEvent(QResizeEvent* event) {
    layOut();
    ScreenForm::resizeEvent(event);
}

void TCheatForm::layOut() {
    if (Panel1 == nullptr) {
        return;
    }
    const int w = width();
    const int h = height();
    Button2->move(10, 44);
    Button1->move(w - Button1->width() - 10, 44);
    Panel1->setGeometry(0, kTopArea, w, h - kTopArea);
    const int panel = Panel1->height();
    const bool figures = !figurePaths_.empty();
    // Folded, the panel is a thin strip: its contents wait for the unfolding.
    for (QWidget* child : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(WebBrowser1),
                           static_cast<QWidget*>(Image7)}) {
        child->setVisible(unfolded_);
    }
    const int memoHeight = std::max(0, panel - (figures ? 77 : 50));
    const int browserHeight = std::max(0, panel - (figures ? 75 : 47));
    if (html_) {
        Memo1->setGeometry(0, 0, 0, 0);
        WebBrowser1->setGeometry(0, 0, w, browserHeight);
    } else {
        WebBrowser1->setGeometry(0, 0, 0, 0);
        Memo1->setGeometry(0, 0, w, memoHeight);
    }
    for (std::size_t k = 0; k < ImgFig.size(); ++k) {
        ImgFig[k]->move(5 + static_cast<int>(k) * kFigureButtonStep, panel - 72);
        ImgFig[k]->setVisible(unfolded_ && k < figurePaths_.size());
    }
    Image7->setGeometry(3, panel - kBarHeight, w - 6, kBarHeight);
    layOutLinkBar(Image7, Image12, Button3, Button4, Button5);
}

void TCheatForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        Button1Click();
        return;
    }
    ScreenForm::keyPressEvent(event);
}

}  // namespace tovalo::ui
