#pragma once

#include <vector>

#include "core/sync/history_sync.h"
#include "ui/widgets/screen_form.h"

class QLabel;
class QTableWidget;

namespace tovalo::ui {

class ImageButton;

// The proposed synchronisation actions, one row per course, for the
// learner to confirm (OK) or drop (Cancel, Esc, the close box).
class TSyncCandidateForm : public ScreenForm {
    Q_OBJECT

  public:
    TSyncCandidateForm(Session& session);

    // Fills the grid; called before the window is shown.
    void showProposal(const std::vector<sync::SyncRow>& rows);

  signals:
    void accepted();
    void declined();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void OKButtonClick();

    QLabel* GuideLabel;
    QTableWidget* Grid;
    ImageButton* OKButton;
    ImageButton* CancelButton;
    bool accepted_ = false;
};

}  // namespace tovalo::ui
