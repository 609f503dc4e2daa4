#pragma once

#include "core/app/profile.h"
#include "core/common/result.h"
#include "ui/widgets/screen_form.h"

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace tovalo::ui {

// The profile screen, shown first and the program's main window: a new
// user registers name, organisation and mail address here; a registered one
// sees the stored profile for a few seconds before the course menu opens.
class TMainMenuForm : public ScreenForm {
    Q_OBJECT

  public:
    static constexpr int kWidth = 520;
    static constexpr int kHeight = 430;

    TMainMenuForm(Session& session);

    // Runs once at start-up, before anything is shown. Fails when the
    // diagnosis address file is missing, which stops the program.
    Status FormCreate();

    // True while the screen asks for a registration.
    [[nodiscard]] bool registrationShown() const { return registration_; }
    [[nodiscard]] bool linkHighlighted() const { return linkRed_; }

    QTimer* Timer1;

  signals:
    // The learner is known: the course menu takes over.
    void profileDone();

  public slots:
    void Button1Click();
    void Button2Click();
    void Timer1Timer();
    void Image1Click();
    void Panel1Click();

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();
    void showRegistration(bool registration);
    void setLinkColour(bool red);
    void handOver();
    void handOverIfRegistered();

    app::ProfileCountdown countdown_;
    bool registration_ = true;
    bool linkRed_ = false;

  private:
    // The controls; tests reach them by object name.
    QFrame* Panel1;
    QWidget* Image1;
    QLabel* Label1;  // the registration prompt
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLineEdit* Edit_Name;
    QLineEdit* Edit_Org;
    QLineEdit* Edit_Email;
    QLabel* Label_Name;
    QLabel* Label_Org;
    QLabel* Label_Email;
    QPushButton* Button1;
    QPushButton* Button2;
    QLabel* Label5;  // the blinking link
};

}  // namespace tovalo::ui
