#include "ui/results/review_pane_view.h"

#include <QEvent>
#include <QFrame>
#include <QPlainTextEdit>
#include <QResizeEvent>

#include "core/exam/page_writer.h"
#include "core/views/review_pane.h"
#include "core/views/support_page.h"
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

constexpr int kMemoLeft = 6;
constexpr int kMemoTop = 13;
constexpr int kMemoRightMargin = 10;
constexpr int kBrowserTop = 18;
// Under the text: a row for the explanation's figures, then the bar.
constexpr int kBarHeight = 48;
constexpr int kRowHeight = 24;
constexpr int kMemoBottomRoom = 80;
constexpr int kBrowserBottomRoom = 75;
constexpr int kButtonRowRoom = kPaneHeight - kPaneHeightWithButtons;

struct StyleButtonName {
    AnswerStyle style;
    const char* name;
};
constexpr StyleButtonName kStyleButtons[] = {
    {AnswerStyle::Graphic, "Image9"},          {AnswerStyle::Panel, "Image10"},
    {AnswerStyle::Descriptive, "ButtonType5"}, {AnswerStyle::PanelSecond, "Image15"},
    {AnswerStyle::Connect, "Image16"},
};

}  // namespace

ReviewPaneView::ReviewPaneView(Session& session, QWidget* parent)
    : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("Panel1"));
    setAccessibleName(QStringLiteral("解説"));
    fill(this, Qt::white);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFont(uiFont(13));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setAccessibleName(QStringLiteral("解説"));
    new ReadingText(Memo1, this);
    WebBrowser1 = new WebPageView(this);
    WebBrowser1->setObjectName(QStringLiteral("WebBrowser1"));
    WebBrowser1->hide();

    for (int k = 0; k < static_cast<int>(QuestionFigures.size()); ++k) {
        auto* b = new ImageButton(this);
        const QString caption = QStringLiteral("図%1").arg(k + 1);
        b->setObjectName(QStringLiteral("Image%1").arg(11 + k));
        b->setPictures(
            buttonPicture(QSize(56, 22), caption, ButtonTone::Figure, ButtonGlyph::Picture));
        b->setAccessibleName(caption);
        connect(b, &ImageButton::clicked, this, [this, k, caption] {
            emit figureRequested(caption, qs(questionFigures_[static_cast<std::size_t>(k)]));
        });
        QuestionFigures[static_cast<std::size_t>(k)] = b;
    }
    for (int k = 0; k < static_cast<int>(ExplanationFigures.size()); ++k) {
        auto* b = new ImageButton(this);
        const QString caption = QStringLiteral("解説図%1").arg(k + 1);
        b->setObjectName(QStringLiteral("ImgFig%1").arg(k + 1));
        setFigureButtonLook(b, caption);
        connect(b, &ImageButton::clicked, this, [this, k, caption] {
            emit figureRequested(caption, qs(explanationFigures_[static_cast<std::size_t>(k)]));
        });
        ExplanationFigures[static_cast<std::size_t>(k)] = b;
    }
    for (std::size_t k = 0; k < StyleButtons.size(); ++k) {
        auto* b = new ImageButton(this);
        b->setObjectName(QString::fromLatin1(kStyleButtons[k].name));
        setStyleViewButtonLook(b);
        const AnswerStyle style = kStyleButtons[k].style;
        connect(b, &ImageButton::clicked, this, [this, style] {
            // The answer window reads the row's question from the hand-off.
            session_.exam.prepareHandoff(row_, questionFigures_);
            emit styleViewRequested(style);
        });
        StyleButtons[k] = b;
    }
    Image17 = new ImageButton(this);
    Image17->setObjectName(QStringLiteral("Image17"));
    Image17->setPictures(buttonPicture(QSize(72, 22), QStringLiteral("再生"), ButtonTone::Repeat,
                                       ButtonGlyph::Resume));
    Image17->setToolTip(QStringLiteral("問題の音声や動画をもう一度再生します"));
    Image17->setAccessibleName(QStringLiteral("再生"));
    connect(Image17, &ImageButton::clicked, WebBrowser1, &WebPageView::reload);

    Image7 = new QFrame(this);
    Image7->setObjectName(QStringLiteral("Image7"));
    setLinkBarLook(Image7);
    Button7 = new ImageButton(Image7);
    Button7->setObjectName(QStringLiteral("Button7"));
    setFaqButtonLook(Button7);
    Button5 = new ImageButton(Image7);
    Button5->setObjectName(QStringLiteral("Button5"));
    Button6 = new ImageButton(Image7);
    Button6->setObjectName(QStringLiteral("Button6"));
    Button4 = new ImageButton(Image7);
    Button4->setObjectName(QStringLiteral("Button4"));
    setSupportButtonLook(Button4);
    for (int which : {1, 2}) {
        ImageButton* b = which == 1 ? Button5 : Button6;
        setTrainingButtonLook(b, which);
        connect(b, &ImageButton::clicked, this, [this, which] {
            if (row_ > 0) {
                openTrainingMaterial(session_, session_.exam.question(row_), which);
            }
        });
    }
    connect(Button7, &ImageButton::clicked, this, [this] {
        if (row_ > 0) {
            openFaqPage(session_, session_.exam.question(row_));
        }
    });
    connect(Button4, &ImageButton::clicked, this, [this] {
        if (row_ <= 0) {
            return;
        }
        const std::size_t k = static_cast<std::size_t>(row_) - 1;
        const ExamQuestion& q = session_.exam.question(row_);
        const Grading& grading = session_.exam.grading();
        openSupportPage(
            session_, q,
            supportAnswerBlock(q, currentLabelStyle(session_), grading.rows[k].correct,
                               session_.exam.progress().Answer[k], SupportFrom::ResultScreen,
                               static_cast<bool>(grading.PositionCorrect[k])));
    });
    setButtonsShown(false);
}

