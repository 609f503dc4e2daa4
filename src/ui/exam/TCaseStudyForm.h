#pragma once

#include <QFont>
#include <QString>
#include <array>

#include "core/exam/case_study.h"
#include "ui/widgets/screen_form.h"

class QFrame;
class QPlainTextEdit;

namespace tovalo::ui {

class ImageButton;
class WebPageView;

// The case study that the questions of a course share: its text or page and
// up to four figures. It opens modally before the first question, and its
// close button is what starts the exam clock for that question.
class TCaseStudyForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kWidth = 760;
    static constexpr int kHeight = 560;
    static constexpr int kBarHeight = 35;

    TCaseStudyForm(Session& session);

    // Fills the window for the exam about to start. `pagePath` is the page
    // already written for an HTML case study, empty for a text one.
    void setContent(const CaseStudy& study, const QString& caption, const QFont& memoFont,
                    const QString& pagePath);
    // Before the first question: modal, with the start button.
    void showAtStart();
    // From the exam screen's button or key, beside the question.
    void showOnRequest();

    [[nodiscard]] bool htmlMode() const { return html_; }
    [[nodiscard]] bool openedAtStart() const { return atStart_; }

  signals:
    void figureRequested(const QString& caption, const QString& path);
    // The start button of the opening case study: the first question begins.
    void startPressed();

  public slots:
    void Button1Click();
    void RefImgClick(int figure);

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ensureControls();
    void layOutWindow();
    void layOutPanel();
    void setButtonPicture(bool start);

    bool html_ = false;
    bool atStart_ = false;
    std::array<QString, kCaseStudyFigures> figures_;

  private:
    // The controls; tests reach them by object name.
    // Made the first time a case study is set.
    QFrame* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    WebPageView* WebBrowser1 = nullptr;
    QFrame* Panel2 = nullptr;
    std::array<ImageButton*, kCaseStudyFigures> RefImg{};
    ImageButton* Button1 = nullptr;
};

}  // namespace tovalo::ui
