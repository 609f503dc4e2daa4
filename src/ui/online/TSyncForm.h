#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <vector>

#include "core/sync/history_sync.h"
#include "platform/posix_connector.h"
#include "ui/widgets/screen_form.h"

class QFrame;
class QLabel;
class QProgressBar;
class QThread;

namespace tovalo::ui {

class ImageButton;
class ProxyPanel;

// Synchronises the history files of the current vendor's courses with the
// server: asks for the server's stamp of every course, hands the proposal
// on (the coordinator shows it), and uploads or downloads what the learner
// agreed to. The network work runs on a worker thread, so the window keeps
// painting, shows how far it got and can be stopped.
class TSyncForm : public ScreenForm {
    Q_OBJECT

  public:
    TSyncForm(Session& session);
    ~TSyncForm() override;

    // The rows of the last query, for the proposal window.
    [[nodiscard]] const std::vector<sync::SyncRow>& proposal() const { return rows_; }
    // True while a query or a transfer runs.
    [[nodiscard]] bool running() const { return worker_ != nullptr; }

  public slots:
    // The learner accepted the proposal: the transfers begin.
    void transferProposal();
    // The learner declined it: back to idle.
    void dropProposal();

  signals:
    // The query is done; proposal() holds the rows.
    void proposalReady();
    // Back to the course menu.
    void left();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    enum class Phase { Idle, Query, Proposal, Transfer };

    void StartButtonClick();
    void StopButtonClick();
    void startWorker(Phase phase);
    // Called on the window's thread as the worker reports.
    void rowStarted(int row, const QString& label);
    void phaseEnded(Phase phase, bool ok, const QString& message);
    void backToIdle();
    void showProgressPanel(bool shown, int rows);

    // The controls; tests reach them by object name.
    QLabel* TitleLabel;
    QLabel* GuideLabel;
    ProxyPanel* Proxy;
    ImageButton* StartButton;
    ImageButton* BackButton;
    QFrame* ProgressPanel;
    QLabel* ProgressLabel;
    QProgressBar* ProgressBar;
    ImageButton* StopButton;

    Phase phase_ = Phase::Idle;
    std::vector<CourseEntry> courses_;
    std::vector<sync::SyncRow> rows_;
    std::unique_ptr<sync::HistorySync> run_;
    std::atomic<bool> cancel_{false};
    QThread* worker_ = nullptr;
    // Used when the session brings no connector of its own.
    platform::PosixConnector sockets_;
};

}  // namespace tovalo::ui