void ReviewPaneView::stopPage() {
    WebBrowser1->stop();
}

int ReviewPaneView::memoHeight() const {
    return Memo1->height();
}

void ReviewPaneView::showVerdict(const std::string& text, bool html, const std::string& pagePath) {
    row_ = 0;
    buttonRow_ = false;
    setButtonsShown(false);
    showText(text, html, pagePath);
}

void ReviewPaneView::showRow(int row, bool html, const std::string& pagePath) {
    if (row < 1 || row > session_.exam.questionCount()) {
        return;
    }
    row_ = row;
    const ExamQuestion& q = session_.exam.question(row);
    const ReviewPane pane =
        reviewPane(q, html ? 2 : 1, currentLabelStyle(session_), currentQuestionDir(session_));
    questionFigures_ = pane.questionFigures;
    explanationFigures_ = pane.explanationFigures;
    styleView_ = pane.styleView;
    buttonRow_ = pane.height == kPaneHeightWithButtons;

    setButtonsShown(true);
    for (std::size_t k = 0; k < QuestionFigures.size(); ++k) {
        QuestionFigures[k]->setVisible(pane.questionFigureButtons && k < questionFigures_.size());
    }
    for (std::size_t k = 0; k < ExplanationFigures.size(); ++k) {
        ExplanationFigures[k]->setVisible(k < explanationFigures_.size());
    }
    for (std::size_t k = 0; k < StyleButtons.size(); ++k) {
        StyleButtons[k]->setVisible(styleView_ == kStyleButtons[k].style);
    }
    Image17->setVisible(pane.mediaButton);
    setTrainingButton(Button5, q, 1);
    setTrainingButton(Button6, q, 2);
    showText(pane.text, html, pagePath);
}

void ReviewPaneView::showText(const std::string& text, bool html, const std::string& pagePath) {
    html_ = html;
    Memo1->setVisible(!html);
    WebBrowser1->setVisible(html);
    layOut();
    if (!html) {
        Memo1->setPlainText(qs(text));
        return;
    }
    if (const Status written = WritePage(text, pagePath, PageMode::Styled); !written) {
        // The browser keeps the page it had.
        session_.services.messages.showError(written.error().describe());
        return;
    }
    (void)session_.services.files.setHidden(pagePath, true);
    WebBrowser1->showPage(qs(pagePath));
}

void ReviewPaneView::setButtonsShown(bool shown) {
    Image7->setVisible(shown);
    if (!shown) {
        for (ImageButton* b : QuestionFigures) {
            b->hide();
        }
        for (ImageButton* b : ExplanationFigures) {
            b->hide();
        }
        for (ImageButton* b : StyleButtons) {
            b->hide();
        }
        Image17->hide();
    }
}

void ReviewPaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void ReviewPaneView::layOut() {
    const int w = width();
    const int h = height();
    const int room = buttonRow_ ? kButtonRowRoom : 0;
    const int memoHeight = std::max(0, h - kMemoTop - kMemoBottomRoom - room);
    const int browserHeight = std::max(0, h - kBrowserTop - kBrowserBottomRoom - room);
    // The view not in use shrinks to nothing rather than losing its content.
    if (html_) {
        Memo1->setGeometry(kMemoLeft, kMemoTop, 0, 0);
        WebBrowser1->setGeometry(0, kBrowserTop, w, browserHeight);
    } else {
        Memo1->setGeometry(kMemoLeft, kMemoTop, std::max(0, w - kMemoLeft - kMemoRightMargin),
                           memoHeight);
        WebBrowser1->setGeometry(0, kBrowserTop, 0, 0);
    }

    // The question's own buttons in the row the shorter text leaves.
    int x = kMemoLeft;
    const int rowTop = h - kMemoBottomRoom - room + 4;
    for (ImageButton* b : QuestionFigures) {
        b->move(x, rowTop);
        x += b->width() + 4;
    }
    for (ImageButton* b : StyleButtons) {
        b->move(kMemoLeft, rowTop);
    }
    // The explanation's figures and the player under the text.
    const int figureTop = h - kBarHeight - kRowHeight - 4;
    x = kMemoLeft;
    for (ImageButton* b : ExplanationFigures) {
        b->move(x, figureTop);
        x += b->width() + 4;
    }
    Image17->move(w - Image17->width() - kMemoRightMargin, figureTop);

    Image7->setGeometry(3, h - kBarHeight - 2, w - 6, kBarHeight);
    layOutLinkBar(Image7, Button7, Button5, Button6, Button4);
}

}  // namespace tovalo::ui
