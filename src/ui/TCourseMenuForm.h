#pragma once

#include <QPixmap>
#include <vector>

#include "core/app/window_placement.h"
#include "ui/screen_form.h"

namespace tovalo::ui {

// The course menu, the program's home screen: vendor tabs and the courses
// of the selected vendor. Closing it ends the program.
class TCourseMenuForm : public ScreenForm {
    Q_OBJECT

  public:
    TCourseMenuForm(Session& session, Screens& screens);

    // Runs once at start-up: reads the stored placement and vendor index,
    // finds the installation's directories and loads the vendor bundles.
    void FormCreate();

    // The bounds the window has now, as they would be stored.
    [[nodiscard]] app::Bounds currentBounds() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FormShow();
    void FormClose();
    void rememberNormalBounds();

    std::vector<QPixmap> tabPictures_;  // by vendor number − 1
    // Where the window returns to from maximised; what is stored then.
    app::Bounds normalBounds_;
    bool closed_ = false;
};

}  // namespace tovalo::ui
