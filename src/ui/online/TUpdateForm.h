#pragma once

#include <QString>
#include <atomic>
#include <memory>

#include "core/update/question_update.h"
#include "platform/posix_connector.h"
#include "ui/widgets/screen_form.h"

class QComboBox;
class QLabel;
class QSpinBox;
class QThread;

namespace tovalo::ui {

class ImageButton;
class ProxyPanel;

// Fetches newer question files and figures for one vendor or for all of
// them. The transfers run on a worker thread; the questions and notices of
// the run are asked on the window's thread while the worker waits. The
// progress of the fetching is shown by the download window, which the
// coordinator opens when told to.
class TUpdateForm : public ScreenForm {
    Q_OBJECT

  public:
    TUpdateForm(Session& session);
    ~TUpdateForm() override;

    // True while a run is under way.
    [[nodiscard]] bool running() const { return worker_ != nullptr; }

  public slots:
    // The learner asked the download window to stop.
    void stopRun();

  signals:
    // Files are being fetched (true), or the fetching is over (false).
    void fetchingChanged(bool fetching);
    // What is being fetched, and how much of it has arrived.
    void fileStarted(const QString& label);
    void transferProgress(const QString& status);
    // Back to the course menu.
    void left();
    // Courses were replaced: the catalog is out of date, so the program
    // must end for it to be rebuilt at the next start.
    void programEndRequested();

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void StartButtonClick();
    void fillVendors();
    void runEnded(const update::UpdateReport& report);
    void storeUpdateDate();

    // The controls; tests reach them by object name.
    QLabel* TitleLabel;
    QLabel* GuideLabel;
    QLabel* VendorLabel;
    QComboBox* VendorCombo;
    ProxyPanel* Proxy;
    QLabel* TimeoutLabel;
    QSpinBox* TimeoutEdit;
    ImageButton* StartButton;
    ImageButton* CloseButton;

    std::unique_ptr<update::QuestionUpdate> run_;
    std::atomic<bool> cancel_{false};
    bool closing_ = false;
    QThread* worker_ = nullptr;
    // Used when the session brings no connector of its own.
    platform::PosixConnector sockets_;
};

}  // namespace tovalo::ui
